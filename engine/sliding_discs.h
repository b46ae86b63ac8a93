#pragma once
#include "engine/complex_double.h"
#include "engine/orbit_proof.h"
#include "engine/proof_rounding.h"

#include <cmath>
#include <cstdint>

namespace nimbra {

// Why the orbits of a whole run of pixels never escape, proven with one chain of discs whose
// centres slide with the pixel.
//
// Each pixel of the run starts at Z_0 + δ and passes with z squared plus the constant K + κδ,
// |δ| <= s, Z_0 and K the middle pixel's: where the point is both the start and the constant,
// κ = 1; for a Julia set, whose constant is the same for every pixel, κ = 0. The chain follows
// the middle pixel's computed orbit Z_n with a slide D_n (a complex double, D_0 = 1) and a
// radius r_n, and keeps, for the computed state w_n of every pixel of the run after n passes,
//   |w_n - Z_n - D_n δ| <= r_n.
// At n = 0 the difference is 0. With w_n = Z_n + D_n δ + v, |v| <= r_n, and the roundings e of
// the pixel's pass and e' of the middle pixel's (proof_rounding.h):
//   w_{n+1} - Z_{n+1} - D_{n+1} δ = (2 Z_n D_n + κ - D_{n+1}) δ + 2 Z_n v + (D_n δ + v)^2 + e - e'
// so with M >= |Z_n|, G >= |D_n| and η at least what the next slide, worked out in doubles from
// Z_n rounded to double, misses of 2 Z_n D_n + κ:
//   r_{n+1} = η s + 2 M r_n + (G s + r_n)^2 + 2 |e|max.
// Every pixel's state lies within M + G s + r_n of 0; its square bounds the roundings, and while
// it stays below the safe limit the escape test fails. The constants are bounded by K + 2κs.
// A disc that had to hold every pixel's orbit at once would grow by the orbits' distance, about
// G s, each pass; here each pixel's disc moves with its own orbit, and only the square remains.
//
// A second chain of this kind, around a point C of a cycle of the middle pixel's pass with the
// slide E and radius ρ, closes when after a round of p passes
//   |Z_p - C| + |D_p - E| s + r_p <= ρ:
// a pixel whose state lies within ρ of C + E δ is back within ρ of it after the round, and again
// after every round, the escape test failing on every disc on the way. The run's chain reaches
// it when, after n passes, |Z_n - C| + |D_n - E| s + r_n <= ρ: every pixel of the run passes
// into the closed chain and never escapes. Radii never fall below 2^-899, as proof_rounding.h
// asks: the rounding alone adds more each pass.
class SlidingDiscChain {
public:
    // The chain from the state (zr, zi) with the slide and the radius; constantsSize is K,
    // escapeLimit the value the escape test compares with, spread s; constantMoves is κ = 1.
    SlidingDiscChain(long double zr, long double zi, Complex slide, double radius, long double constantsSize,
                     long double escapeLimit, double spread, bool constantMoves)
        : startReal_(zr),
          startImag_(zi),
          startSlide_(slide),
          startRadius_(radius),
          slide_(slide),
          radius_(radius),
          spread_(spread),
          moves_(constantMoves ? 1 : 0),
          constants_((static_cast<double>(constantsSize) + 2 * moves_ * spread) * proof::RoundUp),
          safeLimit_(proof::SafeLimit(escapeLimit))
    {
    }

    // Before each pass, with the state the pass starts from: the next slide and radius; false
    // once a disc reached where the escape test may hold.
    [[gnu::always_inline]] bool Follow(long double zr, long double zi)
    {
        const double modulus = proof::UpperModulus(zr, zi);
        const double slideSize = UpperSize(slide_);
        const double slid = slideSize * spread_ * proof::RoundUp;
        const double reach = modulus + slid + radius_;
        const double squares = reach * reach * proof::RoundUp;
        safe_ = safe_ && squares <= safeLimit_;  // false for a NaN too
        const double rounding = proof::PassRounding(squares, constants_);
        // A few roundings of 2^-53 each, on values below 2 M G + κ, and the state's own rounding.
        const double slideRounding = (4 * modulus * slideSize + moves_) * 0x1p-48 + 0x1p-1000;
        const double apart = slid + radius_;
        radius_ = (slideRounding * spread_ + (modulus + modulus) * radius_ + apart * apart + (rounding + rounding)) *
                  proof::RoundUp;
        const Complex state{static_cast<double>(zr), static_cast<double>(zi)};
        slide_ = 2 * state * slide_ + Complex{moves_, 0};
        return safe_;
    }

    // The radius of the next disc.
    double Radius() const { return radius_; }

    // After the passes, with the state they reached: whether every pixel's disc lies in its disc
    // of the chain around (centreReal, centreImag) with that slide and radius, the escape test
    // failing on every disc before.
    bool LiesIn(long double zr, long double zi, long double centreReal, long double centreImag, Complex centreSlide,
                double radius) const
    {
        const double distance = DiscChain::UpperDistance(zr, zi, centreReal, centreImag);
        const double slid = (std::fabs(slide_.Re - centreSlide.Re) + std::fabs(slide_.Im - centreSlide.Im)) *
                            proof::RoundUp * spread_ * proof::RoundUp;
        return safe_ && (distance + slid + radius_) * proof::RoundUp <= radius;
    }

    // After the passes, with the state they reached: whether the chain came back into its start.
    bool Closes(long double zr, long double zi) const
    {
        return LiesIn(zr, zi, startReal_, startImag_, startSlide_, startRadius_);
    }

private:
    // At least the modulus of a complex double, whatever its parts lost below the normal range.
    static double UpperSize(Complex value) { return (Modulus(value) + 0x1p-500) * proof::RoundUp; }

    long double startReal_, startImag_;
    Complex startSlide_;
    double startRadius_;
    Complex slide_;
    double radius_;
    double spread_;
    double moves_;
    double constants_;
    double safeLimit_;
    bool safe_ = true;  // every disc so far lies where the escape test fails
};

// Whether the sliding chain around the state of centre closes after period passes. Not inlined,
// on a copy, so that the kernel's values keep the x87 registers to themselves.
template <class Kernel>
[[gnu::noinline]] bool SlidingDiscsClose(const Kernel& centre, Complex slide, double radius, std::uint32_t period,
                                         double spread, bool constantMoves)
{
    Kernel kernel = centre;
    SlidingDiscChain chain(kernel.zr, kernel.zi, slide, radius, kernel.ConstantsSize(), kernel.EscapeLimit(), spread,
                           constantMoves);
    for (std::uint32_t pass = 0; pass < period; ++pass) {
        if (!chain.Follow(kernel.zr, kernel.zi)) return false;
        kernel.Pass();
    }
    return chain.Closes(kernel.zr, kernel.zi);
}

}  // namespace nimbra
