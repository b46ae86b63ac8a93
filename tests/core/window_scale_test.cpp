#include "mainwindow/window_scale.h"

#include <gtest/gtest.h>

using namespace nimbra;

TEST(WindowScale, TheClientAreaGrowsWithTheScreenAndIsCutToWholePixels)
{
    EXPECT_EQ(MainClientSize(1.0).Width, 640);
    EXPECT_EQ(MainClientSize(1.0).Height, 220);
    EXPECT_EQ(MainClientSize(1.25).Width, 800);
    EXPECT_EQ(MainClientSize(1.25).Height, 275);
    EXPECT_EQ(MainClientSize(1.01).Width, 646);   // 646.4
    EXPECT_EQ(MainClientSize(1.01).Height, 222);  // 222.2
}

TEST(WindowScale, LayoutLengthsAreRounded)
{
    EXPECT_EQ(ScaledLength(33, 1.0), 33);
    EXPECT_EQ(ScaledLength(33, 1.25), 41);  // 41.25
    EXPECT_EQ(ScaledLength(161, 1.5), 242); // 241.5
}
