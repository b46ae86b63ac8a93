#pragma once
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace nimbra::bench {

// A ratio to print after the runs: the rate counter of one benchmark over another's.
struct RatioGoal {
    std::string Title;
    std::string Numerator;    // benchmark name
    std::string Denominator;  // benchmark name
    double Goal = 0;          // at least
};

// Prints the usual table, keeps each benchmark's rate, and ends with the ratios and goals.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<RatioGoal> goals) : goals_(std::move(goals)) {}
    void ReportRuns(const std::vector<Run>& runs) override;
    void PrintRatios() const;

private:
    std::vector<RatioGoal> goals_;
    std::map<std::string, double> rates_;
};

}  // namespace nimbra::bench
