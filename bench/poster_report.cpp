#include "bench/poster_report.h"

#include "bench/file_run.h"
#include "engine/named_image.h"
#include "common/posix_platform.h"
#include "common/stream_dialogs.h"
#include "dialogs/resolution.h"
#include "engine/headless_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace nimbra::bench {
namespace {

constexpr int PosterThreads = 2;
// The second half of a resumed render may cost at most this share of the whole.
constexpr double ResumedHalfGoal = 0.6;

// Asks the run to stop once it takes the row given: the interruption of a resumed render.
class StopAtRow final : public PumpHook {
public:
    StopAtRow(RunState& state, std::int32_t row) : state_(state), row_(row) {}
    void Poll() override
    {
        if (row_ > 0 && state_.CurrentRow >= row_) state_.StopRequested = true;
    }

private:
    RunState& state_;
    std::int32_t row_;
};

// A boundary region with the sheet's proportions, no interior in it, at the sheet's size.
ParamFields PosterFields(const char* dotsPerInch)
{
    std::string dpiText = dotsPerInch;
    const ImageSize size = Recalculate("A4", dpiText);
    ParamFields fields;
    fields.Preview = false;
    fields.Width = std::to_string(size.Width);
    fields.Height = std::to_string(size.Height);
    fields.Iterations = "20000";
    fields.RealFrom = "-0.7455";
    fields.RealTo = "-0.7445";
    fields.ImagFrom = "0.1100";
    fields.ImagTo = "0.110707";
    return fields;
}

// One render into path as nimbra-cli render -o path writes it; the wall time in seconds.
// stopAtRow > 0: interrupted there, its rows kept.
double TimedPosterRun(const ParamFields& fields, int supersample, bool resume, std::int32_t stopAtRow,
                      const std::string& path)
{
    HeadlessRun run;
    StreamDialogs dialogs(std::cerr);
    PosixPlatform platform;
    StopAtRow pump(run.State, stopAtRow);
    RunContext context = run.ContextWith(dialogs, platform, pump);
    context.WorkerThreads = PosterThreads;
    context.Supersample = supersample;
    const NamedImageRequest request{.Path = path, .DotsPerInch = 300, .Supersample = supersample, .Resume = resume};
    context.MakeImageOutput = [&](const FractalParams& params) {
        return OpenNamedImage(params, request, run.Palette, dialogs, platform);
    };
    const auto start = std::chrono::steady_clock::now();
    const RunOutcome outcome = RunCalculation(fields, context);
    if (outcome != (stopAtRow > 0 ? RunOutcome::Stopped : RunOutcome::FileCompleted)) std::cerr << "run failed\n";
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PrintLine(const char* name, int threads, double seconds, double plainSeconds)
{
    std::printf("  %-40s %7d %9.2f %12.3f\n", name, threads, seconds, plainSeconds / seconds);
}

}  // namespace

bool ReportPoster(bool quick)
{
    const char* dotsPerInch = quick ? "75" : "300";
    const ParamFields fields = PosterFields(dotsPerInch);
    const std::string folder = std::filesystem::temp_directory_path().string() + "/";
    const std::string plainPath = folder + "nimbra-poster-plain.tga", wholePath = folder + "nimbra-poster.png",
                      resumedPath = folder + "nimbra-poster-resumed.png";

    NoPump noPump;
    const auto plainStart = std::chrono::steady_clock::now();
    if (!RunToFile(fields, FormulaKind::Mandelbrot, noPump, 1, NoShortcuts, plainPath)) std::cerr << "run failed\n";
    const double plain = std::chrono::duration<double>(std::chrono::steady_clock::now() - plainStart).count();
    const double whole = TimedPosterRun(fields, 1, false, 0, wholePath);
    const double sampled = TimedPosterRun(fields, 2, false, 0, folder + "nimbra-poster-2.png");
    TimedPosterRun(fields, 1, false, std::stoi(fields.Height) / 2, resumedPath);
    const double resumedHalf = TimedPosterRun(fields, 1, true, 0, resumedPath);
    const bool same = ReadFile(resumedPath) == ReadFile(wholePath);
    const double share = resumedHalf / whole;

    std::printf("\nA4 poster at %s dpi, Mandelbrot boundary view, %sx%s, %s iterations, PNG\n", dotsPerInch,
                fields.Width.c_str(), fields.Height.c_str(), fields.Iterations.c_str());
    std::printf("  %-40s %7s %9s %12s\n", "configuration", "threads", "seconds", "vs plain 1t");
    PrintLine("plain loop, no shortcuts, TGA", 1, plain, plain);
    PrintLine("--supersample 1", PosterThreads, whole, plain);
    PrintLine("--supersample 2 (4 times the points)", PosterThreads, sampled, plain);
    PrintLine("--supersample 1, second half resumed", PosterThreads, resumedHalf, plain);
    std::printf("  resumed half / whole: %.3f, goal at most %.1f: %s\n", share, ResumedHalfGoal,
                share <= ResumedHalfGoal ? "met" : "MISSED");
    std::printf("  resumed file %s the uninterrupted one\n", same ? "identical to" : "DIFFERENT from");
    for (const std::string& path : {plainPath, wholePath, resumedPath, folder + "nimbra-poster-2.png"})
        std::remove(path.c_str());
    return same && share <= ResumedHalfGoal;
}

}  // namespace nimbra::bench
