#include "core/frame_timing.h"
#include "core/globals.h"
#include "interface/interface_state.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/fades.h"
#include "shell/program.h"
#include "shell/window.h"
#include "support/saved_globals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class frame_timing : public ::testing::Test {
protected:
    void SetUp() override
    {
        // What a closed window sets besides the quit flags.
        kept_.keep(g_ending_end_flag), kept_.keep(g_credits_end_flag), kept_.keep(g_travel_map_running);
        kept_.keep(g_no_game_running), kept_.keep(g_game_finished);
        clock_use_manual(true);
        clock_set_manual(50000);
        clock_set_manual_step(0);
        stamp_start_time();
        g_fps = 90;
        g_fps_frame_count = 0;
        g_fps_mark = 0;
        g_quit_all = 0;
        g_app_active = 1;
        input_reset();
    }
    void TearDown() override
    {
        g_shell_trace = nullptr;
        release_device_context();
        clock_set_manual_step(0);
        clock_use_manual(false);
        input_reset();
        g_quit_all = 0;
        g_quit = 0;
        g_skip_exit_fade = 0;
        kept_.restore();
    }

    saved_globals kept_;

    // Runs a fade at a frame rate given by the milliseconds of one pass; returns its passes.
    int fade(void (*run)(), uint32_t frame_ms)
    {
        std::vector<std::string> trace;
        g_shell_trace = &trace;
        clock_set_manual_step(frame_ms);
        run();
        clock_set_manual_step(0);
        g_shell_trace = nullptr;
        return int(std::count(trace.begin(), trace.end(), "fade_step"));
    }
};

TEST_F(frame_timing, TicksCountWhole16MsPeriodsSinceTheStart)
{
    clock_set_manual(50000 + 15);
    update_frame_timing();
    EXPECT_EQ(g_elapsed_ms, 15u);
    EXPECT_EQ(g_ticks, 0u);
    clock_set_manual(50000 + 17);
    update_frame_timing();
    EXPECT_EQ(g_ticks, 1u);
    clock_set_manual(50000 + 1000);
    update_frame_timing();
    EXPECT_EQ(g_ticks, 62u);

    // The system counter's wrap carries through.
    clock_set_manual(0xFFFFFFF0u);
    stamp_start_time();
    clock_set_manual(0x20u);
    update_frame_timing();
    EXPECT_EQ(g_elapsed_ms, 0x30u);
    EXPECT_EQ(g_ticks, 3u);
}

TEST_F(frame_timing, TheFrameRateIsEstimatedEveryTenFrames)
{
    for (int i = 1; i <= 10; ++i) {
        clock_set_manual(50000 + 10 * uint32_t(i));
        update_frame_timing();
        if (i < 10) {
            EXPECT_EQ(g_fps, 90u);
        }
    }
    EXPECT_EQ(g_fps, 100u);  // ten frames in 100 ms
    for (int i = 1; i <= 10; ++i) {
        clock_set_manual(50100 + 2000 * uint32_t(i));
        update_frame_timing();
    }
    EXPECT_EQ(g_fps, 1u);  // ten frames in 20 s: 0, raised to 1
}

TEST_F(frame_timing, AFadeTakesTwentyStepsAtMostOneEveryTwoTicks)
{
    fade_state f = {0.0f, 0.05f, 0};
    int steps = 0;
    uint32_t tick = 1;
    for (bool done = false; !done; ++tick) {
        float before = f.opacity;
        done = fade_advance(&f, tick);
        if (f.opacity != before) {
            ++steps;
            EXPECT_EQ(tick % 2, 1u);
            fade_advance(&f, tick);  // never twice in one pass
            EXPECT_EQ(f.opacity, before + 0.05f);
        }
    }
    EXPECT_EQ(steps, 20);
    EXPECT_EQ(tick - 1, 39u);
    EXPECT_GE(f.opacity, 1.0f);

    // At 200 frames per second the fade-out takes about 0.6 s.
    int passes = fade(fade_to_black, 5);
    EXPECT_GE(g_elapsed_ms, 608u);
    EXPECT_LT(g_elapsed_ms, 700u);
    EXPECT_GT(passes, 100);

    // At 10 frames per second it takes 20 frames, about 2 s.
    stamp_start_time();
    clock_advance_manual(1000);
    update_frame_timing();
    uint32_t start = g_elapsed_ms;
    EXPECT_EQ(fade(fade_from_black, 100), 20);
    EXPECT_GE(g_elapsed_ms - start, 1900u);
}

TEST_F(frame_timing, EachPassOfAFadeIsOnePresentedScene)
{
    render_use_recording(true);
    g_screen_width = 1024;
    g_screen_height = 768;
    ASSERT_EQ(create_device_context(), 1);
    init_render_states();
    render_use_recording(false);
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);
    g_clear_colour = 0xFF102030;
    int passes = fade(fade_from_black, 40);
    g_clear_colour = 0xFF000000;

    int scenes = 0, presents = 0, clears = 0;
    for (const recorded_call& call : device->calls()) {
        scenes += call.kind == device_call::begin_scene;
        presents += call.kind == device_call::present;
        clears += call.kind == device_call::clear && call.value == 0xFF102030 && call.what == (k_clear_target | k_clear_depth);
    }
    EXPECT_EQ(scenes, passes);
    EXPECT_EQ(presents, passes);
    EXPECT_EQ(clears, passes);

    // Each pass covers the screen with the black rectangle, fading out step by step.
    ASSERT_EQ(device->draws().size(), size_t(passes));
    float last_alpha = 2.0f;
    for (const recorded_draw& draw : device->draws()) {
        float x0, y0, z, x1, y1;
        ASSERT_TRUE(device->screen_position(draw, 0, x0, y0, z));
        ASSERT_TRUE(device->screen_position(draw, 2, x1, y1, z));
        EXPECT_NEAR(std::min(x0, x1), 0.0f, 3.0f);
        EXPECT_NEAR(std::max(y0, y1), 768.0f, 3.0f);
        EXPECT_LT(device->material_of(draw).diffuse.a, last_alpha);
        last_alpha = device->material_of(draw).diffuse.a;
    }
    EXPECT_NEAR(last_alpha, 0.0f, 1e-4f);
}

TEST_F(frame_timing, AFadeEndsWhenTheWindowIsClosed)
{
    input_inject({input_event_kind::close});
    EXPECT_EQ(fade(fade_to_black, 16), 0);
    EXPECT_EQ(g_quit_all, 1u);
}

TEST_F(frame_timing, AModalPassWaitsWhileInactive)
{
    g_app_active = 0;
    uint32_t before = clock_ms();
    EXPECT_FALSE(modal_pass_begin());
    EXPECT_GT(clock_ms(), before);  // it slept on the clock until a message might come

    input_inject({input_event_kind::focus_gained});
    before = clock_ms();
    EXPECT_TRUE(modal_pass_begin());
    EXPECT_EQ(clock_ms(), before);
    EXPECT_EQ(g_app_active, 1u);
}

} // namespace
