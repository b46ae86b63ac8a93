#include "engine/early_escape.h"

#include "engine/formula_table.h"
#include "engine/row_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <set>

using namespace nimbra;

namespace {

// One row of the formula from real, a pixel each step, at imag: its counts with every shortcut
// and with none.
std::pair<std::vector<std::int32_t>, std::vector<std::int32_t>> Counts(FormulaKind formula, long double real,
                                                                      long double step, long double imag)
{
    FractalParams params;
    params.Preview = false;
    params.Formula = static_cast<std::uint8_t>(formula);
    params.Width = 64;
    params.Height = 1;
    params.MaxIterations = 50;
    params.RealFrom = real;
    params.StepReal = step;
    params.RealTo = real + step * params.Width;
    params.ImagFrom = params.ImagTo = imag;
    params.JuliaReal = 0.25L;  // z squared minus 1/4
    const std::atomic<bool> stop = false;
    RegionMemory regions;
    RowCounts early, plain;
    ComputeRowCounts(params, 0, stop, EngineShortcuts{}, regions, early);
    ComputeRowCounts(params, 0, stop, NoShortcuts, regions, plain);
    return {early.Counts, plain.Counts};
}

}  // namespace

// At c = 1 the first pass gives |z|^2 = 4 exactly, and points a unit of the extended precision
// below, which round to the same double, escape a pass later: where the test's value lies
// within a rounding of 4, the doubles leave the count to the kernel. Far out they decide it.
TEST(EarlyEscapes, TheEscapeTestsEdgeIsLeftToTheKernels)
{
    std::array<EarlyOrbit, EarlyBlock> orbits;
    orbits.fill({1, 0, 1, 0, 1});
    orbits[1] = {10, 0, 10, 0, 10};
    std::array<std::int32_t, EarlyBlock> counts;
    DecideEarlyEscapes(orbits, EarlyPasses(), counts);
    EXPECT_EQ(counts[0], Undecided);
    EXPECT_EQ(counts[1], 0);

    // The edge, for the Mandelbrot set at 1 and for the Julia set of z^2 - 1/4 at 3/2.
    for (const auto& [formula, edge] : {std::pair{FormulaKind::Mandelbrot, 1.0L}, {FormulaKind::Julia, 1.5L}}) {
        const auto [early, plain] = Counts(formula, edge - 32e-19L, 1e-19L, 0);
        EXPECT_EQ(early, plain) << static_cast<int>(formula);
        EXPECT_EQ(std::set<std::int32_t>(plain.begin(), plain.end()).size(), 2u);
    }
    for (const FormulaKind formula : {FormulaKind::Dragon, FormulaKind::Daisy}) {
        const auto [early, plain] = Counts(formula, -2, 1.0L / 16, 0.5L);
        EXPECT_EQ(early, plain) << static_cast<int>(formula);
    }
}

// Both widths decide the same counts, the edge of the escape test and the far out included.
TEST(EarlyEscapes, PairsAndQuadsDecideAlike)
{
    if (!ProcessorHasQuads()) GTEST_SKIP() << "no AVX";
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> near(-2.5, 2.5);
    for (int block = 0; block < 2000; ++block) {
        std::array<EarlyOrbit, EarlyBlock> orbits;
        for (EarlyOrbit& orbit : orbits) {
            const double real = block % 3 == 0 ? 1 : near(random), imag = block % 3 == 0 ? 0 : near(random);
            orbit = {real, imag, real, imag, std::fabs(real) + std::fabs(imag)};
        }
        std::array<std::int32_t, EarlyBlock> pairs, quads;
        DecideEarlyEscapesInPairs(orbits.data(), EarlyPassesInQuads, pairs.data());
        DecideEarlyEscapesInQuads(orbits.data(), EarlyPassesInQuads, quads.data());
        ASSERT_EQ(pairs, quads) << block;
    }
}
