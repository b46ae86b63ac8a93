#pragma once
#include "engine/attracting_cycle.h"
#include "engine/linearised_region.h"
#include "engine/proven_discs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace nimbra {

// Cycles longer than this are not worth their regions.
inline constexpr std::uint32_t LongestLinearisedPeriod = 256;

// The regions one thread built lately, kept for the pixels near the ones they were built for:
// a region serves every pixel whose constant lies close enough to its own, and where it does
// not, it still tells which period to look for, and where.
class RegionMemory {
public:
    static constexpr std::size_t Kept = 2;
    static constexpr std::uint32_t FewPixels = 8;

    const LinearisedRegion* Serving(FormulaKind formula, const LinearisedRegion::PassConstant& constant) const
    {
        for (const LinearisedRegion& region : regions_)
            if (region.Serves(formula, constant)) return &region;
        return nullptr;
    }
    // Kept regions, the latest first.
    const LinearisedRegion& Latest(std::size_t age) const { return regions_[(next_ + Kept - 1 - age) % Kept]; }
    // Builds over the region used least lately; the latest once built. Around a strongly
    // attracting cycle plain discs may leave more room than Koenigs' series: the one with more.
    LinearisedRegion* Build(FormulaKind formula, const LinearisedRegion::PassConstant& constant,
                            long double constantsSize, long double escapeLimit, const std::vector<Complex>& cycle)
    {
        LinearisedRegion& spare = regions_[next_];
        bool built = spare.Build(formula, constant, constantsSize, escapeLimit, cycle, true);
        if (spare.AttractsVeryStrongly() &&
            discs_.Build(formula, constant, constantsSize, escapeLimit, cycle, false) &&
            (!built || discs_.Room() > spare.Room())) {
            std::swap(spare, discs_);
            built = true;
        }
        if (!built) return nullptr;
        next_ = (next_ + 1) % Kept;
        sinceBuilt_ = 0;
        return &spare;
    }
    // The known cycle for the constant; a formula whose constant is the same for every pixel
    // finds it once.
    const KnownCycle& KnownCycleOf(Complex constant)
    {
        if (constant.Re != knownFor_.Re || constant.Im != knownFor_.Im || !knownFound_) {
            known_ = FindKnownCycle(constant);
            knownFor_ = constant;
            knownFound_ = true;
        }
        return known_;
    }
    ProvenDiscs& Proven() { return proven_; }
    // The cycle the latest orbit proven by a chain of discs or a region settles on.
    const CycleHint& LastCycle() const { return lastCycle_; }
    void SettledOn(const CycleHint& cycle) { lastCycle_ = cycle; }
    // Room for the points of a cycle while one is sought.
    std::vector<Complex>& CycleScratch() { return cycle_; }
    // Whether the orbit of the pixel before took long to settle, or a region was built a few
    // pixels before around a weakly attracting cycle: this pixel likely needs a region too.
    bool NearSlowOrbits() const
    {
        return lastWasSlow_ || (sinceBuilt_ < FewPixels && Latest(0).Built() && Latest(0).AttractsWeakly());
    }
    void Finished(bool slow)
    {
        lastWasSlow_ = slow;
        if (sinceBuilt_ < FewPixels) ++sinceBuilt_;
    }

private:
    std::array<LinearisedRegion, Kept> regions_;
    LinearisedRegion discs_;  // room to build the discs beside the series
    std::size_t next_ = 0;
    bool lastWasSlow_ = false;
    std::uint32_t sinceBuilt_ = FewPixels;  // pixels finished since the latest build
    std::vector<Complex> cycle_;
    ProvenDiscs proven_;
    CycleHint lastCycle_;
    KnownCycle known_;
    Complex knownFor_;
    bool knownFound_ = false;
};

// When one orbit looks whether its state has entered a region, and which region. The first look
// comes at once, and asks the kept regions. A region is built for the orbit only where orbits
// settle slowly: once a chain of discs failed to close around its cycle, when the pixel before
// was slow or the latest region's cycle attracts weakly, or at once around a cycle known in
// closed form that attracts too weakly for its watch; most other orbits a chain of
// discs proves soon, for less than a build costs. A region tells how many passes the orbit
// needs to enter it, or the looks come ever further apart. Without memory, or for a kernel
// whose pass is not z squared plus a constant, it never looks.
template <class Kernel>
class RegionSearch {
public:
    explicit RegionSearch(RegionMemory* memory) : memory_(Kernel::Linearisable ? memory : nullptr) {}

