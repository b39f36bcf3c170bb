#include "engine/math.h"
#include "platform/random.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

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

namespace {

// (x, y, z) seen through a view.
vec3 seen(const matrix4& view, vec3 p)
{
    float out[4];
    matrix_transform_point(view, p, out);
    return {out[0], out[1], out[2]};
}

void expect_near(vec3 a, vec3 b, const char* what)
{
    EXPECT_NEAR(a.x, b.x, 1e-4f) << what;
    EXPECT_NEAR(a.y, b.y, 1e-4f) << what;
    EXPECT_NEAR(a.z, b.z, 1e-4f) << what;
}

} // namespace

TEST(ViewMatrices, TheCentreLooksFromTheEyeAndTheSideEyesSitAcrossTheViewDirection)
{
    // The program's fixed camera: no up vector, so no side direction either.
    view_matrices fixed;
    ASSERT_TRUE(set_view_matrices({0, 0, -465}, {0, 0, 0}, {0, 0, 0}, 1.1f, fixed));
    const matrix4 moved_back = matrix_translation(0, 0, 465);
    for (const matrix4* view : {&fixed.centre, &fixed.left, &fixed.right})
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                EXPECT_FLOAT_EQ(view->m[i][j], moved_back.m[i][j]) << i << j;

    // Looking along (3, 4, 0) with z up: the side direction is (4, -3, 0) / 5.
    const vec3 eye{1, 2, 3}, target{4, 6, 3};
    view_matrices v;
    ASSERT_TRUE(set_view_matrices(eye, target, {0, 0, 1}, 2.0f, v));
    expect_near(seen(v.centre, eye), {0, 0, 0}, "eye");
    expect_near(seen(v.centre, target), {0, 0, 5}, "target");
    expect_near(seen(v.centre, {1, 2, 4}), {0, 1, 0}, "up");
    const vec3 left_eye{2.6f, 0.8f, 3}, right_eye{-0.6f, 3.2f, 3};
    expect_near(seen(v.left, left_eye), {0, 0, 0}, "left eye");
    expect_near(seen(v.right, right_eye), {0, 0, 0}, "right eye");
    const float span = std::sqrt(29.0f);  // from either side eye to the target
    expect_near(seen(v.left, target), {0, 0, span}, "left view of the target");
    expect_near(seen(v.right, target), {0, 0, span}, "right view of the target");

    view_matrices unchanged = fixed;
    EXPECT_FALSE(set_view_matrices(eye, eye, {0, 0, 1}, 2.0f, unchanged));
    EXPECT_EQ(std::memcmp(&unchanged, &fixed, sizeof fixed), 0);
}

TEST(Planes, ThreePointsGiveTheUnitNormalOfTheirOrderAndTheDistance)
{
    float plane[4];
    plane_from_points(plane, {0, 0, 5}, {1, 0, 5}, {0, 1, 5});
    EXPECT_EQ(plane[0], 0.0f);
    EXPECT_EQ(plane[1], 0.0f);
    EXPECT_EQ(plane[2], -1.0f);
    EXPECT_EQ(plane[3], 5.0f);

    // A slanted plane: every point of it gives n . p + d = 0, and n has unit length.
    const vec3 p1{2, 0, 0}, p2{0, 4, 0}, p3{0, 0, 6};
    plane_from_points(plane, p1, p2, p3);
    const vec3 n{plane[0], plane[1], plane[2]};
    EXPECT_NEAR(vec3_length(n), 1.0f, 1e-6f);
    for (vec3 p : {p1, p2, p3, vec3{1, 2, 0}})
        EXPECT_NEAR(vec3_dot(n, p) + plane[3], 0.0f, 1e-5f);
    EXPECT_LT(plane[0], 0.0f);  // (p3 - p2) x (p3 - p1) points towards the origin here
    EXPECT_GT(plane[3], 0.0f);
}
