#include "common/error.h"
#include "engine/run_calculation.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

class RecordingPreview final : public PreviewCanvas {
public:
    PreviewSize ClientSize() const override { return Size; }
    void ClearToWhite() override { Log.push_back("clear"); Pixels.clear(); }
    void SetPixel(std::int32_t, std::int32_t, Rgb colour) override { Pixels.push_back(colour); }
    void Show() override { Log.push_back("show"); }
    void Close() override { Log.push_back("close"); }

    PreviewSize Size{4, 3};
    std::vector<std::string> Log;
    std::vector<Rgb> Pixels;
};

class RecordingDisplay final : public RunDisplay {
public:
    void ShowFieldTexts(const ParamFields& fields) override { Fields.push_back(fields); }
    void ShowRunning(bool running) override { Log.push_back(running ? "running" : "idle"); }
    void EnableShowButton() override { Log.push_back("show button"); }

    std::vector<ParamFields> Fields;
    std::vector<std::string> Log;
};

class ScriptedPump final : public PumpHook {
public:
    void Poll() override
    {
        if (OnPoll) OnPoll();
    }
    std::function<void()> OnPoll;
};

struct RunFixture : ::testing::Test {
    TempFolder folder;
    FractalParams params;
    RunState state;
    PaletteList palette;
    RecordingPreview preview;
    RecordingDisplay display;
    ScriptedDialogs dialogs;
    FakePlatform platform;
    ScriptedPump pump;
    std::string lastImagePath;
    RunContext context{.Params = params,
                       .State = state,
                       .Palette = palette,
                       .Preview = preview,
                       .Display = display,
                       .Dialogs = dialogs,
                       .System = platform,
                       .Pump = pump,
                       .StartFolder = folder.Path(),
                       .LastImagePath = lastImagePath};

    RunFixture() { std::filesystem::create_directory(folder / "pix"); }

    static ParamFields FileFields(const char* width, const char* height)
    {
        ParamFields fields;
        fields.Preview = false;
        fields.Width = width;
        fields.Height = height;
        fields.Iterations = "100";
        return fields;
    }
};

}  // namespace

TEST_F(RunFixture, FileRunWritesTheWholeImage)
{
    EXPECT_EQ(RunCalculation(FileFields("640", "480"), context), RunOutcome::FileCompleted);
    const auto bytes = ReadBytes(folder / "pix/nimbra000.tga");
    ASSERT_EQ(bytes.size(), 921618u);
    EXPECT_EQ(bytes[12], 128);
    EXPECT_EQ(display.Log, (std::vector<std::string>{"running", "idle", "show button"}));
    EXPECT_EQ(preview.Log, std::vector<std::string>{"clear"});  // cleared, never drawn into
    EXPECT_TRUE(preview.Pixels.empty());
    EXPECT_EQ(lastImagePath, folder / "pix/nimbra000.tga");
    EXPECT_FALSE(state.Running);
}

TEST_F(RunFixture, ANumberTakenDuringTheRunGivesTheNextAndTheViewerOpensThatFile)
{
    const std::string taken = folder / "pix/nimbra000.tga";
    pump.OnPoll = [&] {
        if (state.Running && !FileExists(taken)) WriteBytes(taken, {1});
    };
    EXPECT_EQ(RunCalculation(FileFields("200", "150"), context), RunOutcome::FileCompleted);
    EXPECT_EQ(ReadBytes(taken), std::vector<std::uint8_t>{1});
    EXPECT_EQ(lastImagePath, folder / "pix/nimbra001.tga");
    EXPECT_EQ(ReadBytes(lastImagePath).size(), 18u + 200 * 150 * 3);
}

TEST_F(RunFixture, PixelsAreStoredBlueGreenRed)
{
    // The single pixel of a 1 x 1 image at the point 0.5 escapes with count 3 of 100.
    ParamFields fields = FileFields("1", "1");
    fields.RealFrom = "0.5";
    fields.RealTo = "1";
    fields.ImagFrom = "0";
    fields.ImagTo = "1";
    RunCalculation(fields, context);
    EXPECT_EQ(ReadBytes(folder / "pix/nimbra000.tga"),
              (std::vector<std::uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 32, 0, 0, 128}));
}

TEST_F(RunFixture, EveryThreadCountWritesTheSameFile)
{
    for (const char* formula : {"\0", "\1", "\2", "\3", "\4", "\5"}) {
        params.Formula = static_cast<std::uint8_t>(*formula);
        std::vector<std::vector<std::uint8_t>> files;
        for (int threads : {0, 1, 2, 3}) {
            context.WorkerThreads = threads;
            context.OutputPathOverride = folder / ("t" + std::to_string(threads) + ".tga");
            ParamFields fields = FileFields("37", "23");
            fields.Inverted = *formula == '\1';
            fields.JuliaReal = "-0,4";
            fields.JuliaImag = "0,6";
            ASSERT_EQ(RunCalculation(fields, context), RunOutcome::FileCompleted);
            files.push_back(ReadBytes(context.OutputPathOverride));
        }
        for (const auto& file : files) EXPECT_EQ(file, files[0]) << static_cast<int>(*formula);
    }
}