    bool Active() const { return memory_ != nullptr; }
    bool HasRegion() const { return region_ != nullptr; }
    std::uint32_t Period() const { return region_ ? region_->Period() : 0; }
    // The orbit's cycle is known in closed form: the regions are built around it at the first
    // look, without waiting for the orbit to suggest it.
    void Expect(const KnownCycle& cycle) { known_ = &cycle; }
    // Passes the orbit may make before the next look.
    std::uint32_t PassesToLook() const { return memory_ ? wait_ : Never; }
    // Whether to look now: when the time has come, or when the orbit suggests a new period and
    // no region serves it yet.
    bool Due(std::uint32_t seenPeriod) const
    {
        return memory_ && (wait_ == 0 || (!region_ && seenPeriod != triedSeen_));
    }
    void Passed(std::uint32_t passes) { wait_ -= std::min(passes, wait_); }
    // At the end of the orbit: whether it escaped, and the passes it took.
    void Finished(bool escaped, std::int32_t passes)
    {
        if (memory_) memory_->Finished(!escaped && static_cast<std::uint32_t>(passes) >= SlowPasses);
    }

    // Whether the kernel's state lies in a region, so that the orbit never escapes; seenPeriod
    // a period the orbit's returns suggest (0 for none).
    bool Look(const Kernel& kernel, std::uint32_t seenPeriod)
    {
        if constexpr (Kernel::Linearisable) {
            if (!region_) region_ = memory_->Serving(Kernel::Kind, kernel.Constant());
            if (!region_ && (seenPeriod != 0 || known_ || memory_->NearSlowOrbits()))
                region_ = BuildFor(kernel, seenPeriod);
            if (region_) {
                const LinearisedRegion::Look look = region_->Locate(kernel.zr, kernel.zi, kernel.Constant());
                if (look.Inside) return true;
                if (look.PassesToGo > 0) {
                    wait_ = look.PassesToGo;
                    return false;
                }
            }
        }
        // Without a region nothing changes until the orbit suggests another period.
        wait_ = region_ ? backoff_ : Never;
        backoff_ = std::min(backoff_ * 2, LongestBackoff);
        return false;
    }

private:
    static constexpr std::uint32_t SlowPasses = 128, FirstBackoff = 32, LongestBackoff = 1u << 14;
    static constexpr std::uint32_t Never = 0xFFFFFFFFu;

    // Looks for an attracting cycle of the periods the kept regions and the orbit suggest, each
    // once, and builds the regions around it.
    const LinearisedRegion* BuildFor(const Kernel& kernel, std::uint32_t seenPeriod)
    {
        RegionMemory& memory = *memory_;
        const LinearisedRegion::PassConstant constant = kernel.Constant();
        const Complex map = constant.Approximate();
        const Complex state{static_cast<double>(kernel.zr), static_cast<double>(kernel.zi)};
        // A kept region's cycle moved a little with the constant: Newton's method starts at its
        // centre, then at the state.
        struct Candidate {
            std::uint32_t Period;
            const Complex* Centre;
        };
        std::array<Candidate, RegionMemory::Kept + 3> candidates{};
        std::size_t count = 0;
        auto add = [&](std::uint32_t period, const Complex* centre) {
            if (period == 0 || period > LongestLinearisedPeriod) return;
            for (std::size_t i = 0; i < count; ++i)
                if (candidates[i].Period == period) return;
            candidates[count++] = {period, centre};
        };
        std::array<Complex, RegionMemory::Kept> centres{};
        if (!triedKept_) {
            triedKept_ = true;
            if (known_) add(known_->Period, &known_->Points[0]);
            for (std::size_t age = 0; age < RegionMemory::Kept; ++age) {
                const LinearisedRegion& kept = memory.Latest(age);
                centres[age] = kept.Built() ? kept.Centre(0) : Complex{};
                if (kept.Built()) add(kept.Period(), &centres[age]);
            }
            add(1, nullptr);
        }
        if (seenPeriod != triedSeen_) {
            triedSeen_ = seenPeriod;
            add(seenPeriod, nullptr);
        }
        std::vector<Complex>& cycle = memory.CycleScratch();
        for (std::size_t i = 0; i < count; ++i) {
            const Candidate& candidate = candidates[i];
            if (!(candidate.Centre && FindAttractingCycle(map, candidate.Period, *candidate.Centre, cycle)) &&
                !FindAttractingCycle(map, candidate.Period, state, cycle))
                continue;
            return memory.Build(Kernel::Kind, constant, kernel.ConstantsSize(), kernel.EscapeLimit(), cycle);
        }
        return nullptr;
    }

    RegionMemory* memory_;
    const KnownCycle* known_ = nullptr;
    const LinearisedRegion* region_ = nullptr;
    std::uint32_t wait_ = 0;
    std::uint32_t backoff_ = FirstBackoff;
    bool triedKept_ = false;
    std::uint32_t triedSeen_ = 0;
};

}  // namespace nimbra
