#pragma once
#include <cstdint>

namespace nimbra {

// Where a stretch of passes ended, with the state it reached; the rest of the kernel's values
// follow from that state.
enum class StretchEnd : std::uint8_t { Limit, Escaped, Repeated, DiscsClosed };

struct Stretch {
    long double Real, Imag;
    std::uint32_t Passes;
    StretchEnd End;
};

}  // namespace nimbra
