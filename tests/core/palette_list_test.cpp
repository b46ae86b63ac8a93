#include "palette/palette_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace nimbra {
namespace {

std::vector<std::uint8_t> Positions(const PaletteList& palette)
{
    std::vector<std::uint8_t> positions;
    for (const PaletteNode& node : palette.Nodes()) positions.push_back(node.Position);
    return positions;
}

PaletteList ListOf(std::vector<PaletteNode> nodes)
{
    PaletteList palette;
    palette.AssignNodes(std::move(nodes));
    return palette;
}

TEST(PaletteChannelAt, DefaultGradientAgainstMaximum100)
{
    const struct { std::int32_t value; std::uint8_t expected; } cases[] = {
        {0, 0}, {5, 32}, {10, 64}, {15, 96}, {20, 128}, {21, 130}, {50, 176}, {60, 192}, {99, 253}, {100, 253},
    };
    const PaletteList palette;
    for (const auto& c : cases) {
        for (PaletteChannel channel : {PaletteChannel::Red, PaletteChannel::Green, PaletteChannel::Blue})
            EXPECT_EQ(PaletteChannelAt(palette, c.value, 100, channel), c.expected) << "value " << c.value;
    }
}

TEST(PaletteChannelAt, StripOf400ColumnsRoundsPercentToEven)
{
    const struct { std::int32_t column; std::uint8_t expected; } cases[] = {
        {0, 0}, {1, 0}, {2, 0}, {3, 6}, {6, 13}, {10, 13}, {80, 128}, {108, 139}, {398, 253}, {399, 253},
    };
    const PaletteList palette;
    for (const auto& c : cases)
        EXPECT_EQ(PaletteChannelAt(palette, c.column, 400, PaletteChannel::Green), c.expected) << "column " << c.column;
}

TEST(PaletteChannelAt, ValueAboveMaximumActsAsPercent99)
{
    const PaletteList palette;
    EXPECT_EQ(PaletteChannelAt(palette, 5000, 100, PaletteChannel::Blue), 253);
}

TEST(PaletteChannelAt, LastNodeBelow99HoldsItsColourToTheTop)
{
    const PaletteList palette = ListOf({{0, 0, 0, 0}, {10, 20, 30, 50}});
    for (std::int32_t p : {50, 75, 99, 100}) {
        EXPECT_EQ(PaletteColourAt(palette, p, 100), (Rgb{10, 20, 30})) << "p " << p;
    }
}

TEST(PaletteChannelAt, BelowTheFirstNodeRisesFromZero)
{
    const PaletteList palette = ListOf({{200, 0, 0, 10}, {255, 255, 255, 100}});
    EXPECT_EQ(PaletteChannelAt(palette, 5, 100, PaletteChannel::Red), 100);
}

TEST(PaletteChannelAt, EmptyListIsBlack)
{
    const PaletteList palette = ListOf({});
    EXPECT_EQ(PaletteColourAt(palette, 0, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(PaletteColourAt(palette, 50, 100), (Rgb{0, 0, 0}));
}

TEST(PaletteChannelAt, LastOfEqualPositionsCounts)
{
    const PaletteList palette = ListOf({{0, 0, 0, 0}, {255, 0, 0, 0}, {128, 128, 128, 20}, {255, 255, 255, 100}});
    EXPECT_EQ(PaletteColourAt(palette, 0, 100), (Rgb{255, 0, 0}));
    EXPECT_EQ(PaletteChannelAt(palette, 10, 100, PaletteChannel::Red), 192);  // halfway from 255 to 128, ties to even
}

TEST(PaletteChannelAt, NodeAt99GivesTheTopItsOwnColour)
{
    PaletteList palette;
    palette.SetPaletteNode(255, 0, 0, 99);
    EXPECT_EQ(PaletteColourAt(palette, 399, 400), (Rgb{255, 0, 0}));
    EXPECT_EQ(palette.Nodes().back(), (PaletteNode{255, 255, 255, 100}));
}

TEST(SetPaletteNode, InsertsBetweenNeighboursThenRecolours)
{
    PaletteList palette;
    palette.SetPaletteNode(1, 2, 3, 40);
    EXPECT_EQ(Positions(palette), (std::vector<std::uint8_t>{0, 20, 40, 100}));
    palette.SetPaletteNode(4, 5, 6, 40);
    EXPECT_EQ(Positions(palette), (std::vector<std::uint8_t>{0, 20, 40, 100}));
    EXPECT_EQ(palette.Nodes()[2], (PaletteNode{4, 5, 6, 40}));
}

TEST(SetPaletteNode, PositionAboveTheLastChangesNothing)
{
    PaletteList palette;
    palette.SetPaletteNode(1, 2, 3, 101);
    EXPECT_EQ(palette.Nodes(), PaletteList().Nodes());
}

TEST(SetPaletteNode, PositionZeroGoesBehindTheFirstNodeThenRecoloursIt)
{
    PaletteList palette;
    palette.SetPaletteNode(255, 0, 0, 0);
    palette.SetPaletteNode(0, 255, 0, 0);
    EXPECT_EQ(palette.Nodes()[0], (PaletteNode{0, 0, 0, 0}));
    EXPECT_EQ(palette.Nodes()[1], (PaletteNode{0, 255, 0, 0}));
    EXPECT_EQ(palette.Nodes().size(), 4u);
}

TEST(SetPaletteNode, EqualToTheLastRecoloursIt)
{
    PaletteList palette;
    palette.SetPaletteNode(9, 8, 7, 100);
    EXPECT_EQ(palette.Nodes().back(), (PaletteNode{9, 8, 7, 100}));
}

TEST(RemovePaletteNode, NeverRemovesTheFirstNode)
{
    PaletteList palette;
    palette.RemovePaletteNode(0);
    EXPECT_EQ(Positions(palette), (std::vector<std::uint8_t>{0, 20, 100}));
    palette.RemovePaletteNode(100);
    EXPECT_EQ(Positions(palette), (std::vector<std::uint8_t>{0, 20}));
}

TEST(RemovePaletteNode, RemovesOnlyTheFirstMatchAfterTheFirstNode)
{
    PaletteList palette = ListOf({{0, 0, 0, 0}, {1, 1, 1, 30}, {2, 2, 2, 30}, {3, 3, 3, 100}});
    palette.RemovePaletteNode(30);
    EXPECT_EQ(palette.Nodes()[1], (PaletteNode{2, 2, 2, 30}));
    EXPECT_EQ(palette.Nodes().size(), 3u);
}

TEST(PaletteEditing, EmptyListIgnoresSetAndRemove)
{
    PaletteList palette = ListOf({});
    palette.SetPaletteNode(1, 2, 3, 50);
    palette.RemovePaletteNode(50);
    EXPECT_TRUE(palette.Empty());
}

TEST(ReversePalette, TwiceRestoresTheOrder)
{
    PaletteList palette;
    palette.ReversePalette();
    EXPECT_EQ(Positions(palette), (std::vector<std::uint8_t>{100, 20, 0}));
    palette.ReversePalette();
    EXPECT_EQ(Positions(palette), (std::vector<std::uint8_t>{0, 20, 100}));
}

TEST(ResetPalette, ReplacesAnyListByTheDefaultGradient)
{
    PaletteList palette = ListOf({{5, 5, 5, 3}});
    palette.ResetPalette();
    EXPECT_EQ(palette.Nodes(), (std::vector<PaletteNode>{{0, 0, 0, 0}, {128, 128, 128, 20}, {255, 255, 255, 100}}));
    palette.ClearPalette();
    EXPECT_TRUE(palette.Empty());
}

}  // namespace
}  // namespace nimbra
