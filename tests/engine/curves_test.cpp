#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/curves.h"
#include "tests/engine/overlay_test_support.h"

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

namespace {

class curve_drawing : public overlay_test {};

} // namespace

TEST_F(curve_drawing, EachCallDrawsRedSegmentsOnFromThePointTheLastOneLeft)
{
    g_camera_x = 10.0f;
    g_camera_y = 20.0f;
    g_zoom = 2.0f;  // world (x, y) is pixel ((x - 10) × 2, (y - 20) × 2)
    curve c{};
    curve_init(&c, 10.0f, 20.0f, 10.0f, 120.0f, 110.0f, 120.0f, 110.0f, 20.0f);
    draw_curve(&c);

    auto drawn = lines();
    ASSERT_EQ(drawn.size(), 201u);  // draw_t 0, 0.005, ... while below 1 in single precision
    for (const recorded_draw& d : dev.draws())
        EXPECT_EQ(d.texture, nullptr);
    // The first segment has no length: it joins p0 to B(0).
    expect_pixel(drawn[0].from, 0, 0);
    expect_pixel(drawn[0].to, 0, 0);
    for (size_t i = 1; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        expect_colour(drawn[i].colour, 1, 0, 0, 1);
        expect_pixel(drawn[i].from, drawn[i - 1].to.x, drawn[i - 1].to.y, 0.01f);
    }
    expect_pixel(drawn[100].to, 100, 150);  // B(0.5) = (60, 95)
    expect_pixel(drawn[200].to, 200, 0, 2.0f);

    // The next call begins where this one ended.
    dev.clear_recording();
    draw_curve(&c);
    drawn = lines();
    ASSERT_EQ(drawn.size(), 201u);
    expect_pixel(drawn[0].from, 200, 0, 2.0f);
    expect_pixel(drawn[0].to, 0, 0);
}
