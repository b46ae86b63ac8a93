#include "palette/palette_editor.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace nimbra {
namespace {

std::vector<std::uint8_t> Positions(const PaletteList& palette)
{
    std::vector<std::uint8_t> positions;
    for (const PaletteNode& node : palette.Nodes()) positions.push_back(node.Position);
    return positions;
}

TEST(PaletteEditor, MarkerPlacesAndPositions)
{
    EXPECT_EQ(MarkerLeftFor(20), 88);
    EXPECT_EQ(MarkerLeftFor(99), 404);
    const struct { int left; std::uint8_t position; } cases[] = {
        {6, 0}, {8, 0}, {11, 0}, {12, 1}, {108, 25}, {111, 25}, {396, 97}, {404, 99},
    };
    for (const auto& c : cases) EXPECT_EQ(PositionOfMarker(c.left), c.position) << c.left;
}

TEST(PaletteEditor, DropXIsClampedToPositionsOneTo97)
{
    const struct { int x, clamped; } cases[] = {{-3, 12}, {5, 12}, {12, 12}, {13, 13}, {396, 396}, {400, 396}, {416, 396}};
    for (const auto& c : cases) EXPECT_EQ(ClampDropX(c.x), c.clamped) << c.x;
}

TEST(PaletteEditor, StatusLineSaysWhatTheDropWillDo)
{
    const struct { bool fromStrip, accepted; int x, y; const char* text; } cases[] = {
        {true, true, 108, 70, "Loslassen fügt bei 25 % einen Stützpunkt in dieser Farbe ein"},
        {true, true, 400, 50, "Loslassen fügt bei 97 % einen Stützpunkt in dieser Farbe ein"},
        {false, true, 5, 36, "Loslassen verschiebt den Stützpunkt nach 1 %"},
        {false, true, 200, 59, "Loslassen verschiebt den Stützpunkt nach 48 %"},
        {false, true, 200, 60, "Loslassen löscht den Stützpunkt (außerhalb des Bandes der Punkte)"},
        {false, true, 200, 35, "Loslassen löscht den Stützpunkt (außerhalb des Bandes der Punkte)"},
        {true, false, 200, 50, "Hier kann nichts abgelegt werden"},
        {false, false, 200, 50, "Hier kann nichts abgelegt werden"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DragStatusText(PlannedDrop(c.fromStrip, c.accepted, c.y), c.x), c.text) << c.x << "," << c.y;
}

TEST(PaletteEditor, DefaultGradientShowsOneNodeMarkerAndBothEnds)
{
    const MarkerLayout layout = PlanPaletteMarkers(PaletteList());
    EXPECT_TRUE(layout.StartFromStrip);
    EXPECT_TRUE(layout.EndFromStrip);
    ASSERT_EQ(layout.Nodes.size(), 1u);
    EXPECT_EQ(layout.Nodes[0].Left, 88);
    EXPECT_EQ(layout.Nodes[0].Colour, (Rgb{128, 128, 128}));
}

TEST(PaletteEditor, NodeAt99GetsItsOwnMarkerOverTheEndMarker)
{
    PaletteList palette;
    palette.SetPaletteNode(255, 0, 0, 99);
    const MarkerLayout layout = PlanPaletteMarkers(palette);
    ASSERT_EQ(layout.Nodes.size(), 2u);
    EXPECT_EQ(layout.Nodes[1].Left, 404);
    EXPECT_EQ(layout.Nodes[1].Colour, (Rgb{255, 0, 0}));
}

TEST(PaletteEditor, ListWithoutEndsLeavesTheEndMarkersAlone)
{
    PaletteList palette;
    palette.ClearPalette();
    const MarkerLayout layout = PlanPaletteMarkers(palette);
    EXPECT_FALSE(layout.StartFromStrip);
    EXPECT_FALSE(layout.EndFromStrip);
    EXPECT_TRUE(layout.Nodes.empty());
}

TEST(PaletteEditor, MarkerDroppedInRows36To59MovesItsNodeElsewhereDeletesIt)
{
    const struct { int y; std::optional<int> left; std::vector<std::uint8_t> positions; } cases[] = {
        {35, std::nullopt, {0, 100}}, {36, 208, {0, 50, 100}}, {59, 208, {0, 50, 100}}, {60, std::nullopt, {0, 100}},
    };
    for (const auto& c : cases) {
        PaletteList palette;
        EXPECT_EQ(MoveNodeMarker(palette, 88, {128, 128, 128}, 208, c.y), c.left) << c.y;
        EXPECT_EQ(Positions(palette), c.positions) << c.y;
    }
}

TEST(PaletteEditor, MarkerMovedPastTheEndIsClampedTo97)
{
    PaletteList palette;
    EXPECT_EQ(MoveNodeMarker(palette, 88, {1, 2, 3}, 416, 50), 396);
    EXPECT_EQ(palette.Nodes()[1], (PaletteNode{1, 2, 3, 97}));
}

TEST(PaletteEditor, RecolouringTheEndsAddsNodesAt0And99)
{
    PaletteList palette;
    RecolourMarkerNode(palette, 6, {255, 0, 0});
    RecolourMarkerNode(palette, 404, {0, 0, 255});
    EXPECT_EQ(palette.Nodes(), (std::vector<PaletteNode>{
                                   {0, 0, 0, 0}, {255, 0, 0, 0}, {128, 128, 128, 20}, {0, 0, 255, 99}, {255, 255, 255, 100}}));
}

}  // namespace
}  // namespace nimbra
