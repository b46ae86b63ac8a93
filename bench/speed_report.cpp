// Effective passes per second of whole file runs: the passes a plain iteration needs for the
// image, divided by the best wall time of a few rounds, for each thread count and each exact
// shortcut on and off, each also as a ratio to the plain loop on one thread, with a check that
// every configuration writes the same file. Then, for each view, how the counts of its pixels
// were settled with the repeats and proofs on, and the passes each kind took: the escaping passes are
// the floor, the rest is what the shortcuts leave to cut.
//
// Last, the A4 poster (poster_report.h).
//
// nimbra_speed quick: every view at a quarter of its width and height, one round.
// nimbra_speed poster [quick]: the poster alone.
#include "bench/file_run.h"
#include "bench/poster_report.h"
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
#include <thread>
#include <vector>

using namespace nimbra;

namespace {

struct View {
    const char* Name;
    FormulaKind Formula;
    ParamFields Fields;
    bool Deep = false;  // so slow in the plain loop that only the plain loop and every shortcut are timed
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

// A Mandelbrot region at the default size.
View RegionOf(const char* name, const char* realFrom, const char* realTo, const char* imagFrom, const char* imagTo)
{
    View view = ViewOf(name, FormulaKind::Mandelbrot);
    view.Fields.RealFrom = realFrom;
    view.Fields.RealTo = realTo;
    view.Fields.ImagFrom = imagFrom;
    view.Fields.ImagTo = imagTo;
    return view;
}

// A Julia set whose constant lies in the main cardioid: every pixel inside settles on one fixed point.
View JuliaView()
{
    View view = ViewOf("Julia view, an attracting fixed point", FormulaKind::Julia);
    view.Fields.JuliaReal = "0.39";
    view.Fields.JuliaImag = "-0.2";
    return view;
}

// The seahorse valley as people print it: portrait, deep iterations, half of it inside the set.
View PosterView()
{
    View view = RegionOf("Seahorse-valley poster view", "-0.7463", "-0.7413", "0.0935", "0.10057");
    view.Fields.Width = "992";
    view.Fields.Height = "1404";
    view.Fields.Iterations = "20000";
    view.Deep = true;
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

// The pixels of the view and their passes by how their counts were settled, rows shared by two
// threads.
PassTally TallyOf(const View& view, EngineShortcuts shortcuts)
{
    FractalParams params;
    params.Formula = static_cast<std::uint8_t>(view.Formula);
    ParamFields fields = view.Fields;
    ReadParams(fields, params, {}, '.');
    const std::atomic<bool> stop = false;
    PassTally tallies[2];
    auto work = [&](int first) {
        RowCounts counts;
        RegionMemory regions;
        for (std::int32_t row = first; row < params.Height; row += 2)
            ComputeRowCounts(params, row, stop, shortcuts, regions, counts, &tallies[first]);
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    tallies[0].Add(tallies[1]);
    return tallies[0];
}

double Sum(const std::array<double, PassTally::Ends>& values)
{
    double sum = 0;
    for (const double value : values) sum += value;
    return sum;
}

void PrintTally(const PassTally& tally, double plainPasses)
{
    static const char* const Names[PassTally::Ends] = {"escaping", "run to the maximum", "repeating exactly",
                                                       "proven by a chain of discs", "proven by a region",
                                                       "proven around a known cycle",
                                                       "proven in a run of a row"};
    const double pixels = Sum(tally.Pixels), passes = Sum(tally.Passes);
    std::printf("    repeats and proofs on, 2 threads: %.4g passes, %.3f of the plain loop's\n", passes,
                passes / plainPasses);
    std::printf("      %-28s %9s %7s %12s %16s\n", "count settled by", "pixels", "share", "passes each",
                "share of passes");
    for (std::size_t end = 0; end < PassTally::Ends; ++end) {
        if (tally.Pixels[end] == 0) continue;
        std::printf("      %-28s %9.0f %7.3f %12.1f %16.3f\n", Names[end], tally.Pixels[end],
                    tally.Pixels[end] / pixels, tally.Passes[end] / tally.Pixels[end], tally.Passes[end] / passes);
    }
}

const char* OnOff(bool on)
{
    return on ? "on" : "-";
}

std::string Quartered(const std::string& size)
{
    return std::to_string(std::max(1, std::stoi(size) / 4));
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    const bool quick = std::find(words.begin(), words.end(), "quick") != words.end();
    if (std::find(words.begin(), words.end(), "poster") != words.end()) return bench::ReportPoster(quick) ? 0 : 1;
    const std::string folder = std::filesystem::temp_directory_path().string() + "/";
    std::vector<View> views = {
        ViewOf("Mandelbrot default view", FormulaKind::Mandelbrot),
        RegionOf("XaoS's default view", "-2.4166667", "0.9166667", "-1.25", "1.25"),
        ViewOf("Burning Ship view", FormulaKind::BurningShip),
        ViewOf("Dragon view", FormulaKind::Dragon),
        JuliaView(),
        RegionOf("Mandelbrot boundary zoom", "-0.7455", "-0.7445", "0.1100", "0.1108"),
        PosterView(),
    };
    if (quick) {
        for (View& view : views) {
            view.Fields.Width = Quartered(view.Fields.Width);
            view.Fields.Height = Quartered(view.Fields.Height);
        }
    }
    struct Config {
        EngineShortcuts Shortcuts;
        bool Deep;  // timed on deep views too
    };
    const Config configs[] = {
        {NoShortcuts, true},
        {{true, false, false, false, false}, false},  // repeats
        {{false, false, true, false, false}, false},  // proofs by discs
        {{false, false, true, true, false}, false},   // proofs by discs and regions
        {{false, true, false, false, false}, false},  // mirrors
        {{false, false, false, false, true}, false},  // early escapes in doubles
        {{true, false, true, true, false}, false},    // repeats and proofs
        {{true, true, true, false, true}, true},      // all but the regions
        {{true, true, true, true, true}, true},       // all
    };
    constexpr std::size_t AllButRegions = 7, All = 8;

    // Every configuration of a view runs once per round and keeps its best time: whatever else
    // the machine does then slows the configurations alike rather than one of them.
    const int rounds = quick ? 1 : 3;
    constexpr int ThreadCounts[] = {1, 2};
    const std::string reference = folder + "nimbra-speed-reference.tga";
    const std::string other = folder + "nimbra-speed.tga";
    bool allSame = true;
    for (const View& view : views) {
        double best[2][std::size(configs)];
        std::fill(&best[0][0], &best[0][0] + std::size(best) * std::size(configs), 1e300);
        bool same[2][std::size(configs)];
        std::fill(&same[0][0], &same[0][0] + std::size(same) * std::size(configs), true);
        for (int round = 0; round < rounds; ++round) {
            for (std::size_t t = 0; t < std::size(ThreadCounts); ++t) {
                for (std::size_t c = 0; c < std::size(configs); ++c) {
                    if (view.Deep && !configs[c].Deep) continue;
                    const std::string& path = t == 0 && c == 0 ? reference : other;
                    best[t][c] = std::min(best[t][c], TimedRun(view, ThreadCounts[t], configs[c].Shortcuts, path));
                    same[t][c] = same[t][c] && ReadFile(path) == ReadFile(reference);
                    allSame = allSame && same[t][c];
                }
            }
        }
        const double plainPasses = Sum(TallyOf(view, NoShortcuts).Passes);
        std::printf("\n%s, %sx%s, %s iterations: %.3g plain passes, best of %d rounds\n", view.Name,
                    view.Fields.Width.c_str(), view.Fields.Height.c_str(), view.Fields.Iterations.c_str(),
                    plainPasses, rounds);
        std::printf("  %-7s %-7s %-6s %-7s %-7s %-7s %8s %19s %9s %12s  %s\n", "threads", "repeats", "proofs",
                    "regions", "mirrors", "doubles", "seconds", "effective passes/s", "vs plain", "vs plain 1t",
                    "file");
        for (std::size_t t = 0; t < std::size(ThreadCounts); ++t) {
            for (std::size_t c = 0; c < std::size(configs); ++c) {
                if (view.Deep && !configs[c].Deep) continue;
                const EngineShortcuts& config = configs[c].Shortcuts;
                const double seconds = best[t][c];
                std::printf("  %-7d %-7s %-6s %-7s %-7s %-7s %8.3f %19.4g %9.2f %12.2f  %s\n", ThreadCounts[t],
                            OnOff(config.SkipRepeatingOrbits), OnOff(config.ProveBoundedOrbits),
                            OnOff(config.ProveBoundedOrbits && config.ProveByRegions),
                            OnOff(config.ReuseMirroredRows), OnOff(config.EscapesInDoubles), seconds,
                            plainPasses / seconds, best[t][0] / seconds, best[0][0] / seconds,
                            same[t][c] ? "identical" : "DIFFERENT");
            }
        }
        for (std::size_t t = 0; t < std::size(ThreadCounts); ++t)
            std::printf("  every shortcut, %d thread%s: with the regions %.3f of the time without\n", ThreadCounts[t],
                        t == 0 ? "" : "s", best[t][All] / best[t][AllButRegions]);
        std::printf("  without the regions:\n");
        PrintTally(TallyOf(view, configs[AllButRegions].Shortcuts), plainPasses);
        std::printf("  with the regions:\n");
        PrintTally(TallyOf(view, configs[All].Shortcuts), plainPasses);
        std::remove(reference.c_str());
    }
    std::remove(other.c_str());
    std::printf("\nfiles %s\n", allSame ? "identical in every configuration" : "DIFFER");
    const bool posterMet = bench::ReportPoster(quick);
    return allSame && posterMet ? 0 : 1;
}
