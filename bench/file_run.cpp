#include "bench/file_run.h"

#include "cli/cli_dialogs.h"
#include "common/posix_platform.h"
#include "engine/headless_targets.h"

#include <iostream>

namespace nimbra::bench {

bool RunToFile(const ParamFields& fields, FractalParams& params, PumpHook& pump, int workerThreads,
               EngineShortcuts shortcuts, const std::string& path)
{
    RunState state;
    PaletteList palette;
    HeadlessPreview preview;
    HeadlessDisplay display;
    CliDialogs dialogs(std::cerr);
    PosixPlatform platform;
    std::string lastImagePath;
    RunContext context{.Params = params,
                       .State = state,
                       .Palette = palette,
                       .Preview = preview,
                       .Display = display,
                       .Dialogs = dialogs,
                       .System = platform,
                       .Pump = pump,
                       .LastImagePath = lastImagePath,
                       .DecimalSeparator = '.',
                       .WorkerThreads = workerThreads,
                       .OutputPathOverride = path,
                       .Shortcuts = shortcuts};
    return RunCalculation(fields, context) == RunOutcome::FileCompleted;
}

}  // namespace nimbra::bench
