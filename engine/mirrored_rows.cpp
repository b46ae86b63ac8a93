#include "engine/mirrored_rows.h"

#include "engine/kernels.h"

#include <cmath>

namespace nimbra {
namespace {

// Rows kept for their mirror rows never take more than this, whatever the image height.
constexpr std::size_t KeptRowsByteLimit = std::size_t{128} << 20;

}  // namespace

std::int32_t ExactMirrorRow(const FractalParams& params, std::int32_t row)
{
    if (params.StepImag == 0) return -1;
    const long double negated = -PointImag(params, row);
    const long double estimate = nearbyintl((negated - params.ImagFrom) / params.StepImag);
    if (!(estimate >= -1 && estimate <= params.Height)) return -1;
    for (std::int32_t candidate = static_cast<std::int32_t>(estimate) - 1; candidate <= estimate + 1; ++candidate) {
        if (candidate != row && candidate >= 0 && candidate < params.Height && PointImag(params, candidate) == negated)
            return candidate;
    }
    return -1;
}

void MirroredRows::Keep(std::int32_t row, const RowCounts& counts, std::int32_t firstUnstarted)
{
    if (counts.Columns != params_.Width || counts.OutOfRangeColumn >= 0 || counts.UniformFormula < 0 ||
        !IsConjugateSymmetric(static_cast<std::uint8_t>(counts.UniformFormula), params_))
        return;
    const std::int32_t mirror = ExactMirrorRow(params_, row);
    if (mirror <= row || mirror < firstUnstarted) return;
    KeptRow kept{{}, counts.UniformFormula};
    for (std::size_t column = 0; column < counts.Counts.size();) {
        const std::int32_t count = counts.Counts[column];
        const std::size_t first = column;
        while (column < counts.Counts.size() && counts.Counts[column] == count) ++column;
        kept.Runs.push_back(count);
        kept.Runs.push_back(static_cast<std::int32_t>(column - first));
    }
    const std::size_t bytes = kept.Runs.size() * sizeof(std::int32_t);
    if (keptBytes_ + bytes > KeptRowsByteLimit) return;
    kept_[mirror] = std::move(kept);
    keptBytes_ += bytes;
}

bool MirroredRows::Take(std::int32_t row, RowCounts& out)
{
    const auto kept = kept_.find(row);
    if (kept == kept_.end()) return false;
    KeptRow source = std::move(kept->second);
    kept_.erase(kept);
    keptBytes_ -= source.Runs.size() * sizeof(std::int32_t);
    // The formula may have changed since: the counts only serve when it has not.
    const std::uint8_t formula = LoadFormula(params_);
    if (source.Formula != formula || !IsConjugateSymmetric(formula, params_)) return false;
    out.Counts.clear();
    for (std::size_t run = 0; run < source.Runs.size(); run += 2)
        out.Counts.insert(out.Counts.end(), static_cast<std::size_t>(source.Runs[run + 1]), source.Runs[run]);
    out.Columns = params_.Width;
    out.OutOfRangeColumn = -1;
    out.UniformFormula = formula;
    return true;
}

}  // namespace nimbra
