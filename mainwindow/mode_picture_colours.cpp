#include "mainwindow/mode_picture_colours.h"

#include <cmath>
#include <span>

namespace nimbra {
namespace {

constexpr Rgb RgbStops[] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {255, 0, 255}};
constexpr Rgb CmyStops[] = {{0, 255, 255}, {0, 0, 255}, {255, 0, 255}, {255, 0, 0},
                            {200, 90, 0},  {0, 160, 0}, {255, 255, 170}};

std::uint8_t Blend(std::uint8_t from, std::uint8_t to, double share)
{
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * share));
}

// The stops spread evenly over the width, linear in between.
std::vector<Rgb> Spread(std::span<const Rgb> stops, int width)
{
    std::vector<Rgb> columns;
    for (int x = 0; x < width; ++x) {
        const double position = width > 1 ? static_cast<double>(x) * (stops.size() - 1) / (width - 1) : 0.0;
        const std::size_t stop = std::min(static_cast<std::size_t>(position), stops.size() - 2);
        const double share = position - static_cast<double>(stop);
        const Rgb& a = stops[stop];
        const Rgb& b = stops[stop + 1];
        columns.push_back({Blend(a.Red, b.Red, share), Blend(a.Green, b.Green, share), Blend(a.Blue, b.Blue, share)});
    }
    return columns;
}

}  // namespace

std::vector<Rgb> SpectrumColumns(ColorModel model, int width)
{
    switch (model) {
    case ColorModel::Rgb: return Spread(RgbStops, width);
    case ColorModel::Cmy: return Spread(CmyStops, width);
    case ColorModel::Grad:
    case ColorModel::Unknown: break;
    }
    return {};
}

std::vector<Rgb> GradientStripColumns(const PaletteList& palette, int width)
{
    std::vector<Rgb> columns;
    for (int x = 0; x < width; ++x)
        columns.push_back({PaletteChannelAt(palette, x, width, PaletteChannel::Red),
                           PaletteChannelAt(palette, x, width, PaletteChannel::Green),
                           PaletteChannelAt(palette, x, width, PaletteChannel::Blue)});
    return columns;
}

}  // namespace nimbra
