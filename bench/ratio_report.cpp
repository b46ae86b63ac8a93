#include "bench/ratio_report.h"

#include <cstdio>

namespace nimbra::bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const auto rate = run.counters.find("rate");
        if (rate != run.counters.end()) rates_[run.run_name.function_name] = rate->second;
    }
}

void RatioReporter::PrintRatios() const
{
    std::printf("\n%-58s %8s %6s\n", "ratio", "measured", "goal");
    for (const RatioGoal& goal : goals_) {
        const auto numerator = rates_.find(goal.Numerator);
        const auto denominator = rates_.find(goal.Denominator);
        if (numerator == rates_.end() || denominator == rates_.end() || denominator->second == 0) continue;
        const double ratio = numerator->second / denominator->second;
        std::printf("%-58s %8.3f %6.2f %s\n", goal.Title.c_str(), ratio, goal.Goal,
                    ratio >= goal.Goal ? "met" : "MISSED");
    }
}

}  // namespace nimbra::bench
