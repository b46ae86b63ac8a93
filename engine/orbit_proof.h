#pragma once
#include "engine/proof_rounding.h"

#include <cmath>
#include <cstdint>

namespace nimbra {

// Why an orbit that passes this check never escapes.
//
// The pass maps the state w = x + iy to F(w) = f(w) + e(w), f the exact map and e the
// rounding, bounded in proof_rounding.h. For w in a disc around v of radius r:
//   |f(w) - f(v)| = |w - v| |w + v| <= r (2|v| + r)
// (for the Burning Ship the fold |x| + i|y| moves no two points apart, as ||a| - |b|| <= |a - b|
// for each part, and keeps the modulus).
// So F maps the disc into the disc of radius r (2|v| + r) + 2 |e|max around F(v).
// Following the computed orbit v_0 ... v_k of some state v_0 with these radii: when D_k lies
// inside D_0 and on every disc the escape test fails, every computed orbit from D_0 stays in
// D_1 ... D_k for ever. An orbit whose state lies in D_0 never escapes; its count is the maximum.
// A radius is never below 2^-899, as proof_rounding.h asks.
// A chain with a spread s holds for every pass whose exact map is z squared plus a constant
// within s of the kernel's, K' = K + d, |d| <= s: that pass maps w to f(w) + d + e'(w), so
// |F'(w) - F(v)| <= r (2|v| + r) + s + |e'(w)| + |e(v)|, and each disc grows by s more; e' is
// bounded with K + 2s in place of K, which is at least |Re K'| + |Im K'|.
class DiscChain {
public:
    // The disc of radius startRadius around the state (zr, zi) starts the chain; constantsSize
    // is K, escapeLimit the value the escape test compares with.
    DiscChain(long double zr, long double zi, double startRadius, long double constantsSize,
              long double escapeLimit, double spread = 0)
        : startReal_(zr),
          startImag_(zi),
          constants_((static_cast<double>(constantsSize) + spread + spread) * proof::RoundUp),
          spread_(spread),
          safeLimit_(proof::SafeLimit(escapeLimit)),
          startRadius_(startRadius),
          radius_(startRadius)
    {
    }

    // Before each pass, with the state the pass starts from: the radius of the next disc;
    // false once a disc reached where the escape test may hold.
    bool Follow(long double zr, long double zi)
    {
        const double modulus = proof::UpperModulus(zr, zi);
        const double reach = modulus + radius_;
        const double squares = reach * reach * proof::RoundUp;
        safe_ = safe_ && squares <= safeLimit_;  // false for a NaN too
        const double rounding = proof::PassRounding(squares, constants_);
        radius_ = (radius_ * (modulus + modulus + radius_) + (rounding + rounding) + spread_) * proof::RoundUp;
        return safe_;
    }

    // After the passes, with the state they reached: whether the last disc lies in the first.
    bool Closes(long double zr, long double zi) const
    {
        const double reach = proof::UpperModulus(zr, zi) + radius_;
        const double squares = reach * reach * proof::RoundUp;
        const double distance = UpperDistance(zr, zi, startReal_, startImag_);
        return safe_ && squares <= safeLimit_ && (distance + radius_) * proof::RoundUp <= startRadius_;
    }

    // At least the distance between two states.
    static double UpperDistance(long double ar, long double ai, long double br, long double bi)
    {
        // RoundUp covers the rounded differences.
        return proof::UpperModulus(ar - br, ai - bi) * proof::RoundUp;
    }

private:
    long double startReal_, startImag_;
    double constants_;
    double spread_;
    double safeLimit_;
    double startRadius_;
    double radius_;
    bool safe_ = true;  // every disc so far lies where the escape test fails
};

// How a pass changes under a small change of (zr, zi), as a real 2x2 matrix. Only a guess
// depends on it, so doubles do.
struct PassDerivative {
    double RealByReal, RealByImag, ImagByReal, ImagByImag;

