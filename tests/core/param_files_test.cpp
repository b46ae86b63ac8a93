#include "files/param_files.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

struct Histories {
    std::vector<std::string> Real;
    std::vector<std::string> Imag;
};

Histories LoadFrom(const std::string& content, ScriptedDialogs& dialogs)
{
    TempFolder folder;
    WriteBytes(folder / "nimbra.par", Bytes(content));
    Histories read;
    NoPump pump;
    LoadParameterFile(folder / "nimbra.par", read.Real, read.Imag, dialogs, pump);
    return read;
}

std::string ViewerFrom(const std::string& content)
{
    TempFolder folder;
    WriteBytes(folder / "nimbra.prf", Bytes(content));
    ScriptedDialogs dialogs;
    NoPump pump;
    std::string viewer = "unchanged";
    LoadProgramSettings(folder / "nimbra.prf", viewer, dialogs, pump);
    return viewer;
}

using Items = std::vector<std::string>;

}  // namespace

TEST(ParamFiles, PathsLieInTheParamFolder)
{
    EXPECT_EQ(ParameterFilePath("/home/u/"), "/home/u/param/nimbra.par");
    EXPECT_EQ(SettingsFilePath("/home/u/"), "/home/u/param/nimbra.prf");
}

TEST(ParamFiles, ParameterLinesFillBothHistories)
{
    struct Case {
        const char* Content;
        Items Real, Imag;
    };
    const Case cases[] = {
        {"0,285-!!-0,01\r\n", {"0,285"}, {"0,01"}},
        {"-!!-0,5\r\n", {}, {"0,5"}},
        {"0,3-!!-\r\n", {"0,3"}, {}},
        {"0,3\r\n", {}, {}},
        {"a-!!-b-!!-c\r\n", {"a"}, {"b-!!-c"}},
        {"r-!!-0,1234567890123\r\n", {"r"}, {"0,1234567890"}},
        {"r-!!-äöü0123456789\r\n", {"r"}, {"äöü012345678"}},
        {"1-!!-2\n3-!!-4", {"1", "3"}, {"2", "4"}},
        {"1-!!-2\r\n\r\n3.5-!!-4\r\n", {"1", "3.5"}, {"2", "4"}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        const Histories read = LoadFrom(c.Content, dialogs);
        EXPECT_EQ(read.Real, c.Real) << c.Content;
        EXPECT_EQ(read.Imag, c.Imag) << c.Content;
        EXPECT_TRUE(dialogs.Messages.empty());
    }
}

TEST(ParamFiles, LoadingAppendsToWhatTheListsHold)
{
    TempFolder folder;
    WriteBytes(folder / "nimbra.par", Bytes("0,3-!!-0,4\r\n"));
    Items real{"1"}, imag;
    ScriptedDialogs dialogs;
    NoPump pump;
    LoadParameterFile(folder / "nimbra.par", real, imag, dialogs, pump);
    EXPECT_EQ(real, (Items{"1", "0,3"}));
    EXPECT_EQ(imag, (Items{"0,4"}));
}

TEST(ParamFiles, UnevenListsAreWrittenAsLinesOfTheLongerAndReadBack)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    ASSERT_TRUE(SaveParameterFile(folder / "nimbra.par", {"0,1", "0,2", "0,3"}, {"0,5"}, dialogs));
    EXPECT_EQ(ReadBytes(folder / "nimbra.par"), Bytes("0,1-!!-0,5\r\n0,2-!!-\r\n0,3-!!-\r\n"));

    Items real, imag;
    NoPump pump;
    LoadParameterFile(folder / "nimbra.par", real, imag, dialogs, pump);
    EXPECT_EQ(real, (Items{"0,1", "0,2", "0,3"}));
    EXPECT_EQ(imag, (Items{"0,5"}));
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(ParamFiles, EmptyHistoriesGiveAnEmptyFileThatReplacesTheOld)
{
    TempFolder folder;
    WriteBytes(folder / "nimbra.par", Bytes("old-!!-old\r\n"));
    ScriptedDialogs dialogs;
    ASSERT_TRUE(SaveParameterFile(folder / "nimbra.par", {}, {}, dialogs));
    EXPECT_TRUE(ReadBytes(folder / "nimbra.par").empty());
}

TEST(ParamFiles, MissingFilesAreSkippedSilently)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    NoPump pump;
    Items real, imag;
    std::string viewer;
    EXPECT_TRUE(LoadParameterFile(folder / "nimbra.par", real, imag, dialogs, pump));
    EXPECT_TRUE(LoadProgramSettings(folder / "nimbra.prf", viewer, dialogs, pump));
    EXPECT_TRUE(real.empty() && imag.empty() && viewer.empty());
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(ParamFiles, UnreadableFilesAreReportedAndNothingIsRead)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "nimbra.par");
    std::filesystem::create_directory(folder / "nimbra.prf");
    ScriptedDialogs dialogs;
    NoPump pump;
    Items real, imag;
    std::string viewer;
    EXPECT_FALSE(LoadParameterFile(folder / "nimbra.par", real, imag, dialogs, pump));
    EXPECT_FALSE(LoadProgramSettings(folder / "nimbra.prf", viewer, dialogs, pump));
    EXPECT_EQ(dialogs.Messages,
              (Items{"Fehler beim Einlesen der Parameterdatei " + folder / "nimbra.par" + " !\nist ein Ordner",
                     "Fehler beim Einlesen der Programmkonfiguration " + folder / "nimbra.prf" +
                         " !\nist ein Ordner"}));
    EXPECT_TRUE(real.empty() && imag.empty() && viewer.empty());
}

