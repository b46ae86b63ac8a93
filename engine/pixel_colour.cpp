#include "engine/pixel_colour.h"

#include <cmath>

namespace nimbra {

ColourDigits ColorDigits(std::int32_t count, std::uint16_t digitBase)
{
    const std::int32_t n = digitBase;
    const long double scale = 256.0L / n;
    const auto scaled = [scale](std::int32_t digit) {
        return static_cast<std::uint8_t>(nearbyintl(scale * digit));
    };
    return {scaled(count % n), scaled((count % (n * n)) / n), scaled(count / (n * n))};
}

Rgb PixelColour(std::int32_t count, const FractalParams& params, const PaletteList& palette)
{
    switch (params.Model()) {
    case ColorModel::Rgb: {
        const ColourDigits d = ColorDigits(count, params.DigitBase);
        return {d.C1, d.C2, d.C3};
    }
    case ColorModel::Cmy: {
        // c1 cyan, c2 magenta, c3 yellow; the sums are formed before halving.
        const ColourDigits d = ColorDigits(count, params.DigitBase);
        return {static_cast<std::uint8_t>((d.C2 + d.C3) / 2), static_cast<std::uint8_t>((d.C1 + d.C3) / 2),
                static_cast<std::uint8_t>((d.C1 + d.C2) / 2)};
    }
    case ColorModel::Grad: {
        const std::int32_t maximum = params.MaxIterations;
        return {PaletteChannelAt(palette, count, maximum, PaletteChannel::Red),
                PaletteChannelAt(palette, count, maximum, PaletteChannel::Green),
                PaletteChannelAt(palette, count, maximum, PaletteChannel::Blue)};
    }
    }
    return {};
}

}  // namespace nimbra
