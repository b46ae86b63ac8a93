#pragma once
#include "engine/engine_shortcuts.h"
#include "engine/formula_table.h"
#include "engine/known_cycle_loop.h"
#include "engine/orbit_proof.h"
#include "engine/region_search.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace nimbra {

// Passes of an orbit made as in the plain loop before the shortcuts start, while orbits of
// nearby pixels ended at the maximum.
inline constexpr std::int32_t PlainPrelude = 8;
// Pixels that count as nearby.
inline constexpr std::int32_t NearbyPixels = 64;
// Passes between two looks at the stop flag when the hook asks for none.
inline constexpr std::uint32_t PassesBetweenStopChecks = 4096;
// Longer returns are not worth following discs around.
inline constexpr std::uint32_t LongestProvenPeriod = 1u << 16;
// A return this close to the kept state starts the first proof attempt; each failed attempt
// divides the distance that starts the next by ProofDistanceShrink, or by ProofDistanceDrop
// when the orbit did not contract.
inline constexpr double FirstProofDistance = 0x1p-6;
inline constexpr double ProofDistanceShrink = 1.5;
inline constexpr double ProofDistanceDrop = 16;

// The state the orbit is compared with, kept and replaced as in Brent's method at growing
// distances (growing by an eighth rather than doubling finds the cycle sooner after the orbit
// has settled, for the same memory). The exact values stay in memory; the hot loop carries only
// their double roundings and the distances, in SSE registers, since the x87 registers are
// full with the kernel's values. Equal states round to equal doubles, so an exact return always
// gets through the comparison of the roundings to the full one.
struct KeptState {
    long double Real = 0, Imag = 0;
};

struct NearWatch {
    double Real = 0, Imag = 0;  // the kept state, rounded
    double Width = 0;           // a return this close is worth a proof attempt; 0 without proofs
    std::uint32_t PassIndex = 0, KeptAt = 0, NextKeep = 2;

    bool MaybeNear(long double zr, long double zi) const
    {
        return std::fabs(static_cast<double>(zr) - Real) <= Width && std::fabs(static_cast<double>(zi) - Imag) <= Width;
    }
    std::uint32_t Distance() const { return PassIndex - KeptAt; }  // passes since the kept state

    void Keep(long double zr, long double zi, KeptState& kept)
    {
        kept.Real = zr;
        kept.Imag = zi;
        Real = static_cast<double>(zr);
        Imag = static_cast<double>(zi);
        KeptAt = PassIndex;
    }
    // After a look that found nothing near.
    void Looked(long double zr, long double zi, KeptState& kept)
    {
        if (PassIndex >= NextKeep) [[unlikely]] {
            Keep(zr, zi, kept);
            NextKeep = PassIndex + (PassIndex >> 3) + 2;
        }
    }
    // After a failed proof attempt: its end state is kept, and the next attempt must start
    // closer, much closer when the orbit did not contract.
    void Failed(long double zr, long double zi, long double near, bool contracting, KeptState& kept)
    {
        Width = static_cast<double>(near) / (contracting ? ProofDistanceShrink : ProofDistanceDrop);
        Keep(zr, zi, kept);
    }
};

// How the count of a point was settled.
enum class OrbitEnd : std::uint8_t {
    Escaped,        // the escape test held
    RanToMaximum,   // every pass was made
    Repeated,       // the orbit came back to an exact earlier state
    DiscsClosed,    // a chain of discs around its cycle closed (orbit_proof.h)
    RegionEntered,  // the orbit entered a region around its cycle (linearised_region.h)
    KnownCycle,     // a chain of discs closed around a cycle known in closed form (known_cycle_loop.h)
    RunProven,      // proven with its neighbours in the row at once (proven_run.h)
};

// The count of one point, whether a value left the extended range on the way (an infinity or
// NaN in a square or a reciprocal), which would make the count meaningless, how the count was
// settled and how many passes of the orbit that took.
struct PointResult {
    std::int32_t Count = 0;
    bool OutOfRange = false;
    OrbitEnd End = OrbitEnd::Escaped;
    std::int32_t Passes = 0;
};

// What the loop watches for, and the state it compares with.
struct OrbitWatch {
    bool Repeats = false;
    bool Proofs = false;
    KeptState Kept;
    NearWatch Near;
    // The period of the last proof attempt that found the orbit contracting; with
    // ReturnAfterNewPeriod a failed attempt of a new period ends the stretch, for the regions to look.
    std::uint32_t SeenPeriod = 0;
    bool ReturnAfterNewPeriod = false;
    std::uint32_t ProvenPeriod = 0;  // the period of the chain of discs that closed
};

