#include "cli/render_command.h"
#include "common/file_faults.h"
#include "common/posix_platform.h"
#include "dialogs/resolution.h"
#include "files/config_file.h"
#include "files/palette_file.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <sstream>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

struct RenderResult {
    int ExitCode;
    std::string Out, Err;
};

RenderResult Render(const std::vector<std::string>& args)
{
    PosixPlatform platform;
    std::ostringstream out, err;
    const int code = RunRenderCommand(args, out, err, platform);
    return {code, out.str(), err.str()};
}

}  // namespace

TEST(RenderCommand, BadUsageNamesTheOptionAndShowsTheUsage)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--size", "640"}, {"--formula", "spiral"}, {"--color", "hsv"}, {"--threads", "0"}, {"--bogus", "1"},
             {"--real"}}) {
        const RenderResult result = Render(args);
        EXPECT_EQ(result.ExitCode, 2) << args[0];
        EXPECT_EQ(result.Err.rfind(args[0], 0), 0u) << result.Err;
        EXPECT_NE(result.Err.find("Aufruf: nimbra-cli render"), std::string::npos);
    }
}

TEST(RenderCommand, InterruptsAreCaughtOnlyDuringTheRun)
{
    TempFolder folder;
    const auto handlers = [] {
        struct sigaction interrupt {}, terminate {}, hangUp {};
        sigaction(SIGINT, nullptr, &interrupt);
        sigaction(SIGTERM, nullptr, &terminate);
        sigaction(SIGHUP, nullptr, &hangUp);
        return std::vector<void (*)(int)>{interrupt.sa_handler, terminate.sa_handler, hangUp.sa_handler};
    };
    const std::vector<void (*)(int)> before = handlers();
    EXPECT_EQ(Render({"--size", "8x6", "-o", folder / "x.tga"}).ExitCode, 0);
    EXPECT_EQ(handlers(), before);
    EXPECT_EQ(Render({"--iterations", "0", "-o", folder / "y.tga"}).ExitCode, 1);
    EXPECT_EQ(handlers(), before);
}

