#include "engine/early_escape.h"

#include "engine/early_escape_passes.h"

#include <emmintrin.h>

namespace nimbra {
namespace {

struct PairLanes {
    using Vector = double __attribute__((vector_size(16)));
    using Mask = long long __attribute__((vector_size(16)));
    static int Bits(Mask mask) { return _mm_movemask_pd(reinterpret_cast<__m128d>(mask)); }
};

}  // namespace

void DecideEarlyEscapesInPairs(const EarlyOrbit* orbits, std::int32_t passes, std::int32_t* counts)
{
    DecideInLanes<PairLanes>(orbits, passes, counts);
}

bool ProcessorHasQuads()
{
    static const bool has = __builtin_cpu_supports("avx");
    return has;
}

void DecideEarlyEscapes(const std::array<EarlyOrbit, EarlyBlock>& orbits, std::int32_t passes,
                        std::array<std::int32_t, EarlyBlock>& counts)
{
    if (ProcessorHasQuads())
        DecideEarlyEscapesInQuads(orbits.data(), passes, counts.data());
    else
        DecideEarlyEscapesInPairs(orbits.data(), passes, counts.data());
}

}  // namespace nimbra
