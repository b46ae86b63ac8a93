#pragma once
#include "engine/attracting_cycle.h"
#include "engine/formula_table.h"
#include "engine/kernels.h"
#include "engine/orbit_proof.h"
#include "engine/sliding_discs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace nimbra {

// Neighbouring pixels inside the set mostly settle on nearly the same cycle, so a run of pixels
// of one row is proven at once, with no pass of any of them: one chain of discs that slide with
// the pixel (sliding_discs.h) follows every one of their orbits at once, the escape test failing
// on each disc, until every pixel's disc lies in its first disc of a sliding chain closed around
// a point of the middle pixel's cycle. That closed chain holds each of the orbits for ever, so
// none escapes and every count is the maximum. The cycle is the fixed point or the cycle of two
// known in closed form inside the two largest components (attracting_cycle.h); elsewhere the
// cycle the pixel before was proven to settle on, found again for the run by Newton's method.

// The longest run proven at once, and the shortest worth a try.
inline constexpr std::int32_t LongestProvenRun = 64;
inline constexpr std::int32_t ShortestProvenRun = 2;
// Passes the chain may follow the run's orbits before their discs lie near the cycle.
inline constexpr std::uint32_t ProvenRunPasses = 1024;
// After a run failed, this many pixels are computed one by one before the next try.
inline constexpr std::int32_t PixelsAfterFailedRun = 8;
// Longer cycles are not worth a run's try.
inline constexpr std::uint32_t LongestRunPeriod = 64;

// The discs around the points of a cycle for a run with a spread s: each point's slide, how it
// moves with the pass constant (0 when only the start moves), and a radius of a sliding chain
// around it that closes, about; 0 where none does, and for the points the run does not watch.
struct CycleDiscs {
    std::vector<Complex> Slide;
    std::vector<double> Radius;
};

// The points of the cycle the run's chain is compared with after each pass: either point of the
// fixed point or the cycle of two, the first of a longer cycle, which the orbits pass once a round.
inline std::uint32_t WatchedPoints(std::size_t period)
{
    return period <= 2 ? static_cast<std::uint32_t>(period) : 1;
}

// Where between the smallest and the largest radius that closes the discs' radius lies.
inline constexpr double CycleRadiusShare = 0.8;

// The discs around the cycle for the spread; whether any watched point has one.
inline bool DiscsAroundCycle(const std::vector<Complex>& cycle, double spread, bool constantMoves,
                             CycleDiscs& discs)
{
    const std::size_t period = cycle.size();
    Complex multiplier{1, 0};
    for (const Complex& point : cycle) multiplier = 2 * point * multiplier;
    // A round of passes from the first point adds to its slide what comes back of each pass's
    // change of the constant; its slide is where the round leaves it as it is, and each pass
    // takes the slide of a point to the next point's.
    discs.Slide.assign(period, Complex{});
    if (constantMoves) {
        Complex added{0, 0};
        for (const Complex& point : cycle) added = 2 * point * added + Complex{1, 0};
        discs.Slide[0] = added / (Complex{1, 0} - multiplier);
        for (std::size_t j = 0; j + 1 < period; ++j) discs.Slide[j + 1] = 2 * cycle[j] * discs.Slide[j] + Complex{1, 0};
    }
    discs.Radius.assign(period, 0);
    bool any = false;
    for (std::uint32_t first = 0; first < WatchedPoints(period); ++first) {
        // A pass takes a radius r near z_j to a r + (x + r)^2, a = 2|z_j|, x = |slide| s; a round
        // takes r to about c0 + c1 r + c2 r^2, and closes between the roots of
        // c2 r^2 - (1 - c1) r + c0.
        double c0 = 0, c1 = 1, c2 = 0;
        for (std::size_t i = 0; i < period; ++i) {
            const std::size_t j = (first + i) % period;
            const double a = 2 * Modulus(cycle[j]), x = Modulus(discs.Slide[j]) * spread;
            const double grows = a + 2 * x + 2 * c0;
            c2 = grows * c2 + c1 * c1;
            c1 = grows * c1;
            c0 = (a + 2 * x + c0) * c0 + x * x;
        }
        const double gap = 1 - c1, room = gap * gap - 4 * c2 * c0;
        const double radius = gap > 0 && room > 0 ? (gap + (2 * CycleRadiusShare - 1) * std::sqrt(room)) / (2 * c2) : 0;
        discs.Radius[first] = radius >= SmallestStartRadius ? radius : 0;
        any = any || discs.Radius[first] > 0;
    }
    return any;
}

