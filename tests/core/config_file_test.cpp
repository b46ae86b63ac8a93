#include "files/config_file.h"

#include "common/error.h"
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
using Texts = std::vector<std::string>;

const std::vector<PaletteNode> DefaultNodes = {{0, 0, 0, 0}, {128, 128, 128, 20}, {255, 255, 255, 100}};

// The program's start values: RGB, Mandelbrot, 640 x 480, 2048 iterations, -2..0.5, -1.25..1.25.
FractalParams StartParams(ColorModel model, bool inverted = false, bool preview = false)
{
    FractalParams params;
    params.Model = model;
    params.Inverted = inverted;
    params.Preview = preview;
    return params;
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t size)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}

Bytes Magic() { return Bytes(FileMagic.begin(), FileMagic.end()); }

// The magic and count bytes of value, made at full size: growing the 7 bytes of Magic() instead
// makes g++ 12 at -O3 report a false -Warray-bounds inside the vector's copy.
Bytes MagicThen(std::size_t count, std::uint8_t value)
{
    Bytes bytes(FileMagic.size() + count, value);
    std::copy(FileMagic.begin(), FileMagic.end(), bytes.begin());
    return bytes;
}

TEST(ConfigFile, RgbRecordBytesAreLittleEndianWithExtendedFloats)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const PaletteList palette;
    EXPECT_TRUE(
        WriteConfigurationFile(folder / "rgb.cfg", BuildConfigRecord(StartParams(ColorModel::Rgb)), palette, dialogs));

    const Bytes file = ReadBytes(folder / "rgb.cfg");
    ASSERT_EQ(file.size(), 77u);
    EXPECT_EQ(Slice(file, 0, 7), Magic());
    EXPECT_EQ(Slice(file, 7, 10), (Bytes{0x00, 0x00, 0x80, 0x02, 0xE0, 0x01, 0x00, 0x08, 0x00, 0x00}));
    EXPECT_EQ(Slice(file, 17, 10), (Bytes{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));  // real from -2
    EXPECT_EQ(Slice(file, 57, 20), Bytes(20, 0));                                     // Julia constant 0
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(ConfigFile, NodeBlockOnlyWhenTheWholeFirstByteIsTwo)
{
    const ColorModel rgb = ColorModel::Rgb, cmy = ColorModel::Cmy, grad = ColorModel::Grad;
    const struct { ColorModel model; bool inverted, preview; std::uint8_t flags; std::size_t size; } cases[] = {
        {rgb, false, false, 0, 77},   {cmy, false, false, 1, 77},  {grad, false, false, 2, 89},
        {grad, true, false, 6, 77},   {rgb, false, true, 128, 77}, {grad, false, true, 130, 77},
        {grad, true, true, 134, 77},  {ColorModel::Unknown, true, false, 7, 77},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        ScriptedDialogs dialogs;
        const PaletteList palette;
        WriteConfigurationFile(folder / "x.cfg", BuildConfigRecord(StartParams(c.model, c.inverted, c.preview)),
                               palette, dialogs);
        const Bytes file = ReadBytes(folder / "x.cfg");
        ASSERT_EQ(file.size(), c.size) << int(c.flags);
        EXPECT_EQ(file[7], c.flags);
    }
}

TEST(ConfigFile, PaletteModelRoundTripsTheGradient)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const PaletteList saved;
    WriteConfigurationFile(folder / "grad.cfg", BuildConfigRecord(StartParams(ColorModel::Grad)), saved, dialogs);
    EXPECT_EQ(Slice(ReadBytes(folder / "grad.cfg"), 77, 12),
              (Bytes{255, 255, 255, 100, 128, 128, 128, 20, 0, 0, 0, 0}));

    PaletteList loaded;
    loaded.SetPaletteNode(1, 2, 3, 50);
    const std::optional<ConfigRecord> record = ReadConfigurationFile(folder / "grad.cfg", loaded, dialogs).Record;
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Model, ColorModel::Grad);
    EXPECT_EQ(record->RealFrom, -2.0L);
    EXPECT_EQ(record->ImagTo, 1.25L);
    EXPECT_EQ(loaded.Nodes(), DefaultNodes);
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(ConfigFile, RecordRoundTripsEveryFieldExactly)
{
    ConfigRecord record;
    record.Model = ColorModel::Cmy;
    record.Inverted = true;
    record.Preview = true;
    record.Formula = 9;
    record.Width = 65535;
    record.Height = 40000;
    record.MaxIterations = -7;
    record.RealFrom = 1.0L / 3.0L;
    record.ImagFrom = -1e-4000L;
    record.RealTo = 1e4000L;
    record.ImagTo = -0.0L;
    record.JuliaReal = 0.74543L;
    record.JuliaImag = 0.11301L;
    const ConfigRecord back = DecodeConfigRecord(EncodeConfigRecord(record));
    EXPECT_EQ(EncodeConfigRecord(back), EncodeConfigRecord(record));
    EXPECT_EQ(EncodeConfigRecord(record)[0], 0x85);
    EXPECT_EQ(back.Height, 40000);
    EXPECT_EQ(back.RealFrom, 1.0L / 3.0L);
    EXPECT_EQ(back.RealTo, 1e4000L);
}

