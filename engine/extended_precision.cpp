#include "engine/extended_precision.h"

#include <fpu_control.h>

#include <cstdio>

namespace nimbra {
namespace {

constexpr fpu_control_t PrecisionBits = _FPU_EXTENDED;  // both bits set: 64-bit significands
constexpr fpu_control_t RoundingBits = _FPU_RC_ZERO;    // both bits clear: to nearest

}  // namespace

bool KeepExtendedPrecision()
{
    fpu_control_t word;
    _FPU_GETCW(word);
    if ((word & (PrecisionBits | RoundingBits)) == PrecisionBits) return false;
    fpu_control_t kept = static_cast<fpu_control_t>((word & ~RoundingBits) | PrecisionBits);
    _FPU_SETCW(kept);
    std::fprintf(stderr,
                 "Hinweis: die x87-Einheit rechnete nicht mit 64-Bit-Mantisse und Rundung zum Nächsten "
                 "(Steuerwort 0x%04X), sie tut es wieder (0x%04X)\n",
                 static_cast<unsigned>(word), static_cast<unsigned>(kept));
    return true;
}

}  // namespace nimbra
