#include "interface/slide_fixture.h"

#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/textures.h"
#include "interface/front_end.h"
#include "interface/overlay_screens.h"
#include "level/level_change.h"
#include "platform/clock.h"
#include "support/saved_globals.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <array>
#include <cstring>
#include <filesystem>

// from interface/credits.h
struct credits_state {
    int16_t group;
    int16_t previous_group;
    int16_t phase;
    float alpha;
    uint32_t due_tick;
    uint32_t active;
};
extern credits_state g_credits;

namespace {

// The front end's passes on the manual clock, one tick apart, with the shell's pass faked: the
// application is active, the input is what the test sets, the fades are recorded.
class front_end_test : public slide_test {
protected:
    void SetUp() override
    {
        slide_test::SetUp();
        kept_.keep(g_splash), kept_.keep(g_splash_slot), kept_.keep(g_no_game_running), kept_.keep(g_game_clock);
        kept_.keep(g_start_time), kept_.keep(g_now_ms), kept_.keep(g_elapsed_ms), kept_.keep(g_fps);
        kept_.keep(g_fps_frame_count), kept_.keep(g_fps_mark), kept_.keep(g_credits), kept_.keep(g_camera_x);
        kept_.keep(g_camera_y), kept_.keep(g_mouse_screen_x), kept_.keep(g_mouse_screen_y), kept_.keep(g_dream_world);
        kept_.keep(g_app_active), kept_.keep(g_mouse_right), kept_.keep(g_mouse_middle);
        clock_use_manual(true);
        clock_set_manual(1000);
        stamp_start_time();
        g_interface_links.modal_pass_begin = [] { return true; };
        g_interface_links.poll_input = [] {};
        g_interface_links.toggle_console_on_key = [](uint32_t*) {};
        g_interface_links.fade_to_black = [] { calls().push_back("fade_to_black"); };
        g_interface_links.fade_from_black = [] { calls().push_back("fade_from_black"); };
        g_splash = {};
        g_splash_slot = -1;
        g_no_game_running = 1;
        g_credits.active = 0;
        g_interface.menu_open = 1;
        g_interface.overlay_screen = k_page_menu;
        reset_overlay_fades();
    }

    void TearDown() override
    {
        g_mouse_left = 0;
        clock_use_manual(false);
        reset_overlay_fades();
        kept_.restore();
        slide_test::TearDown();
    }

    // One pass, one tick after the last.
    static void pass()
    {
        clock_advance_manual(16);
        front_end_pass();
    }

    // The left button held at screen pixel (x, y) over the given overlay screen, then the clicks
    // tested; the hooks they called.
    static std::vector<std::string> press_at(float x, float y, uint8_t screen)
    {
        calls().clear();
        g_interface.overlay_screen = screen;
        g_mouse_screen_x = x;
        g_mouse_screen_y = y;
        g_mouse_left = 1;
        handle_main_menu_clicks();
        g_mouse_left = 0;
        g_credits.active = 0;
        return calls();
    }

