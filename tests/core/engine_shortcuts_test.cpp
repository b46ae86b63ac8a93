#include "engine/kernels.h"
#include "engine/pixel_colour.h"
#include "engine/read_params.h"
#include "engine/row_pipeline.h"
#include "engine/tga_output.h"
#include "tests/support/run_fixture.h"

#include <gtest/gtest.h>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

struct Engine {
    int WorkerThreads;
    EngineShortcuts Shortcuts;
};

std::vector<std::uint8_t> Render(std::uint8_t formula, const ParamFields& fields, Engine engine)
{
    RunFixture fixture;
    fixture.Headless.Params.Formula = formula;
    fixture.Headless.Palette.SetPaletteNode(200, 30, 90, 50);
    fixture.Context.WorkerThreads = engine.WorkerThreads;
    fixture.Context.OutputPathOverride = fixture.Folder / "image.tga";
    fixture.Context.Shortcuts = engine.Shortcuts;
    EXPECT_EQ(RunCalculation(fields, fixture.Context), RunOutcome::FileCompleted);
    return ReadBytes(fixture.Context.OutputPathOverride);
}

struct View {
    std::uint8_t Formula;
    const char *RealFrom, *RealTo, *ImagFrom, *ImagTo, *Width, *Height, *Iterations;
    const char* JuliaImag = "0";
    const char* JuliaReal = "-0,4";
};

}  // namespace

TEST(EngineShortcuts, ImagesStayTheSameByteForByte)
{
    const View views[] = {
        {0, "-2", "0,5", "-1,25", "1,25", "64", "48", "2048"},                     // default view, even height
        {0, "-2", "0,5", "-1,25", "1,25", "64", "47", "2048"},                     // odd height
        {0, "-0,75", "-0,74", "-0,01", "0,01", "40", "33", "5000"},                // straddles the axis near the boundary
        {0, "-0,7436447860", "-0,7436447850", "0,1318252530", "0,1318252540", "24", "18", "20000"},  // deep zoom
        {1, "-20", "20", "-10", "10", "50", "41", "1000"},
        {2, "-2", "2", "-1,3", "1,3", "48", "39", "3000", "0"},                    // symmetric Julia
        {2, "-2", "2", "-1,3", "1,2", "48", "40", "3000", "0,6"},                  // not symmetric
        {2, "-1,5", "1,5", "-1,2", "1,2", "40", "32", "3000", "-0,7449", "0,1226"},  // the rabbit, with its interior
        {2, "-1,6", "1,6", "-1,2", "1,2", "40", "30", "3000", "-0,2", "0,39"},     // a fixed point attracts
        {2, "-2", "2", "-1,2", "1,2", "40", "30", "3000", "0,1", "1,05"},          // a cycle of two attracts
        {0, "-0,7463", "-0,7413", "0,0935", "0,10057", "20", "28", "20000"},       // across the cardioid's edge, deep
        {0, "-1,3", "0,3", "-0,02", "0,02", "400", "3", "3000"},  // rows of runs across the junction and the cusp
        {3, "-2", "0,5", "-1,25", "1,25", "40", "30", "2048"},
        {4, "-2", "0,5", "-1,25", "1,25", "40", "30", "2048"},
        {5, "3,0", "-2", "2,5", "-2", "40", "31", "250"},
    };
    const Engine engines[] = {
        {0, {true, false, false}}, {2, {false, true, false}}, {0, {false, false, true}}, {2, {true, false, true}},
        {1, {true, true, true}},   {2, {true, true, true}},
    };
    for (const View& view : views) {
        for (const ColorModel model : {ColorModel::Rgb, ColorModel::Cmy, ColorModel::Grad}) {
            ParamFields fields;
            fields.Preview = false;
            fields.Model = model;
            fields.RealFrom = view.RealFrom;
            fields.RealTo = view.RealTo;
            fields.ImagFrom = view.ImagFrom;
            fields.ImagTo = view.ImagTo;
            fields.Width = view.Width;
            fields.Height = view.Height;
            fields.Iterations = view.Iterations;
            fields.JuliaReal = view.JuliaReal;
            fields.JuliaImag = view.JuliaImag;
            const auto plain = Render(view.Formula, fields, {0, NoShortcuts});
            for (const Engine& engine : engines)
                EXPECT_EQ(Render(view.Formula, fields, engine), plain)
                    << "formula " << int(view.Formula) << " " << view.Height << " model " << int(model) << " threads "
                    << engine.WorkerThreads << " repeats " << engine.Shortcuts.SkipRepeatingOrbits << " mirrors "
                    << engine.Shortcuts.ReuseMirroredRows << " proofs " << engine.Shortcuts.ProveBoundedOrbits;
        }
    }
}

