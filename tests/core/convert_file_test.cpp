#include "convert/convert_file.h"
#include "engine/tga_output.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <filesystem>
#include <sys/resource.h>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

class RecordedProgress final : public ConversionProgress {
public:
    void ShowStarted(const std::string& fileName) override { Events.push_back("started " + fileName); }
    void ShowStep(const std::string& text) override { Events.push_back("step " + text); }
    void ShowPercent(int percent) override { Events.push_back("percent " + std::to_string(percent)); }
    void Hide() override { Events.push_back("hide"); }
    std::vector<std::string> Events;
};

class CountingPump final : public PumpHook {
public:
    void Poll() override
    {
        ++Polls;
        if (DuringPoll) DuringPoll();
    }
    int Polls = 0;
    std::function<void()> DuringPoll;
};

// A TGA header whose bytes are easy to recognise, then the given pixel bytes.
std::vector<std::uint8_t> TgaBytes(const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> bytes(TgaHeaderSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i + 1);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

struct ConversionFixture {
    TempFolder folder;
    RecordedProgress progress;
    ScriptedDialogs dialogs;
    FakePlatform platform;
    CountingPump pump;
    ConversionContext context{progress, dialogs, platform, pump, {}, {}, false};

    ConversionOutcome Convert(ConversionKind kind, const std::vector<std::uint8_t>& fileBytes)
    {
        context.SourceName = folder / "a.tga";
        WriteBytes(context.SourceName, fileBytes);
        return ConvertFile(kind, context);
    }
    std::string Output() const { return folder / "CONV_a.tga"; }
};

std::vector<std::string> Block(int percent)
{
    return {"step Lese Datenblock ...", "step Konvertiere Datenblock ...", "step Schreibe Datenblock ...",
            "percent " + std::to_string(percent)};
}

}  // namespace

TEST(ConvertPixel, OperationsOnSinglePixels)
{
    const Rgb black{};
    const Rgb red{255, 0, 0};
    const Rgb white{255, 255, 255};
    const Rgb half{128, 128, 128};
    const Rgb mixed{255, 128, 64};
    struct Case {
        ConversionKind kind;
        FilePixel in;
        Rgb tint;
        FilePixel out;
    };
    const Case cases[] = {
        {ConversionKind::RgbCmy, {10, 20, 30}, black, {50, 40, 30}},
        {ConversionKind::RgbCmy, {200, 100, 60}, black, {160, 4, 44}},
        {ConversionKind::ToGrad, {90, 90, 90}, red, {0, 0, 90}},
        {ConversionKind::ToGrad, {255, 255, 255}, white, {254, 254, 254}},
        {ConversionKind::ToGrad, {0, 0, 5}, white, {1, 1, 1}},  // the gray level 1.67 is truncated to 1
        {ConversionKind::GradRgb, {255, 17, 200}, black, {0, 0, 0}},
        {ConversionKind::GradRgb, {1, 3, 5}, half, {0, 2, 2}},  // 0.5, 1.5 and 2.5 round to even
        {ConversionKind::GradCmy, {100, 200, 50}, mixed, {150, 75, 125}},
    };
    for (const Case& c : cases) EXPECT_EQ(ConvertPixel(c.kind, c.in, c.tint), c.out) << int(c.kind);
}

TEST(ConvertedPath, PrefixGoesBeforeTheFileName)
{
    EXPECT_EQ(ConvertedPath("/d/bilder/a.tga"), "/d/bilder/CONV_a.tga");
    EXPECT_EQ(ConvertedPath("/d/bilder/CONV_a.tga"), "/d/bilder/CONV_CONV_a.tga");
    EXPECT_EQ(ConvertedPath("a.tga"), "CONV_a.tga");
}

