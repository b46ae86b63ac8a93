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

}  // namespace nimbra
