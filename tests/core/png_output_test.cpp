#include "cli/convert_command.h"
#include "cli/render_command.h"
#include "cli/tga_to_png.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

// What libpng reads back of a file.
struct PngImage {
    std::uint32_t Width = 0, Height = 0;
    int BitDepth = 0, ColourType = 0;
    std::vector<std::uint8_t> Rgb;  // top row first
    bool HasResolution = false;
    png_uint_32 PerMetreX = 0, PerMetreY = 0;
    int Unit = -1;
};

PngImage ReadPng(const std::string& path)
{
    PngImage image;
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return image;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file.get());
        png_read_info(png, info);
        image.Width = png_get_image_width(png, info);
        image.Height = png_get_image_height(png, info);
        image.BitDepth = png_get_bit_depth(png, info);
        image.ColourType = png_get_color_type(png, info);
        image.HasResolution =
            png_get_pHYs(png, info, &image.PerMetreX, &image.PerMetreY, &image.Unit) == PNG_INFO_pHYs;
        image.Rgb.resize(std::size_t{image.Width} * image.Height * 3);
        for (std::uint32_t row = 0; row < image.Height; ++row)
            png_read_row(png, &image.Rgb[std::size_t{row} * image.Width * 3], nullptr);
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

// The pixels of a TGA file the program wrote, as red, green, blue.
std::vector<std::uint8_t> TgaAsRgb(const std::vector<std::uint8_t>& tga)
{
    std::vector<std::uint8_t> rgb(tga.begin() + 18, tga.end());
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) std::swap(rgb[i], rgb[i + 2]);
    return rgb;
}

int Render(std::vector<std::string> args, const std::string& output)
{
    FakePlatform platform;
    std::ostringstream out, err;
    args.insert(args.end(), {"--formula", "dragon", "--size", "37x23", "--color", "grad", "--iterations", "200",
                             "-o", output});
    return RunRenderCommand(args, out, err, platform);
}

}  // namespace

TEST(PngOutput, APngHoldsThePixelsOfTheTgaAndTheResolutionAsked)
{
    TempFolder folder;
    ASSERT_EQ(Render({}, folder / "image.tga"), 0);
    const std::vector<std::uint8_t> expected = TgaAsRgb(ReadBytes(folder / "image.tga"));
    const struct { std::string name; std::vector<std::string> args; bool resolution; } cases[] = {
        {"poster.png", {"--dpi", "300"}, true},
        {"POSTER.PNG", {}, false},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Render(c.args, folder / c.name), 0);
        const PngImage png = ReadPng(folder / c.name);
        EXPECT_EQ(png.Width, 37u);
        EXPECT_EQ(png.Height, 23u);
        EXPECT_EQ(png.BitDepth, 8);
        EXPECT_EQ(png.ColourType, PNG_COLOR_TYPE_RGB);
        EXPECT_EQ(png.Rgb, expected) << c.name;
        EXPECT_EQ(png.HasResolution, c.resolution) << c.name;
        if (c.resolution) {
            EXPECT_EQ(png.Unit, PNG_RESOLUTION_METER);
            EXPECT_EQ(png.PerMetreX, 11811u);  // 300 / 0.0254
            EXPECT_EQ(png.PerMetreY, 11811u);
        }
    }
    ASSERT_EQ(Render({"--dpi", "300"}, folder / "image.png.tga"), 0);  // any other name stays TGA
    EXPECT_EQ(ReadBytes(folder / "image.png.tga"), ReadBytes(folder / "image.tga"));
}

TEST(PngOutput, AConvertedTgaGivesTheBytesOfTheRenderedPng)
{
    TempFolder folder;
    ASSERT_EQ(Render({}, folder / "nimbra000.tga"), 0);
    ASSERT_EQ(Render({"--dpi", "150"}, folder / "rendered.png"), 0);
    FakePlatform platform;
    std::ostringstream out, err;
    ASSERT_EQ(RunConvertCommand({"png", folder / "nimbra000.tga", "--dpi", "150"}, out, err, platform), 0) << err.str();
    EXPECT_EQ(out.str(), "Konvertierung beendet --> " + folder / "nimbra000.png" + "\n");
    EXPECT_EQ(ReadBytes(folder / "nimbra000.png"), ReadBytes(folder / "rendered.png"));

    // Not the program's layout: refused, and nothing written.
    WriteBytes(folder / "other.tga", std::vector<std::uint8_t>(40, 1));
    EXPECT_EQ(RunConvertCommand({"png", folder / "other.tga"}, out, err, platform), 1);
    EXPECT_FALSE(FileExists(folder / "other.png"));
}

TEST(PngOutput, AConversionStoppedBetweenRowsLeavesNothingBehind)
{
    TempFolder folder;
    ASSERT_EQ(Render({}, folder / "nimbra000.tga"), 0);
    FakePlatform platform;
    ScriptedDialogs dialogs;
    int rows = 0;
    EXPECT_EQ(ConvertTgaToPng(folder / "nimbra000.tga", 0, dialogs, platform, [&rows] { return ++rows > 5; }),
              ConversionOutcome::Stopped);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}