TEST(ConvertFile, TwoPixelImageIsConvertedWithHeaderUnchanged)
{
    ConversionFixture f;
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, TgaBytes({10, 20, 30, 200, 100, 60})), ConversionOutcome::Converted);
    EXPECT_EQ(ReadBytes(f.Output()), TgaBytes({50, 40, 30, 160, 4, 44}));
    EXPECT_EQ(f.dialogs.Messages, std::vector<std::string>{"Konvertierung beendet --> " + f.Output()});
    std::vector<std::string> expected = Block(25);  // 6 of 24 bytes
    expected.insert(expected.end(), {"step ", "hide"});
    EXPECT_EQ(f.progress.Events, expected);
    EXPECT_EQ(f.platform.FreeBytesAskedFor, std::vector<std::string>{f.platform.ExecutablePathValue});
    EXPECT_FALSE(f.context.Running);
}

TEST(ConvertFile, GradRgbBeforeAnyColourChoiceWritesBlack)
{
    ConversionFixture f;
    f.Convert(ConversionKind::GradRgb, TgaBytes({10, 20, 30, 200, 100, 60}));
    EXPECT_EQ(ReadBytes(f.Output()), TgaBytes({0, 0, 0, 0, 0, 0}));
}

TEST(ConvertFile, HeaderOnlyFileIsCopiedWithoutABlock)
{
    ConversionFixture f;
    f.progress.ShowPercent(57);
    f.progress.Events.clear();
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, TgaBytes({})), ConversionOutcome::Converted);
    EXPECT_EQ(ReadBytes(f.Output()), TgaBytes({}));
    EXPECT_EQ(f.progress.Events, (std::vector<std::string>{"step ", "hide"}));
    EXPECT_EQ(f.pump.Polls, 0);
}

TEST(ConvertFile, ProgressEndsAtTheRoundedShareOfTheFileSize)
{
    ConversionFixture f;
    f.Convert(ConversionKind::RgbCmy, TgaBytes(std::vector<std::uint8_t>(300, 7)));
    EXPECT_EQ(f.progress.Events.at(3), "percent 94");  // 300 x 100 / 318 = 94.3
}

TEST(ConvertFile, LongFileIsReadInBlocksAndATrailingByteStaysAsItIs)
{
    ConversionFixture f;
    std::vector<std::uint8_t> pixels(63001, 1);
    pixels.back() = 9;
    f.Convert(ConversionKind::RgbCmy, TgaBytes(pixels));

    std::vector<std::uint8_t> expected(63001, 2);
    expected.back() = 9;
    EXPECT_EQ(ReadBytes(f.Output()), TgaBytes(expected));
    std::vector<std::string> events = Block(100);  // 63000 x 100 / 63019 = 99.97
    const std::vector<std::string> second = Block(100);
    events.insert(events.end(), second.begin(), second.end());
    events.insert(events.end(), {"step ", "hide"});
    EXPECT_EQ(f.progress.Events, events);
    EXPECT_EQ(f.pump.Polls, 2 + 21000 / PumpHook::PassesPerPoll);  // before each block, and counted pixels
}

TEST(ConvertFile, MissingInputIsReportedAndNothingWritten)
{
    ConversionFixture f;
    f.context.SourceName = f.folder / "none.tga";
    EXPECT_EQ(ConvertFile(ConversionKind::RgbCmy, f.context), ConversionOutcome::NotOpened);
    EXPECT_EQ(f.dialogs.Messages, (std::vector<std::string>{"Grafikdatei " + f.folder / "none.tga" +
                                                            " kann nicht geöffnet werden !\n"
                                                            "Datei oder Ordner nicht vorhanden"}));
    EXPECT_EQ(f.progress.Events, (std::vector<std::string>{"step ", "hide"}));
    EXPECT_FALSE(FileExists(f.folder / "CONV_none.tga"));
}

TEST(ConvertFile, FolderAsInputCountsAsNotOpenable)
{
    ConversionFixture f;
    std::filesystem::create_directory(f.folder / "d.tga");
    f.context.SourceName = f.folder / "d.tga";
    EXPECT_EQ(ConvertFile(ConversionKind::RgbCmy, f.context), ConversionOutcome::NotOpened);
    EXPECT_FALSE(FileExists(f.folder / "CONV_d.tga"));
}

