#pragma once
#include <cstdint>

namespace nimbra {

// Passes made in doubles before an orbit is left to the kernels (EarlyPasses()). With four
// orbits to a vector they cost half as much: more of them pay on views with interior, and
// still cost nothing on zooms along the boundary.
inline constexpr std::int32_t EarlyPassesInPairs = 16, EarlyPassesInQuads = 24;
// Orbits followed at once.
inline constexpr std::int32_t EarlyBlock = 8;
// No count decided.
inline constexpr std::int32_t Undecided = -2;

// A pixel's orbit as its kernel starts it, in doubles: the start state rounded from the kernel's,
// the pass's constant within 2^-51 C of the kernel's, and at least C, the sum of the absolute
// values of the constants the kernel's pass adds.
struct EarlyOrbit {
    double StartReal = 0, StartImag = 0, ConstantReal = 0, ConstantImag = 0, ConstantsSize = 0;
};

// DecideEarlyEscapes in vectors of two doubles (SSE2, which every x86-64 processor has) or of four
// (AVX: only where ProcessorHasQuads); counts holds EarlyBlock of them.
void DecideEarlyEscapesInPairs(const EarlyOrbit* orbits, std::int32_t passes, std::int32_t* counts);
void DecideEarlyEscapesInQuads(const EarlyOrbit* orbits, std::int32_t passes, std::int32_t* counts);

}  // namespace nimbra
