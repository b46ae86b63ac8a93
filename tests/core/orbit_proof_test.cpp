#include "engine/orbit_proof.h"

#include "engine/kernels.h"

#include <gtest/gtest.h>

using namespace nimbra;

namespace {

// Follows the disc of radius startRadius around (zr, zi) through passes of z squared plus c.
bool ChainCloses(long double c, long double zr, long double zi, double startRadius, int passes,
                 long double escapeLimit = 4)
{
    MandelbrotPass kernel(c, 0);
    kernel.SetState(zr, zi);
    DiscChain chain(kernel.zr, kernel.zi, startRadius, kernel.ConstantsSize(), escapeLimit);
    for (int pass = 0; pass < passes; ++pass) {
        chain.Follow(kernel.zr, kernel.zi);
        kernel.Pass();
    }
    return chain.Closes(kernel.zr, kernel.zi);
}

}  // namespace

TEST(DiscChain, OnlyADiscMappedIntoItselfWhereNothingEscapesCloses)
{
    EXPECT_TRUE(ChainCloses(0, 0, 0, 0.01, 1));       // around the attracting fixed point 0
    EXPECT_TRUE(ChainCloses(-1, 0, 0, 0.01, 2));      // around the cycle 0, -1
    EXPECT_FALSE(ChainCloses(0, 1, 0, 0.01, 1));      // 1 returns exactly, but repels its neighbours
    EXPECT_FALSE(ChainCloses(0, 0.5L, 0, 0.1, 1));    // contracts, but lands 0.25 away
    EXPECT_FALSE(ChainCloses(-1, 0, 0, 0.01, 1));     // half the cycle
    EXPECT_TRUE(ChainCloses(0, 0, 0, 0.6, 1));
    EXPECT_FALSE(ChainCloses(0, 0, 0, 0.6, 1, 0.3));  // the same disc reaches where the test holds
    EXPECT_FALSE(ChainCloses(0.25L, 0.5L, 0, 1e-9, 1));  // the parabolic point: no room for rounding
}

TEST(DiscChain, AnAttemptProvesASettledOrbitAroundItsCycle)
{
    MandelbrotPass settled(-1.1L, 0.1L);  // in the period-2 disc
    for (int pass = 0; pass < 60; ++pass) settled.Pass();
    EXPECT_FALSE(AttemptProof(settled, 1, 1000, 0).Proven);  // not a whole round of the cycle
    EXPECT_TRUE(AttemptProof(settled, 2, 1000, 0).Proven);
}
