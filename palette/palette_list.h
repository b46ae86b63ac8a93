#pragma once
#include "common/rgb.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace nimbra {

// One colour node; its four bytes in this order are also the node record of palette and
// configuration files.
struct PaletteNode {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    std::uint8_t Position = 0;  // percentage 0..100 as the editor writes it; files may hold anything
    friend bool operator==(const PaletteNode&, const PaletteNode&) = default;
};

enum class PaletteChannel : std::uint8_t { Red = 1, Green = 2, Blue = 3 };

// The colour gradient of the palette colour model: one list for the whole program, edited in
// place. The editing operations keep ascending positions and never touch the first node.
class PaletteList {
public:
    PaletteList() { ResetPalette(); }

    void ResetPalette();  // black at 0, gray 128 at 20, white at 100
    void ClearPalette();
    void SetPaletteNode(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t position);
    void RemovePaletteNode(std::uint8_t position);
    void ReversePalette();
    // The file readers build the whole list before handing it over, so a long file costs one
    // pass and no lookup ever sees a half-built list.
    void AssignNodes(std::vector<PaletteNode> nodes);

    const std::vector<PaletteNode>& Nodes() const { return nodes_; }
    bool Empty() const { return nodes_.empty(); }
    // Changes with every edit, so that colours worked out from the list can tell they are stale.
    std::uint64_t Version() const { return version_; }

private:
    std::vector<PaletteNode> nodes_;
    std::uint64_t version_ = 0;
};

// One 8-bit channel of the gradient's colour at value x 100 / maximum percent, rounded to even
// and capped at 99. Expects maximum >= 1 and value >= 0.
std::uint8_t PaletteChannelAt(const PaletteList& palette, std::int32_t value, std::int32_t maximum,
                              PaletteChannel channel);

// The three channels of the gradient at value x 100 / maximum percent.
Rgb PaletteColourAt(const PaletteList& palette, std::int32_t value, std::int32_t maximum);

}  // namespace nimbra
