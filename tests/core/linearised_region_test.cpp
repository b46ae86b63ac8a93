#include "engine/linearised_region.h"

#include "engine/attracting_cycle.h"
#include "engine/kernels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace nimbra;

namespace {

// The point of the main cardioid whose fixed point has the multiplier r e^(i angle).
MandelbrotPass CardioidPoint(long double r, long double angle)
{
    const long double mr = r * cosl(angle), mi = r * sinl(angle);
    return MandelbrotPass(mr / 2 - (mr * mr - mi * mi) / 4, mi / 2 - mr * mi / 2);
}

bool BuildFor(LinearisedRegion& region, const MandelbrotPass& point, std::uint32_t period, bool series = true)
{
    std::vector<Complex> cycle;
    const Complex constant{static_cast<double>(point.cr), static_cast<double>(point.ci)};
    return FindAttractingCycle(constant, period, Complex{constant}, cycle) &&
           region.Build(FormulaKind::Mandelbrot, point.Constant(), point.ConstantsSize(), point.EscapeLimit(), cycle,
                        series);
}

}  // namespace

// No disc around a fixed point with the multiplier m is mapped into itself beyond the radius
// 1 - |m|: where h has the direction of m, m h + h^2 lies further out than h. And no region of
// Koenigs' series reaches the critical point 0, where the linearisation ends.
TEST(LinearisedRegion, TakesInNothingThePassDoesNotMapIntoItself)
{
    const long double angle = 2, r = 0.999L;
    const MandelbrotPass point = CardioidPoint(r, angle);
    const Complex fixed{static_cast<double>(r * cosl(angle) / 2), static_cast<double>(r * sinl(angle) / 2)};
    const double beyond = 1.1 * static_cast<double>(1 - r);
    LinearisedRegion discs, series;
    ASSERT_TRUE(BuildFor(discs, point, 1, false));
    ASSERT_TRUE(BuildFor(series, point, 1, true));
    const long double outsideReal = fixed.Re + beyond * cosl(angle), outsideImag = fixed.Im + beyond * sinl(angle);
    EXPECT_FALSE(discs.Locate(outsideReal, outsideImag, point.Constant()).Inside);
    EXPECT_TRUE(discs.Locate(fixed.Re, fixed.Im, point.Constant()).Inside);
    EXPECT_FALSE(series.Locate(0, 0, point.Constant()).Inside);
    EXPECT_TRUE(series.Locate(fixed.Re, fixed.Im, point.Constant()).Inside);

    const std::vector<Complex> repelling{{1 - fixed.Re, -fixed.Im}};
    LinearisedRegion region;
    EXPECT_FALSE(region.Build(FormulaKind::Mandelbrot, point.Constant(), point.ConstantsSize(), 4, repelling, true));
    EXPECT_FALSE(BuildFor(region, CardioidPoint(1, angle), 1)) << "on the boundary nothing attracts";
}

// Orbits that a region takes in, from points inside components near their boundaries, and from
// neighbours a region built for another point serves, never escape in the passes after.
TEST(LinearisedRegion, AnOrbitTakenInNeverEscapes)
{
    struct Case {
        MandelbrotPass Point;
        std::uint32_t Period;
        bool Series;
    };
    const Case cases[] = {
        {CardioidPoint(0.999L, 3.0L), 1, true},           // creeps: the multiplier near 1
        {CardioidPoint(0.99L, 0.01L), 1, true},           // next to the cusp
        {CardioidPoint(0.3L, 1.0L), 1, false},            // discs around a strong attractor
        {MandelbrotPass(-1.1L, 0.15L), 2, true},          // the period-2 disc
        {MandelbrotPass(-0.1225L, 0.7449L), 3, true},     // the period-3 bulb
        {MandelbrotPass(-0.744284L, 0.094386L), 33, true},  // a bulb on the seahorse valley's edge
    };
    for (const Case& c : cases) {
        LinearisedRegion region;
        ASSERT_TRUE(BuildFor(region, c.Point, c.Period, c.Series)) << c.Point.cr << " " << c.Point.ci;
        for (const long double shift : {0.0L, 0.5L, 0.99L}) {
            const long double step = static_cast<long double>(region.Room()) * shift;
            MandelbrotPass orbit(c.Point.cr + step, c.Point.ci);
            ASSERT_TRUE(region.Serves(FormulaKind::Mandelbrot, orbit.Constant()));
            int pass = 0;
            auto inside = [&] { return region.Locate(orbit.zr, orbit.zi, orbit.Constant()).Inside; };
            while (!inside() && !orbit.Escaped() && pass < 200000) {
                orbit.Pass();
                ++pass;
            }
            if (orbit.Escaped()) continue;  // a neighbour outside the component: nothing was claimed
            ASSERT_LT(pass, 200000) << c.Point.cr << " " << c.Point.ci;
            for (int more = 0; more < 100000; ++more) {
                orbit.Pass();
                ASSERT_FALSE(orbit.Escaped()) << c.Point.cr << " " << c.Point.ci << " shift " << shift;
            }
        }
        EXPECT_FALSE(region.Serves(FormulaKind::Mandelbrot,
                                   {c.Point.cr + static_cast<long double>(region.Room()) * 2, c.Point.ci}));
        EXPECT_FALSE(region.Serves(FormulaKind::Dragon, c.Point.Constant()));
    }
}

TEST(AttractingCycle, AMultipleOfThePeriodGivesTheCycleItself)
{
    std::vector<Complex> cycle;
    ASSERT_TRUE(FindAttractingCycle({-0.1225, 0.7449}, 6, {-0.1225, 0.7449}, cycle));
    EXPECT_EQ(cycle.size(), 3u);
    EXPECT_FALSE(FindAttractingCycle({0.3, 0}, 1, {}, cycle));  // outside: the fixed points repel
}
