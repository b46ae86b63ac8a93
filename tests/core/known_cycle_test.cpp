#include "engine/known_cycle_loop.h"

#include "engine/kernels.h"
#include "engine/proven_discs.h"
#include "engine/proven_run.h"

#include <gtest/gtest.h>

using namespace nimbra;

TEST(KnownCycle, TheClosedFormsGiveTheCycleThatAttracts)
{
    const Complex inCardioid{-0.1, 0.6}, inDisc{-1.05, 0.1}, outside{-0.75, 0.2};
    const KnownCycle fixed = FindKnownCycle(inCardioid);
    ASSERT_EQ(fixed.Period, 1u);
    const Complex image = fixed.Points[0] * fixed.Points[0] + inCardioid;
    EXPECT_NEAR(Modulus(image - fixed.Points[0]), 0, 1e-14);
    EXPECT_NEAR(fixed.Multiplier, Modulus(2 * fixed.Points[0]), 1e-14);
    EXPECT_LT(fixed.Multiplier, 1);

    const KnownCycle two = FindKnownCycle(inDisc);
    ASSERT_EQ(two.Period, 2u);
    EXPECT_NEAR(Modulus(two.Points[0] * two.Points[0] + inDisc - two.Points[1]), 0, 1e-14);
    EXPECT_NEAR(Modulus(two.Points[1] * two.Points[1] + inDisc - two.Points[0]), 0, 1e-14);
    EXPECT_NEAR(two.Multiplier, Modulus(4 * (two.Points[0] * two.Points[1])), 1e-14);

    EXPECT_EQ(FindKnownCycle(outside).Period, 0u);  // the period-3 bulb's neighbourhood
    EXPECT_EQ(FindKnownCycle({1e300, 1e300}).Period, 0u);
}

// The chain is the proof: around a point that does not attract it never closes, however near
// the orbit comes.
TEST(KnownCycle, NoChainClosesAroundARepellingFixedPoint)
{
    MandelbrotPass kernel(-0.1L, 0.6L);
    const KnownCycle fixed = FindKnownCycle({-0.1, 0.6});
    const Complex repelling{1 - fixed.Points[0].Re, -fixed.Points[0].Im};  // the fixed points add up to 1
    kernel.SetState(repelling.Re + 1e-12L, repelling.Im);
    EXPECT_FALSE(ClosesAroundKnownCycle(kernel, repelling, 1));
    kernel.SetState(fixed.Points[0].Re + 1e-3L, fixed.Points[0].Im);
    EXPECT_TRUE(ClosesAroundKnownCycle(kernel, fixed.Points[0], 1));
}

// Deep inside the two components, an orbit is proven at its first look, before it has made the
// passes a search for its period would need.
TEST(KnownCycle, DeepInsideTheOrbitIsProvenAtOnce)
{
    FractalParams params;
    params.MaxIterations = 5000;
    const std::atomic<bool> stop = false;
    NoPassHook hook;
    RegionMemory regions;
    for (const auto& [real, imag] : {std::pair{-0.1L, 0.1L}, {-1.02L, 0.05L}}) {
        const PointResult result =
            IteratePoint(0, params, real, imag, stop, hook, EngineShortcuts{}, {PlainPrelude, &regions});
        EXPECT_EQ(result.Count, params.MaxIterations);
        EXPECT_EQ(result.End, OrbitEnd::KnownCycle);
        EXPECT_LE(result.Passes, PlainPrelude + 2);
    }
}

// A disc proven for the constants near one pixel's holds a neighbour only where both its
// constant lies within the spread and its state within the disc.
TEST(KnownCycle, AProvenDiscHoldsOnlyNearbyConstantsAndStatesInside)
{
    const KnownCycle cycle = FindKnownCycle({-0.1, 0.1});
    const double radius = (1 - cycle.Multiplier) / 2;
    MandelbrotPass centre(-0.1L, 0.1L);
    centre.SetState(cycle.Points[0].Re, cycle.Points[0].Im);
    EXPECT_TRUE(DiscsClose(centre, radius, 1, radius * 0.01));
    EXPECT_FALSE(DiscsClose(centre, radius, 1, radius));  // more spread than the disc has room for

    ProvenDiscs proven;
    proven.Remember(MandelbrotPass(-0.1L, 0.1L), cycle, radius);
    proven.Finished(true);
    auto holds = [&](long double real, long double imag, long double zr, long double zi) {
        MandelbrotPass kernel(real, imag);
        kernel.SetState(zr, zi);
        return proven.Hold(kernel);
    };
    const long double fixedReal = cycle.Points[0].Re, fixedImag = cycle.Points[0].Im;
    EXPECT_TRUE(holds(-0.1L + 1e-4L, 0.1L, fixedReal + radius / 2, fixedImag));
    EXPECT_FALSE(holds(-0.1L + 1e-4L, 0.1L, fixedReal + radius * 1.01L, fixedImag));
    EXPECT_FALSE(holds(-0.1L + 0.2L, 0.1L, fixedReal, fixedImag));  // far beyond the spread
}

// A run is proven only where every orbit it holds stays: not with constants that include an
// escaping one, nor with start states that do; and a chain around the cycle closes only when
// its discs slide with the constant as the cycle does.
TEST(KnownCycle, ARunIsRefusedWhereItsDiscsDoNotFit)
{
    auto pointsOf = [](const KnownCycle& cycle) {
        return std::vector<Complex>(cycle.Points, cycle.Points + cycle.Period);
    };
    const std::vector<Complex> cycle = pointsOf(FindKnownCycle({-0.1, 0.1}));
    CycleDiscs discs;
    ASSERT_TRUE(DiscsAroundCycle(cycle, 0.05, true, discs));
    const MandelbrotPass middle(-0.1L, 0.1L);
    EXPECT_GT(RunStaysBounded(middle, 0.05, true, cycle, discs), 0u);
    EXPECT_EQ(RunStaysBounded(middle, 0.5, true, cycle, discs), 0u);   // holds the constant 0.4 + 0.1i
    EXPECT_EQ(RunStaysBounded(middle, 1.5, false, cycle, discs), 0u);  // holds the start 1.4 + 0.1i

    // Near the edge, where the fixed point attracts with 0.9, discs that stand still leave
    // room for far less spread than discs that slide.
    const std::vector<Complex> edge = pointsOf(FindKnownCycle({-0.6525, 0}));
    CycleDiscs edgeDiscs;
    ASSERT_TRUE(DiscsAroundCycle(edge, 0.02, true, edgeDiscs));
    MandelbrotPass centre(-0.6525L, 0);
    centre.SetState(edge[0].Re, edge[0].Im);
    EXPECT_TRUE(SlidingDiscsClose(centre, edgeDiscs.Slide[0], edgeDiscs.Radius[0], 1, 0.02, true));
    EXPECT_FALSE(SlidingDiscsClose(centre, Complex{}, edgeDiscs.Radius[0], 1, 0.02, true));
}
