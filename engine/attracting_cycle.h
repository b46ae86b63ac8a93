#pragma once
#include "engine/complex_double.h"

#include <cstdint>
#include <vector>

namespace nimbra {

// Finds an attracting cycle of z -> z^2 + constant by Newton's method on F^period(z) - z from
// start, in doubles: only a guess, which the proofs check. Leaves the cycle's points in the
// order of the passes in points; the cycle's own period, its length, may divide period. False
// when Newton's method does not settle or the cycle does not attract.
bool FindAttractingCycle(Complex constant, std::uint32_t period, Complex start, std::vector<Complex>& points);

// The fixed point or the cycle of two of z -> z^2 + constant that attracts, found in closed
// form (again a guess in doubles), with the modulus of its multiplier. Most pixels inside the
// set's two largest components settle on one of them. Period 0 when neither attracts.
struct KnownCycle {
    std::uint32_t Period = 0;
    Complex Points[2];
    double Multiplier = 1;
};
KnownCycle FindKnownCycle(Complex constant);

// A cycle an orbit was proven to settle on: its period and a state near one of its points.
struct CycleHint {
    std::uint32_t Period = 0;
    Complex Point;
};

// Whether the constant lies about in the main cardioid or the disc of the cycle of two, where
// one of them attracts: a quick test before the closed forms.
inline bool InKnownComponent(Complex constant)
{
    const double x = constant.Re - 0.25, y2 = constant.Im * constant.Im;
    const double q = x * x + y2;
    return q * (q + x) <= y2 * 0.25 || (constant.Re + 1) * (constant.Re + 1) + y2 <= 0.0625;
}

}  // namespace nimbra
