#include "cli/convert_command.h"

#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

Result RunCommand(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    FakePlatform platform;
    const int exitCode = RunConvertCommand(args, out, err, platform);
    return {exitCode, out.str(), err.str()};
}

std::vector<std::uint8_t> Tga(const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> bytes(18 + pixels.size(), 0);
    bytes[2] = 2;  // uncompressed true colour
    std::copy(pixels.begin(), pixels.end(), bytes.begin() + 18);
    return bytes;
}

}  // namespace

TEST(ConvertCliCommand, ConvertsAndReportsTheOutput)
{
    TempFolder folder;
    WriteBytes(folder / "a.tga", Tga({10, 20, 30, 200, 100, 60}));
    const Result result = RunCommand({"rgbcmy", folder / "a.tga"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "Konvertierung beendet --> " + folder / "CONV_a.tga" + "\n");
    EXPECT_EQ(ReadBytes(folder / "CONV_a.tga"), Tga({50, 40, 30, 160, 4, 44}));

    WriteBytes(folder / "b.tga", Tga({10, 20, 30, 200, 100, 60}));
    EXPECT_EQ(RunCommand({"cmyrgb", folder / "b.tga"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "CONV_b.tga"), ReadBytes(folder / "CONV_a.tga"));
}

TEST(ConvertCliCommand, TintIsReadAsRedGreenBlue)
{
    TempFolder folder;
    WriteBytes(folder / "a.tga", Tga({90, 90, 90}));
    EXPECT_EQ(RunCommand({"rgbgrad", folder / "a.tga", "--tint", "ff0000"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "CONV_a.tga"), Tga({0, 0, 90}));
    EXPECT_EQ(RunCommand({"--tint", "0080FF", "gradrgb", folder / "a.tga"}).exitCode, 0);
    EXPECT_EQ(ReadBytes(folder / "CONV_a.tga"), Tga({90, 45, 0}));
    EXPECT_EQ(RunCommand({"gradcmy", folder / "a.tga"}).exitCode, 0);  // without --tint: black
    EXPECT_EQ(ReadBytes(folder / "CONV_a.tga"), Tga({0, 0, 0}));
}

TEST(ConvertCliCommand, FailedConversionGivesTheProgramsMessages)
{
    TempFolder folder;
    const Result missing = RunCommand({"rgbcmy", folder / "none.tga"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Grafikdatei " + folder / "none.tga" +
                               " kann nicht geöffnet werden !\nDatei oder Ordner nicht vorhanden\n");
    EXPECT_EQ(missing.out, "");

    WriteBytes(folder / "short.tga", {1, 2, 3});
    const Result shortFile = RunCommand({"rgbcmy", folder / "short.tga"});
    EXPECT_EQ(shortFile.exitCode, 1);
    EXPECT_EQ(shortFile.err, "E/A-Fehler\n" + folder / "short.tga" +
                                 ": die Datei ist zu kurz oder beschädigt\n");
    EXPECT_FALSE(FileExists(folder / "CONV_short.tga"));
}

TEST(ConvertCliCommand, WrongArgumentsAreBadUsage)
{
    struct Case {
        std::vector<std::string> args;
        std::string problem;
    };
    const Case cases[] = {
        {{"rgbcmy"}, "ART und DATEI werden gebraucht"},
        {{"rgbcmy", "a.tga", "b.tga"}, "überzähliges Argument 'b.tga'"},
        {{"rgbhsv", "a.tga"}, "unbekannte ART 'rgbhsv'"},
        {{"rgbgrad", "a.tga", "--tint"}, "--tint braucht eine Farbe RRGGBB"},
        {{"rgbgrad", "a.tga", "--tint", "red"}, "--tint 'red' ist keine Farbe RRGGBB aus sechs Hexadezimalziffern"},
        {{"rgbgrad", "a.tga", "--tint", "FF00GG"}, "--tint 'FF00GG' ist keine Farbe RRGGBB aus sechs Hexadezimalziffern"},
        {{"rgbgrad", "a.tga", "--tint", "FF0000", "--tint", "00FF00"}, "--tint ist doppelt angegeben"},
        {{"rgbcmy", "a.tga", "--quiet"}, "unbekannte Option '--quiet'"},
    };
    for (const Case& c : cases) {
        const Result result = RunCommand(c.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind("nimbra-cli convert: " + c.problem + "\nAufruf: nimbra-cli convert", 0), 0u)
            << result.err;
    }
}
