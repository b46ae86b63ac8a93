// Compiled with AVX: called only where the processor has it.
#include "engine/early_escape_passes.h"

#include <immintrin.h>

namespace nimbra {
namespace {

struct QuadLanes {
    using Vector = double __attribute__((vector_size(32)));
    using Mask = long long __attribute__((vector_size(32)));
    static int Bits(Mask mask) { return _mm256_movemask_pd(reinterpret_cast<__m256d>(mask)); }
};

}  // namespace

void DecideEarlyEscapesInQuads(const EarlyOrbit* orbits, std::int32_t passes, std::int32_t* counts)
{
    DecideInLanes<QuadLanes>(orbits, passes, counts);
}

}  // namespace nimbra
