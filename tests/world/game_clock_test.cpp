#include "core/frame_timing.h"
#include "editor/editor_state.h"
#include "interface/interface_state.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "world/daylight_guard.h"
#include "world/game_clock.h"
#include "world/scene_header.h"

#include <gtest/gtest.h>

namespace {

class clock_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_game_clock = {};
        init_game_clock(&g_game_clock);
        reset_scene_header(&g_scene_header);
        g_work_mode = k_work_play;
        g_ticks = 0;
        g_text_viewer_open = 0;
        g_interface.menu_open = 0;
        g_ambient_color = {1, 1, 1};
        g_d3d_device = &device;
    }
    void TearDown() override { g_d3d_device = nullptr; }

    void set_time(uint8_t hour, uint8_t minute, uint32_t day = 1)
    {
        g_game_clock.hour = hour;
        g_game_clock.minute = minute;
        g_game_clock.day = day;
    }

    // Advances the clock one tick at a time for the given number of ticks.
    void run_ticks(int ticks)
    {
        for (int i = 0; i < ticks; ++i) {
            ++g_ticks;
            advance_game_clock(&g_game_clock);
        }
    }

    void expect_colour(float red_green, float blue)
    {
        EXPECT_NEAR(g_ambient_color.red, red_green, 1e-5);
        EXPECT_NEAR(g_ambient_color.green, red_green, 1e-5);
        EXPECT_NEAR(g_ambient_color.blue, blue, 1e-5);
    }

    recording_device device{640, 480};
    daylight_guard daylight_;
};

} // namespace

TEST_F(clock_test, TheFirstMinutePassesAtOnceAndDuskComesFourHundredTicksLater)
{
    advance_game_clock(&g_game_clock);
    EXPECT_EQ(g_game_clock.minute, 56);
    EXPECT_EQ(g_game_clock.next_minute_tick, 100u);
    run_ticks(399);
    EXPECT_EQ(g_game_clock.hour, 17);
    EXPECT_EQ(g_game_clock.minute, 59);
    EXPECT_EQ(g_game_clock.dusk_ramp, 0u);
    run_ticks(1);
    EXPECT_EQ(g_game_clock.hour, 18);
    EXPECT_EQ(g_game_clock.minute, 0);
    EXPECT_EQ(g_game_clock.dusk_ramp, 1u);
    EXPECT_EQ(g_game_clock.light_phase, k_light_phase_night);
    expect_colour(1.0f, 1.0f);
    EXPECT_EQ(device.get_render_state(render_state::ambient), 0xFFFFFFFFu);

    // The ramp colour falls one step each game minute.
    run_ticks(100);
    EXPECT_EQ(g_game_clock.minute, 1);
    expect_colour(1.0f, 1.0f);  // the current colour takes the ramp before it steps
    EXPECT_NEAR(g_game_clock.ramp_red, 1.0f - 0.0069444445f, 1e-6);
    EXPECT_NEAR(g_game_clock.ramp_blue, 1.0f - 0.004166667f, 1e-6);
    run_ticks(1);
    expect_colour(1.0f - 0.0069444445f, 1.0f - 0.004166667f);
}

TEST_F(clock_test, MidnightStartsTheNextDay)
{
    set_time(23, 59, 4);
    advance_game_clock(&g_game_clock);
    EXPECT_EQ(g_game_clock.hour, 0);
    EXPECT_EQ(g_game_clock.minute, 0);
    EXPECT_EQ(g_game_clock.day, 5u);
    EXPECT_EQ(get_clock_minutes(&g_game_clock), 4u * 24 * 60);
}

TEST_F(clock_test, RestingAndWaitingSkipToMorningAndEvening)
{
    set_time(3, 30, 2);
    rest_until_morning(&g_game_clock);
    EXPECT_EQ(g_game_clock.hour, 11);
    EXPECT_EQ(g_game_clock.minute, 30);
    EXPECT_EQ(g_game_clock.day, 2u);
    set_time(7, 0, 2);
    rest_until_morning(&g_game_clock);
    EXPECT_EQ(g_game_clock.hour, 7);
    EXPECT_EQ(g_game_clock.day, 3u);

    set_time(20, 15, 2);
    wait_until_evening(&g_game_clock);
    EXPECT_EQ(g_game_clock.hour, 20);
    EXPECT_EQ(g_game_clock.minute, 15);
    EXPECT_EQ(g_game_clock.day, 3u);
    set_time(9, 10, 2);
    wait_until_evening(&g_game_clock);
    EXPECT_EQ(g_game_clock.hour, 20);
    EXPECT_EQ(g_game_clock.day, 2u);
}

