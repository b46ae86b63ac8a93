// Effective passes per second of whole file runs: the passes a plain iteration needs for the
// image, divided by the best wall time of a few rounds, for each thread count and each exact
// shortcut on and off, each also as a ratio to the plain loop on one thread, with a check that
// every configuration writes the same file.
#include "bench/file_run.h"
#include "engine/formula_defaults.h"
#include "engine/kernels.h"
#include "engine/row_pipeline.h"
#include "engine/run_calculation.h"

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
    NoPump pump;
    const auto start = std::chrono::steady_clock::now();
    if (!bench::RunToFile(view.Fields, view.Formula, pump, threads, shortcuts, path)) std::cerr << "run failed\n";
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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

    // Every configuration of a view runs once per round and keeps its best time: whatever else
    // the machine does then slows the configurations alike rather than one of them.
    constexpr int Rounds = 3;
    constexpr int ThreadCounts[] = {1, 2};
    const std::string reference = folder + "nimbra-speed-reference.tga";
    const std::string other = folder + "nimbra-speed.tga";
    bool allSame = true;
    for (const View& view : views) {
        double best[2][std::size(configs)];
        std::fill(&best[0][0], &best[0][0] + std::size(best) * std::size(configs), 1e300);
        bool same[2][std::size(configs)];
        std::fill(&same[0][0], &same[0][0] + std::size(same) * std::size(configs), true);
        for (int round = 0; round < Rounds; ++round) {
            for (std::size_t t = 0; t < std::size(ThreadCounts); ++t) {
                for (std::size_t c = 0; c < std::size(configs); ++c) {
                    const std::string& path = t == 0 && c == 0 ? reference : other;
                    best[t][c] = std::min(best[t][c], TimedRun(view, ThreadCounts[t], configs[c], path));
                    same[t][c] = same[t][c] && ReadFile(path) == ReadFile(reference);
                    allSame = allSame && same[t][c];
                }
            }
        }
        const double passes = PlainPasses(view);
        std::printf("\n%s, 1920x1440, %s iterations: %.3g plain passes, best of %d rounds\n", view.Name,
                    view.Fields.Iterations.c_str(), passes, Rounds);
        std::printf("  %-7s %-7s %-6s %-7s %8s %19s %9s %12s  %s\n", "threads", "repeats", "proofs", "mirrors",
                    "seconds", "effective passes/s", "vs plain", "vs plain 1t", "file");
        for (std::size_t t = 0; t < std::size(ThreadCounts); ++t) {
            for (std::size_t c = 0; c < std::size(configs); ++c) {
                const EngineShortcuts& config = configs[c];
                const double seconds = best[t][c];
                std::printf("  %-7d %-7s %-6s %-7s %8.3f %19.4g %9.2f %12.2f  %s\n", ThreadCounts[t],
                            OnOff(config.SkipRepeatingOrbits), OnOff(config.ProveBoundedOrbits),
                            OnOff(config.ReuseMirroredRows), seconds, passes / seconds, best[t][0] / seconds,
                            best[0][0] / seconds, same[t][c] ? "identical" : "DIFFERENT");
            }
        }
        std::remove(reference.c_str());
    }
    std::remove(other.c_str());
    std::printf("\nfiles %s\n", allSame ? "identical in every configuration" : "DIFFER");
    return allSame ? 0 : 1;
}