    saved_globals kept_;
};

struct splash_record {
    int steps = 0;
    int first_pass = 0;
    int shortest_gap = 1000;
    int last_pass = 0;
};

TEST_F(front_end_test, SplashCardsFadeAndHoldOnTheirTicksWithOrWithoutPicturesThenTheIntroPlays)
{
    for (bool cards : {true, false}) {
        SCOPED_TRACE(cards ? "with cards" : "without cards");
        g_splash = {};
        if (cards) {
            write_tile(k_splash_first_card, 0xFF204060);
            write_tile(k_splash_second_card, 0xFF604020);
        } else {
            std::filesystem::remove(k_splash_first_card);
            std::filesystem::remove(k_splash_second_card);
        }
        g_intro_slides.active = 1;
        g_intro_slides.state = k_slide_fade_in;  // waits for the splash

        std::array<splash_record, 8> phases{};
        std::string first_name, second_name;
        bool first_drawn = false, second_drawn = false;
        int passes = 0;
        while (g_splash.state != k_splash_done && passes < 2000) {
            ++passes;
            const splash_state before = g_splash;
            pass();
            if (before.state == k_splash_load) {
                ASSERT_GE(g_splash_slot, 0);
                first_name = g_textures[g_splash_slot].name;
                first_drawn = g_textures[g_splash_slot].surface != nullptr;
            }
            if (before.state == k_splash_fade_out_first && g_splash.state == k_splash_fade_in_second) {
                ASSERT_GE(g_splash_slot, 0);
                second_name = g_textures[g_splash_slot].name;
                second_drawn = g_textures[g_splash_slot].surface != nullptr;
            }
            if (before.alpha == g_splash.alpha && before.hold_count == g_splash.hold_count)
                continue;
            splash_record& r = phases[before.state];
            if (r.steps == 0)
                r.first_pass = passes;
            else
                r.shortest_gap = std::min(r.shortest_gap, passes - r.last_pass);
            r.last_pass = passes;
            ++r.steps;
        }
        EXPECT_EQ(first_name, k_splash_first_card);
        EXPECT_EQ(second_name, k_splash_second_card);
        EXPECT_EQ(first_drawn, cards);
        EXPECT_EQ(second_drawn, cards);
        EXPECT_EQ(g_splash_slot, -1);  // given back

        EXPECT_EQ(phases[k_splash_fade_in_first].first_pass, 2);
        for (uint8_t fade : {k_splash_fade_in_first, k_splash_fade_out_first, k_splash_fade_in_second,
                             k_splash_fade_out_second}) {
            EXPECT_EQ(phases[fade].steps, 20) << int(fade);
            EXPECT_EQ(phases[fade].shortest_gap, 3) << int(fade);
        }
        for (uint8_t hold : {k_splash_hold_first, k_splash_hold_second}) {
            EXPECT_EQ(phases[hold].steps, 100) << int(hold);
            EXPECT_EQ(phases[hold].shortest_gap, 2) << int(hold);
        }
        EXPECT_EQ(passes, 639);  // 1 + 4 fades of 20 steps and 2 holds of 100, as spaced above
        EXPECT_FLOAT_EQ(g_menu_alpha, 0.0f);  // no menu under the splash
        EXPECT_EQ(g_intro_slides.state, uint32_t(k_slide_fade_in));

        for (int i = 0; i < 12; ++i)
            pass();
        EXPECT_GT(g_intro_slides.alpha, 0.0f);  // the intro has begun
        g_intro_slides = {};
    }
}

TEST_F(front_end_test, AfterANewGameTheMenuAndItsClicksAreLiveAtOnceWithoutSplashOrIntro)
{
    g_splash.state = k_splash_done;  // the splash ran in this run; the intro never did
    g_mouse_screen_x = 507.0f;       // the credits button, left held
    g_mouse_screen_y = 636.0f;
    g_mouse_left = 1;
    pass();
    EXPECT_GT(g_menu_alpha, 0.0f);
    EXPECT_EQ(g_splash_slot, -1);
    EXPECT_EQ(g_intro_slides.active, 0u);
    EXPECT_EQ(calls(), (std::vector<std::string>{"fade_to_black", "fade_from_black", "wait:up:0"}));
    EXPECT_EQ(g_credits.active, 1u);
    EXPECT_FLOAT_EQ(g_camera_x, -630.0f);
    EXPECT_FLOAT_EQ(g_camera_y, -1599.0f);
    EXPECT_EQ(g_mouse_left, 0u);
}

TEST_F(front_end_test, MenuClicksActOnlyStrictlyInsideTheirBoxesOverTheirOwnScreen)
{
    const std::vector<std::string> none;
    // The new-hero page's Start: x 754 to 850, y 610 to 634 at 1024 x 768, bounds excluded.
    for (auto [x, y] : {std::pair{754.0f, 620.0f}, {850.0f, 620.0f}, {800.0f, 610.0f}, {800.0f, 634.0f}})
        EXPECT_EQ(press_at(x, y, k_page_new_hero), none) << x << "," << y;
    // The credits button: x 379 to 635, y 618 to 653.
    for (auto [x, y] : {std::pair{379.0f, 630.0f}, {635.0f, 630.0f}, {500.0f, 618.0f}, {500.0f, 653.0f}})
        EXPECT_EQ(press_at(x, y, k_page_menu), none) << x << "," << y;
    EXPECT_EQ(press_at(379.5f, 618.5f, k_page_menu).size(), 3u);
    EXPECT_EQ(press_at(634.5f, 652.5f, k_page_menu).size(), 3u);

    // Over any other screen, or with the button up, neither acts.
    for (uint8_t screen : {0, 2, 3, 5})
        EXPECT_EQ(press_at(500.0f, 630.0f, screen), none) << int(screen);
    for (uint8_t screen : {0, 1, 2, 3})
        EXPECT_EQ(press_at(800.0f, 620.0f, screen), none) << int(screen);
    g_interface.overlay_screen = k_page_menu;
    g_mouse_screen_x = 500.0f;
    g_mouse_screen_y = 630.0f;
    handle_main_menu_clicks();
    EXPECT_EQ(g_credits.active, 0u);
}

TEST_F(front_end_test, StartKeepsANameWithoutCursorAndTheMouseOfAHeroWithoutWorldObject)
{
    kept_.keep(g_chars[0]), kept_.keep(g_char_count), kept_.keep(g_player_char), kept_.keep(g_mouse_x);
    kept_.keep(g_mouse_y), kept_.keep(g_current_level);
    // What the level change touches when the level's file is missing.
    kept_.keep(g_work_mode), kept_.keep(g_clear_colour), kept_.keep(g_brush_preview), kept_.keep(g_message_log);
    kept_.keep(g_rain), kept_.keep(g_snow), kept_.keep(g_fog), kept_.keep(g_map_path);
    g_char_count = 1;
    g_player_char = 0;
    g_chars[0].object = -1;
    std::strcpy(g_chars[0].display_name, "Ada");
    g_mouse_x = 123.0f;
    g_mouse_y = 45.0f;
    EXPECT_EQ(press_at(800.0f, 620.0f, k_page_new_hero),
              (std::vector<std::string>{"fade_to_black", "fade_from_black"}));
    EXPECT_EQ(g_no_game_running, 0u);
    EXPECT_STREQ(g_chars[0].display_name, "Ada");
    EXPECT_FLOAT_EQ(g_mouse_x, 123.0f);
    EXPECT_FLOAT_EQ(g_mouse_y, 45.0f);
    EXPECT_EQ(g_interface.overlay_screen, 0u);
}

} // namespace
