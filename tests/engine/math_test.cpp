#include "engine/math.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// A seed whose first generator value is the given one.
uint32_t seed_giving(int value)
{
    for (uint32_t seed = 0;; ++seed) {
        game_srand(seed);
        if (game_rand() == value) {
            game_srand(seed);
            return seed;
        }
    }
}

} // namespace

TEST(Dice, ADieShowsItsTopFaceOnlyWhenTheGeneratorGivesItsLargestValue)
{
    seed_giving(32767);
    EXPECT_EQ(roll_dice(6, 1, 0), 6);
    seed_giving(32767);
    EXPECT_EQ(rand_range(2.0f, 7.5f), 7.5f);
    seed_giving(32766);
    EXPECT_EQ(roll_dice(6, 1, 0), 5);
    seed_giving(0);
    EXPECT_EQ(roll_dice(6, 1, 0), 1);
    seed_giving(0);
    EXPECT_EQ(rand_range(4.0f, -2.0f), 4.0f);  // a range may run downward
}

TEST(Dice, OneSixSidedDieShowsOneToFiveEvenlyAndAlmostNeverSix)
{
    game_srand(99);
    std::array<int, 7> faces{};
    const int rolls = 500000;
    for (int i = 0; i < rolls; ++i)
        ++faces.at(size_t(roll_dice(6, 1, 0)));
    EXPECT_EQ(faces[0], 0);
    for (int f = 1; f <= 5; ++f)
        EXPECT_NEAR(faces[size_t(f)] / double(rolls), 0.2, 0.005) << f;
    EXPECT_LT(faces[6], 60);  // about 1 in 32,768
}

TEST(Dice, EdgeValuesOfRollDice)
{
    game_srand(5);
    EXPECT_EQ(rand_range(5.0f, 5.0f), 5.0f);
    EXPECT_EQ(roll_dice(1, 4, 3), 7);
    EXPECT_EQ(roll_dice(1, 4, -10), 0);
    EXPECT_EQ(roll_dice(6, 2, -20), 0);
    EXPECT_EQ(roll_dice(6, 0, 4), 4);
    EXPECT_EQ(roll_dice(6, -3, -4), 0);
}

TEST(Dice, DamageCodesNameTheirDiceAndOthersRollNothing)
{
    const int sides[15] = {3, 6, 8, 10, 12, 3, 6, 8, 10, 12, 3, 6, 8, 10, 12};
    const int count[15] = {1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3};
    for (int16_t code = 0; code < 15; ++code) {
        game_srand(1234u + uint32_t(code));
        int32_t damage = roll_damage_dice(code, 2);
        game_srand(1234u + uint32_t(code));
        EXPECT_EQ(damage, roll_dice(sides[code], count[code], 2)) << code;
    }

    game_srand(77);
    EXPECT_EQ(roll_damage_dice(15, 7), 0);
    EXPECT_EQ(roll_damage_dice(-1, 7), 0);
    int next = game_rand();
    game_srand(77);
    EXPECT_EQ(game_rand(), next);  // nothing was rolled
}

TEST(Distances, AreEuclideanInSinglePrecision)
{
    EXPECT_FLOAT_EQ(distance2d(1.0f, 1.0f, 4.0f, 5.0f), 5.0f);
    EXPECT_FLOAT_EQ(distance2d_sq(1.0f, 1.0f, 4.0f, 5.0f), 25.0f);
    EXPECT_FLOAT_EQ(float_sqrt(2.0f), 1.41421356f);
}

TEST(NormalToArgb, MapsEachComponentAroundTheMiddle)
{
    const float up[3] = {0.0f, -1.0f, 1.0f};
    EXPECT_EQ(normal_to_argb(up, 1.0f), 0xFF8001FFu);
    const float flat[3] = {1.0f, 0.0f, 0.0f};
    EXPECT_EQ(normal_to_argb(flat, 0.5f), 0x7FFF8080u);
}
