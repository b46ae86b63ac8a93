#pragma once
#include "engine/engine_shortcuts.h"
#include "engine/orbit_proof.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace nimbra {

// Passes between two looks at the stop flag when the hook asks for none.
inline constexpr std::uint32_t PassesBetweenStopChecks = 4096;
// Longer returns are not worth following discs around.
inline constexpr std::uint32_t LongestProvenPeriod = 1u << 16;

// The state the orbit is compared with, kept and replaced as in Brent's method at growing
// distances (growing by an eighth rather than doubling finds the cycle sooner after the orbit
// has settled, for the same memory). Each pass compares only its real part, less a double copy
// held in memory, with a width: that costs no x87 register. The width is at least the copy's
// rounding, so an exact return always gets through to the full comparison.
struct KeptState {
    long double Real = 0, Imag = 0;
    double NearReal = 0;
    double NearWidth = 0;
    double ProofDistance = 0;  // a return closer than this is worth a proof attempt
    std::uint32_t PassIndex = 0, KeptAt = 0, NextKeep = 1;

    bool MaybeNear(long double zr) const { return fabsl(zr - NearReal) <= NearWidth; }
    std::uint32_t Distance() const { return PassIndex + 1 - KeptAt; }  // of the pass just made

    void Keep(long double zr, long double zi)
    {
        Real = zr;
        Imag = zi;
        KeptAt = PassIndex;
        NearReal = static_cast<double>(zr);
        NearWidth = std::max(ProofDistance, 0x1p-50 * std::fabs(NearReal) + 0x1p-1000);
    }
    // After an ordinary pass.
    void Passed(long double zr, long double zi)
    {
        if (++PassIndex == NextKeep) [[unlikely]] {
            Keep(zr, zi);
            NextKeep = PassIndex + (PassIndex >> 3) + 1;
        }
    }
    // After a failed proof attempt: its end state is kept, and the next attempt must start closer.
    void Failed(long double zr, long double zi, long double near)
    {
        ProofDistance = static_cast<double>(near) / 4;
        ++PassIndex;
        Keep(zr, zi);
        if (NextKeep <= PassIndex) NextKeep = PassIndex + (PassIndex >> 3) + 1;
    }
};

// A proof attempt: k passes made while following discs around the orbit.
struct ProofRun {
    std::uint32_t Passes = 0;
    bool Escaped = false;
    bool Proven = false;
};

template <class Kernel>
ProofRun FollowDiscs(Kernel& kernel, std::uint32_t period, std::uint32_t passesLeft, long double nearDistance)
{
    DiscChain chain(kernel.zr, kernel.zi, kernel.ConstantsSize(), kernel.EscapeLimit(), nearDistance);
    const std::uint32_t passes = std::min(period, passesLeft);
    for (std::uint32_t pass = 0; pass < passes; ++pass) {
        chain.Follow(kernel.zr, kernel.zi);
        kernel.Pass();
        if (kernel.Escaped()) return {pass + 1, true, false};
    }
    return {passes, false, passes == period && chain.Closes(kernel.zr, kernel.zi)};
}

// Runs passes until escape or the maximum like the plain loop, with the exact shortcuts
// switched on in shortcuts; returns the count. The stop flag is read after the passes the hook
// asks for, or every PassesBetweenStopChecks passes: a stopped pixel is discarded anyway.
//
// Repeats: the next pass of every kernel reads only zr and zi (the rest is derived from them),
// the iteration is deterministic, and the sign of a zero never changes a later square,
// absolute value or root, so an exact return means the orbit repeats for ever without
// escaping: its count is the maximum, as if every pass had been made.
// Proofs: a return closer than the kept state's ProofDistance after k passes starts an attempt
// over the next k passes (orbit_proof.h). A failed attempt keeps the state it ended with and
// asks the next one to come four times closer.
template <int HookCallsPerPass, class Kernel, class Hook>
std::int32_t IterateWithShortcuts(Kernel& kernel, std::int32_t count, std::int32_t maxIterations,
                                  const std::atomic<bool>& stop, Hook& hook, EngineShortcuts shortcuts)
{
    const bool proofs = shortcuts.ProveBoundedOrbits && Kernel::Provable;
    KeptState kept;
    kept.ProofDistance = proofs ? 0x1p-10 : 0;
    kept.Keep(kernel.zr, kernel.zi);
    for (;;) {
        const std::uint32_t hookPasses = (hook.PassesBeforePoll() - 1) / HookCallsPerPass + 1;  // at least 1
        const std::uint32_t toMaximum = static_cast<std::uint32_t>(maxIterations - count);
        const std::uint32_t budget = std::min({hookPasses, PassesBetweenStopChecks, toMaximum});
        std::uint32_t passes = 0;
        bool escaped = false, bounded = false;
        while (passes < budget) {
            kernel.Pass();
            ++passes;
            if (kernel.Escaped()) {
                escaped = true;
                break;
            }
            if (kept.MaybeNear(kernel.zr)) [[unlikely]] {
                const long double nearReal = fabsl(kernel.zr - kept.Real), nearImag = fabsl(kernel.zi - kept.Imag);
                if (shortcuts.SkipRepeatingOrbits && nearReal == 0 && nearImag == 0) {
                    bounded = true;
                    break;
                }
                const long double near = fmaxl(nearReal, nearImag);
                const std::uint32_t period = kept.Distance();
                if (proofs && near < kept.ProofDistance && period <= LongestProvenPeriod) {
                    const ProofRun run = FollowDiscs(kernel, period, toMaximum - passes, near);
                    passes += run.Passes;
                    escaped = run.Escaped;
                    bounded = run.Proven;
                    if (escaped || bounded) break;
                    kept.Failed(kernel.zr, kernel.zi, near);
                    continue;
                }
            }
            kept.Passed(kernel.zr, kernel.zi);
        }
        count = bounded ? maxIterations : count + static_cast<std::int32_t>(passes);
        hook.PassesDone(passes * HookCallsPerPass);
        // A stop set by a handler the hook ran ends the loop after these passes too.
        if (escaped || count == maxIterations || stop.load(std::memory_order_relaxed)) return count;
    }
}

}  // namespace nimbra