// Whether every orbit of the run, around the middle kernel's, stays bounded for ever: whether
// the sliding chain with the spread reaches the first disc of a sliding chain closed around a
// watched point of the cycle. The passes the chain followed when it does, 0 when not. Not
// inlined, on copies, so that the kernel's values keep the x87 registers to themselves.
template <class Kernel>
[[gnu::noinline]] std::uint32_t RunStaysBounded(const Kernel& middle, double spread, bool constantMoves,
                                                const std::vector<Complex>& cycle, const CycleDiscs& discs)
{
    const auto period = static_cast<std::uint32_t>(cycle.size());
    const std::uint32_t watched = WatchedPoints(period);
    Kernel centres[2] = {middle, middle};
    double widest = 0;
    for (std::uint32_t j = 0; j < watched; ++j) {
        centres[j].SetState(cycle[j].Re, cycle[j].Im);
        widest = std::max(widest, discs.Radius[j]);
    }
    Kernel kernel = middle;
    SlidingDiscChain chain(kernel.zr, kernel.zi, {1, 0}, SmallestStartRadius, kernel.ConstantsSize(),
                           kernel.EscapeLimit(), spread, constantMoves);
    // A chain whose discs grew wider than the discs around the cycle rarely shrinks back in time.
    for (std::uint32_t pass = 0; pass < ProvenRunPasses; ++pass) {
        if (!chain.Follow(kernel.zr, kernel.zi) || chain.Radius() > widest) return 0;
        kernel.Pass();
        for (std::uint32_t j = 0; j < watched; ++j) {
            if (discs.Radius[j] > 0 &&
                chain.LiesIn(kernel.zr, kernel.zi, centres[j].zr, centres[j].zi, discs.Slide[j], discs.Radius[j]))
                return SlidingDiscsClose(centres[j], discs.Slide[j], discs.Radius[j], period, spread, constantMoves)
                           ? pass + 1
                           : 0;
        }
    }
    return 0;
}

// Pixels proven at once, and the passes the chain followed for them.
struct ProvenRun {
    std::int32_t Pixels = 0;
    std::uint32_t Passes = 0;
};

// Runs of pixels of a row proven together, for one thread computing rows from left to right.
class ProvenRuns {
public:
    // The pixels of the row from column on that never escape, proven at once; none when no run
    // is. Tried only after a pixel that counted the maximum.
    ProvenRun From(std::uint8_t formula, const FractalParams& params, std::int32_t column, long double ci,
                   std::int32_t previousCount, EngineShortcuts shortcuts, const CycleHint& hint)
    {
        if (previousCount != params.MaxIterations || column < nextTry_ || !shortcuts.ProveBoundedOrbits) return {};
        // Runs grow at most twice as long as the last one: near a component's edge, where the
        // orbits of a long run part too far before they settle, a try too long costs its passes.
        const std::int32_t longest = std::min({LongestProvenRun, 2 * lastLength_, params.Width - column});
        if (longest < ShortestProvenRun) return {};
        const ProvenRun run = WithSquaringKernel<ProvenRun>(formula, params, ci, [&](auto kernelAt) {
            return Longest(kernelAt, params, column, longest, hint);
        });
        if (run.Pixels == 0) nextTry_ = column + PixelsAfterFailedRun;
        else lastLength_ = run.Pixels;
        return run;
    }

private:
    // The cycle of the constant: the known one, or one of the hint's period near its point.
    static bool CycleOf(Complex constant, const CycleHint& hint, std::vector<Complex>& points)
    {
        const KnownCycle known = FindKnownCycle(constant);
        if (known.Period != 0) {
            points.assign(known.Points, known.Points + known.Period);
            return true;
        }
        return hint.Period > 2 && hint.Period <= LongestRunPeriod &&
               FindAttractingCycle(constant, hint.Period, hint.Point, points);
    }

    // The longest run the discs around the first pixel's cycle allow, then one a quarter as
    // long; the discs go around the cycle of the run's middle pixel.
    template <class KernelAt>
    ProvenRun Longest(KernelAt kernelAt, const FractalParams& params, std::int32_t column, std::int32_t longest,
                      const CycleHint& hint)
    {
        using Kernel = decltype(kernelAt(0.0L));
        if (!CycleOf(kernelAt(PointReal(params, column)).ConstantGuess(), hint, firstCycle_)) return {};
        const double step = std::fabs(static_cast<double>(params.StepReal));
        const bool constantMoves = Kernel::Kind != FormulaKind::Julia;
        std::int32_t length = longest;
        while (length >= ShortestProvenRun && !DiscsAroundCycle(firstCycle_, step * length / 2, constantMoves, discs_))
            length /= 2;
        // The middle pixel's cycle lies near the first pixel's.
        const CycleHint nearFirst{static_cast<std::uint32_t>(firstCycle_.size()), firstCycle_[0]};
        for (int attempt = 0; attempt < 2 && length >= ShortestProvenRun; ++attempt, length /= 4) {
            // The middle pixel's start and constant, and how far the others' lie: the points of a
            // row are monotone in the column, so its ends lie furthest.
            const std::int32_t middle = column + (length - 1) / 2;
            const long double middleReal = PointReal(params, middle);
            const long double apart = std::max(fabsl(middleReal - PointReal(params, column)),
                                               fabsl(PointReal(params, column + length - 1) - middleReal));
            const double spread = static_cast<double>(apart) * proof::RoundUp * proof::RoundUp;
            const Kernel middleKernel = kernelAt(middleReal);
            if (!CycleOf(middleKernel.ConstantGuess(), nearFirst, cycle_) ||
                !DiscsAroundCycle(cycle_, spread, constantMoves, discs_))
                continue;
            if (const std::uint32_t passes = RunStaysBounded(middleKernel, spread, constantMoves, cycle_, discs_))
                return {length, passes};
        }
        return {};
    }

    std::vector<Complex> firstCycle_, cycle_;
    CycleDiscs discs_;
    std::int32_t nextTry_ = 0;
    std::int32_t lastLength_ = LongestProvenRun;
};

}  // namespace nimbra
