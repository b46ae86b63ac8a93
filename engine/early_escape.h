#pragma once
#include "engine/early_orbit.h"
#include "engine/engine_shortcuts.h"
#include "engine/fractal_params.h"
#include "engine/kernels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace nimbra {

// Most orbits far from the set escape in their first few passes, where one orbit at a time in
// extended precision spends most of its time waiting for the last operation. Eight of them are
// followed at once in doubles instead, with a bound on how far the extended-precision orbit can
// lie; where the bound decides the escape test of every pass, the count is the plain loop's
// (early_escape_passes.h). The others are left to the kernels.

// For each orbit, the count the plain loop gives it when it surely escapes in one of the first
// passes (at most passes of them); Undecided otherwise. In the widest vectors the processor has.
void DecideEarlyEscapes(const std::array<EarlyOrbit, EarlyBlock>& orbits, std::int32_t passes,
                        std::array<std::int32_t, EarlyBlock>& counts);
// Whether the processor has vectors of four doubles (AVX).
bool ProcessorHasQuads();
inline std::int32_t EarlyPasses() { return ProcessorHasQuads() ? EarlyPassesInQuads : EarlyPassesInPairs; }

// The early counts of one row, decided a block of pixels at a time as the row's loop asks.
class EarlyEscapes {
public:
    // The passes each orbit is followed for, asked once rather than for every pixel.
    std::int32_t Passes() const { return passes_; }
    // The count of the pixel at column, or Undecided; always Undecided for a formula whose pass
    // is not z squared plus a constant.
    std::int32_t CountAt(std::uint8_t formula, const FractalParams& params, std::int32_t column, long double ci)
    {
        if (formula != formula_ || column < first_ || column >= first_ + EarlyBlock)
            Decide(formula, params, column, ci);
        return counts_[static_cast<std::size_t>(column - first_)];
    }

private:
    void Decide(std::uint8_t formula, const FractalParams& params, std::int32_t column, long double ci)
    {
        formula_ = formula;
        first_ = column;
        counts_.fill(Undecided);
        // An escape in the last pass would count the maximum either way.
        const std::int32_t passes = std::min(passes_, params.MaxIterations);
        WithSquaringKernel<bool>(formula, params, ci, [&](auto kernelAt) {
            // Every one of these starts at the point; the Julia set's constant is the same for
            // every pixel, the others add the point and a fixed offset.
            using Kernel = decltype(kernelAt(0.0L));
            const LinearisedRegion::PassConstant fixed = kernelAt(0.0L).Constant();
            const bool pointAdded = Kernel::Kind != FormulaKind::Julia;
            const double imag = static_cast<double>(ci);
            const double offsetReal = static_cast<double>(pointAdded ? fixed.OffsetReal : fixed.PixelReal);
            const double offsetImag = static_cast<double>(pointAdded ? fixed.OffsetImag : fixed.PixelImag);
            std::array<EarlyOrbit, EarlyBlock> orbits;
            for (std::int32_t i = 0; i < EarlyBlock; ++i) {
                const double real = static_cast<double>(PointReal(params, std::min(column + i, params.Width - 1)));
                const double addedReal = pointAdded ? real : 0, addedImag = pointAdded ? imag : 0;
                orbits[static_cast<std::size_t>(i)] = {
                    real, imag, addedReal + offsetReal, addedImag + offsetImag,
                    (std::fabs(addedReal) + std::fabs(addedImag) + std::fabs(offsetReal) + std::fabs(offsetImag)) *
                        (1 + 0x1p-50)};
            }
            DecideEarlyEscapes(orbits, passes, counts_);
            return true;
        });
    }

    std::int32_t passes_ = EarlyPasses();
    std::uint8_t formula_ = 0;
    std::int32_t first_ = -EarlyBlock;
    std::array<std::int32_t, EarlyBlock> counts_{};
};

// The early count of a pixel of a row, when the shortcut is on and the pixel before escaped:
// after a pixel inside, the next one likely is too, and its early passes would be wasted.
inline std::int32_t EarlyCount(EarlyEscapes& early, std::uint8_t formula, const FractalParams& params,
                               std::int32_t column, long double ci, std::int32_t previousCount,
                               EngineShortcuts shortcuts)
{
    if (!shortcuts.EscapesInDoubles || previousCount >= early.Passes()) return Undecided;
    return early.CountAt(formula, params, column, ci);
}

}  // namespace nimbra
