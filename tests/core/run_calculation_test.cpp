#include "common/error.h"
#include "engine/run_calculation.h"
#include "tests/support/run_fixture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

struct RunCalculationTest : ::testing::Test, RunFixture {
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

TEST_F(RunCalculationTest, FileRunWritesTheWholeImage)
{
    EXPECT_EQ(RunCalculation(FileFields("640", "480"), Context), RunOutcome::FileCompleted);
    const auto bytes = ReadBytes(Folder / "pix/nimbra000.tga");
    ASSERT_EQ(bytes.size(), 921618u);
    EXPECT_EQ(bytes[12], 128);
    EXPECT_EQ(Display.Log, (std::vector<std::string>{"running", "idle", "show button"}));
    EXPECT_EQ(Preview.Log, std::vector<std::string>{"clear"});  // cleared, never drawn into
    EXPECT_TRUE(Preview.Pixels.empty());
    EXPECT_EQ(Headless.LastImagePath, Folder / "pix/nimbra000.tga");
    EXPECT_FALSE(Headless.State.Running);
}

TEST_F(RunCalculationTest, ANumberTakenDuringTheRunGivesTheNextAndTheViewerOpensThatFile)
{
    const std::string taken = Folder / "pix/nimbra000.tga";
    Pump.OnPoll = [&] {
        if (Headless.State.Running && !FileExists(taken)) WriteBytes(taken, {1});
    };
    EXPECT_EQ(RunCalculation(FileFields("200", "150"), Context), RunOutcome::FileCompleted);
    EXPECT_EQ(ReadBytes(taken), std::vector<std::uint8_t>{1});
    EXPECT_EQ(Headless.LastImagePath, Folder / "pix/nimbra001.tga");
    EXPECT_EQ(ReadBytes(Headless.LastImagePath).size(), 18u + 200 * 150 * 3);
}

TEST_F(RunCalculationTest, PixelsAreStoredBlueGreenRed)
{
    // The single pixel of a 1 x 1 image at the point 0.5 escapes with count 3 of 100.
    ParamFields fields = FileFields("1", "1");
    fields.RealFrom = "0.5";
    fields.RealTo = "1";
    fields.ImagFrom = "0";
    fields.ImagTo = "1";
    RunCalculation(fields, Context);
    EXPECT_EQ(ReadBytes(Folder / "pix/nimbra000.tga"),
              (std::vector<std::uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 32, 0, 0, 128}));
}

TEST_F(RunCalculationTest, EveryThreadCountWritesTheSameFile)
{
    for (const char* formula : {"\0", "\1", "\2", "\3", "\4", "\5"}) {
        Headless.Params.Formula = static_cast<std::uint8_t>(*formula);
        std::vector<std::vector<std::uint8_t>> files;
        for (int threads : {0, 1, 2, 3}) {
            Context.WorkerThreads = threads;
            Context.OutputPathOverride = Folder / ("t" + std::to_string(threads) + ".tga");
            ParamFields fields = FileFields("37", "23");
            fields.Inverted = *formula == '\1';
            fields.JuliaReal = "-0,4";
            fields.JuliaImag = "0,6";
            ASSERT_EQ(RunCalculation(fields, Context), RunOutcome::FileCompleted);
            files.push_back(ReadBytes(Context.OutputPathOverride));
        }
        for (const auto& file : files) EXPECT_EQ(file, files[0]) << static_cast<int>(*formula);
    }
}

// The workers' rows are taken whole, so a formula chosen meanwhile applies from the next row
// drawn; on the window thread the pixel under way keeps its formula and the next takes the new.
TEST_F(RunCalculationTest, AFormulaChosenDuringTheRunAppliesFromTheNextPixelDrawn)
{
    Preview.Size = {24, 16};
    const auto picture = [&](FormulaKind kind) {
        StoreFormula(Headless.Params, static_cast<std::uint8_t>(kind));
        EXPECT_EQ(RunCalculation(ParamFields(), Context), RunOutcome::PreviewCompleted);
        return Preview.Pixels;
    };
    const std::vector<Rgb> mandelbrot = picture(FormulaKind::Mandelbrot);
    const std::vector<Rgb> ship = picture(FormulaKind::BurningShip);
    const struct { int threads; std::size_t pixelUnderWay; } cases[] = {{0, 1}, {2, 0}};
    for (const auto& c : cases) {
        Context.WorkerThreads = c.threads;
        std::size_t drawnBefore = 0;
        Pump.OnPoll = [&] {
            if (drawnBefore > 0 || Preview.Pixels.size() < 24 * 3 + 5) return;
            drawnBefore = Preview.Pixels.size();
            StoreFormula(Headless.Params, static_cast<std::uint8_t>(FormulaKind::BurningShip));
        };
        const std::vector<Rgb> mixed = picture(FormulaKind::Mandelbrot);
        Pump.OnPoll = nullptr;
        ASSERT_GT(drawnBefore, 0u);
        const std::size_t first = drawnBefore + c.pixelUnderWay;
        for (std::size_t i = 0; i < mixed.size(); ++i)
            ASSERT_EQ(mixed[i], i < first ? mandelbrot[i] : ship[i]) << c.threads << " threads, pixel " << i;
    }
}

