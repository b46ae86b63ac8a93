// Effective passes per second of whole file runs: the passes a plain iteration needs for the
// image, divided by the wall time, for each thread count and each exact shortcut on and off,
// with a check that every configuration writes the same file.
#include "cli/cli_dialogs.h"
#include "common/posix_platform.h"
#include "engine/headless_targets.h"
#include "engine/kernels.h"
#include "engine/row_pipeline.h"
#include "engine/run_calculation.h"
#include "mainwindow/formula_defaults.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

using namespace nimbra;

namespace {

struct View {
    const char* Name;
    FormulaKind Formula;
    ParamFields Fields;
};

// The region and iteration maximum the formula command enters, at 1920 x 1440, into a file.
View ViewOf(const char* name, FormulaKind formula)
{
    ParamFields fields;
    EnterFormulaDefaults(formula, fields, '.');
    fields.Preview = false;
    fields.Width = "1920";
    fields.Height = "1440";
    return {name, formula, fields};
}

std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the view once into path; the wall time in seconds.
double TimedRun(const View& view, int threads, EngineShortcuts shortcuts, const std::string& path)
{
    FractalParams params;
    params.Formula = static_cast<std::uint8_t>(view.Formula);
    RunState state;
    PaletteList palette;
    HeadlessPreview preview;
    HeadlessDisplay display;
    CliDialogs dialogs(std::cerr);
    PosixPlatform platform;
    NoPump pump;
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
                       .WorkerThreads = threads,
                       .OutputPathOverride = path,
                       .Shortcuts = shortcuts};
    const auto start = std::chrono::steady_clock::now();
    if (RunCalculation(view.Fields, context) != RunOutcome::FileCompleted) std::cerr << "run failed\n";
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of up to three runs (fewer when they are long), so that short runs are not at the
// mercy of whatever else the machine does.
double BestTime(const View& view, int threads, EngineShortcuts shortcuts, const std::string& path)
{
    double best = TimedRun(view, threads, shortcuts, path);
    double spent = best;
    for (int run = 1; run < 3 && spent < 4; ++run) {
        const double seconds = TimedRun(view, threads, shortcuts, path);
        best = std::min(best, seconds);
        spent += seconds;
    }
    return best;
}

// The passes a plain iteration makes for the view: one more than the count (the Burning
// Ship: the count), summed over the pixels.
double PlainPasses(const View& view)
{
    FractalParams params;
    params.Formula = static_cast<std::uint8_t>(view.Formula);
    ParamFields fields = view.Fields;
    ReadParams(fields, params, {}, '.');
    const std::atomic<bool> stop = false;
    RowPipeline pipeline(params, stop, 2, EngineShortcuts{});
    NoPump pump;
    double passes = 0;
    for (std::int32_t row = 0; row < params.Height; ++row) {
        const RowCounts& counts = pipeline.Row(row, pump);
        for (std::int32_t column = 0; column < counts.Columns; ++column)
            passes += counts.Counts[static_cast<std::size_t>(column)] + (view.Formula == FormulaKind::BurningShip ? 0 : 1);
    }
    return passes;
}

}  // namespace

int main()
{
    const std::string folder = std::filesystem::temp_directory_path().string() + "/";
    const View views[] = {
        ViewOf("Mandelbrot default view", FormulaKind::Mandelbrot),
        ViewOf("Burning Ship view", FormulaKind::BurningShip),
        ViewOf("Dragon view", FormulaKind::Dragon),
    };
    struct Config {
        const char* Name;
        EngineShortcuts Shortcuts;
    };
    const Config configs[] = {
        {"plain", {false, false}}, {"cycles", {true, false}}, {"mirrors", {false, true}}, {"both", {true, true}}};

    bool allSame = true;
    for (const View& view : views) {
        const double passes = PlainPasses(view);
        std::printf("\n%s, 1920x1440, %s iterations: %.3g plain passes\n", view.Name, view.Fields.Iterations.c_str(),
                    passes);
        std::printf("  %-8s %-8s %9s %22s %8s %s\n", "threads", "shortcut", "seconds", "effective passes/s",
                    "vs plain", "file");
        const std::string reference = folder + "nimbra-speed-reference.tga";
        for (int threads : {1, 2}) {
            double plainSeconds = 0;
            for (const Config& config : configs) {
                const std::string path = threads == 1 && &config == &configs[0] ? reference : folder + "nimbra-speed.tga";
                const double seconds = BestTime(view, threads, config.Shortcuts, path);
                if (&config == &configs[0]) plainSeconds = seconds;
                const bool same = ReadFile(path) == ReadFile(reference);
                allSame = allSame && same;
                std::printf("  %-8d %-8s %9.3f %22.4g %8.2f %s\n", threads, config.Name, seconds, passes / seconds,
                            plainSeconds / seconds, same ? "identical" : "DIFFERENT");
            }
        }
        std::remove(reference.c_str());
    }
    std::remove((folder + "nimbra-speed.tga").c_str());
    std::printf("\nfiles %s\n", allSame ? "identical in every configuration" : "DIFFER");
    return allSame ? 0 : 1;
}
