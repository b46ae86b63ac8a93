#include "mainwindow/constant_history.h"

#include <gtest/gtest.h>

using namespace nimbra;

using Items = std::vector<std::string>;

TEST(ConstantHistory, PointsBecomeCommasAndKnownItemsAreNotRepeated)
{
    Items items;
    EXPECT_TRUE(AddConstantToHistory(items, "0.285"));
    EXPECT_FALSE(AddConstantToHistory(items, "0,285"));
    EXPECT_FALSE(AddConstantToHistory(items, "0.285"));
    EXPECT_EQ(items, (Items{"0,285"}));
}

TEST(ConstantHistory, ItemsAreComparedExactlyAndAppendedAtTheEnd)
{
    Items items{"0.285", "b"};
    EXPECT_TRUE(AddConstantToHistory(items, "0,285"));
    EXPECT_TRUE(AddConstantToHistory(items, "B"));
    EXPECT_TRUE(AddConstantToHistory(items, " 0,285"));
    EXPECT_EQ(items, (Items{"0.285", "b", "0,285", "B", " 0,285"}));
}

TEST(ConstantHistory, AnEmptyTextAddsNothing)
{
    Items items;
    EXPECT_FALSE(AddConstantToHistory(items, ""));
    EXPECT_TRUE(items.empty());
}
