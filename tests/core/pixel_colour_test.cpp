#include "engine/pixel_colour.h"

#include <gtest/gtest.h>

using namespace nimbra;

namespace {

Rgb ColourOf(std::int32_t count, ColorModel model, std::int32_t maxIterations, std::uint16_t digitBase)
{
    FractalParams params;
    params.Model = model;
    params.MaxIterations = maxIterations;
    params.DigitBase = digitBase;
    return PixelColour(count, params, PaletteList());
}

}  // namespace

TEST(PixelColour, RgbAndCmyOfKnownCounts)
{
    struct Case {
        std::int32_t Count;
        Rgb ExpectedRgb, ExpectedCmy;
    };
    const Case cases[] = {
        {0, {0, 0, 0}, {0, 0, 0}},
        {1, {43, 0, 0}, {0, 21, 21}},
        {6, {0, 43, 0}, {21, 0, 21}},
        {36, {0, 0, 43}, {21, 21, 0}},
        {100, {171, 171, 85}, {128, 128, 171}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColourOf(c.Count, ColorModel::Rgb, 100, 6), c.ExpectedRgb) << c.Count;
        EXPECT_EQ(ColourOf(c.Count, ColorModel::Cmy, 100, 6), c.ExpectedCmy) << c.Count;
    }
    EXPECT_EQ(ColourOf(2048, ColorModel::Rgb, 2048, 14), (Rgb{73, 110, 183}));
    EXPECT_EQ(ColourOf(4096, ColorModel::Rgb, 4096, 17), (Rgb{241, 30, 211}));
}

TEST(PixelColour, GradLooksTheCountUpInTheGradient)
{
    EXPECT_EQ(ColourOf(0, ColorModel::Grad, 100, 6), (Rgb{0, 0, 0}));
    EXPECT_EQ(ColourOf(20, ColorModel::Grad, 100, 6), (Rgb{128, 128, 128}));
    EXPECT_EQ(ColourOf(100, ColorModel::Grad, 100, 6), (Rgb{253, 253, 253}));
}

TEST(PixelColour, DigitsOfTheLargestBaseStayInAByte)
{
    const ScaledDigits digits = ColorDigits(16777216, 257);  // digits 256, 2, 254
    EXPECT_EQ(digits.C1, 255);  // 256 / 257 x 256 = 254.9...
    EXPECT_EQ(digits.C2, 2);
    EXPECT_EQ(digits.C3, 253);
}

TEST(PixelColour, TheTableGivesTheComputedColoursAndFollowsGradientEdits)
{
    PaletteList palette;
    for (const ColorModel model : {ColorModel::Rgb, ColorModel::Cmy, ColorModel::Grad}) {
        FractalParams params;
        params.Model = model;
        params.MaxIterations = 255;
        params.DigitBase = 7;
        ColourTable colours(params, palette);
        const auto table = [&](std::int32_t count) { return UnpackedRgb(colours.Packed(count)); };
        for (std::int32_t count = 0; count <= 255; ++count) {
            EXPECT_EQ(table(count), PixelColour(count, params, palette)) << count;
            EXPECT_EQ(table(count), PixelColour(count, params, palette)) << count;  // from the table now
        }
        palette.SetPaletteNode(255, 0, 0, 50);
        EXPECT_EQ(table(128), PixelColour(128, params, palette));
        palette.ResetPalette();
        EXPECT_EQ(table(128), PixelColour(128, params, palette));
    }
}
