#include "bench/file_run.h"

#include "common/posix_platform.h"
#include "common/stream_dialogs.h"
#include "engine/headless_run.h"

#include <iostream>

namespace nimbra::bench {

bool RunToFile(const ParamFields& fields, FormulaKind formula, PumpHook& pump, int workerThreads,
               EngineShortcuts shortcuts, const std::string& path)
{
    HeadlessRun run;
    run.Params.Formula = static_cast<std::uint8_t>(formula);
    StreamDialogs dialogs(std::cerr);
    PosixPlatform platform;
    RunContext context = run.ContextWith(dialogs, platform, pump);
    context.WorkerThreads = workerThreads;
    context.OutputPathOverride = path;
    context.Shortcuts = shortcuts;
    return RunCalculation(fields, context) == RunOutcome::FileCompleted;
}

}  // namespace nimbra::bench
