#include "engine/block_average.h"

#include <gtest/gtest.h>

using namespace nimbra;

// One reduced pixel from the blue bytes of its block; green and red are the same here.
TEST(BlockAverage, EachChannelIsTheBlocksMeanRoundedATieToTheEvenValue)
{
    const struct { int factor; std::vector<std::uint8_t> block; std::uint8_t mean; } cases[] = {
        {2, {1, 1, 2, 2}, 2},          // 1.5: a tie, to the even 2
        {2, {2, 2, 3, 3}, 2},          // 2.5: a tie, to the even 2
        {2, {0, 0, 0, 1}, 0},          // 0.25
        {2, {0, 1, 1, 1}, 1},          // 0.75
        {2, {255, 255, 255, 255}, 255},
        {3, {0, 0, 0, 0, 0, 1, 1, 1, 1}, 0},  // 4/9
        {3, {0, 0, 0, 0, 1, 1, 1, 1, 1}, 1},  // 5/9
        {4, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}, 0},  // 0.5: a tie, to the even 0
        {4, {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2}, 2},  // 1.5: a tie, to the even 2
    };
    for (const auto& c : cases) {
        BlockAverage blocks(1, c.factor);
        const std::uint8_t* reduced = nullptr;
        for (int row = 0; row < c.factor; ++row) {
            std::vector<std::uint8_t> pixels;
            for (int column = 0; column < c.factor; ++column)
                pixels.insert(pixels.end(), 3, c.block[static_cast<std::size_t>(row * c.factor + column)]);
            reduced = blocks.Add(pixels.data());
            if (row + 1 < c.factor) {
                EXPECT_EQ(reduced, nullptr);
            }
        }
        ASSERT_NE(reduced, nullptr);
        EXPECT_EQ(reduced[0], c.mean) << c.factor << " " << static_cast<int>(c.block.back());
        EXPECT_EQ(reduced[2], c.mean);
    }
}

TEST(BlockAverage, ARowOfBlocksStartsAfreshAndKeepsItsChannelsApart)
{
    BlockAverage blocks(2, 2);
    const std::uint8_t first[] = {10, 20, 30, 12, 20, 30, 100, 0, 1, 100, 0, 1};
    const std::uint8_t second[] = {10, 20, 30, 10, 20, 31, 100, 0, 1, 100, 0, 1};
    EXPECT_EQ(blocks.Add(first), nullptr);
    const std::uint8_t* reduced = blocks.Add(second);
    ASSERT_NE(reduced, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(reduced, reduced + 6), (std::vector<std::uint8_t>{10, 20, 30, 100, 0, 1}));
    const std::uint8_t black[12] = {};
    EXPECT_EQ(blocks.Add(black), nullptr);
    reduced = blocks.Add(black);
    EXPECT_EQ(std::vector<std::uint8_t>(reduced, reduced + 6), std::vector<std::uint8_t>(6, 0));
}
