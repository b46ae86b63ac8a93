#pragma once
#include <cmath>

namespace nimbra {

// Why an orbit that passes this check never escapes.
//
// Each operation of a pass gives its exact result times (1 + d), |d| <= u = 2^-64 (extended
// precision, round to nearest); sums below the normal range are exact, a product there is off
// by at most 2^-16446 more; doubling is exact. The pass maps the state w = x + iy to
// F(w) = f(w) + e(w), f the exact map (z squared plus the constants, or for the Burning Ship
// the square of |x| + i|y| minus the point), e the rounding. Every term of a part passes
// through at most four roundings, and 2|xy| <= x^2 + y^2, so for w in a disc around v of
// radius r, with S >= x^2 + y^2 on the disc and K the sum of the constants' absolute values:
//   |e(w)| <= 5u (2S + K) + 2^-16443
//   |f(w) - f(v)| = |w - v| |w + v| <= r (2|v| + r)
// (for the Burning Ship the fold |x| + i|y| brings no two points closer and keeps the modulus).
// So F maps the disc into the disc of radius r (2|v| + r) + 2 |e|max around F(v).
// Following the computed orbit v_0 ... v_k with these radii: when D_k lies inside D_0 and on
// every disc S (1 + u)^2 + 2^-16440 stays below the escape limit (so the rounded test fails
// too), every computed orbit from D_0 stays in D_1 ... D_k for ever. The orbit never escapes;
// its count is the maximum.
//
// The bounds are computed in extended precision too, from non-negative numbers only: after n
// operations a result is at least the exact one times (1 - u)^n, which the factor RoundUp at
// each step more than makes up for. A radius is never below 2^-15999 and a modulus never below
// 2^-8000, so a product that falls below the normal range loses a share below 2^-400 of the sum
// it enters, also covered by RoundUp.
class DiscChain {
public:
    // Radii tried at once, as multiples of the near return's distance: a cycle that
    // contracts by a factor L per round needs about L / (1 - L) of it.
    static constexpr int Candidates = 3;
    static constexpr long double RadiusFactors[Candidates] = {4.0L, 32.0L, 256.0L};

    // The chain starts at the state (zr, zi); constantsSize is K, escapeLimit the value the
    // escape test compares with.
    DiscChain(long double zr, long double zi, long double constantsSize, long double escapeLimit,
              long double nearDistance)
        : startReal_(zr), startImag_(zi), constants_(constantsSize * RoundUp), safeLimit_(escapeLimit * SafeShare)
    {
        const long double unit = fmaxl(nearDistance, SmallestUnit);
        for (int i = 0; i < Candidates; ++i) {
            startRadius_[i] = radius_[i] = unit * RadiusFactors[i];
            worst_[i] = 0;
        }
    }

    // Before each pass, with the state the pass starts from: the radii of the next discs.
    void Follow(long double zr, long double zi)
    {
        const long double modulus = UpperModulus(zr, zi);
        for (int i = 0; i < Candidates; ++i) {
            const long double reach = modulus + radius_[i];
            const long double squares = reach * reach * RoundUp;
            worst_[i] = fmaxl(worst_[i], squares);
            const long double rounding = (squares + squares + constants_) * Gamma + Slack;
            radius_[i] = (radius_[i] * (modulus + modulus + radius_[i]) + (rounding + rounding)) * RoundUp;
        }
    }

    // After k passes, with the state they reached: whether some disc came back inside its start.
    bool Closes(long double zr, long double zi)
    {
        const long double modulus = UpperModulus(zr, zi);
        const long double distance = UpperModulus(zr - startReal_, zi - startImag_) * RoundUp;
        for (int i = 0; i < Candidates; ++i) {
            const long double reach = modulus + radius_[i];
            const long double worst = fmaxl(worst_[i], reach * reach * RoundUp);
            if (worst <= safeLimit_ && (distance + radius_[i]) * RoundUp <= startRadius_[i]) return true;
        }
        return false;
    }

private:
    static constexpr long double RoundUp = 1 + 0x1p-50L;
    static constexpr long double Gamma = 0x1p-61L;         // 8u, above the 5u needed
    static constexpr long double Slack = 0x1p-16000L;      // above 2^-16443, and a normal number
    static constexpr long double SafeShare = 1 - 0x1p-40L;
    static constexpr long double SmallestUnit = 0x1p-50L;  // no radius below a few thousand u

    // At least sqrt(x^2 + y^2), whatever the squares lost to rounding or underflow.
    static long double UpperModulus(long double x, long double y)
    {
        return (sqrtl(x * x + y * y) + 0x1p-8000L) * RoundUp;
    }

    long double startReal_, startImag_;
    long double constants_;
    long double safeLimit_;
    long double startRadius_[Candidates];
    long double radius_[Candidates];
    long double worst_[Candidates];  // the largest S so far; the start disc counts too
};

}  // namespace nimbra