TEST(ConvertFile, FileNotSmallerThanFreeSpaceIsRefused)
{
    ConversionFixture f;
    f.platform.FreeBytesValue = 24;
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, TgaBytes({1, 2, 3, 4, 5, 6})), ConversionOutcome::DiskFull);
    EXPECT_EQ(f.dialogs.Messages,
              (std::vector<std::string>{"Das Speichermedium ist voll !\n" + f.Output() +
                                        " braucht 24 Bytes, auf dem Datenträger von /opt/nimbra/bin/ sind 24 frei"}));
    EXPECT_FALSE(FileExists(f.Output()));

    ConversionFixture roomy;
    roomy.platform.FreeBytesValue = 25;
    EXPECT_EQ(roomy.Convert(ConversionKind::RgbCmy, TgaBytes({1, 2, 3, 4, 5, 6})), ConversionOutcome::Converted);
}

TEST(ConvertFile, UnknownFreeSpaceGoesOn)
{
    ConversionFixture f;
    f.platform.FreeBytesValue = std::nullopt;
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, TgaBytes({1, 2, 3})), ConversionOutcome::Converted);
}

TEST(ConvertFile, FileShorterThanItsHeaderIsAnIoErrorAndLeavesNoOutput)
{
    ConversionFixture f;
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, std::vector<std::uint8_t>(10, 1)), ConversionOutcome::Failed);
    EXPECT_EQ(f.dialogs.Messages,
              std::vector<std::string>{"E/A-Fehler\n" + f.folder / "a.tga" +
                                       ": die Datei ist zu kurz oder beschädigt"});
    EXPECT_EQ(f.progress.Events, (std::vector<std::string>{"step ", "hide"}));
    EXPECT_FALSE(FileExists(f.Output()));
    EXPECT_FALSE(f.context.Running);
}

TEST(ConvertFile, WriteFailureRemovesThePartialOutput)
{
    ConversionFixture f;
    f.context.SourceName = f.folder / "a.tga";
    WriteBytes(f.context.SourceName, TgaBytes(std::vector<std::uint8_t>(63001, 1)));

    // The file size limit makes the first block's write fail with EFBIG after the header.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const ConversionOutcome outcome = ConvertFile(ConversionKind::RgbCmy, f.context);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);

    EXPECT_EQ(outcome, ConversionOutcome::Failed);
    EXPECT_EQ(f.dialogs.Messages,
              std::vector<std::string>{"E/A-Fehler 27\n" + f.Output() + ": die Datei wird zu groß"});
    EXPECT_EQ(f.progress.Events.back(), "hide");
    EXPECT_FALSE(FileExists(f.Output()));
}

TEST(ConvertFile, OutputThatCannotBeCreatedIsNotReportedAsDone)
{
    ConversionFixture f;
    std::filesystem::create_directory(f.Output());
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, TgaBytes({1, 2, 3})), ConversionOutcome::Failed);
    EXPECT_EQ(f.dialogs.Messages, std::vector<std::string>{"E/A-Fehler 21\n" + f.Output() + ": ist ein Ordner"});
    EXPECT_EQ(f.progress.Events, (std::vector<std::string>{"step ", "hide"}));
}

TEST(ConvertFile, AnOutputNameThatIsTheInputItselfIsRefused)
{
    for (const bool symbolic : {true, false}) {
        ConversionFixture f;
        f.context.SourceName = f.folder / "a.tga";
        WriteBytes(f.context.SourceName, TgaBytes({10, 20, 30}));
        if (symbolic)
            std::filesystem::create_symlink("a.tga", f.Output());
        else
            std::filesystem::create_hard_link(f.context.SourceName, f.Output());
        EXPECT_EQ(ConvertFile(ConversionKind::RgbCmy, f.context), ConversionOutcome::SameFile);
        EXPECT_EQ(ReadBytes(f.context.SourceName), TgaBytes({10, 20, 30}));
        EXPECT_EQ(f.dialogs.Messages,
                  std::vector<std::string>{"Die Ausgabedatei " + f.Output() + " ist die Eingabedatei " +
                                           f.context.SourceName + " selbst: es wird nichts konvertiert !"});
        EXPECT_EQ(f.progress.Events.back(), "hide");
    }
}