// Points where a proof that claims too much would show: orbits that escape only after many
// thousand passes, or right next to points inside, and cycles that contract very slowly. They
// are computed in turn with one thread's regions, so a region built for a point inside is asked
// about its neighbour outside.
TEST(EngineShortcuts, PointsNearTheBoundaryGetThePlainCounts)
{
    struct Point {
        std::uint8_t Formula;
        long double Real, Imag;
        long double JuliaReal = 0.122561166876654L, JuliaImag = -0.744861766619744L;  // the rabbit
    };
    const long double bulbImag = 0.744861766619744L;  // the centre of the period-3 bulb above the axis
    // The point of the main cardioid's boundary, or just off it, whose fixed point has the
    // multiplier r e^(i angle).
    auto cardioid = [](std::uint8_t formula, long double r, long double angle) {
        const long double mr = r * cosl(angle), mi = r * sinl(angle);
        return Point{formula, mr / 2 - (mr * mr - mi * mi) / 4, mi / 2 - mr * mi / 2};
    };
    const long double third = 2 * 3.14159265358979323846L / 3, golden = 3.88322207745093315L;  // 2 pi / phi^2
    const Point siegel = cardioid(0, 1, golden);  // a Julia constant on the boundary: a Siegel disc
    const Point points[] = {
        {0, 0.25L + 1e-8L, 0},        // just outside the cusp of the main cardioid: escapes after 31412 passes
        {0, 0.25L - 1e-8L, 0},        // just inside it
        {0, -0.75L, 1e-4L},           // between the cardioid and the period-2 disc: escapes after 31415 passes
        {0, -0.7499L, 0},             // the cardioid next to where they touch
        {0, -0.7501L, 0},             // the period-2 disc there
        {0, -0.2194522069L, bulbImag},  // just inside the period-3 bulb's left edge
        {0, -0.2194522079L, bulbImag},  // just outside: escapes after 10639 passes
        {0, -1 + 0.2499L * cosl(1), 0.2499L * sinl(1)},  // inside the period-2 disc, near its circle
        {0, -1 + 0.2501L * cosl(1), 0.2501L * sinl(1)},  // outside it
        cardioid(0, 1 - 1e-6L, 2),    // a multiplier within 1e-6 of 1 inside the cardioid
        cardioid(0, 1 + 1e-6L, 2),    // and just across its boundary
        cardioid(0, 1 - 1e-6L, third),  // where the period-3 bulb touches
        cardioid(0, 1 + 1e-6L, third),
        {2, 0.355957459334577L, 0},   // the rabbit Julia set, one step inside its boundary
        {2, 0.355957459334578L, 0},   // one step outside: escapes after 130 passes
        {2, 0, 0, -0.25L, 0},         // the cauliflower: the parabolic fixed point draws it in for ever
        {2, 0.5L + 1e-3L, 0, -0.25L, 0},  // past the fixed point: escapes after thousands of passes
        // in the Siegel disc, near its centre: turns for ever
        {2, cosl(golden) / 2 + 0.05L, sinl(golden) / 2, -siegel.Real, -siegel.Imag},
        {2, 1, 0, -siegel.Real, -siegel.Imag},
        {5, -0.25L - 1e-8L, 0},       // the Burning Ship's cusp: escapes after 31417 passes
        {5, -0.25L + 1e-8L, 0},       // just inside it
    };
    FractalParams params;
    params.MaxIterations = 100000;
    const std::atomic<bool> stop = false;
    NoPassHook hook;
    const EngineShortcuts orbitShortcuts[] = {{true, false, false, false},
                                              {false, false, true, false},
                                              {false, false, true, true},
                                              {true, false, true, true}};
    for (const EngineShortcuts shortcuts : orbitShortcuts) {
        RegionMemory regions;
        for (const Point& point : points) {
            params.JuliaReal = point.JuliaReal;
            params.JuliaImag = point.JuliaImag;
            const std::int32_t plain = IteratePoint(point.Formula, params, point.Real, point.Imag, stop, hook).Count;
            EXPECT_EQ(IteratePoint(point.Formula, params, point.Real, point.Imag, stop, hook, shortcuts,
                                   {PlainPrelude, &regions})
                          .Count,
                      plain)
                << int(point.Formula) << " " << static_cast<double>(point.Real) << " "
                << static_cast<double>(point.Imag) << " repeats " << shortcuts.SkipRepeatingOrbits << " proofs "
                << shortcuts.ProveBoundedOrbits;
        }
    }
}