// The workers' rows are taken whole, so a formula chosen meanwhile applies from the next row
// drawn; on the window thread the pixel under way keeps its formula and the next takes the new.
TEST_F(RunFixture, AFormulaChosenDuringTheRunAppliesFromTheNextPixelDrawn)
{
    preview.Size = {24, 16};
    const auto picture = [&](FormulaKind kind) {
        StoreFormula(params, static_cast<std::uint8_t>(kind));
        EXPECT_EQ(RunCalculation(ParamFields(), context), RunOutcome::PreviewCompleted);
        return preview.Pixels;
    };
    const std::vector<Rgb> mandelbrot = picture(FormulaKind::Mandelbrot);
    const std::vector<Rgb> ship = picture(FormulaKind::BurningShip);
    const struct { int threads; std::size_t pixelUnderWay; } cases[] = {{0, 1}, {2, 0}};
    for (const auto& c : cases) {
        context.WorkerThreads = c.threads;
        std::size_t drawnBefore = 0;
        pump.OnPoll = [&] {
            if (drawnBefore > 0 || preview.Pixels.size() < 24 * 3 + 5) return;
            drawnBefore = preview.Pixels.size();
            StoreFormula(params, static_cast<std::uint8_t>(FormulaKind::BurningShip));
        };
        const std::vector<Rgb> mixed = picture(FormulaKind::Mandelbrot);
        pump.OnPoll = nullptr;
        ASSERT_GT(drawnBefore, 0u);
        const std::size_t first = drawnBefore + c.pixelUnderWay;
        for (std::size_t i = 0; i < mixed.size(); ++i)
            ASSERT_EQ(mixed[i], i < first ? mandelbrot[i] : ship[i]) << c.threads << " threads, pixel " << i;
    }
}

TEST_F(RunFixture, PreviewRunDrawsEveryPixelAndKeepsTheWindowOpen)
{
    lastImagePath = "earlier.tga";
    EXPECT_EQ(RunCalculation(ParamFields(), context), RunOutcome::PreviewCompleted);
    EXPECT_EQ(preview.Log, (std::vector<std::string>{"clear", "show"}));
    EXPECT_EQ(preview.Pixels.size(), 12u);
    EXPECT_EQ(display.Log, (std::vector<std::string>{"running", "idle"}));
    EXPECT_EQ(display.Fields.back().Width, "4");
    EXPECT_EQ(lastImagePath, "earlier.tga");
    EXPECT_TRUE(std::filesystem::is_empty(folder / "pix"));
}

TEST_F(RunFixture, ASecondStartStopsTheRunAndRemovesItsFile)
{
    for (int threads : {0, 2}) {
        context.WorkerThreads = threads;
        display.Log.clear();
        int polls = 0;
        pump.OnPoll = [&] {
            if (state.Running && ++polls == 3) {
                EXPECT_EQ(RunCalculation(ParamFields(), context), RunOutcome::StopRequested);
            }
        };
        ParamFields fields = FileFields("400", "300");
        fields.Iterations = "100000";
        fields.RealFrom = "-0,1";
        fields.RealTo = "0,1";
        fields.ImagFrom = "-0,1";
        fields.ImagTo = "0,1";
        EXPECT_EQ(RunCalculation(fields, context), RunOutcome::Stopped);
        EXPECT_TRUE(std::filesystem::is_empty(folder / "pix"));
        EXPECT_EQ(display.Log, (std::vector<std::string>{"running", "idle"}));
        EXPECT_EQ(preview.Log.back(), "close");
        EXPECT_FALSE(state.Running);
        EXPECT_TRUE(state.StopRequested);  // stays set until the next start
    }
}

TEST_F(RunFixture, StartsWhileTheFileIsPreparedAreIgnored)
{
    std::vector<RunOutcome> nested;
    pump.OnPoll = [&] {
        if (state.Preparing) nested.push_back(RunCalculation(FileFields("2", "2"), context));
    };
    EXPECT_EQ(RunCalculation(FileFields("2", "2"), context), RunOutcome::FileCompleted);
    ASSERT_FALSE(nested.empty());
    EXPECT_EQ(nested[0], RunOutcome::Ignored);
    EXPECT_FALSE(FileExists(folder / "pix/nimbra001.tga"));
}

TEST_F(RunFixture, ARefusedFieldStartsNothingAndShowsTheCorrections)
{
    ParamFields fields = FileFields("30000", "2");
    fields.ImagTo = "1.2.3";
    try {
        RunCalculation(fields, context);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'1,2,3' ist kein gültiger Gleitkommawert");
    }
    ASSERT_EQ(display.Fields.size(), 1u);
    EXPECT_EQ(display.Fields[0].Width, "640");
    EXPECT_TRUE(display.Log.empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder / "pix"));
    EXPECT_EQ(preview.Log, std::vector<std::string>{"clear"});
}

TEST_F(RunFixture, AWriteErrorEndsTheRunInOrder)
{
    // The file may not grow beyond 1000 bytes: the third row of 150 pixels fails.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &limited);
    std::string message;
    try {
        RunCalculation(FileFields("150", "10"), context);
    } catch (const Error& error) {
        message = error.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(message, "E/A-Fehler 27\n" + folder / "pix/nimbra000.tga" + ": die Datei wird zu groß");
    EXPECT_TRUE(std::filesystem::is_empty(folder / "pix"));
    EXPECT_EQ(display.Log, (std::vector<std::string>{"running", "idle"}));
    EXPECT_FALSE(state.Running);
}

TEST_F(RunFixture, ValuesBeyondTheRangeEndTheRunWithAMessage)
{
    ParamFields fields = FileFields("3", "3");
    fields.RealFrom = "1E4000";
    fields.RealTo = "1,1E4000";
    for (int threads : {0, 2}) {
        context.WorkerThreads = threads;
        try {
            RunCalculation(fields, context);
            ADD_FAILURE();
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("Gleitkommaüberlauf in Zeile 0, Spalte 0", 0), 0u);
        }
        EXPECT_TRUE(std::filesystem::is_empty(folder / "pix"));
        EXPECT_FALSE(state.Running);
    }
}
