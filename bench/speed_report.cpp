// Effective passes per second of whole file runs: the passes a plain iteration needs for the
// image, divided by the wall time, for each thread count and each exact shortcut on and off,
// each also as a ratio to the plain loop on one thread, with a check that every configuration
// writes the same file.
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

// A Mandelbrot region with no interior, at the default iteration maximum.
View ZoomOf(const char* name, const char* realFrom, const char* realTo, const char* imagFrom, const char* imagTo)
{
    View view = ViewOf(name, FormulaKind::Mandelbrot);
    view.Fields.RealFrom = realFrom;
    view.Fields.RealTo = realTo;
    view.Fields.ImagFrom = imagFrom;
    view.Fields.ImagTo = imagTo;
    return view;
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

const char* OnOff(bool on)
{
    return on ? "on" : "-";
}

}  // namespace

int main()
{
    const std::string folder = std::filesystem::temp_directory_path().string() + "/";
    const View views[] = {
        ViewOf("Mandelbrot default view", FormulaKind::Mandelbrot),
        ViewOf("Burning Ship view", FormulaKind::BurningShip),
        ViewOf("Dragon view", FormulaKind::Dragon),
        ZoomOf("Mandelbrot boundary zoom", "-0.7455", "-0.7445", "0.1100", "0.1108"),
    };
    const EngineShortcuts configs[] = {
        NoShortcuts,
        {true, false, false},  // repeats
        {false, false, true},  // proofs
        {false, true, false},  // mirrors
        {true, false, true},   // repeats and proofs
        {true, true, true},    // all
    };

    bool allSame = true;
    for (const View& view : views) {
        const double passes = PlainPasses(view);
        std::printf("\n%s, 1920x1440, %s iterations: %.3g plain passes\n", view.Name, view.Fields.Iterations.c_str(),
                    passes);
        std::printf("  %-7s %-7s %-6s %-7s %8s %19s %9s %12s  %s\n", "threads", "repeats", "proofs", "mirrors",
                    "seconds", "effective passes/s", "vs plain", "vs plain 1t", "file");
        const std::string reference = folder + "nimbra-speed-reference.tga";
        double plainOneThread = 0;
        for (int threads : {1, 2}) {
            double plainSeconds = 0;
            for (const EngineShortcuts& config : configs) {
                const bool plain = &config == &configs[0];
                const std::string path = threads == 1 && plain ? reference : folder + "nimbra-speed.tga";
                const double seconds = BestTime(view, threads, config, path);
                if (plain) plainSeconds = seconds;
                if (plain && threads == 1) plainOneThread = seconds;
                const bool same = ReadFile(path) == ReadFile(reference);
                allSame = allSame && same;
                std::printf("  %-7d %-7s %-6s %-7s %8.3f %19.4g %9.2f %12.2f  %s\n", threads,
                            OnOff(config.SkipRepeatingOrbits), OnOff(config.ProveBoundedOrbits),
                            OnOff(config.ReuseMirroredRows), seconds, passes / seconds, plainSeconds / seconds,
                            plainOneThread / seconds, same ? "identical" : "DIFFERENT");
            }
        }
        std::remove(reference.c_str());
    }
    std::remove((folder + "nimbra-speed.tga").c_str());
    std::printf("\nfiles %s\n", allSame ? "identical in every configuration" : "DIFFER");
    return allSame ? 0 : 1;
}
