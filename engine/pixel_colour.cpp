#include "engine/pixel_colour.h"

#include <algorithm>
#include <cmath>

namespace nimbra {

ScaledDigits ColorDigits(std::int32_t count, std::uint16_t digitBase)
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
    switch (params.Model) {
    case ColorModel::Rgb:
    case ColorModel::Unknown: {  // the model the program starts with, so the run still gives an image
        const ScaledDigits d = ColorDigits(count, params.DigitBase);
        return {d.C1, d.C2, d.C3};
    }
    case ColorModel::Cmy: {
        // c1 cyan, c2 magenta, c3 yellow; the sums are formed before halving.
        const ScaledDigits d = ColorDigits(count, params.DigitBase);
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

namespace {

// Counts above this are coloured directly: their table would cost more than it saves.
constexpr std::int32_t LargestTabledCount = 1 << 20;

}  // namespace

ColourTable::ColourTable(const FractalParams& params, const PaletteList& palette)
    : params_(params),
      palette_(palette),
      paletteVersion_(palette.Version()),
      colours_(params.MaxIterations >= 0 && params.MaxIterations <= LargestTabledCount
                   ? static_cast<std::size_t>(params.MaxIterations) + 1
                   : 0)
{
}

std::uint32_t ColourTable::PackedWorkedOut(std::int32_t count)
{
    auto pack = [](Rgb colour) { return Known | PackedRgb(colour); };
    if (count < 0 || static_cast<std::size_t>(count) >= colours_.size())
        return pack(PixelColour(count, params_, palette_));
    if (params_.Model == ColorModel::Grad && palette_.Version() != paletteVersion_) {
        std::fill(colours_.begin(), colours_.end(), 0u);
        paletteVersion_ = palette_.Version();
    }
    std::uint32_t& entry = colours_[static_cast<std::size_t>(count)];
    if (entry == 0) entry = pack(PixelColour(count, params_, palette_));
    return entry;
}

}  // namespace nimbra
