#include "palette/palette_list.h"

#include <algorithm>
#include <cmath>

namespace nimbra {
namespace {

std::uint8_t ChannelOf(const PaletteNode& node, PaletteChannel channel)
{
    switch (channel) {
    case PaletteChannel::Red: return node.Red;
    case PaletteChannel::Green: return node.Green;
    case PaletteChannel::Blue: return node.Blue;
    }
    return 0;
}

}  // namespace

void PaletteList::ResetPalette()
{
    nodes_ = {{0, 0, 0, 0}, {128, 128, 128, 20}, {255, 255, 255, 100}};
    ++version_;
}

void PaletteList::ClearPalette()
{
    nodes_.clear();
    ++version_;
}

void PaletteList::SetPaletteNode(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t position)
{
    ++version_;
    // The first node is never compared: a position equal to it goes in behind it.
    for (std::size_t next = 1; next < nodes_.size(); ++next) {
        if (position < nodes_[next].Position) {
            nodes_.insert(nodes_.begin() + static_cast<std::ptrdiff_t>(next), PaletteNode{red, green, blue, position});
            return;
        }
        if (position == nodes_[next].Position) {
            nodes_[next].Red = red;
            nodes_[next].Green = green;
            nodes_[next].Blue = blue;
            return;
        }
    }
}

void PaletteList::RemovePaletteNode(std::uint8_t position)
{
    ++version_;
    for (std::size_t next = 1; next < nodes_.size(); ++next) {
        if (nodes_[next].Position == position) {
            nodes_.erase(nodes_.begin() + static_cast<std::ptrdiff_t>(next));
            return;
        }
    }
}

void PaletteList::ReversePalette()
{
    std::reverse(nodes_.begin(), nodes_.end());
    ++version_;
}

void PaletteList::AssignNodes(std::vector<PaletteNode> nodes)
{
    nodes_ = std::move(nodes);
    ++version_;
}

std::uint8_t PaletteChannelAt(const PaletteList& palette, std::int32_t value, std::int32_t maximum,
                              PaletteChannel channel)
{
    // The product comes before the division: a percentage exactly halfway then rounds to even,
    // where the quotient first can land beside the half (59 of 200) and round the other way.
    long double percent = nearbyintl(static_cast<long double>(value) * 100 / maximum);
    if (percent > 99) percent = 99;

    long double lower = 0;
    long double lowerValue = 0;
    for (const PaletteNode& node : palette.Nodes()) {
        if (percent < node.Position) {
            const long double upper = node.Position;
            const long double upperValue = ChannelOf(node, channel);
            const long double mixed =
                fabsl(lowerValue + (upperValue - lowerValue) * (percent - lower) / (upper - lower));
            return static_cast<std::uint8_t>(std::min(nearbyintl(mixed), 255.0L));
        }
        lower = node.Position;
        lowerValue = ChannelOf(node, channel);
    }
    return static_cast<std::uint8_t>(lowerValue);
}

Rgb PaletteColourAt(const PaletteList& palette, std::int32_t value, std::int32_t maximum)
{
    return {PaletteChannelAt(palette, value, maximum, PaletteChannel::Red),
            PaletteChannelAt(palette, value, maximum, PaletteChannel::Green),
            PaletteChannelAt(palette, value, maximum, PaletteChannel::Blue)};
}

}  // namespace nimbra
