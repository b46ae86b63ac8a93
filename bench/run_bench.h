#pragma once
#include "bench/ratio_report.h"

namespace nimbra::bench {

// Whole runs: with the window's kind of pump hook against an empty one, and the renderer's
// two threads against one.
void RegisterRunBenchmarks(std::vector<RatioGoal>& goals);

}  // namespace nimbra::bench