TEST(ConvertFile, AStopKeepsTheOlderCopy)
{
    ConversionFixture f;
    WriteBytes(f.Output(), {'o', 'l', 'd'});
    f.pump.DuringPoll = [&] { f.context.StopRequested = true; };
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, TgaBytes(std::vector<std::uint8_t>(2 * ConversionBlockBytes, 1))),
              ConversionOutcome::Stopped);
    EXPECT_EQ(ReadBytes(f.Output()), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(f.dialogs.Messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder.Path()), {}), 2);
}

TEST(ConvertFile, SecondStartWhileRunningIsIgnored)
{
    ConversionFixture f;
    std::vector<ConversionOutcome> nested;
    f.pump.DuringPoll = [&] {
        nested.push_back(ConvertFile(ConversionKind::GradRgb, f.context));
        nested.push_back(ConvertCommand(ConversionKind::ToGrad, f.context));
    };
    EXPECT_EQ(f.Convert(ConversionKind::RgbCmy, TgaBytes({10, 20, 30})), ConversionOutcome::Converted);
    EXPECT_EQ(nested, (std::vector<ConversionOutcome>{ConversionOutcome::Ignored, ConversionOutcome::Ignored}));
    EXPECT_EQ(ReadBytes(f.Output()), TgaBytes({50, 40, 30}));
    EXPECT_EQ(f.dialogs.Messages.size(), 1u);
    EXPECT_TRUE(f.dialogs.Unexpected.empty());
}

TEST(ConvertCommand, AsksForTheFileAndShowsItsName)
{
    ConversionFixture f;
    WriteBytes(f.folder / "a.tga", TgaBytes({10, 20, 30}));
    f.dialogs.FileAnswers.push_back(f.folder / "a.tga");
    EXPECT_EQ(ConvertCommand(ConversionKind::RgbCmy, f.context), ConversionOutcome::Converted);

    ASSERT_EQ(f.dialogs.FileRequests.size(), 1u);
    const FileRequest& request = f.dialogs.FileRequests[0];
    EXPECT_EQ(request.DialogKind, FileRequest::Kind::Open);
    EXPECT_EQ(request.Title, "Grafikdaten laden");
    EXPECT_EQ(request.Filter, "Truevision TARGA|*.tga");
    EXPECT_EQ(request.DefaultExtension, "tga");
    EXPECT_EQ(request.InitialFolder, "pix");
    EXPECT_TRUE(f.dialogs.ColourStarts.empty());
    EXPECT_EQ(f.progress.Events.front(), "started a.tga");
    EXPECT_EQ(f.context.SourceName, f.folder / "a.tga");
}

TEST(ConvertCommand, ColourIsKeptWhenTheFileDialogIsCancelled)
{
    ConversionFixture f;
    f.context.TintColor = {1, 2, 3};
    f.dialogs.ColourAnswers.push_back(Rgb{255, 0, 0});
    f.dialogs.FileAnswers.push_back(std::nullopt);
    EXPECT_EQ(ConvertCommand(ConversionKind::ToGrad, f.context), ConversionOutcome::Cancelled);
    EXPECT_EQ(f.dialogs.ColourStarts, (std::vector<Rgb>{Rgb{1, 2, 3}}));
    EXPECT_EQ(f.context.TintColor, (Rgb{255, 0, 0}));
    EXPECT_TRUE(f.progress.Events.empty());

    f.dialogs.ColourAnswers.push_back(std::nullopt);
    EXPECT_EQ(ConvertCommand(ConversionKind::ToGrad, f.context), ConversionOutcome::Cancelled);
    EXPECT_EQ(f.dialogs.FileRequests.size(), 1u);  // no file dialog after a cancelled colour
    EXPECT_EQ(f.context.TintColor, (Rgb{255, 0, 0}));
}
