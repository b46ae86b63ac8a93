#include "engine/early_escape.h"

#include "engine/early_escape_passes.h"

namespace nimbra {

void DecideEarlyEscapesInPairs(const EarlyOrbit* orbits, std::int32_t passes, std::int32_t* counts)
{
    DecideInLanes<Lanes<2>>(orbits, passes, counts);
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
