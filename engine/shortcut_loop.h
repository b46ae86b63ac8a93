#pragma once
#include "engine/engine_shortcuts.h"
#include "engine/orbit_proof.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace nimbra {

// Passes of an orbit made as in the plain loop before the shortcuts start.
inline constexpr std::int32_t PlainPrelude = 16;
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

// Where a stretch of passes ended, with the state it reached; the rest of the kernel's values
// follow from that state.
enum class StretchEnd : std::uint8_t { Limit, Escaped, NearKept };

struct Stretch {
    long double Real, Imag;
    std::uint32_t Passes;
    StretchEnd End;
};

// The hot loop: passes until escape, a return near the kept state, or limit passes, keeping
// states on the way. It looks at the kept state after every second pass, which halves the
// cost of looking; cycles show up at even distances then, which is just as good. A function of
// its own, not inlined, working on copies whose addresses stay inside, so that the x87
// registers hold the kernel's values and nothing else: a value spilled and reloaded in every
// pass would cost more than the pass. Only the state goes back, since a value crosses a call
// through memory.
template <class Kernel>
[[gnu::noinline]] Stretch PassUntilNear(const Kernel& start, NearWatch& watched, KeptState& kept, std::uint32_t limit)
{
    Kernel kernel = start;
    NearWatch watch = watched;
    std::uint32_t passes = 0;
    StretchEnd end;
    for (;;) {
        kernel.Pass();
        ++passes;
        ++watch.PassIndex;
        if (kernel.Escaped()) {
            end = StretchEnd::Escaped;
            break;
        }
        if (passes == limit) {
            end = StretchEnd::Limit;
            break;
        }
        if (watch.PassIndex % 2 != 0) continue;
        if (watch.MaybeNear(kernel.zr, kernel.zi)) [[unlikely]] {
            end = StretchEnd::NearKept;
            break;
        }
        watch.Looked(kernel.zr, kernel.zi, kept);
    }
    watched = watch;
    return {kernel.zr, kernel.zi, passes, end};
}

struct ShortcutResult {
    std::int32_t Count;
    bool OutOfRange;
};

// Runs passes until escape or the maximum like the plain loop, with the exact shortcuts
// switched on in shortcuts. The stop flag is read after the passes the hook asks for, or every
// PassesBetweenStopChecks passes: a stopped pixel is discarded anyway.
//
// Repeats: the next pass of every kernel reads only zr and zi (the rest is derived from them),
// the iteration is deterministic, and the sign of a zero never changes a later square,
// absolute value or root, so an exact return means the orbit repeats for ever without
// escaping: its count is the maximum, as if every pass had been made.
// Proofs: a return within the watch's Width after k passes starts an attempt
// over the next k passes (orbit_proof.h). A failed attempt keeps the state it ended with and
// asks the next one to come closer.
template <int HookCallsPerPass, class Kernel, class Hook>
ShortcutResult IterateWithShortcuts(Kernel kernel, std::int32_t count, std::int32_t maxIterations,
                                    const std::atomic<bool>& stop, Hook& hook, EngineShortcuts shortcuts)
{
    const bool proofs = shortcuts.ProveBoundedOrbits && Kernel::Provable;
    KeptState kept;
    NearWatch watch;
    watch.Width = proofs ? FirstProofDistance : 0;
    watch.Keep(kernel.zr, kernel.zi, kept);
    for (;;) {
        const std::uint32_t hookPasses = (hook.PassesBeforePoll() - 1) / HookCallsPerPass + 1;  // at least 1
        const std::uint32_t toMaximum = static_cast<std::uint32_t>(maxIterations - count);
        const std::uint32_t budget = std::min({hookPasses, PassesBetweenStopChecks, toMaximum});
        std::uint32_t passes = 0;
        bool escaped = false, bounded = false;
        while (passes < budget && !escaped && !bounded) {
            const Stretch stretch = PassUntilNear(kernel, watch, kept, budget - passes);
            kernel.SetState(stretch.Real, stretch.Imag);
            passes += stretch.Passes;
            escaped = stretch.End == StretchEnd::Escaped;
            if (stretch.End != StretchEnd::NearKept) continue;
            const long double nearReal = fabsl(kernel.zr - kept.Real), nearImag = fabsl(kernel.zi - kept.Imag);
            if (shortcuts.SkipRepeatingOrbits && nearReal == 0 && nearImag == 0) {
                bounded = true;
                continue;
            }
            if constexpr (Kernel::Provable) {
                const long double near = nearReal > nearImag ? nearReal : nearImag;
                const std::uint32_t period = watch.Distance();
                if (proofs && near <= watch.Width && period <= LongestProvenPeriod) {
                    const ProofAttempt attempt = AttemptProof(kernel, period, toMaximum - passes);
                    kernel.SetState(attempt.Real, attempt.Imag);
                    passes += attempt.Passes;
                    escaped = attempt.Escaped;
                    bounded = attempt.Proven;
                    watch.Failed(kernel.zr, kernel.zi, near, attempt.Contracting, kept);
                    continue;
                }
            }
            watch.Looked(kernel.zr, kernel.zi, kept);
        }
        count = bounded ? maxIterations : count + static_cast<std::int32_t>(passes);
        hook.PassesDone(passes * HookCallsPerPass);
        // A stop set by a handler the hook ran ends the loop after these passes too.
        if (escaped || count == maxIterations || stop.load(std::memory_order_relaxed))
            return {count, kernel.OutOfRange()};
    }
}

}  // namespace nimbra
