#include "shell/shell_fixture.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "interface/front_end.h"
#include "interface/interface_links.h"
#include "interface/overlay_screens.h"
#include "interface/slide_shows.h"
#include "level/level_change.h"
#include "shell/program.h"
#include "shell/window.h"
#include "support/input_script.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <cstring>
#include <string>
#include <vector>

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

// What the new game had done when each fade began.
std::vector<std::string> g_fades_seen;
void (*g_real_fade_to_black)() = nullptr;
void (*g_real_fade_from_black)() = nullptr;

void note_fade(const char* fade)
{
    g_fades_seen.push_back(std::string(fade) + " " + g_current_level + " game " + (g_no_game_running ? "no" : "yes") +
                           " menu " + std::to_string(g_interface.menu_open) + " dream " +
                           std::to_string(g_dream_world.active) + " name \"" + g_chars[0].display_name + "\"");
}

bool hero_at_entry_0()
{
    const world_object* object = world_object_of(g_chars[0]);
    return object && object->x == g_scene_header.entry_x[0] && object->y == g_scene_header.entry_y[0];
}

class front_end_demo_test : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        kept_.keep(g_splash), kept_.keep(g_splash_slot), kept_.keep(g_credits), kept_.keep(g_intro_slides);
        reset_overlay_fades();
    }
    void TearDown() override
    {
        reset_overlay_fades();
        shell_test::TearDown();
        kept_.restore();
    }

    // Start-up at the title menu, with the window's activation handled.
    void start_at_menu()
    {
        ASSERT_TRUE(program_startup("zorv"));
        while (pump_messages()) {
        }
        ASSERT_EQ(g_app_active, 1u);
        ASSERT_STREQ(g_current_level, "start.sav");
        ASSERT_EQ(g_no_game_running, 1u);
    }

    void shut_down()
    {
        g_quit = 1;
        program_shutdown(true);
    }

    saved_globals kept_;
};

TEST_F(front_end_demo_test, StartEntersTheGateBehindTheFadesInOrderAndALoneCursorBecomesTheEmptyName)
{
    start_at_menu();
    std::strcpy(g_chars[0].display_name, "_");
    g_fades_seen.clear();
    g_real_fade_to_black = g_interface_links.fade_to_black;
    g_real_fade_from_black = g_interface_links.fade_from_black;
    g_interface_links.fade_to_black = [] {
        note_fade("to black");
        g_real_fade_to_black();
    };
    g_interface_links.fade_from_black = [] {
        note_fade("from black");
        EXPECT_TRUE(hero_at_entry_0());
        g_real_fade_from_black();
    };
    g_interface.overlay_screen = k_page_new_hero;
    g_interface.side_panel_open = g_interface.quest_log_open = g_interface.attunement_panel_open = 1;
    g_mouse_screen_x = 755.0f;  // just inside Start's corner
    g_mouse_screen_y = 611.0f;
    g_mouse_left = g_mouse_right = 1;
    handle_main_menu_clicks();

    EXPECT_EQ(g_fades_seen, (std::vector<std::string>{"to black start.sav game no menu 0 dream 0 name \"\"",
                                                      "from black brana.sav game yes menu 0 dream 0 name \"\""}));
    EXPECT_EQ(g_player_char, 0u);
    const world_object* hero = world_object_of(g_chars[0]);
    ASSERT_NE(hero, nullptr);
    EXPECT_FLOAT_EQ(g_mouse_x, hero->x);
    EXPECT_FLOAT_EQ(g_mouse_y, hero->y);
    EXPECT_EQ(g_mouse_left + g_mouse_right + g_mouse_middle, 0u);
    EXPECT_EQ(g_interface.overlay_screen, 0u);
    EXPECT_EQ(g_interface.menu_open + g_interface.side_panel_open + g_interface.character_panel_open +
                  g_interface.quest_log_open + g_interface.attunement_panel_open,
              0u);
    shut_down();
}

TEST_F(front_end_demo_test, TheCreditsButtonWaitsForItsReleaseOrForTheCursorToLeave)
{
    start_at_menu();
    for (bool leave : {false, true}) {
        SCOPED_TRACE(leave ? "cursor leaves" : "button released");
        g_credits.active = 0;
        g_interface.overlay_screen = k_page_menu;
        inject_left_at(500, 630, true);
        pump_messages();
        poll_input();
        ASSERT_EQ(g_mouse_left, 1u);

        // The player lets go only a few passes after the credits are up.
        int waited = 0, let_go_at = -1;
        input_script script([&](uint32_t pass) {
            if (!g_credits.active)
                return;
            if (++waited == 3) {
                let_go_at = int(pass);
                if (leave)
                    input_inject({input_event_kind::mouse_leave});
                else
                    inject_left_at(500, 630, false);
            } else if (waited == 100) {  // a wait that misses the release ends with the window
                input_inject({input_event_kind::close});
            }
        });
        handle_main_menu_clicks();
        EXPECT_GE(let_go_at, 0);  // the wait lasted until then
        ASSERT_EQ(g_quit_all, 0u);
        EXPECT_EQ(g_credits.active, 1u);
        EXPECT_EQ(g_mouse_left, 0u);
        EXPECT_FLOAT_EQ(g_camera_x, -630.0f);
        EXPECT_FLOAT_EQ(g_camera_y, -1599.0f);
    }
    inject_left_at(500, 630, false);
    pump_messages();
    g_credits.active = 0;
    shut_down();
}

TEST_F(front_end_demo_test, AHeadlessRunPassesSplashAndIntroToTheMenuAndStartsANewGameAtTheGate)
{
    g_front_end = run_front_end;
    bool menu_reached = false, intro_played = false;
    input_script script([&](uint32_t pass) {
        if (pass > 20000) {  // a run that never reaches the game ends here
            input_inject({input_event_kind::close});
            return;
        }
        if (g_splash.state != k_splash_done)
            return;
        if (g_intro_slides.active && g_intro_slides.state != k_slide_fade_out) {
            intro_played = true;
            inject_left_at(10, 10, pass % 2 == 0);  // click by click, the intro is skipped
        } else if (!g_intro_slides.active && g_interface.overlay_screen == k_page_menu) {
            menu_reached = true;
            inject_left_at(512, 498, true);  // the menu's first button opens the new-hero page
        } else if (g_interface.overlay_screen == k_page_new_hero) {
            inject_left_at(802, 622, true);  // Start
        }
    });
    ASSERT_TRUE(program_startup("zorv"));
    EXPECT_TRUE(intro_played);
    EXPECT_TRUE(menu_reached);
    EXPECT_EQ(g_quit_all, 0u);
    EXPECT_EQ(g_no_game_running, 0u);
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_TRUE(hero_at_entry_0());
    EXPECT_STREQ(g_chars[0].display_name, "Traveller");
    inject_left_at(802, 622, false);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_interface.overlay_screen, 0u);
    shut_down();
}

} // namespace