// The hot loop: passes until escape, the maximum or limit passes (more when a proof attempt
// runs over), keeping states on the way. It makes two passes between looks at the kept state,
// which halves the cost of looking; cycles show up at even distances then, which is just as
// good. An escape or the limit after the first of the two ends the loop there: no pass is made
// that the plain loop would not make. A function of its own, not inlined, working on copies
// whose addresses stay inside, so that the x87 registers hold the kernel's values and nothing
// else: a value spilled and reloaded in every pass would cost more than the pass. Only the
// state goes back, since a value crosses a call through memory.
template <class Kernel>
[[gnu::noinline]] Stretch PassUntilNear(const Kernel& start, OrbitWatch& watched, std::uint32_t limit,
                                        std::uint32_t toMaximum)
{
    Kernel kernel = start;
    NearWatch watch = watched.Near;
    KeptState& kept = watched.Kept;
    std::uint32_t passes = 0;
    StretchEnd end = StretchEnd::Limit;
    while (passes < limit) {
        kernel.Pass();
        ++passes;
        if (kernel.Escaped()) {
            end = StretchEnd::Escaped;
            break;
        }
        if (passes == limit) {
            ++watch.PassIndex;
            break;
        }
        kernel.Pass();
        ++passes;
        if (kernel.Escaped()) {
            end = StretchEnd::Escaped;
            break;
        }
        watch.PassIndex += 2;
        if (!watch.MaybeNear(kernel.zr, kernel.zi)) [[likely]] {
            watch.Looked(kernel.zr, kernel.zi, kept);
            continue;
        }
        const long double nearReal = fabsl(kernel.zr - kept.Real), nearImag = fabsl(kernel.zi - kept.Imag);
        if (watched.Repeats && nearReal == 0 && nearImag == 0) {
            end = StretchEnd::Repeated;
            break;
        }
        const long double near = nearReal > nearImag ? nearReal : nearImag;
        const std::uint32_t period = watch.Distance();
        if constexpr (FormulaOf(Kernel::Kind).Provable) {
            if (watched.Proofs && near <= watch.Width && period <= LongestProvenPeriod) {
                const Kernel attempted = kernel;
                const ProofAttempt attempt = AttemptProof(attempted, period, toMaximum - passes, near);
                kernel.SetState(attempt.Real, attempt.Imag);
                passes += attempt.Passes;
                if (attempt.Escaped || attempt.Proven) {
                    end = attempt.Escaped ? StretchEnd::Escaped : StretchEnd::DiscsClosed;
                    watched.ProvenPeriod = attempt.Passes;
                    break;
                }
                watch.Failed(kernel.zr, kernel.zi, near, attempt.Contracting, kept);
                // Only a contracting orbit can be settling on an attracting cycle.
                if (attempt.Contracting && attempt.Passes != watched.SeenPeriod) {
                    watched.SeenPeriod = attempt.Passes;
                    if (watched.ReturnAfterNewPeriod) break;
                }
                continue;
            }
        }
        watch.Looked(kernel.zr, kernel.zi, kept);
    }
    watched.Near = watch;
    return {kernel.zr, kernel.zi, passes, end};
}

// How many passes an orbit makes as in the plain loop before the shortcuts start: few while a
// pixel nearby (in the order they are computed) reached the maximum, a quarter of the maximum
// otherwise. Far from the set's interior the shortcuts only cost, and most of those orbits
// escape within that quarter; an orbit that does not pays a quarter more at most. Counts do not
// depend on it.
class PlainPassesChoice {
public:
    explicit PlainPassesChoice(std::int32_t maxIterations) : maximum_(maxIterations) {}
    std::int32_t Next() const
    {
        return sinceMaximum_ < NearbyPixels ? PlainPrelude : std::max(PlainPrelude, maximum_ / 4);
    }
    void Counted(std::int32_t count) { sinceMaximum_ = count == maximum_ ? 0 : sinceMaximum_ + 1; }

private:
    std::int32_t maximum_;
    std::int32_t sinceMaximum_ = NearbyPixels;
};

