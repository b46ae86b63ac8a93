#include "bench/kernel_bench.h"
#include "bench/ratio_report.h"
#include "bench/run_bench.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    std::vector<nimbra::bench::RatioGoal> goals;
    nimbra::bench::RegisterKernelBenchmarks(goals);
    nimbra::bench::RegisterRunBenchmarks(goals);
    benchmark::Initialize(&argc, argv);
    nimbra::bench::RatioReporter reporter(goals);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
