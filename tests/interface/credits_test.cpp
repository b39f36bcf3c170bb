// The credits on the demo's credits level, driven pass by pass on the manual clock.
#include "interface/pass_script.h"
#include "shell/injected_input.h"
#include "shell/shell_fixture.h"

#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "interface/credits.h"
#include "interface/interface_state.h"
#include "level/level_change.h"
#include "platform/key_codes.h"
#include "shell/program.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

class credits_test : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        started_ = program_startup("zorv");
        ASSERT_TRUE(started_);
        // The window's first messages make the application active.
        while (pump_messages()) {
        }
        ASSERT_EQ(g_app_active, 1u);
    }
    void TearDown() override
    {
        program_shutdown(started_);
        shell_test::TearDown();
    }

    // What the front end does when the credits button is clicked, less the fades.
    static void open_credits()
    {
        change_level("credits.sav", 0, 0, 1);
        g_credits.active = 1;
        g_camera_x = -630.0f;
        g_camera_y = -1599.0f;
    }


    static void expect_title_menu()
    {
        EXPECT_STREQ(g_current_level, "start.sav");
        EXPECT_EQ(g_credits.active, 0u);
        EXPECT_EQ(g_credits_end_flag, 0u);
        EXPECT_EQ(g_no_game_running, 1u);
        EXPECT_EQ(g_work_mode, uint32_t(k_work_play));
        EXPECT_EQ(g_interface.overlay_screen, 1);
        EXPECT_EQ(g_interface.menu_open, 1u);
        EXPECT_FLOAT_EQ(g_camera_x, -2366.0f);
        EXPECT_FLOAT_EQ(g_camera_y, -414.0f);
        EXPECT_EQ(g_dream_world.active, 1u);
    }

    bool started_ = false;
};

// The loop's state in one line, for a loop that ran past its bound.
std::string describe_credits_pass()
{
    char line[256];
    std::snprintf(line, sizeof line, "after 3000 passes: ticks %u, clock %u, due %u, group %d over %d, phase %d, alpha %.2f, active %u, focus %u",
                  g_ticks, g_now_ms, g_credits.due_tick, g_credits.group, g_credits.previous_group, g_credits.phase,
                  double(g_credits.alpha), g_app_active, g_input_focus);
    return line;
}

struct sample {
    uint32_t ticks, due;
    float alpha[3];  // entities 0, 1 and 2
    int16_t group;
};

// The passes in which a step was taken: the due tick moved.
std::vector<sample> steps_of(const std::vector<sample>& samples)
{
    std::vector<sample> steps;
    for (size_t i = 1; i < samples.size(); ++i)
        if (samples[i].due != samples[i - 1].due)
            steps.push_back(samples[i]);
    return steps;
}

TEST_F(credits_test, GroupsCrossFadeInTurnPauseBetweenAndEscReturnsToTheMenu)
{
    open_credits();
    ASSERT_STREQ(g_current_level, "credits.sav");
    for (int32_t entity = 0; entity < k_credits_groups; ++entity)
        ASSERT_FLOAT_EQ(entity_alpha(entity), 0.0f) << entity;
    std::vector<sample> samples;
    std::string stalled;  // what the loop showed when the bound ended it
    {
        pass_script script([&](int pass) {
            if (pass > 3000 && !g_credits_end_flag) {  // a fault ends the loop
                stalled = describe_credits_pass();
                g_credits_end_flag = 1;
            }
            samples.push_back({g_ticks, g_credits.due_tick, {entity_alpha(0), entity_alpha(1), entity_alpha(2)}, g_credits.group});
            if (g_credits.group == 2 && g_credits.phase == 0)
                inject_key(k_key_escape, true);
        });
        run_credits();
    }
    EXPECT_EQ(stalled, "") << "the credits did not return to the menu on Esc after the second fade";
    expect_title_menu();

    // Two fades of 21 steps each, the last of each starting the 500-tick pause.
    const std::vector<sample> steps = steps_of(samples);
    ASSERT_EQ(steps.size(), 42u);
    for (size_t i = 0; i < steps.size(); ++i) {
        const bool completes = i == 20 || i == 41;
        EXPECT_EQ(steps[i].due - steps[i].ticks, completes ? 500u : 4u) << i;
        if (i > 0) {
            EXPECT_GE(steps[i].ticks - steps[i - 1].ticks, 5u) << i;
        }
    }
    EXPECT_GT(steps[21].ticks - steps[20].ticks, 500u);
    // Group 0 fades in alone; then group 1 takes over from it, alpha for alpha.
    for (size_t i = 0; i < 21; ++i) {
        EXPECT_FLOAT_EQ(steps[i].alpha[1], 0.0f) << i;
        EXPECT_NEAR(steps[i].alpha[0], i < 20 ? 0.05f * float(i) : 1.0f, 1e-5f) << i;
    }
    for (size_t i = 21; i < 42; ++i) {
        EXPECT_NEAR(steps[i].alpha[0] + steps[i].alpha[1], 1.0f, 1e-5f) << i;
        EXPECT_FLOAT_EQ(steps[i].alpha[2], 0.0f) << i;
    }
    EXPECT_FLOAT_EQ(steps[41].alpha[0], 0.0f);
    EXPECT_FLOAT_EQ(steps[41].alpha[1], 1.0f);

    // The next showing goes on with group 2 over group 1 on the fresh level; a click returns.
    inject_key(k_key_escape, false);
    open_credits();
    EXPECT_EQ(g_credits.group, 2);
    EXPECT_EQ(g_credits.previous_group, 1);
    int first_step_pass = -1;
    {
        pass_script click([&](int pass) {
            if (pass > 3000 && !g_credits_end_flag) {
                stalled = describe_credits_pass();
                g_credits_end_flag = 1;
            }
            if (first_step_pass < 0 && entity_alpha(1) == 1.0f) {
                first_step_pass = pass;
                EXPECT_FLOAT_EQ(entity_alpha(2), 0.0f);
                EXPECT_FLOAT_EQ(entity_alpha(0), 0.0f);
                inject_pointer(512.0f, 384.0f);
                inject_left_button(true);
            }
        });
        run_credits();
    }
    EXPECT_GT(first_step_pass, 0);
    EXPECT_EQ(stalled, "") << "the credits did not return to the menu on a click";
    expect_title_menu();

    // After entity 5 comes entity 0 again.
    g_credits = {5, 4, 1, 1.0f, 0, 1};
    g_mouse_left = 0;
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_ticks = 7000;
    update_credits();
    EXPECT_EQ(g_credits.group, 0);
    EXPECT_EQ(g_credits.previous_group, 5);
    EXPECT_EQ(g_credits.phase, 0);
    EXPECT_EQ(g_credits.due_tick, 7500u);
}

} // namespace