    PassDerivative After(const PassDerivative& first) const
    {
        return {RealByReal * first.RealByReal + RealByImag * first.ImagByReal,
                RealByReal * first.RealByImag + RealByImag * first.ImagByImag,
                ImagByReal * first.RealByReal + ImagByImag * first.ImagByReal,
                ImagByReal * first.RealByImag + ImagByImag * first.ImagByImag};
    }
};

// Whether the chain of discs around the computed orbit of start closes after period passes,
// the first disc of radius startRadius, with spread as DiscChain takes it. Not inlined, on a
// copy, so that the kernel's values keep the x87 registers to themselves.
template <class Kernel>
[[gnu::noinline]] bool DiscsClose(const Kernel& start, double startRadius, std::uint32_t period, double spread = 0)
{
    Kernel kernel = start;
    DiscChain chain(kernel.zr, kernel.zi, startRadius, kernel.ConstantsSize(), kernel.EscapeLimit(), spread);
    for (std::uint32_t pass = 0; pass < period; ++pass) {
        if (!chain.Follow(kernel.zr, kernel.zi)) return false;
        kernel.Pass();
    }
    return chain.Closes(kernel.zr, kernel.zi);
}

// A proof attempt: the state the orbit reached (the rest of the kernel's values follow from it)
// and how the attempt ended.
struct ProofAttempt {
    long double Real, Imag;
    std::uint32_t Passes;
    bool Escaped = false;
    bool Proven = false;
    bool Contracting = false;  // the passes shrink small changes: the orbit may be settling
};

// Disc radii start this much above the distance of the orbit's state from the chain's start.
inline constexpr double StartRadiusMargin = 1 + 0x1p-6;
// No start radius below a few thousand u: the rounding alone needs that much room.
inline constexpr double SmallestStartRadius = 0x1p-50;

// After the orbit came back within nearDistance of a kept state in period passes: makes period
// more passes of the orbit (fewer when it comes back as near to where they started sooner),
// multiplying their derivatives, to guess a point of the cycle the orbit settles on with one
// step of Newton's method; then follows the discs around the guess's own orbit for
// period passes. How good the guess is decides only whether the chain closes; the chain alone
// is the proof, and the orbit's state must lie in its first disc. Discs around the cycle rather
// than around the orbit prove a cycle that contracts slowly or turns much passes sooner.
template <class Kernel>
[[gnu::noinline]] ProofAttempt AttemptProof(const Kernel& start, std::uint32_t period, std::uint32_t passesLeft,
                                            long double nearDistance)
{
    Kernel kernel = start;
    PassDerivative product{1, 0, 0, 1};
    if (passesLeft < period) period = passesLeft;  // the maximum comes first: no attempt
    for (std::uint32_t pass = 0; pass < period; ++pass) {
        product = kernel.Derivative().After(product);
        kernel.Pass();
        if (kernel.Escaped()) return {kernel.zr, kernel.zi, pass + 1, true};
        // A return as near after fewer passes: the cycle is shorter than the distance it was seen at.
        if (pass + 1 < period && fabsl(kernel.zr - start.zr) <= nearDistance &&
            fabsl(kernel.zi - start.zi) <= nearDistance)
            period = pass + 1;
    }
    // Areas shrink by the determinant: a chain whose discs grow cannot close.
    const double a = product.RealByReal - 1, b = product.RealByImag;
    const double c = product.ImagByReal, d = product.ImagByImag - 1;
    const bool contracting = std::fabs((a + 1) * (d + 1) - b * c) < 1;
    const ProofAttempt failed{kernel.zr, kernel.zi, period, false, false, contracting};
    if (period == passesLeft || !contracting) return failed;

    // Newton's step for F^period(z) = z: (product - 1) h = F^period(start) - start.
    const double determinant = a * d - b * c;
    if (!(determinant != 0 && std::isfinite(determinant))) return failed;
    const long double gapReal = kernel.zr - start.zr, gapImag = kernel.zi - start.zi;
    Kernel guess = kernel;
    guess.SetState(start.zr - (d * gapReal - b * gapImag) / determinant,
                   start.zi - (a * gapImag - c * gapReal) / determinant);
    const double distance = DiscChain::UpperDistance(kernel.zr, kernel.zi, guess.zr, guess.zi);
    if (!std::isfinite(distance)) return failed;
    const double radius = (distance > SmallestStartRadius ? distance : SmallestStartRadius) * StartRadiusMargin;
    return {kernel.zr, kernel.zi, period, false, DiscsClose(guess, radius, period), true};
}

}  // namespace nimbra
