#include "files/palette_file.h"

#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

namespace nimbra {
namespace {

using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteBytes;

using Bytes = std::vector<std::uint8_t>;

Bytes Magic() { return Bytes(FileMagic.begin(), FileMagic.end()); }

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<PaletteNode> DefaultNodes = {{0, 0, 0, 0}, {128, 128, 128, 20}, {255, 255, 255, 100}};

TEST(PaletteFile, DefaultGradientIsNineteenBytesHighestPositionFirst)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const PaletteList palette;
    WritePaletteFile(folder / "grau.pal", palette, dialogs);

    EXPECT_EQ(ReadBytes(folder / "grau.pal"), (Magic() + Bytes{255, 255, 255, 100, 128, 128, 128, 20, 0, 0, 0, 0}));
    EXPECT_EQ(palette.Nodes(), DefaultNodes);
    EXPECT_TRUE(dialogs.Messages.empty());

    PaletteList readBack;
    readBack.ClearPalette();
    ReadPaletteFile(folder / "grau.pal", readBack, dialogs);
    EXPECT_EQ(readBack.Nodes(), DefaultNodes);
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(PaletteFile, EqualPositionsKeepTheirOrderAcrossWriteAndRead)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    PaletteList palette;
    palette.SetPaletteNode(255, 0, 0, 0);
    WritePaletteFile(folder / "rot.pal", palette, dialogs);
    EXPECT_EQ(ReadBytes(folder / "rot.pal"),
              (Magic() + Bytes{255, 255, 255, 100, 128, 128, 128, 20, 255, 0, 0, 0, 0, 0, 0, 0}));

    PaletteList readBack;
    ReadPaletteFile(folder / "rot.pal", readBack, dialogs);
    EXPECT_EQ(readBack.Nodes(), palette.Nodes());
}

TEST(PaletteFile, EmptyListGivesOnlyTheMagicAndReadsBackEmpty)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    PaletteList palette;
    palette.ClearPalette();
    WritePaletteFile(folder / "leer.pal", palette, dialogs);
    EXPECT_EQ(ReadBytes(folder / "leer.pal"), Magic());

    PaletteList readBack;
    ReadPaletteFile(folder / "leer.pal", readBack, dialogs);
    EXPECT_TRUE(readBack.Empty());
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(PaletteFile, IncompleteLastRecordKeepsTheCompleteOnesAndTellsTheUser)
{
    for (std::size_t extra = 1; extra <= 3; ++extra) {
        TempFolder folder;
        ScriptedDialogs dialogs;
        const std::string name = folder / "kurz.pal";
        WriteBytes(name, Magic() + Bytes{9, 9, 9, 100, 1, 2, 3, 0} + Bytes(extra, 7));
        PaletteList palette;
        EXPECT_FALSE(ReadPaletteFile(name, palette, dialogs));
        EXPECT_EQ(palette.Nodes(), (std::vector<PaletteNode>{{1, 2, 3, 0}, {9, 9, 9, 100}})) << extra;
        EXPECT_EQ(dialogs.Messages, std::vector<std::string>{"Fehler beim Lesen der Palette " + name + " !"});
    }
}

TEST(PaletteFile, WrongMagicGivesDefaultGradient)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const std::string name = folder / "bild.pal";
    WriteBytes(name, Bytes{'L', 'U', 'M', 'E', 'N', '-', '<', 1, 2, 3, 4});
    PaletteList palette;
    palette.SetPaletteNode(1, 1, 1, 50);
    EXPECT_FALSE(ReadPaletteFile(name, palette, dialogs));
    EXPECT_EQ(palette.Nodes(), DefaultNodes);
    EXPECT_EQ(dialogs.Messages, std::vector<std::string>{name + " hat falsches Dateiformat !"});
}

TEST(PaletteFile, UnreadableFileLeavesTheListEmpty)
{
    TempFolder folder;
    const std::string shortFile = folder / "sechs.pal";
    WriteBytes(shortFile, Bytes{'L', 'U', 'M', 'E', 'N', '-'});
    const struct { std::string name, reason; } cases[] = {
        {folder / "fehlt.pal", "\nDatei oder Ordner nicht vorhanden"},
        {shortFile, ""},
        {folder.Path(), "\nist ein Ordner"},
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        PaletteList palette;
        EXPECT_FALSE(ReadPaletteFile(c.name, palette, dialogs));
        EXPECT_TRUE(palette.Empty()) << c.name;
        EXPECT_EQ(dialogs.Messages,
                  std::vector<std::string>{"Fehler beim Lesen der Palette " + c.name + " !" + c.reason});
    }
}

TEST(PaletteFile, MillionRecordsAreAllReadInReverse)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const std::string name = folder / "gross.pal";
    Bytes file = Magic();
    constexpr std::size_t count = 1'000'000;
    for (std::size_t i = 0; i < count; ++i)
        file.insert(file.end(), {static_cast<std::uint8_t>(i), 0, 0, static_cast<std::uint8_t>(i % 101)});
    WriteBytes(name, file);
    PaletteList palette;
    EXPECT_TRUE(ReadPaletteFile(name, palette, dialogs));
    ASSERT_EQ(palette.Nodes().size(), count);
    EXPECT_EQ(palette.Nodes().front(), (PaletteNode{static_cast<std::uint8_t>(count - 1), 0, 0, (count - 1) % 101}));
    EXPECT_EQ(palette.Nodes().back(), (PaletteNode{0, 0, 0, 0}));
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(PaletteFile, ConfigurationFileReadsAsSeventeenPlusNodeRecords)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const std::string name = folder / "nimbra.cfg";
    Bytes record(70, 0);
    record[0] = 2;
    WriteBytes(name, Magic() + record + NodeBlockBytes(PaletteList()));
    PaletteList palette;
    ReadPaletteFile(name, palette, dialogs);
    EXPECT_EQ(palette.Nodes().size(), 17u + 3u);
    EXPECT_EQ(dialogs.Messages, std::vector<std::string>{"Fehler beim Lesen der Palette " + name + " !"});
}

TEST(PaletteFile, FailedWriteTellsTheUserAndKeepsTheList)
{
    TempFolder folder;
    const struct { std::string name, reason; } cases[] = {
        {folder / "fehlt/neu.pal", "Datei oder Ordner nicht vorhanden"},
        {"/dev/full", "kein Platz mehr auf dem Datenträger"},
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        const PaletteList palette;
        EXPECT_FALSE(WritePaletteFile(c.name, palette, dialogs));
        EXPECT_EQ(dialogs.Messages,
                  std::vector<std::string>{"Fehler beim Schreiben der Palette " + c.name + " !\n" + c.reason});
        EXPECT_EQ(palette.Nodes(), DefaultNodes);
    }
}

TEST(PaletteFile, WriteReplacesALongerFile)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const std::string name = folder / "alt.pal";
    WriteBytes(name, Bytes(100, 1));
    PaletteList palette;
    palette.ClearPalette();
    WritePaletteFile(name, palette, dialogs);
    EXPECT_EQ(ReadBytes(name), Magic());
}

}  // namespace
}  // namespace nimbra