TEST_F(clock_test, TheColourBandsOfTheDay)
{
    struct band {
        uint8_t hour, minute;
        float red_green, blue;
        uint8_t phase;
    };
    const band bands[] = {{23, 0, 0.2f, 0.5f, 2}, {4, 59, 0.2f, 0.5f, 2}, {5, 30, 0.4f, 0.625f, 1},
                          {6, 59, 0.2f + 0.8f * 119 / 120, 0.5f + 119 / 240.0f, 1}, {7, 0, 1, 1, 1},
                          {17, 59, 1, 1, 1}, {19, 0, 0.6f, 0.75f, 2}, {18, 0, 1, 1, 2}};
    for (const band& b : bands) {
        set_time(b.hour, b.minute);
        EXPECT_NEAR(get_daylight_red(&g_game_clock), b.red_green, 1e-5) << int(b.hour) << ":" << int(b.minute);
        EXPECT_NEAR(get_daylight_green(&g_game_clock), b.red_green, 1e-5);
        EXPECT_NEAR(get_daylight_blue(&g_game_clock), b.blue, 1e-5);
        g_game_clock.dusk_ramp = g_game_clock.dawn_ramp = 0;
        apply_daylight(&g_game_clock);
        expect_colour(b.red_green, b.blue);
        EXPECT_EQ(g_game_clock.light_phase, b.phase) << int(b.hour) << ":" << int(b.minute);
    }
    // The dawn row is applied after the night row and switches its ramp on.
    set_time(5, 10);
    apply_daylight(&g_game_clock);
    EXPECT_EQ(g_game_clock.dawn_ramp, 1u);
    EXPECT_EQ(g_game_clock.ramp_minute, 10u);
    EXPECT_EQ(device.get_render_state(render_state::ambient), 0xFF44448Au);  // 0.2667, 0.5417

    g_scene_header.level_type = k_level_inside;
    g_scene_header.light_red = 0.1f;
    EXPECT_EQ(get_daylight_red(&g_game_clock), 0.1f);
}

TEST_F(clock_test, TheDawnRampRisesToFullLightAndStops)
{
    set_time(5, 0);
    advance_game_clock(&g_game_clock);  // 05:01: the ramp starts at that minute's colour
    EXPECT_EQ(g_game_clock.dawn_ramp, 1u);
    EXPECT_EQ(g_game_clock.light_phase, k_light_phase_day);
    run_ticks(100 * 130 + 1);
    EXPECT_EQ(g_game_clock.hour, 7);
    EXPECT_EQ(g_game_clock.dawn_ramp, 0u);
    // 118 steps from 05:01: red and green reach the cap, blue stops just short of it.
    EXPECT_EQ(g_game_clock.ramp_red, 1.0f);
    EXPECT_NEAR(g_game_clock.ramp_blue, 0.5f + 1 / 240.0f + 118 * 0.004166667f, 1e-5);
}

TEST_F(clock_test, InsideLevelsKeepTheirLightAndGuiLevelsStopTheClock)
{
    g_scene_header.level_type = k_level_inside;
    g_scene_header.light_red = 0.3f;
    g_scene_header.light_green = 0.4f;
    g_scene_header.light_blue = 0.5f;
    set_time(19, 0);
    run_ticks(1000);
    EXPECT_EQ(g_ambient_color.red, 0.3f);
    EXPECT_EQ(g_ambient_color.blue, 0.5f);
    EXPECT_EQ(g_game_clock.dusk_ramp, 0u);
    EXPECT_EQ(g_game_clock.minute, 10);

    g_scene_header.level_type = k_level_gui;
    run_ticks(1000);
    EXPECT_EQ(g_game_clock.minute, 10);

    g_scene_header.level_type = k_level_outside;
    for (uint32_t* stop : {&g_text_viewer_open, &g_interface.menu_open, &g_work_mode}) {
        uint32_t was = *stop;
        *stop = stop == &g_work_mode ? uint32_t(k_work_light) : 1u;
        run_ticks(1000);
        EXPECT_EQ(g_game_clock.minute, 10);
        *stop = was;
    }
    run_ticks(1);
    EXPECT_EQ(g_game_clock.minute, 11);
}
