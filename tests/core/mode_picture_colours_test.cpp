#include "mainwindow/mode_picture_colours.h"

#include <gtest/gtest.h>

using namespace nimbra;

TEST(ModePictureColours, SpectraRunFromTheirFirstToTheirLastColour)
{
    const std::vector<Rgb> rgb = SpectrumColumns(ColorModel::Rgb, ModePictureWidth);
    ASSERT_EQ(rgb.size(), 180u);
    EXPECT_EQ(rgb.front(), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgb.back(), (Rgb{255, 0, 255}));
    const std::vector<Rgb> cmy = SpectrumColumns(ColorModel::Cmy, ModePictureWidth);
    EXPECT_EQ(cmy.front(), (Rgb{0, 255, 255}));
    EXPECT_EQ(cmy.back(), (Rgb{255, 255, 170}));
}

TEST(ModePictureColours, TheStripFollowsTheGradient)
{
    PaletteList palette;  // black at 0, gray 128 at 20, white at 100
    const std::vector<Rgb> strip = GradientStripColumns(palette, ModePictureWidth);
    ASSERT_EQ(strip.size(), 180u);
    EXPECT_EQ(strip[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(strip[36], (Rgb{128, 128, 128}));  // 20 %
    EXPECT_EQ(strip[179], (Rgb{PaletteChannelAt(palette, 179, 180, PaletteChannel::Red),
                               PaletteChannelAt(palette, 179, 180, PaletteChannel::Green),
                               PaletteChannelAt(palette, 179, 180, PaletteChannel::Blue)}));
}