TEST_F(RunCalculationTest, PreviewRunDrawsEveryPixelAndKeepsTheWindowOpen)
{
    Headless.LastImagePath = "earlier.tga";
    EXPECT_EQ(RunCalculation(ParamFields(), Context), RunOutcome::PreviewCompleted);
    EXPECT_EQ(Preview.Log, (std::vector<std::string>{"clear", "show"}));
    EXPECT_EQ(Preview.Pixels.size(), 12u);
    EXPECT_EQ(Display.Log, (std::vector<std::string>{"running", "idle"}));
    EXPECT_EQ(Display.Fields.back().Width, "4");
    EXPECT_EQ(Headless.LastImagePath, "earlier.tga");
    EXPECT_TRUE(std::filesystem::is_empty(Folder / "pix"));
}

TEST_F(RunCalculationTest, ASecondStartStopsTheRunAndRemovesItsFile)
{
    for (int threads : {0, 2}) {
        Context.WorkerThreads = threads;
        Display.Log.clear();
        int polls = 0;
        Pump.OnPoll = [&] {
            if (Headless.State.Running && ++polls == 3) {
                EXPECT_EQ(RunCalculation(ParamFields(), Context), RunOutcome::StopRequested);
            }
        };
        ParamFields fields = FileFields("400", "300");
        fields.Iterations = "100000";
        fields.RealFrom = "-0,13";  // inside the bulb of period three: every orbit is followed
        fields.RealTo = "-0,11";
        fields.ImagFrom = "0,73";
        fields.ImagTo = "0,76";
        EXPECT_EQ(RunCalculation(fields, Context), RunOutcome::Stopped);
        EXPECT_TRUE(std::filesystem::is_empty(Folder / "pix"));
        EXPECT_EQ(Display.Log, (std::vector<std::string>{"running", "idle"}));
        EXPECT_EQ(Preview.Log.back(), "close");
        EXPECT_FALSE(Headless.State.Running);
        EXPECT_TRUE(Headless.State.StopRequested);  // stays set until the next start
    }
}

TEST_F(RunCalculationTest, StartsWhileTheFileIsPreparedAreIgnored)
{
    std::vector<RunOutcome> nested;
    Pump.OnPoll = [&] {
        if (Headless.State.Preparing) nested.push_back(RunCalculation(FileFields("2", "2"), Context));
    };
    EXPECT_EQ(RunCalculation(FileFields("2", "2"), Context), RunOutcome::FileCompleted);
    ASSERT_FALSE(nested.empty());
    EXPECT_EQ(nested[0], RunOutcome::Ignored);
    EXPECT_FALSE(FileExists(Folder / "pix/nimbra001.tga"));
}

TEST_F(RunCalculationTest, ARefusedFieldStartsNothingAndShowsTheCorrections)
{
    ParamFields fields = FileFields("30000", "2");
    fields.ImagTo = "1.2.3";
    try {
        RunCalculation(fields, Context);
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'1,2,3' ist kein gültiger Gleitkommawert");
    }
    ASSERT_EQ(Display.Fields.size(), 1u);
    EXPECT_EQ(Display.Fields[0].Width, "640");
    EXPECT_TRUE(Display.Log.empty());
    EXPECT_TRUE(std::filesystem::is_empty(Folder / "pix"));
    EXPECT_EQ(Preview.Log, std::vector<std::string>{"clear"});
}

TEST_F(RunCalculationTest, AWriteErrorEndsTheRunInOrder)
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
        RunCalculation(FileFields("150", "10"), Context);
    } catch (const Error& error) {
        message = error.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(message, "E/A-Fehler 27\n" + Folder / "pix/nimbra000.tga" + ": die Datei wird zu groß");
    EXPECT_TRUE(std::filesystem::is_empty(Folder / "pix"));
    EXPECT_EQ(Display.Log, (std::vector<std::string>{"running", "idle"}));
    EXPECT_FALSE(Headless.State.Running);
}

TEST_F(RunCalculationTest, ValuesBeyondTheRangeEndTheRunWithAMessage)
{
    ParamFields fields = FileFields("3", "3");
    fields.RealFrom = "1E4000";
    fields.RealTo = "1,1E4000";
    for (int threads : {0, 2}) {
        Context.WorkerThreads = threads;
        try {
            RunCalculation(fields, Context);
            ADD_FAILURE();
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("Gleitkommaüberlauf in Zeile 0, Spalte 0", 0), 0u);
        }
        EXPECT_TRUE(std::filesystem::is_empty(Folder / "pix"));
        EXPECT_FALSE(Headless.State.Running);
    }
}
