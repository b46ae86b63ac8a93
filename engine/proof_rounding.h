#pragma once
#include <cmath>

namespace nimbra {

// What the rounding of a pass can do, and how the proofs that an orbit never escapes
// (orbit_proof.h, linearised_region.h) work out their bounds.
//
// Each operation of a pass gives its exact result times (1 + d), |d| <= u = 2^-64 (extended
// precision, round to nearest); sums below the normal range are exact, a product there is off
// by at most 2^-16446 more; doubling is exact. The pass maps the state w = x + iy to
// F(w) = f(w) + e(w), f the exact map (z squared plus the constants, or for the Burning Ship
// the square of |x| + i|y| minus the point), e the rounding. Every term of a part passes
// through at most four roundings, and 2|xy| <= x^2 + y^2, so with S >= x^2 + y^2 and K the sum
// of the constants' absolute values:
//   |e(w)| <= 5u (2S + K) + 2^-16443
// and when S (1 + u)^2 + 2^-16440 stays below the escape limit, the rounded escape test fails.
//
// The bounds are no values of the iteration: they are worked out in double precision
// (unit 2^-53), in SSE registers beside the kernel's x87 ones. A sum or product of n
// non-negative doubles is at least the exact one times (1 - 2^-53)^n, which the factor RoundUp
// more than makes up for while n stays below 2^12. A state's parts lose at most a relative
// 2^-53, or 2^-1022 below the normal range, when rounded to double; UpperModulus adds 2^-500
// and RoundUp for that. Radii stay far above 2^-899 (Slack stands in for 2^-16443), so a
// product that falls below the normal range loses less than 2^-1022, a share below 2^-120 of
// the sum it enters, even where such results are flushed to zero.
namespace proof {

inline constexpr double RoundUp = 1 + 0x1p-40;
inline constexpr double RoundDown = 1 - 0x1p-40;
inline constexpr double Gamma = 0x1p-61;    // 8u, above the 5u a pass's rounding needs
inline constexpr double Slack = 0x1p-900;   // above 2^-16443, and far above the subnormal doubles
inline constexpr double SafeShare = 1 - 0x1p-30;  // of the escape limit: room for (1 + u)^2 and 2^-16440

// At least sqrt(x^2 + y^2), whatever the parts lost to rounding or underflow.
inline double UpperModulus(long double x, long double y)
{
    const double real = static_cast<double>(x), imag = static_cast<double>(y);
    return (std::sqrt(real * real + imag * imag) + 0x1p-500) * RoundUp;
}

// At least |e| for a pass from a state w with x^2 + y^2 <= squares, constantsSize at least K.
inline double PassRounding(double squares, double constantsSize)
{
    return (squares + squares + constantsSize) * Gamma + Slack;
}

// The escape test fails for every state whose x^2 + y^2 has an upper bound at most this.
inline double SafeLimit(long double escapeLimit)
{
    return static_cast<double>(escapeLimit) * SafeShare;
}

}  // namespace proof
}  // namespace nimbra
