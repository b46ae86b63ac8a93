#pragma once
#include "engine/attracting_cycle.h"
#include "engine/formula_table.h"
#include "engine/kernels.h"
#include "engine/known_cycle_loop.h"
#include "engine/orbit_proof.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nimbra {

// Deep inside the set's two largest components the orbits of neighbouring pixels all settle on
// nearly the same known cycle (attracting_cycle.h), so a run of pixels of one row is proven at
// once, with no pass of any of them. Their constants lie within a spread s of the middle
// pixel's and their start states in a disc around its start: a chain of discs with that spread
// (orbit_proof.h) follows every one of their orbits at once, the escape test failing on each
// disc, until a disc lies in the first disc of a chain closed around a point of the middle
// pixel's known cycle with the same spread. That closed chain holds each of the orbits for ever,
// so none escapes and every count is the maximum.

// The longest run proven at once, and the shortest worth a try.
inline constexpr std::int32_t LongestProvenRun = 64;
inline constexpr std::int32_t ShortestProvenRun = 2;
// Passes the chain may follow the run's orbits before its disc lies near the cycle.
inline constexpr std::uint32_t ProvenRunPasses = 64;
// After a run failed, this many pixels are computed one by one before the next try.
inline constexpr std::int32_t PixelsAfterFailedRun = 8;

// Whether every orbit starting within startRadius of the middle kernel's state, with a pass
// constant within spread of its constant, stays bounded for ever: whether the chain reaches the
// first disc of a chain around a point of the cycle, with discs of cycleRadius, that closes with
// the same spread. The passes the chain followed when it does, 0 when not. Not inlined, on
// copies, so that the kernel's values keep the x87 registers to themselves.
template <class Kernel>
[[gnu::noinline]] std::uint32_t RunStaysBounded(const Kernel& middle, double startRadius, double spread,
                                                const KnownCycle& cycle, double cycleRadius)
{
    Kernel centres[2] = {middle, middle};
    for (std::uint32_t j = 0; j < cycle.Period; ++j) centres[j].SetState(cycle.Points[j].Re, cycle.Points[j].Im);
    Kernel kernel = middle;
    DiscChain chain(kernel.zr, kernel.zi, startRadius, kernel.ConstantsSize(), kernel.EscapeLimit(), spread);
    for (std::uint32_t pass = 0; pass < ProvenRunPasses; ++pass) {
        if (!chain.Follow(kernel.zr, kernel.zi)) return 0;
        kernel.Pass();
        for (std::uint32_t j = 0; j < cycle.Period; ++j) {
            if (chain.LiesIn(kernel.zr, kernel.zi, centres[j].zr, centres[j].zi, cycleRadius))
                return DiscsClose(centres[j], cycleRadius, cycle.Period, spread) ? pass + 1 : 0;
        }
    }
    return 0;
}

// Pixels proven at once, and the passes the chain followed for them.
struct ProvenRun {
    std::int32_t Pixels = 0;
    std::uint32_t Passes = 0;
};

// Calls use with a function that gives the kernel of the formula for a point of the row, when
// the formula's pass is z squared plus a constant; gives no run otherwise.
template <class Use>
ProvenRun WithSquaringKernel(std::uint8_t formula, const FractalParams& params, long double ci, Use&& use)
{
    switch (static_cast<FormulaKind>(formula)) {
    case FormulaKind::Mandelbrot: return use([ci](long double real) { return MandelbrotPass(real, ci); });
    case FormulaKind::Julia:
        return use([&params, ci](long double real) { return JuliaPass(real, ci, params.JuliaReal, params.JuliaImag); });
    case FormulaKind::Dragon: return use([ci](long double real) { return DragonPass(real, ci); });
    case FormulaKind::Daisy: return use([ci](long double real) { return DaisyPass(real, ci); });
    default: return {};
    }
}

// Runs of pixels of a row proven together, for one thread computing rows from left to right.
class ProvenRuns {
public:
    // The pixels of the row from column on that never escape, proven at once; none when no run
    // is. Tried only after a pixel that counted the maximum.
    ProvenRun From(std::uint8_t formula, const FractalParams& params, std::int32_t column, long double ci,
                   std::int32_t previousCount, EngineShortcuts shortcuts)
    {
        if (previousCount != params.MaxIterations || column < nextTry_ || !shortcuts.ProveBoundedOrbits) return {};
        const std::int32_t longest = std::min(LongestProvenRun, params.Width - column);
        if (longest < ShortestProvenRun) return {};
        const ProvenRun run = WithSquaringKernel(formula, params, ci, [&](auto kernelAt) {
            return Longest(kernelAt, params, column, longest);
        });
        if (run.Pixels == 0) nextTry_ = column + PixelsAfterFailedRun;
        return run;
    }

private:
    // The radius of the discs around a point of the cycle, and the spread a chain of them leaves
    // room for. Around the fixed point a disc of radius r grows to r (|multiplier| + r) + s a
    // pass, which leaves the widest spread, r^2, at r = (1 - |multiplier|) / 2.
    struct CycleRoom {
        double Radius, Spread;
    };
    static CycleRoom RoomAround(const KnownCycle& cycle)
    {
        const double radius = ChainRoom(cycle) / 2;
        return {radius, radius * radius * SpreadShare};
    }

    // The longest run whose constants the room around the first pixel's cycle allows, then one a
    // quarter as long; the discs go around the cycle of the run's middle pixel.
    template <class KernelAt>
    ProvenRun Longest(KernelAt kernelAt, const FractalParams& params, std::int32_t column, std::int32_t longest)
    {
        using Kernel = decltype(kernelAt(0.0L));
        const KnownCycle firstCycle = FindKnownCycle(kernelAt(PointReal(params, column)).ConstantGuess());
        if (firstCycle.Period == 0) return {};
        const double step = std::fabs(static_cast<double>(params.StepReal));
        const bool pixelConstants = Kernel::Kind != FormulaKind::Julia;
        std::int32_t length = longest;
        while (length >= ShortestProvenRun && pixelConstants && step * length / 2 > RoomAround(firstCycle).Spread)
            length /= 2;
        for (int attempt = 0; attempt < 2 && length >= ShortestProvenRun; ++attempt, length /= 4) {
            // The middle pixel's start and constant, and how far the others' lie: the points of a
            // row are monotone in the column, so its ends lie furthest.
            const std::int32_t middle = column + (length - 1) / 2;
            const long double middleReal = PointReal(params, middle);
            const long double apart = std::max(fabsl(middleReal - PointReal(params, column)),
                                               fabsl(PointReal(params, column + length - 1) - middleReal));
            const double reach =
                std::max(static_cast<double>(apart) * proof::RoundUp * proof::RoundUp, SmallestStartRadius);
            const double spread = pixelConstants ? reach : 0;
            const Kernel middleKernel = kernelAt(middleReal);
            const KnownCycle cycle = FindKnownCycle(middleKernel.ConstantGuess());
            if (cycle.Period == 0) continue;
            const CycleRoom room = RoomAround(cycle);
            if (spread > room.Spread || room.Radius < SmallestStartRadius) continue;
            if (const std::uint32_t passes = RunStaysBounded(middleKernel, reach, spread, cycle, room.Radius))
                return {length, passes};
        }
        return {};
    }

    // Beyond this share of the widest spread the chain around the cycle rarely closes.
    static constexpr double SpreadShare = 0.9;

    std::int32_t nextTry_ = 0;
};

}  // namespace nimbra
