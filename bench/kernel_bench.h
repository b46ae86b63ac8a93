#pragma once
#include "bench/ratio_report.h"

namespace nimbra::bench {

// Passes per second of each kernel, with the hook and the stop test, against a bare loop.
void RegisterKernelBenchmarks(std::vector<RatioGoal>& goals);

}  // namespace nimbra::bench
