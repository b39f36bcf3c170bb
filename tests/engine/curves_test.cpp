#include "engine/curves.h"
#include "shell/frame_timing.h"
#include "shell/shell_state.h"

#include <gtest/gtest.h>

namespace {

class curves : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_curve_count = 0;
        g_curve_next_tick = 0;
        g_ticks = 0;
        g_camera_x = 100.0f;
        g_camera_y = 50.0f;
        g_screen_height = 768;
    }
};

void expect_point(curve_point p, float x, float y)
{
    EXPECT_FLOAT_EQ(p.x, x);
    EXPECT_FLOAT_EQ(p.y, y);
}

} // namespace

TEST_F(curves, StartAtTheLowerPointAndBowTowardTheViewsLeftEdge)
{
    int16_t level = create_curve(10.0f, 300.0f, 500.0f, 300.0f);  // a tie starts at the second point
    ASSERT_EQ(level, 0);
    const curve& a = g_curves[level];
    expect_point(a.p0, 500.0f, 300.0f);
    expect_point(a.p1, 100.0f, 50.0f);
    expect_point(a.p2, 100.0f, 818.0f);
    expect_point(a.p3, 10.0f, 300.0f);

    int16_t falling = create_curve(10.0f, 400.0f, 500.0f, 300.0f);
    const curve& b = g_curves[falling];
    expect_point(b.p0, 10.0f, 400.0f);
    expect_point(b.p1, 100.0f, 818.0f);
    expect_point(b.p2, 100.0f, 50.0f);
    expect_point(b.p3, 500.0f, 300.0f);

    EXPECT_EQ(b.active, 1);
    EXPECT_EQ(b.progress, 0.0f);
    EXPECT_FLOAT_EQ(curve_x(&b), 10.0f);
    EXPECT_FLOAT_EQ(curve_y(&b), 400.0f);
}

TEST_F(curves, TheCurveRunsThroughItsEndsAndHalfway)
{
    curve c{};
    curve_init(&c, 0.0f, 0.0f, 0.0f, 100.0f, 100.0f, 100.0f, 100.0f, 0.0f);
    c.progress = 0.5f;
    EXPECT_FLOAT_EQ(curve_x(&c), 50.0f);
    EXPECT_FLOAT_EQ(curve_y(&c), 75.0f);
    c.progress = 1.0f;
    EXPECT_NEAR(curve_x(&c), 100.0f, 1e-4);
    EXPECT_NEAR(curve_y(&c), 0.0f, 1e-4);

    // Drawing starts from the point the last call left: p0 after curve_init.
    expect_point(c.current, 0.0f, 0.0f);
    draw_curve(&c);
    EXPECT_GE(c.draw_t, 1.0f);
    EXPECT_NEAR(c.current.x, 100.0f, 0.5f);
    EXPECT_LT(c.previous.x, c.current.x);
}

TEST_F(curves, AdvanceAtMostEveryFourTicksAndStopAtTheEnd)
{
    int16_t slot = create_curve(0.0f, 0.0f, 10.0f, 10.0f);
    curve& c = g_curves[slot];

    update_curves();  // tick 0 is not above the stored tick 0
    EXPECT_EQ(c.progress, 0.0f);
    g_ticks = 1;
    update_curves();
    EXPECT_FLOAT_EQ(c.progress, 0.005f);
    for (g_ticks = 2; g_ticks <= 4; ++g_ticks)
        update_curves();
    EXPECT_FLOAT_EQ(c.progress, 0.005f);
    g_ticks = 5;
    update_curves();
    EXPECT_FLOAT_EQ(c.progress, 0.010f);

    int steps = 2;
    while (c.active && steps < 400) {
        advance_curve(&c);
        ++steps;
    }
    EXPECT_NEAR(steps, 200, 1);
    EXPECT_EQ(c.progress, 1.0f);
    advance_curve(&c);  // an inactive curve stays as it is
    EXPECT_EQ(c.progress, 1.0f);
    EXPECT_EQ(c.active, 0);
}

TEST_F(curves, TheLastFreeSlotIsReusedAndAFullTableRefuses)
{
    for (int i = 0; i < 4; ++i)
        create_curve(0.0f, 0.0f, 1.0f, 1.0f);
    g_curves[1].active = 0;
    g_curves[2].active = 0;
    EXPECT_EQ(create_curve(0.0f, 0.0f, 1.0f, 1.0f), 2);
    EXPECT_EQ(create_curve(0.0f, 0.0f, 1.0f, 1.0f), 1);
    EXPECT_EQ(g_curve_count, 4);

    while (g_curve_count < k_curve_slots)
        create_curve(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(create_curve(0.0f, 0.0f, 1.0f, 1.0f), -1);
    EXPECT_EQ(g_curve_count, k_curve_slots);
}
