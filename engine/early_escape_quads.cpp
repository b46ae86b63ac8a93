// Compiled with AVX: called only where the processor has it.
#include "engine/early_escape_passes.h"

namespace nimbra {

void DecideEarlyEscapesInQuads(const EarlyOrbit* orbits, std::int32_t passes, std::int32_t* counts)
{
    DecideInLanes<Lanes<4>>(orbits, passes, counts);
}

}  // namespace nimbra