TEST(ConfigFile, PaletteModelWithEmptyNodeBlockLeavesTheGradientEmpty)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    PaletteList palette;
    palette.ClearPalette();
    WriteConfigurationFile(folder / "leer.cfg", BuildConfigRecord(StartParams(ColorModel::Grad)), palette, dialogs);
    PaletteList loaded;
    EXPECT_TRUE(ReadConfigurationFile(folder / "leer.cfg", loaded, dialogs).Complete);
    EXPECT_TRUE(loaded.Empty());
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(ConfigFile, PaletteModelWithPreviewLeavesTheGradientAlone)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    WriteConfigurationFile(folder / "vorschau.cfg", BuildConfigRecord(StartParams(ColorModel::Grad, false, true)),
                           PaletteList(), dialogs);
    PaletteList loaded;
    loaded.SetPaletteNode(1, 2, 3, 50);
    const std::vector<PaletteNode> before = loaded.Nodes();
    const std::optional<ConfigRecord> record = ReadConfigurationFile(folder / "vorschau.cfg", loaded, dialogs).Record;
    ASSERT_TRUE(record);
    EXPECT_EQ(loaded.Nodes(), before);
    const ParamFields fields = ConfigFieldTexts(*record, ',');
    EXPECT_EQ(fields.Model, ColorModel::Grad);
    EXPECT_FALSE(fields.Inverted);
    EXPECT_TRUE(fields.Preview);
}

TEST(ConfigFile, IncompleteNodeRecordKeepsTheCompleteOnesAndGoesOn)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    const std::string name = folder / "kurz.cfg";
    Bytes file = Magic();
    const auto record = EncodeConfigRecord(BuildConfigRecord(StartParams(ColorModel::Grad)));
    file.insert(file.end(), record.begin(), record.end());
    file.insert(file.end(), {9, 9, 9, 100, 1, 2, 3, 0, 5, 5});
    WriteBytes(name, file);
    PaletteList palette;
    const ConfigurationRead read = ReadConfigurationFile(name, palette, dialogs);
    EXPECT_TRUE(read.Record);
    EXPECT_FALSE(read.Complete);
    EXPECT_EQ(palette.Nodes(), (std::vector<PaletteNode>{{1, 2, 3, 0}, {9, 9, 9, 100}}));
    EXPECT_EQ(dialogs.Messages, Texts{"Fehler beim Lesen der Palette in " + name + " !"});
}

