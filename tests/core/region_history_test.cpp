#include "mainwindow/region_history.h"

#include <gtest/gtest.h>

#include <string>

using namespace nimbra;

namespace {

RegionTexts Region(const std::string& tag) { return {tag + "rf", tag + "rt", tag + "if", tag + "it"}; }

}  // namespace

TEST(RegionHistory, GoesBackAndForwardThroughTheSteps)
{
    RegionHistory history;
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.Back(), std::nullopt);
    history.Step(Region("a"), Region("b"));
    history.Step(Region("b"), Region("c"));
    EXPECT_EQ(history.Back(), Region("b"));
    EXPECT_EQ(history.Back(), Region("a"));
    EXPECT_EQ(history.Back(), std::nullopt);
    EXPECT_EQ(history.Forward(), Region("b"));
    EXPECT_EQ(history.Forward(), Region("c"));
    EXPECT_EQ(history.Forward(), std::nullopt);
    EXPECT_FALSE(history.CanGoForward());
}

TEST(RegionHistory, ANewStepAfterGoingBackDropsTheStepsAhead)
{
    RegionHistory history;
    history.Step(Region("a"), Region("b"));
    history.Step(Region("b"), Region("c"));
    ASSERT_EQ(history.Back(), Region("b"));
    history.Step(Region("b"), Region("d"));
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.Back(), Region("b"));
    EXPECT_EQ(history.Back(), Region("a"));
}

TEST(RegionHistory, ATypedRegionIsWhereGoingBackFromTheNextStepLeads)
{
    RegionHistory history;
    history.Step(Region("a"), Region("b"));
    history.Step(Region("typed"), Region("c"));
    history.Step(Region("c"), Region("c"));  // a command that changed nothing
    EXPECT_EQ(history.Back(), Region("typed"));
    EXPECT_EQ(history.Back(), Region("b"));
    EXPECT_EQ(history.Back(), Region("a"));
}

TEST(RegionHistory, KeepsTheLast100Steps)
{
    RegionHistory history;
    for (int step = 0; step < 105; ++step) history.Step(Region(std::to_string(step)), Region(std::to_string(step + 1)));
    int back = 0;
    std::optional<RegionTexts> oldest;
    while (const std::optional<RegionTexts> region = history.Back()) {
        oldest = region;
        ++back;
    }
    EXPECT_EQ(back, 100);
    EXPECT_EQ(oldest, Region("5"));
}