TEST(RenderCommand, ARefusedValuePrintsTheProgramsMessageAndLeavesNoFile)
{
    TempFolder folder;
    const RenderResult result = Render({"--iterations", "0", "-o", folder / "x.tga"});
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Err, "Gleitkommadivision durch Null\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(RenderCommand, AnOutputNameIsCheckedBeforeComputing)
{
    TempFolder folder;
    // Hours of computing inside the set: a refusal has to come first.
    const std::vector<std::string> slow = {"--size", "4000x4000", "--iterations", "1000000",
                                           "--real", "-0.1:0.1",  "--imag",       "-0.1:0.1"};
    const std::string tooLong = folder / std::string(256, 'n');
    const struct { std::string path, reason; } refused[] = {
        {folder.Path(), "ist ein Ordner"},
        {tooLong, "der Name ist zu lang"},
        {folder / "missing/x.tga", "Datei oder Ordner nicht vorhanden"},
    };
    for (const auto& c : refused) {
        std::vector<std::string> args = slow;
        args.insert(args.end(), {"-o", c.path});
        const RenderResult result = Render(args);
        EXPECT_EQ(result.ExitCode, 1);
        EXPECT_EQ(result.Err, "Kann die Bilddatei " + c.path + " nicht anlegen !\n" + c.reason + "\n");
    }
    const std::string longest = folder / (std::string(251, 'n') + ".tga");  // 255 bytes, the longest name
    EXPECT_EQ(Render({"--size", "2x2", "-o", longest}).ExitCode, 0);
    EXPECT_EQ(ReadBytes(longest).size(), 18u + 2 * 2 * 3);
}

TEST(RenderCommand, OptionsGiveTheSameFileForAnyThreadCount)
{
    TempFolder folder;
    std::vector<std::vector<std::uint8_t>> files;
    for (const char* threads : {"1", "2", "5"}) {
        const std::string path = folder / (std::string("t") + threads + ".tga");
        const RenderResult result =
            Render({"--formula", "julia", "--size", "61x47", "--real", "-2:2", "--imag", "-1.3:1,2", "--julia",
                    "-0,4:0.6", "--iterations", "300", "--color", "cmy", "--invert", "--threads", threads, "-o", path});
        ASSERT_EQ(result.ExitCode, 0) << result.Err;
        EXPECT_NE(result.Out.find("61 x 47"), std::string::npos);
        files.push_back(ReadBytes(path));
    }
    ASSERT_EQ(files[0].size(), 18u + 61 * 47 * 3);
    EXPECT_EQ(files[1], files[0]);
    EXPECT_EQ(files[2], files[0]);
}

TEST(RenderCommand, CorrectionsOfTheProgramApply)
{
    TempFolder folder;
    const std::string path = folder / "g.tga";
    const RenderResult result = Render({"--size", "30000x2", "--color", "grad", "--iterations", "999", "-o", path});
    ASSERT_EQ(result.ExitCode, 0) << result.Err;
    EXPECT_EQ(ReadBytes(path).size(), 18u + 640 * 2 * 3);  // a width above 20480 becomes 640
}

TEST(RenderCommand, WithoutOutputTheNextFreeImageNameIsUsed)
{
    TempFolder folder;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    const RenderResult first = Render({"--size", "4x3"});
    const RenderResult second = Render({"--size", "4x3"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(first.ExitCode, 0);
    EXPECT_EQ(second.ExitCode, 0);
    EXPECT_TRUE(FileExists(folder / "pix/nimbra000.tga"));
    EXPECT_TRUE(FileExists(folder / "pix/nimbra001.tga"));
}

TEST(RenderCommand, AConfigurationGivesItsValuesAndGradientAndOptionsOverrideIt)
{
    TempFolder folder;
    PaletteList gradient;
    gradient.SetPaletteNode(250, 20, 60, 40);
    FractalParams params;
    params.Model = ColorModel::Grad;
    params.Preview = false;
    params.Formula = static_cast<std::uint8_t>(FormulaKind::Julia);
    params.Width = 33;
    params.Height = 21;
    params.MaxIterations = 200;
    params.RealFrom = -2;
    params.RealTo = 2;
    params.ImagFrom = -1.3L;
    params.ImagTo = 1.2L;
    params.JuliaReal = -0.4L;
    params.JuliaImag = 0.6L;
    ScriptedDialogs dialogs;
    WriteConfigurationFile(folder / "setup.cfg", BuildConfigRecord(params), gradient, dialogs);
    WritePaletteFile(folder / "gradient.pal", gradient, dialogs);
    ASSERT_TRUE(dialogs.Messages.empty());

    const RenderResult fromConfig = Render({"-o", folder / "a.tga", "--config", folder / "setup.cfg"});
    ASSERT_EQ(fromConfig.ExitCode, 0) << fromConfig.Err;
    const RenderResult fromOptions =
        Render({"--formula", "julia", "--size", "33x21", "--iterations", "200", "--real", "-2:2", "--imag",
                "-1.3:1.2", "--julia", "-0.4:0.6", "--color", "grad", "--palette", folder / "gradient.pal", "-o",
                folder / "b.tga"});
    ASSERT_EQ(fromOptions.ExitCode, 0) << fromOptions.Err;
    EXPECT_EQ(ReadBytes(folder / "a.tga"), ReadBytes(folder / "b.tga"));

    const RenderResult overridden =
        Render({"--size", "8x6", "--config", folder / "setup.cfg", "--formula", "mandelbrot", "-o", folder / "c.tga"});
    ASSERT_EQ(overridden.ExitCode, 0) << overridden.Err;
    EXPECT_EQ(ReadBytes(folder / "c.tga").size(), 18u + 8 * 6 * 3);
}

TEST(RenderCommand, AFileThatCannotBeReadWholeMakesNoImage)
{
    TempFolder folder;
    const std::string cutGradient = folder / "cut.cfg", otherFormat = folder / "other.pal";
    std::vector<std::uint8_t> config = {'L', 'U', 'M', 'E', 'N', '-', '>'};
    const auto record = EncodeConfigRecord({.Model = ColorModel::Grad, .Width = 8, .Height = 6, .MaxIterations = 9});
    config.insert(config.end(), record.begin(), record.end());
    config.insert(config.end(), {1, 2, 3, 0, 5});  // a node record and a cut one: the record itself is fine
    WriteBytes(cutGradient, config);
    WriteBytes(otherFormat, std::vector<std::uint8_t>(20, 'x'));
    const std::string missingConfig = folder / "missing.cfg", missingPalette = folder / "missing.pal";
    const std::string read = "Fehler beim Lesen der Palette ", missing = " !\nDatei oder Ordner nicht vorhanden";
    const struct { std::string option, path, message; } cases[] = {
        {"--config", missingConfig, read + "in " + missingConfig + missing},
        {"--config", cutGradient, read + "in " + cutGradient + " !\n"},
        {"--palette", missingPalette, read + missingPalette + missing + "\n"},
        {"--palette", otherFormat, otherFormat + " hat falsches Dateiformat !\n"},
    };
    for (const auto& c : cases) {
        const RenderResult result = Render({c.option, c.path, "-o", folder / "x.tga"});
        EXPECT_EQ(result.ExitCode, 1) << c.path;
        EXPECT_EQ(result.Err.rfind(c.message, 0), 0u) << result.Err;
        EXPECT_FALSE(FileExists(folder / "x.tga"));
    }
}

TEST(RenderCommand, APaperSizeIsTheResolutionCalculatorsLandscapeOrTurnedUpright)
{
    TempFolder folder;
    const struct { std::string paper, dpi; bool portrait; } cases[] = {
        {"A6", "50", false}, {"a5", "30", true}, {"A3", "12", false}};
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--paper", c.paper, "--dpi", c.dpi, "-o", folder / "sheet.tga"};
        if (c.portrait) args.push_back("--portrait");
        ASSERT_EQ(Render(args).ExitCode, 0) << c.paper;
        std::string dpiText = c.dpi;
        ImageSize size = Recalculate(c.paper == "a5" ? "A5" : c.paper, dpiText);
        if (c.portrait) std::swap(size.Width, size.Height);
        const std::vector<std::uint8_t> file = ReadBytes(folder / "sheet.tga");
        ASSERT_GE(file.size(), 18u);
        EXPECT_EQ(file[12] | file[13] << 8, size.Width) << c.paper;
        EXPECT_EQ(file[14] | file[15] << 8, size.Height) << c.paper;
    }
}

TEST(RenderCommand, OptionsThatDoNotGoTogetherAreBadUsage)
{
    const struct { std::vector<std::string> args; std::string problem; } cases[] = {
        {{"--paper", "A4", "--dpi", "300", "--size", "8x6"}, "--size und --paper schließen einander aus"},
        {{"--paper", "A4"}, "--paper braucht --dpi"},
        {{"--portrait", "--size", "8x6"}, "--portrait gilt nur mit --paper"},
        {{"--resume"}, "--resume braucht -o DATEI"},
        {{"--paper", "A7", "--dpi", "300"}, "--paper: erwartet ein Blattformat A0 bis A6, nicht 'A7'"},
        {{"--supersample", "5"}, "--supersample: erwartet eine ganze Zahl von 1 bis 4, nicht '5'"},
        {{"--dpi", "3e2"}, "--dpi: erwartet eine ganze Zahl von 1 bis 100000, nicht '3e2'"},
        {{"--paper", "A0", "--dpi", "600"},
         "--paper A0 bei 600 dpi ergibt 27997x19800 Pixel; breiter als 20480 Pixel kann ein Bild nicht sein"},
    };
    for (const auto& c : cases) {
        const RenderResult result = Render(c.args);
        EXPECT_EQ(result.ExitCode, 2) << c.problem;
        EXPECT_EQ(result.Err.rfind(c.problem + "\n\nAufruf: nimbra-cli render", 0), 0u) << result.Err;
    }
}

namespace {

// Each pixel the mean of its block, rounded by the FPU's rounding to nearest, ties to even.
std::vector<std::uint8_t> ReducedByBlocks(const std::vector<std::uint8_t>& tga, int width, int height, int factor)
{
    std::vector<std::uint8_t> reduced;
    const auto byteAt = [&](int column, int row, int channel) {
        return tga[18 + static_cast<std::size_t>((row * width * factor + column) * 3 + channel)];
    };
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            for (int channel = 0; channel < 3; ++channel) {
                long double sum = 0;
                for (int y = 0; y < factor; ++y)
                    for (int x = 0; x < factor; ++x) sum += byteAt(column * factor + x, row * factor + y, channel);
                reduced.push_back(static_cast<std::uint8_t>(nearbyintl(sum / (factor * factor))));
            }
    return reduced;
}

}  // namespace

TEST(RenderCommand, ASupersampledImageIsTheLargerImageReducedByBlocksOnAnyThreadCount)
{
    TempFolder folder;
    const std::vector<std::string> view = {"--formula", "burningship", "--color", "grad", "--iterations", "250"};
    for (const int factor : {2, 3, 4}) {
        const int width = 13, height = 9;
        std::vector<std::string> large = view;
        large.insert(large.end(), {"--size", std::to_string(width * factor) + "x" + std::to_string(height * factor),
                                   "-o", folder / "large.tga"});
        ASSERT_EQ(Render(large).ExitCode, 0);
        const std::vector<std::uint8_t> expected = ReducedByBlocks(ReadBytes(folder / "large.tga"), width, height, factor);
        for (const char* threads : {"1", "2"}) {
            std::vector<std::string> sampled = view;
            sampled.insert(sampled.end(), {"--size", "13x9", "--supersample", std::to_string(factor), "--threads",
                                           threads, "-o", folder / "sampled.tga"});
            ASSERT_EQ(Render(sampled).ExitCode, 0);
            const std::vector<std::uint8_t> file = ReadBytes(folder / "sampled.tga");
            ASSERT_EQ(file.size(), 18u + width * height * 3);
            EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 18, file.end()), expected) << factor << " " << threads;
        }
    }
}

TEST(RenderCommand, AFullDiskKeepsTheRowsOnDiskAndResumeEndsTheImage)
{
    TempFolder folder;
    const std::vector<std::string> view = {"--formula", "dragon", "--size", "8x40", "--supersample", "2", "-o"};
    std::vector<std::string> whole = view, poster = view;
    whole.push_back(folder / "whole.png");
    poster.push_back(folder / "poster.png");
    ASSERT_EQ(Render(whole).ExitCode, 0);
    RenderResult full;
    {
        const FileFaultScope faults({.FailingWrite = 3});  // past the first record: the image, written at the end
        full = Render(poster);
    }
    EXPECT_EQ(full.ExitCode, 1);
    EXPECT_EQ(full.Err.rfind("E/A-Fehler 28\n", 0), 0u) << full.Err;
    EXPECT_NE(full.Err.find(" Zeilen sind gesichert, mit --resume geht es weiter.\n"), std::string::npos) << full.Err;
    EXPECT_FALSE(FileExists(folder / "poster.png"));
    poster.push_back("--resume");
    ASSERT_EQ(Render(poster).ExitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "poster.png"), ReadBytes(folder / "whole.png"));
}