TEST(ConfigFile, LoadFailuresShowTheirMessagesInOrderAndChangeNothing)
{
    TempFolder folder;
    const std::string missing = folder / "fehlt.cfg";
    const std::string tooShort = folder / "sechs.cfg";
    const std::string shortRecord = folder / "satz.cfg";
    const std::string other = folder / "bild.cfg";
    const std::string palette17 = folder / "palette.cfg";
    WriteBytes(tooShort, Bytes{'L', 'U', 'M', 'E', 'N', '-'});
    WriteBytes(shortRecord, MagicThen(69, 2));
    WriteBytes(other, Bytes(100, 'x'));
    WriteBytes(palette17, MagicThen(17 * 4, 2));
    const std::string read = "Fehler beim Lesen der Palette in ";

    const struct { std::string name; Texts messages; } cases[] = {
        {missing, {read + missing + " !\nDatei oder Ordner nicht vorhanden"}},
        {tooShort, {read + tooShort + " !", tooShort + " hat falsches Dateiformat !"}},
        {shortRecord, {read + shortRecord + " !"}},
        {palette17, {read + palette17 + " !"}},
        {other, {other + " hat falsches Dateiformat !"}},
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        PaletteList palette;
        const ConfigurationRead result = ReadConfigurationFile(c.name, palette, dialogs);
        EXPECT_FALSE(result.Record || result.Complete) << c.name;
        EXPECT_EQ(dialogs.Messages, c.messages);
        EXPECT_EQ(palette.Nodes(), DefaultNodes);
    }
}

TEST(ConfigFile, SaveGoesOnAfterEachFailure)
{
    TempFolder folder;
    const std::string missing = folder / "fehlt/neu.cfg";
    const std::string device = "/dev/full";
    const auto notOpened = [](const std::string& n) {
        return "Kann Konfiguration " + n + " nicht öffnen !\nDatei oder Ordner nicht vorhanden";
    };
    const std::string full = "\nkein Platz mehr auf dem Datenträger";
    const auto notSaved = [](const std::string& n) { return "Kann Konfiguration " + n + " nicht speichern !"; };
    const auto nodes = [](const std::string& n) { return "Fehler beim Schreiben der Palette in " + n + " !"; };
    const auto notClosed = [](const std::string& n) { return "Kann Datei " + n + " nicht schließen !"; };

    const ColorModel grad = ColorModel::Grad;
    const struct { std::string name; ColorModel model; Texts messages; } cases[] = {
        {missing, grad, {notOpened(missing), notSaved(missing), notSaved(missing), nodes(missing), notClosed(missing)}},
        {missing, ColorModel::Rgb, {notOpened(missing), notSaved(missing), notSaved(missing), notClosed(missing)}},
        {device, grad, {notSaved(device) + full, notSaved(device) + full, nodes(device) + full}},
    };
    for (const auto& c : cases) {
        ScriptedDialogs dialogs;
        const PaletteList palette;
        EXPECT_FALSE(WriteConfigurationFile(c.name, BuildConfigRecord(StartParams(c.model)), palette, dialogs));
        EXPECT_EQ(dialogs.Messages, c.messages);
        EXPECT_EQ(palette.Nodes(), DefaultNodes);
    }
}

TEST(ConfigFile, SizeBeyondSixteenBitsIsRefusedBeforeAnyFile)
{
    FractalParams params;
    params.Height = 65536;
    try {
        BuildConfigRecord(params);
        FAIL() << "no refusal";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Fehler bei Bereichsprüfung");
    }
    params.Height = 65535;
    params.Width = 65535;
    EXPECT_EQ(BuildConfigRecord(params).Height, 65535);
}