TEST(ParamFiles, FilesThatCannotBeCreatedAreReported)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    EXPECT_FALSE(SaveParameterFile(folder / "param/nimbra.par", {"1"}, {"2"}, dialogs));
    EXPECT_FALSE(SaveProgramSettings(folder / "param/nimbra.prf", "viewer", dialogs));
    EXPECT_EQ(dialogs.Messages,
              (Items{"Fehler beim Schreiben der Parameterdatei " + folder / "param/nimbra.par" +
                         " !\nDatei oder Ordner nicht vorhanden",
                     "Fehler beim Schreiben der Programmkonfiguration " + folder / "param/nimbra.prf" +
                         " !\nDatei oder Ordner nicht vorhanden"}));
    EXPECT_FALSE(FileExists(folder / "param"));
}

TEST(ParamFiles, SettingsAreOneViewerLine)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    ASSERT_TRUE(SaveProgramSettings(folder / "nimbra.prf", "/usr/bin/eog", dialogs));
    EXPECT_EQ(ReadBytes(folder / "nimbra.prf"), Bytes("VIEWER*=*/usr/bin/eog\r\n"));
    ASSERT_TRUE(SaveProgramSettings(folder / "nimbra.prf", "", dialogs));
    EXPECT_EQ(ReadBytes(folder / "nimbra.prf"), Bytes("VIEWER*=*\r\n"));
    EXPECT_EQ(ViewerFrom("VIEWER*=*\r\n"), "");
}

TEST(ParamFiles, SettingLinesAreMatchedByTheirKey)
{
    const std::string longValue(300, 'v');
    struct Case {
        std::string Content;
        std::string Viewer;
    };
    const Case cases[] = {
        {"viewer*=*/usr/bin/eog\r\n", "/usr/bin/eog"},
        {"ViEwEr*=*a*=*b\n", "a*=*b"},
        {" VIEWER*=*x\r\n", "unchanged"},
        {"VIEWER=x\r\nOTHER*=*y\r\n", "unchanged"},
        {"VIEWER*=*first\r\nVIEWER*=*second\r\n", "second"},
        {"VIEWER*=*" + longValue + "\r\n", std::string(255, 'v')},
        {"VIEWER*=* with blanks \r\n", " with blanks "},
    };
    for (const Case& c : cases) EXPECT_EQ(ViewerFrom(c.Content), c.Viewer) << c.Content;
}

TEST(ParamFiles, AnyBytesAreReadWithoutHarm)
{
    std::mt19937 random(2005);
    for (int round = 0; round < 200; ++round) {
        std::string content;
        const int length = static_cast<int>(random() % 400);
        for (int i = 0; i < length; ++i) content += static_cast<char>(random() % 256);
        if (round % 2 == 0) content.insert(random() % (content.size() + 1), "-!!-");
        ScriptedDialogs dialogs;
        const Histories read = LoadFrom(content, dialogs);
        for (const Items* items : {&read.Real, &read.Imag})
            for (const std::string& item : *items) EXPECT_TRUE(!item.empty() && item.find('\n') == std::string::npos);
        EXPECT_EQ(ViewerFrom(content).find('\n'), std::string::npos);
    }
}
