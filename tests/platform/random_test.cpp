#include "platform/random.h"

#include <gtest/gtest.h>

TEST(GameRandom, FollowsTheFifteenBitSequence)
{
    game_srand(1);
    // x1 = 1*214013+2531011 = 2745024 -> 41; x2 = 2745024*214013+2531011 mod 2^32 -> 18467
    EXPECT_EQ(game_rand(), 41);
    EXPECT_EQ(game_rand(), 18467);
    EXPECT_EQ(game_rand(), 6334);
}

TEST(GameRandom, StaysInRangeAndReachesBothEnds)
{
    game_srand(7);
    int lowest = k_rand_max, highest = 0;
    for (int i = 0; i < 1 << 20; ++i) {
        int v = game_rand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, k_rand_max);
        lowest = std::min(lowest, v);
        highest = std::max(highest, v);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, k_rand_max);
}
