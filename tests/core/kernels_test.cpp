#include "engine/kernels.h"

#include <gtest/gtest.h>

#include <limits>

using namespace nimbra;

namespace {

// Reports after every pass, counting the hook calls.
struct CountingHook {
    int Calls = 0;
    std::uint32_t PassesBeforePoll() const { return 1; }
    void PassesDone(std::uint32_t calls) { Calls += static_cast<int>(calls); }
};

std::int32_t CountAt(FormulaKind formula, long double cr, long double ci, std::int32_t maxIterations,
                     long double kr = 0, long double ki = 0)
{
    FractalParams params;
    params.MaxIterations = maxIterations;
    params.JuliaReal = kr;
    params.JuliaImag = ki;
    std::atomic<bool> stop = false;
    CountingHook hook;
    return IteratePoint(static_cast<std::uint8_t>(formula), params, cr, ci, stop, hook).Count;
}

}  // namespace

TEST(Kernels, CountsOfKnownPoints)
{
    struct Case {
        FormulaKind Formula;
        long double Real, Imag;
        std::int32_t Max;
        std::int32_t Count;
        long double Kr = 0, Ki = 0;
    };
    const Case cases[] = {
        {FormulaKind::Mandelbrot, 0, 0, 100, 100},
        {FormulaKind::Mandelbrot, 1, 0, 100, 0},
        {FormulaKind::Mandelbrot, -2, 0, 100, 0},
        {FormulaKind::Mandelbrot, 0.5L, 0, 100, 3},
        {FormulaKind::Mandelbrot, 0.3L, 0, 100, 10},
        {FormulaKind::InvertedMandelbrot, 0, 0, 100, 100},
        {FormulaKind::InvertedMandelbrot, 10, 0, 100, 100},
        {FormulaKind::InvertedMandelbrot, 1, 1, 100, 6},
        {FormulaKind::InvertedMandelbrot, -20, -10, 100, 0},
        {FormulaKind::Julia, 1, 0, 100, 100},
        {FormulaKind::Julia, 1.5L, 0, 100, 0},
        {FormulaKind::Julia, 0, 0, 100, 1, -1, 0},
        {FormulaKind::Dragon, 0, 0, 100, 17},
        {FormulaKind::Daisy, 0, 0, 100, 11},
        {FormulaKind::BurningShip, 0, 0, 250, 250},
        {FormulaKind::BurningShip, 1, 0, 250, 250},
        {FormulaKind::BurningShip, 2, 0, 250, 250},
        {FormulaKind::BurningShip, -1, 0, 250, 4},
        {FormulaKind::BurningShip, 3, 0, 250, 3},
        {FormulaKind::Mandelbrot, 1000, 1000, 100, 0},  // far outside: one pass
        {FormulaKind::BurningShip, 1000, 1000, 250, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountAt(c.Formula, c.Real, c.Imag, c.Max, c.Kr, c.Ki), c.Count)
            << static_cast<int>(c.Formula) << " at " << static_cast<double>(c.Real) << ","
            << static_cast<double>(c.Imag);
}

TEST(Kernels, PumpIsCalledAfterEveryPassAndThriceForTheBurningShip)
{
    FractalParams params;
    params.MaxIterations = 100;
    std::atomic<bool> stop = false;
    CountingHook hook;
    IteratePoint(0, params, 0, 0, stop, hook);
    EXPECT_EQ(hook.Calls, 101);  // a point that never escapes makes M + 1 passes
    hook.Calls = 0;
    params.MaxIterations = 250;
    IteratePoint(5, params, 0, 0, stop, hook);
    EXPECT_EQ(hook.Calls, 750);
}

TEST(Kernels, StopEndsAfterThePassInProgress)
{
    FractalParams params;
    params.MaxIterations = 1000000;
    std::atomic<bool> stop = false;
    struct StoppingHook {
        std::atomic<bool>* Stop;
        int Calls = 0;
        std::uint32_t PassesBeforePoll() const { return 1; }
        void PassesDone(std::uint32_t)
        {
            if (++Calls == 5) *Stop = true;
        }
    } hook{&stop};
    EXPECT_EQ(IteratePoint(0, params, 0, 0, stop, hook).Count, 4);
    EXPECT_EQ(hook.Calls, 5);
}

TEST(Kernels, UnknownFormulaRunsNoKernel)
{
    FractalParams params;
    std::atomic<bool> stop = false;
    CountingHook hook;
    EXPECT_EQ(IteratePoint(6, params, 0, 0, stop, hook).Count, PreviousPixelCount);
    EXPECT_EQ(hook.Calls, 0);
}

TEST(Kernels, ValuesBeyondTheExtendedRangeAreReported)
{
    FractalParams params;
    params.MaxIterations = 100;
    std::atomic<bool> stop = false;
    CountingHook hook;
    const long double huge = std::numeric_limits<long double>::max() / 2;
    EXPECT_TRUE(IteratePoint(0, params, huge, 0, stop, hook).OutOfRange);
    EXPECT_TRUE(IteratePoint(5, params, huge, huge, stop, hook).OutOfRange);
    const long double tiny = std::numeric_limits<long double>::denorm_min();
    EXPECT_TRUE(IteratePoint(1, params, tiny, 0.5L, stop, hook).OutOfRange);
    EXPECT_FALSE(IteratePoint(0, params, 0.3L, 0.1L, stop, hook).OutOfRange);
    EXPECT_FALSE(IteratePoint(1, params, 0, 0, stop, hook).OutOfRange);
}

TEST(Kernels, PixelPointsAreOneMultiplicationAndOneAddition)
{
    FractalParams params;
    params.RealFrom = -2;
    params.StepReal = 2.5L / 640;
    params.ImagFrom = -1.25L;
    params.StepImag = 2.5L / 480;
    EXPECT_EQ(PointReal(params, 0), -2.0L);
    EXPECT_EQ(PointReal(params, 639), 639 * (2.5L / 640) + -2.0L);
    EXPECT_EQ(PointImag(params, 0), -1.25L);
}
