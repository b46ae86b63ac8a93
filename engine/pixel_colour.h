#pragma once
#include "common/rgb.h"
#include "engine/fractal_params.h"
#include "palette/palette_list.h"

#include <cstdint>
#include <vector>

namespace nimbra {

// The count written as three digits in base N, each scaled by 256 / N and rounded to even.
struct ScaledDigits {
    std::uint8_t C1 = 0;  // lowest digit
    std::uint8_t C2 = 0;
    std::uint8_t C3 = 0;  // highest digit
};
ScaledDigits ColorDigits(std::int32_t count, std::uint16_t digitBase);

// The colour of a count (already inverted where asked) in the colour model of params.
Rgb PixelColour(std::int32_t count, const FractalParams& params, const PaletteList& palette);

// A colour as one number, red << 16 | green << 8 | blue, and back.
inline std::uint32_t PackedRgb(Rgb colour)
{
    return static_cast<std::uint32_t>(colour.Red) << 16 | static_cast<std::uint32_t>(colour.Green) << 8 | colour.Blue;
}
inline Rgb UnpackedRgb(std::uint32_t packed)
{
    return {static_cast<std::uint8_t>(packed >> 16), static_cast<std::uint8_t>(packed >> 8),
            static_cast<std::uint8_t>(packed)};
}

// The colours of a run's counts, each worked out once when first met. RGB and CMY depend on
// the count alone; the gradient's colours are forgotten whenever the list is edited, which
// the palette editor may do during a run.
class ColourTable {
public:
    ColourTable(const FractalParams& params, const PaletteList& palette);
    // The colour of count, packed, with the Known bits set. Inline for a colour already known:
    // a call would hand the colour back through memory.
    std::uint32_t Packed(std::int32_t count)
    {
        if (params_.Model != ColorModel::Grad && count >= 0 && static_cast<std::size_t>(count) < colours_.size()) {
            const std::uint32_t entry = colours_[static_cast<std::size_t>(count)];
            if (entry != 0) return entry;
        }
        return PackedWorkedOut(count);
    }

private:
    static constexpr std::uint32_t Known = 0xFF000000u;

    // Works the colour out and keeps it in the table when first met. Counts beyond the table are
    // worked out every time; for the gradient the table is cleared first if the palette changed.
    std::uint32_t PackedWorkedOut(std::int32_t count);

    const FractalParams& params_;
    const PaletteList& palette_;
    std::uint64_t paletteVersion_;
    std::vector<std::uint32_t> colours_;  // Known | red << 16 | green << 8 | blue; 0 while unknown
};

}  // namespace nimbra
