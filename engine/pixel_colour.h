#pragma once
#include "common/rgb.h"
#include "engine/fractal_params.h"
#include "palette/palette_list.h"

#include <cstdint>

namespace nimbra {

// The count written as three digits in base N, each scaled by 256 / N and rounded to even.
struct ColourDigits {
    std::uint8_t C1 = 0;  // lowest digit
    std::uint8_t C2 = 0;
    std::uint8_t C3 = 0;  // highest digit
};
ColourDigits ColorDigits(std::int32_t count, std::uint16_t digitBase);

// The colour of a count (already inverted where asked) in the colour model of params.
Rgb PixelColour(std::int32_t count, const FractalParams& params, const PaletteList& palette);

}  // namespace nimbra
