#pragma once
#include "common/platform.h"
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/row_source.h"

#include <atomic>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace nimbra {

// What sets one renderer apart from the other: its name, where the rows are computed and
// whether its progress bar can be seen.
struct RenderSetup {
    std::string Program = "nimbra-cli";  // in the usage
    // The source of a run's rows from firstRow on, made for the params of the image computed
    // and the threads asked for (0: all cores of each machine); empty: the rows are computed here.
    std::function<std::unique_ptr<RowSource>(const FractalParams&, const std::atomic<bool>& stop, int threads,
                                             EngineShortcuts shortcuts, std::int32_t firstRow)>
        MakeRowSource{};
    bool ProgressVisible = false;  // drawn on err
};

// nimbra-cli render [options]: writes the image a file run of the program would write; with
// --help it prints the usage on out instead. Returns the exit code: 0 done, 1 the image could not be made, 2 bad usage, 128 + the
// signal's number when an interrupt ended it.
int RunRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Platform& platform,
                     const RenderSetup& setup = {});

}  // namespace nimbra