TEST(ConfigFieldTexts, NumbersAsTheFieldsShowThem)
{
    ConfigRecord record = BuildConfigRecord(StartParams(ColorModel::Rgb));
    record.Width = 40000;
    record.MaxIterations = -5;
    record.JuliaReal = 0.123456789012345678L;
    const ParamFields fields = ConfigFieldTexts(record, ',');
    EXPECT_EQ(fields.Width, "40000");
    EXPECT_EQ(fields.Height, "480");
    EXPECT_EQ(fields.Iterations, "-5");
    EXPECT_EQ(fields.RealFrom, "-2");
    EXPECT_EQ(fields.RealTo, "0,5");
    EXPECT_EQ(fields.ImagFrom, "-1,25");
    EXPECT_EQ(fields.ImagTo, "1,25");
    EXPECT_EQ(fields.JuliaReal, "0,123456789012346");
    EXPECT_EQ(fields.JuliaImag, "0");
    EXPECT_EQ(fields.Model, ColorModel::Rgb);
    EXPECT_FALSE(fields.Preview);
    EXPECT_EQ(ConfigFieldTexts(record, '.').RealTo, "0.5");
}

TEST(ConfigFieldTexts, StoredBytesThatAreNoNumberShowAsText)
{
    const struct { Bytes extended; std::string text; } cases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}, "INF"},
        {{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}, "-INF"},
        {{0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}, "NAN"},
        {{0, 0, 0, 0, 0, 0, 0, 0x00, 0xFF, 0x7F}, "NAN"},                        // no integer bit: not a number to x87
        {{0x69, 0x69, 0x69, 0x69, 0x69, 0x69, 0x69, 0x69, 0x69, 0x69}, "NAN"},  // unnormal
        {{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x00}, "3,36210314311209E-4932"},   // pseudo-denormal
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, ConfigRecordSize> bytes{};
        std::copy(c.extended.begin(), c.extended.end(), bytes.begin() + 10);
        EXPECT_EQ(ConfigFieldTexts(DecodeConfigRecord(bytes), ',').RealFrom, c.text);
    }
}

TEST(ConfigFieldTexts, ModeByteGivesModelAndSwitches)
{
    const struct { std::uint8_t flags; ColorModel model; bool inverted, preview; } cases[] = {
        {0x00, ColorModel::Rgb, false, false},     {0x01, ColorModel::Cmy, false, false},
        {0x02, ColorModel::Grad, false, false},    {0x03, ColorModel::Unknown, false, false},
        {0x86, ColorModel::Grad, true, true},      {0x7A, ColorModel::Grad, false, false},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, ConfigRecordSize> bytes{};
        bytes[0] = c.flags;
        const ParamFields f = ConfigFieldTexts(DecodeConfigRecord(bytes), ',');
        EXPECT_EQ(f.Model, c.model) << int(c.flags);
        EXPECT_EQ(f.Inverted, c.inverted) << int(c.flags);
        EXPECT_EQ(f.Preview, c.preview) << int(c.flags);
    }
}

// What the window does with a loaded file: its fields are read again and saved.
TEST(ConfigFile, UnknownModelSurvivesLoadAndSave)
{
    TempFolder folder;
    ScriptedDialogs dialogs;
    PaletteList palette;
    Bytes file = Magic();
    std::array<std::uint8_t, ConfigRecordSize> record = EncodeConfigRecord(BuildConfigRecord(StartParams(ColorModel::Rgb)));
    record[0] = 3;  // model 3, neither inverted nor preview
    file.insert(file.end(), record.begin(), record.end());
    WriteBytes(folder / "drei.cfg", file);

    const std::optional<ConfigRecord> loaded =
        ReadConfigurationFile(folder / "drei.cfg", palette, dialogs).Record;
    ASSERT_TRUE(loaded);
    ParamFields fields = ConfigFieldTexts(*loaded, ',');
    FractalParams params;
    ReadParams(fields, params, {640, 480}, ',');
    WriteConfigurationFile(folder / "wieder.cfg", BuildConfigRecord(params), palette, dialogs);
    EXPECT_EQ(ReadBytes(folder / "wieder.cfg"), file);
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(ConfigCaption, NameWithoutItsFolder)
{
    EXPECT_EQ(ConfigCaption("/home/anna/cfg/test.cfg"), "Nimbra - test.cfg");
    EXPECT_EQ(ConfigCaption("test.cfg"), "Nimbra - test.cfg");
}

}  // namespace
}  // namespace nimbra
