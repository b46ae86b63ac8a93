#pragma once
#include "engine/attracting_cycle.h"
#include "engine/orbit_proof.h"
#include "engine/stretch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nimbra {

// Inside the set's two largest components the cycle an orbit settles on is known before the
// first pass: the attracting fixed point or cycle of two (attracting_cycle.h). The orbit then
// needs no search for its period and no guess of its cycle: once it comes near a point of the
// known cycle, a chain of discs around that point (orbit_proof.h) is the proof, as for any
// other cycle. Near the components' edges, where the multiplier's modulus comes close to 1, the
// orbit settles too slowly for that to pay; the regions of the general loop serve it better.
// Deep inside, the chain is kept with a spread for the pixels nearby (proven_discs.h).

// An orbit expected to need more passes than this to come near its known cycle is left to the
// general loop.
inline constexpr double KnownCycleMostPasses = 96;
// Share of the largest room a chain of discs around the fixed point has, 1 - |multiplier|,
// that the orbit must come within before a proof is tried.
inline constexpr double KnownCycleRoomShare = 0.5;
// Failed chains each halve the distance that starts the next attempt; after this many the
// general loop takes over.
inline constexpr int KnownCycleAttempts = 3;

// The radius below which a chain of discs around a point of the cycle can close, about, from
// either point. Around the fixed point it closes while r (|multiplier| + r) < r. Around the cycle
// of two, starting at the point with a = 2|z0| and b = 2|z1|, while
// (a + r)(b + r (a + r)) = ab + r (a^2 + b + 2ar + r^2) < 1, ab the multiplier's modulus: one
// step from the tangent's root, which lies beyond the true one, comes back below it.
inline double ChainRoom(const KnownCycle& cycle)
{
    const double gap = 1 - cycle.Multiplier;
    if (cycle.Period != 2) return gap;
    double room = INFINITY;
    for (std::uint32_t first = 0; first < 2; ++first) {
        const double a = 2 * Modulus(cycle.Points[first]), b = 2 * Modulus(cycle.Points[1 - first]);
        const double tangent = gap / (a * a + b);
        room = std::min(room, gap / (a * a + b + 2 * a * tangent + tangent * tangent));
    }
    return room;
}

class KnownCycleWatch {
public:
    KnownCycleWatch() = default;  // watching for nothing
    // For an orbit, now at (zr, zi), of a kernel whose pass is z squared plus a constant with
    // this known cycle, which must outlive the watch.
    KnownCycleWatch(const KnownCycle& cycle, long double zr, long double zi) : cycle_(&cycle)
    {
        if (cycle.Period != 0) Start(static_cast<double>(zr), static_cast<double>(zi));
    }

    bool HasCycle() const { return cycle_ && cycle_->Period != 0; }
    // Whether the orbit should still look for its known cycle, and for how many passes.
    bool Watching() const { return passesLeft_ > 0 && attemptsLeft_ > 0; }
    std::uint32_t PassesLeft() const { return passesLeft_; }
    void Passed(std::uint32_t passes) { passesLeft_ -= passes < passesLeft_ ? passes : passesLeft_; }

    // The point of the cycle within the target distance of the state, or none.
    const Complex* Near(long double zr, long double zi) const
    {
        const double real = static_cast<double>(zr), imag = static_cast<double>(zi);
        for (std::uint32_t i = 0; i < cycle_->Period; ++i) {
            const double dr = real - cycle_->Points[i].Re, di = imag - cycle_->Points[i].Im;
            if (dr * dr + di * di <= target_ * target_) return &cycle_->Points[i];
        }
        return nullptr;
    }
    void Failed()
    {
        target_ /= 2;
        --attemptsLeft_;
    }
    std::uint32_t Period() const { return cycle_->Period; }
    const KnownCycle& Cycle() const { return *cycle_; }
    double Target() const { return target_; }

private:
    [[gnu::noinline]] void Start(double real, double imag)
    {
        target_ = ChainRoom(*cycle_) * KnownCycleRoomShare;
        // The distance to the cycle shrinks by about |multiplier| a round of Period passes.
        const double distance = Distance(real, imag);
        const double rounds =
            distance <= target_ ? 0 : std::log(distance / target_) / -std::log(std::max(cycle_->Multiplier, 1e-300));
        const double expected = rounds * cycle_->Period;
        if (expected <= KnownCycleMostPasses) passesLeft_ = static_cast<std::uint32_t>(2 * expected) + 16;
    }
    double Distance(double real, double imag) const
    {
        double nearest = INFINITY;
        for (std::uint32_t i = 0; i < cycle_->Period; ++i)
            nearest = std::min(nearest, Modulus({real - cycle_->Points[i].Re, imag - cycle_->Points[i].Im}));
        return nearest;
    }

    const KnownCycle* cycle_ = nullptr;
    double target_ = 0;
    std::uint32_t passesLeft_ = 0;
    int attemptsLeft_ = KnownCycleAttempts;
};

// Whether a chain of discs around the point of the known cycle, starting wide enough to hold the
// orbit's state, closes after a round of the cycle.
template <class Kernel>
[[gnu::noinline]] bool ClosesAroundKnownCycle(const Kernel& orbit, Complex point, std::uint32_t period)
{
    Kernel centre = orbit;
    centre.SetState(point.Re, point.Im);
    const double distance = DiscChain::UpperDistance(orbit.zr, orbit.zi, centre.zr, centre.zi);
    if (!std::isfinite(distance)) return false;
    const double radius = (distance > SmallestStartRadius ? distance : SmallestStartRadius) * StartRadiusMargin;
    return DiscsClose(centre, radius, period);
}

// Passes until escape, limit passes or a proof around the known cycle, two between looks, as in
// PassUntilNear (shortcut_loop.h) and for the same reasons. The first look comes before the
// first pass: deep inside a component the orbit starts near enough.
template <class Kernel>
[[gnu::noinline]] Stretch PassUntilKnownCycle(const Kernel& start, KnownCycleWatch& watch, std::uint32_t limit)
{
    Kernel kernel = start;
    std::uint32_t passes = 0;
    StretchEnd end = StretchEnd::Limit;
    for (;;) {
        if (const Complex* point = watch.Near(kernel.zr, kernel.zi)) [[unlikely]] {
            if (ClosesAroundKnownCycle(kernel, *point, watch.Period())) {
                end = StretchEnd::DiscsClosed;
                break;
            }
            watch.Failed();
            if (!watch.Watching()) break;
        }
        if (passes >= limit) break;
        kernel.Pass();
        ++passes;
        if (kernel.Escaped()) {
            end = StretchEnd::Escaped;
            break;
        }
        if (passes == limit) break;
        kernel.Pass();
        ++passes;
        if (kernel.Escaped()) {
            end = StretchEnd::Escaped;
            break;
        }
    }
    watch.Passed(passes);
    return {kernel.zr, kernel.zi, passes, end};
}

}  // namespace nimbra
