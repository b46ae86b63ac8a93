#pragma once
#include "engine/attracting_cycle.h"
#include "engine/complex_double.h"
#include "engine/formula_table.h"
#include "engine/linearised_region.h"
#include "engine/orbit_proof.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace nimbra {

// Discs around a known cycle (known_cycle_loop.h) proven for a whole neighbourhood of constants
// at once: a chain of discs with a spread (orbit_proof.h) closed around the cycle of one pixel's
// constant, so it holds for every constant within the spread of that one. A neighbouring pixel
// whose constant lies within it and whose state lies in the first disc never escapes, without a
// pass or a proof of its own. Deep inside a component the spread covers dozens of pixels and a
// pixel's start lies in the disc.
class ProvenDiscs {
public:
    static constexpr std::size_t Kept = 4;

    // Whether a kept disc holds the kernel's state, proven for its constant. Only looked at
    // while the last orbit that got this far was held or proven around its known cycle:
    // elsewhere the look would cost most pixels more than it saves the few.
    template <class Kernel>
    bool Hold(const Kernel& kernel)
    {
        if (!lookNext_) return false;
        const Complex guess = kernel.ConstantGuess();
        const Complex state{static_cast<double>(kernel.zr), static_cast<double>(kernel.zi)};
        for (std::size_t age = 0; age < count_; ++age) {
            const std::size_t i = (latest_ + Kept - age) % Kept;
            const Disc& disc = discs_[i];
            // A cheap look in doubles first; the check that counts is in extended precision.
            if (disc.Formula != Kernel::Kind ||
                !(std::fabs(guess.Re - disc.Guess.Re) + std::fabs(guess.Im - disc.Guess.Im) < 2 * disc.Spread) ||
                !(std::fabs(state.Re - disc.CentreGuess.Re) + std::fabs(state.Im - disc.CentreGuess.Im) <
                  2 * disc.Radius))
                continue;
            if (disc.Holds(kernel.Constant(), kernel.zr, kernel.zi)) {
                latest_ = i;
                return true;
            }
        }
        return false;
    }
    // Once an orbit was held or proven around its known cycle, or was not.
    void Finished(bool heldOrProven) { lookNext_ = heldOrProven && count_ > 0; }

    // After a chain closed around a point of the known cycle for the kernel's constant: keeps
    // chains of the given radius around the cycle's points that close with a spread, where they
    // do and none is kept already.
    template <class Kernel>
    void Remember(const Kernel& kernel, const KnownCycle& cycle, double radius)
    {
        if (cycle.Multiplier > WidestMultiplier) return;
        const Complex guess = kernel.ConstantGuess();
        for (std::uint32_t j = 0; j < cycle.Period; ++j) {
            const Complex point = cycle.Points[j];
            bool kept = false;
            for (std::size_t i = 0; i < count_; ++i) {
                const Disc& disc = discs_[i];
                kept = kept || (disc.Formula == Kernel::Kind && disc.Guess.Re == guess.Re &&
                                disc.Guess.Im == guess.Im && disc.CentreGuess.Re == point.Re &&
                                disc.CentreGuess.Im == point.Im);
            }
            if (!kept) RememberAround(kernel, point, cycle.Period, radius, cycle.Multiplier);
        }
    }

private:
    template <class Kernel>
    void RememberAround(const Kernel& kernel, Complex point, std::uint32_t period, double radius, double multiplier)
    {
        Kernel centre = kernel;
        centre.SetState(point.Re, point.Im);
        // Around the fixed point a disc of radius r grows to about r (|multiplier| + r) a pass,
        // which leaves r (1 - |multiplier| - r) for the spread; the cycle of two leaves less.
        double spread = radius * (1 - multiplier - radius) * SpreadShare;
        for (int attempt = 0; attempt < SpreadAttempts && spread > 0; ++attempt, spread /= 4) {
            if (!DiscsClose(centre, radius, period, spread)) continue;
            latest_ = (latest_ + 1) % Kept;
            if (count_ < Kept) ++count_;
            discs_[latest_] = {Kernel::Kind, kernel.ConstantGuess(), point, kernel.Constant(), centre.zr, centre.zi,
                               radius, spread};
            return;
        }
    }

    // Beyond this the spread covers hardly a pixel's neighbour.
    static constexpr double WidestMultiplier = 0.85;
    static constexpr double SpreadShare = 0.75;
    static constexpr int SpreadAttempts = 3;

    struct Disc {
        FormulaKind Formula = FormulaKind::Mandelbrot;
        Complex Guess;        // the constant in doubles
        Complex CentreGuess;  // the centre in doubles
        LinearisedRegion::PassConstant Constant;
        long double CentreReal = 0, CentreImag = 0;
        double Radius = 0, Spread = 0;

        bool Holds(const LinearisedRegion::PassConstant& other, long double zr, long double zi) const
        {
            if (other.OffsetReal != Constant.OffsetReal || other.OffsetImag != Constant.OffsetImag) return false;
            // RoundUp covers the rounded differences.
            const double apart =
                proof::UpperModulus(other.PixelReal - Constant.PixelReal, other.PixelImag - Constant.PixelImag) *
                proof::RoundUp;
            return apart <= Spread && DiscChain::UpperDistance(zr, zi, CentreReal, CentreImag) <= Radius;
        }
    };

    std::array<Disc, Kept> discs_{};
    std::size_t latest_ = 0, count_ = 0;
    bool lookNext_ = false;
};

}  // namespace nimbra