// Runs passes until escape or the maximum like the plain loop, with the exact shortcuts
// switched on in shortcuts. The stop flag is read after the passes the hook asks for, or every
// PassesBetweenStopChecks passes: a stopped pixel is discarded anyway.
//
// Repeats: the next pass of every kernel reads only zr and zi (the rest is derived from them),
// the iteration is deterministic, and the sign of a zero never changes a later square,
// absolute value or root, so an exact return means the orbit repeats for ever without
// escaping: its count is the maximum, as if every pass had been made.
// Proofs: a return within the watch's Width after k passes starts an attempt over the next k
// passes (orbit_proof.h). A failed attempt keeps the state it ended with and asks the next one
// to come closer. Between the stretches, the orbit looks for a region around its cycle it has
// entered (linearised_region.h), when and as region_search.h says. With known, the orbit first
// watches for a cycle known in closed form (known_cycle_loop.h), while that promises to pay, and
// then looks for the regions around that cycle.
template <int HookCallsPerPass, class Kernel, class Hook>
[[gnu::always_inline]] inline PointResult IterateWithShortcuts(Kernel kernel, std::int32_t count,
                                                               std::int32_t maxIterations,
                                                               const std::atomic<bool>& stop, Hook& hook,
                                                               EngineShortcuts shortcuts, RegionMemory* regions,
                                                               KnownCycleWatch* known = nullptr)
{
    OrbitWatch watch;
    watch.Repeats = shortcuts.SkipRepeatingOrbits;
    watch.Proofs = shortcuts.ProveBoundedOrbits && FormulaOf(Kernel::Kind).Provable;
    watch.Near.Width = watch.Proofs ? FirstProofDistance : 0;
    watch.Near.Keep(kernel.zr, kernel.zi, watch.Kept);
    RegionSearch<Kernel> regionSearch(watch.Proofs && shortcuts.ProveByRegions ? regions : nullptr);
    watch.ReturnAfterNewPeriod = regionSearch.Active();
    auto finish = [&](PointResult result) {
        regionSearch.Finished(result.End == OrbitEnd::Escaped, result.Passes);
        return result;
    };
    std::int32_t passes = 0;
    // Passes up to the next look at the stop flag or the hook's call, or more.
    auto budget = [&](std::uint32_t more) {
        const std::uint32_t hookPasses = (hook.PassesBeforePoll() - 1) / HookCallsPerPass + 1;  // at least 1
        const std::uint32_t toMaximum = static_cast<std::uint32_t>(maxIterations - count);
        return std::min({hookPasses, PassesBetweenStopChecks, toMaximum, more});
    };
    auto advance = [&](const Stretch& stretch) {
        kernel.SetState(stretch.Real, stretch.Imag);
        hook.PassesDone(stretch.Passes * HookCallsPerPass);
        regionSearch.Passed(stretch.Passes);
        count += static_cast<std::int32_t>(stretch.Passes);
        passes += static_cast<std::int32_t>(stretch.Passes);
    };
    // A stop set by a handler the hook ran ends the loop after these passes too.
    auto stopped = [&] { return count == maxIterations || stop.load(std::memory_order_relaxed); };
    if constexpr (Kernel::Linearisable) {
        if (known) {
            // Whether the known cycle settles the orbit decides whether the next pixel asks the
            // discs it leaves behind.
            ProvenDiscs& proven = regions->Proven();
            while (known->Watching()) {
                const Stretch stretch = PassUntilKnownCycle(kernel, *known, budget(known->PassesLeft()));
                advance(stretch);
                if (stretch.End == StretchEnd::DiscsClosed) {
                    proven.Remember(kernel, known->Cycle(), known->Target());
                    proven.Finished(true);
                    return finish({maxIterations, kernel.OutOfRange(), OrbitEnd::KnownCycle, passes});
                }
                if (stretch.End == StretchEnd::Escaped) {
                    proven.Finished(false);
                    return finish({count, kernel.OutOfRange(), OrbitEnd::Escaped, passes});
                }
                if (stopped()) {
                    proven.Finished(false);
                    return finish({count, kernel.OutOfRange(), OrbitEnd::RanToMaximum, passes});
                }
            }
            proven.Finished(false);
            watch.Near.Keep(kernel.zr, kernel.zi, watch.Kept);
            // Where the known cycle attracts too weakly for the watch, the regions around it take
            // the orbit in long before a chain of discs would close: no chains are tried unless
            // no region could be built.
            if (regionSearch.Active()) {
                regionSearch.Expect(known->Cycle());
                watch.Near.Width = 0;
            }
        }
    }
    // The cycle the orbit was proven to settle on, for the runs of pixels after it.
    auto settled = [&](std::uint32_t period) {
        if (regions) regions->SettledOn({period, {static_cast<double>(kernel.zr), static_cast<double>(kernel.zi)}});
    };
    for (;;) {
        if (regionSearch.Due(watch.SeenPeriod) && regionSearch.Look(kernel, watch.SeenPeriod)) {
            settled(regionSearch.Period());
            return finish({maxIterations, kernel.OutOfRange(), OrbitEnd::RegionEntered, passes});
        }
        if (watch.Near.Width == 0 && watch.Proofs && !regionSearch.HasRegion()) watch.Near.Width = FirstProofDistance;
        const std::uint32_t toMaximum = static_cast<std::uint32_t>(maxIterations - count);
        const Stretch stretch = PassUntilNear(kernel, watch, budget(regionSearch.PassesToLook()), toMaximum);
        advance(stretch);
        switch (stretch.End) {
        case StretchEnd::Escaped: return finish({count, kernel.OutOfRange(), OrbitEnd::Escaped, passes});
        case StretchEnd::Repeated: return finish({maxIterations, kernel.OutOfRange(), OrbitEnd::Repeated, passes});
        case StretchEnd::DiscsClosed:
            settled(watch.ProvenPeriod);
            return finish({maxIterations, kernel.OutOfRange(), OrbitEnd::DiscsClosed, passes});
        case StretchEnd::Limit: break;
        }
        if (stopped()) return finish({count, kernel.OutOfRange(), OrbitEnd::RanToMaximum, passes});
    }
}

}  // namespace nimbra