TEST(EngineShortcuts, APixelWithoutKernelTakesThePreviousCountOnAnyThreadCount)
{
    ParamFields fields;
    fields.Preview = false;
    fields.Inverted = true;
    fields.Width = "5";
    fields.Height = "3";
    fields.Iterations = "100";
    const auto oneThread = Render(7, fields, {0, {}});
    EXPECT_EQ(Render(7, fields, {2, {}}), oneThread);
    EXPECT_EQ(Render(7, fields, {3, {}}), oneThread);
    // From 0 at the start of the run, each pixel inverts the count the previous one was coloured with.
    FractalParams params;
    params.MaxIterations = 100;
    params.DigitBase = DigitBaseFor(100);
    const PaletteList palette;
    ASSERT_EQ(oneThread.size(), TgaHeaderSize + 45);
    for (std::size_t pixel = 0; pixel < 15; ++pixel) {
        const Rgb colour = PixelColour(pixel % 2 == 0 ? 100 : 0, params, palette);
        const std::size_t at = TgaHeaderSize + pixel * 3;
        EXPECT_EQ(oneThread[at], colour.Blue) << pixel;
        EXPECT_EQ(oneThread[at + 1], colour.Green) << pixel;
        EXPECT_EQ(oneThread[at + 2], colour.Red) << pixel;
    }
}

TEST(EngineShortcuts, MirrorRowsOnlyWhereTheCoordinatesAreExactNegatives)
{
    FractalParams params;
    params.ImagFrom = -2;
    params.StepImag = 0.5L;
    params.Height = 8;
    EXPECT_EQ(ExactMirrorRow(params, 1), 7);
    EXPECT_EQ(ExactMirrorRow(params, 7), 1);
    EXPECT_EQ(ExactMirrorRow(params, 4), -1);  // the axis itself
    EXPECT_EQ(ExactMirrorRow(params, 0), -1);  // +2 lies beyond the last row

    params.ImagFrom = -1;
    params.StepImag = 0.3L;  // not exact in binary: the negatives miss by a bit
    params.Height = 7;
    EXPECT_NE(static_cast<long double>(6) * params.StepImag + params.ImagFrom, 0.8L);
    for (std::int32_t row = 0; row < params.Height; ++row) {
        const std::int32_t mirror = ExactMirrorRow(params, row);
        if (mirror >= 0) {
            EXPECT_EQ(static_cast<long double>(mirror) * params.StepImag + params.ImagFrom,
                      -(static_cast<long double>(row) * params.StepImag + params.ImagFrom));
        }
    }
}

TEST(EngineShortcuts, RepeatingOrbitsGiveTheMaximumWithoutAllPasses)
{
    struct CountingHook {
        std::uint64_t Passes = 0;
        std::uint32_t PassesBeforePoll() const { return 1000; }
        void PassesDone(std::uint32_t passes) { Passes += passes; }
    };
    FractalParams params;
    params.MaxIterations = 1000000;
    const std::atomic<bool> stop = false;
    CountingHook hook;
    EXPECT_EQ(IteratePoint(0, params, -0.1L, 0.1L, stop, hook, {true, false, false}).Count, 1000000);
    EXPECT_LT(hook.Passes, 1000u);
}
