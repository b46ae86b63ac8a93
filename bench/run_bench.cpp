#include "bench/run_bench.h"

#include "bench/file_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace nimbra::bench {
namespace {

// What the window's hook costs when no events are due: a clock read per poll.
class ClockPump final : public PumpHook {
public:
    void Poll() override
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ >= std::chrono::milliseconds(10)) last_ = now;
    }

private:
    std::chrono::steady_clock::time_point last_{};
};

// One file run of the default Mandelbrot view; the rate counts pixels per second.
void FileRun(benchmark::State& state, PumpHook& pump, int workerThreads, std::int32_t width, std::int32_t height)
{
    const std::string output = (std::filesystem::temp_directory_path() / "nimbra-bench.tga").string();
    ParamFields fields;
    fields.Preview = false;
    fields.Width = std::to_string(width);
    fields.Height = std::to_string(height);
    std::int64_t pixels = 0;
    for (auto _ : state) {
        if (!RunToFile(fields, FormulaKind::Mandelbrot, pump, workerThreads, EngineShortcuts{}, output))
            state.SkipWithError("run failed");
        pixels += static_cast<std::int64_t>(width) * height;
    }
    std::remove(output.c_str());
    state.counters["rate"] = benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsRate);
}

}  // namespace

void RegisterRunBenchmarks(std::vector<RatioGoal>& goals)
{
    benchmark::RegisterBenchmark("Run/ClockHook", [](benchmark::State& state) {
        ClockPump pump;
        FileRun(state, pump, 0, 320, 240);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Run/EmptyHook", [](benchmark::State& state) {
        NoPump pump;
        FileRun(state, pump, 0, 320, 240);
    })->Unit(benchmark::kMillisecond);
    goals.push_back({"run with the window's hook / with an empty hook", "Run/ClockHook", "Run/EmptyHook", 0.95});

    benchmark::RegisterBenchmark("Render1024x768/threads:1", [](benchmark::State& state) {
        NoPump pump;
        FileRun(state, pump, 0, 1024, 768);
    })->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
    benchmark::RegisterBenchmark("Render1024x768/threads:2", [](benchmark::State& state) {
        NoPump pump;
        FileRun(state, pump, 2, 1024, 768);
    })->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
    goals.push_back({"render 1024x768, 2 threads / 1 thread", "Render1024x768/threads:2",
                     "Render1024x768/threads:1", 1.8});
}

}  // namespace nimbra::bench
