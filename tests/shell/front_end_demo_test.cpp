#include "shell/shell_fixture.h"

#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/textures.h"
#include "interface/front_end.h"
#include "interface/new_hero_screen.h"
#include "interface/credits.h"
#include "interface/interface_links.h"
#include "interface/overlay_screens.h"
#include "interface/slide_shows.h"
#include "items/items.h"
#include "level/level_change.h"
#include "platform/clock.h"
#include "platform/key_codes.h"
#include "shell/program.h"
#include "shell/window.h"
#include "support/input_script.h"
#include "tests/shell/injected_input.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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

    // One front-end pass, one tick after the last.
    static void pass()
    {
        clock_advance_manual(16);
        front_end_pass();
    }

    // The left button held at screen pixel (x, y) over an overlay screen, the clicks tested;
    // whether either acted.
    static bool press_at(float x, float y, uint8_t screen)
    {
        g_interface.overlay_screen = screen;
        g_mouse_screen_x = x;
        g_mouse_screen_y = y;
        g_mouse_left = 1;
        handle_main_menu_clicks();
        const bool acted = g_mouse_left == 0;
        g_mouse_left = 0;
        return acted;
    }

    saved_globals kept_;
};

TEST_F(front_end_demo_test, SplashCardsFadeAndHoldOnTheirTicksWithOrWithoutPicturesThenTheIntroPlays)
{
    start_at_menu();
    clock_set_manual_step(0);  // exactly one tick a pass
    for (bool cards : {true, false}) {
        SCOPED_TRACE(cards ? "with cards" : "without cards");
        if (!cards) {
            std::filesystem::remove(k_splash_first_card);
            std::filesystem::remove(k_splash_second_card);
        }
        g_splash = {};
        g_intro_slides.state = k_slide_fade_in;  // loaded at start-up; waits for the splash
        g_intro_slides.alpha = 0.0f;
        std::array<std::vector<int>, k_splash_done> steps;  // the passes with a step, by phase
        std::vector<std::string> cards_held;
        for (int n = 1; g_splash.state != k_splash_done && n < 2000; ++n) {
            const splash_state before = g_splash;
            pass();
            if (before.alpha != g_splash.alpha || before.hold_count != g_splash.hold_count)
                steps[before.state].push_back(n);
            if (g_splash_slot >= 0 && (cards_held.empty() || cards_held.back() != g_textures[g_splash_slot].name)) {
                cards_held.push_back(g_textures[g_splash_slot].name);
                EXPECT_EQ(g_textures[g_splash_slot].surface != nullptr, cards);
            }
        }
        EXPECT_EQ(cards_held, (std::vector<std::string>{k_splash_first_card, k_splash_second_card}));
        EXPECT_EQ(g_splash_slot, -1);  // given back
        EXPECT_EQ(steps[k_splash_fade_in_first].front(), 2);
        for (int phase = k_splash_fade_in_first; phase < k_splash_done; ++phase) {
            const bool hold = phase == k_splash_hold_first || phase == k_splash_hold_second;
            ASSERT_EQ(steps[phase].size(), hold ? 100u : 20u) << phase;
            for (size_t i = 1; i < steps[phase].size(); ++i)
                EXPECT_EQ(steps[phase][i] - steps[phase][i - 1], hold ? 2 : 3) << phase;
        }
        EXPECT_EQ(steps[k_splash_fade_out_second].back(), 639);  // the last pass of the splash
        EXPECT_FLOAT_EQ(g_menu_alpha, 0.0f);                      // no menu under the splash
        for (int i = 0; i < 12; ++i)
            pass();
        EXPECT_GT(g_intro_slides.alpha, 0.0f);  // the intro has begun
    }
    clock_set_manual_step(16);  // the closing fade runs on the moving clock
    shut_down();
}

TEST_F(front_end_demo_test, AfterANewGameTheMenuIsUpAtOnceAndItsClicksActOnlyInsideTheirBoxes)
{
    start_at_menu();
    g_splash.state = k_splash_done;  // the splash ran in this run; the intro never did
    g_intro_slides = {};
    pass();
    EXPECT_GT(g_menu_alpha, 0.0f);
    EXPECT_EQ(g_splash_slot, -1);
    EXPECT_EQ(g_intro_slides.active, 0u);

    // At 1024 x 768 Start is x 754 to 850, y 610 to 634 and the credits x 379 to 635, y 618 to
    // 653, bounds excluded; each acts only over its own overlay screen.
    for (auto [x, y] : {std::pair{754.0f, 620.0f}, {850.0f, 620.0f}, {800.0f, 610.0f}, {800.0f, 634.0f}})
        EXPECT_FALSE(press_at(x, y, k_page_new_hero)) << x << "," << y;
    for (auto [x, y] : {std::pair{379.0f, 630.0f}, {635.0f, 630.0f}, {500.0f, 618.0f}, {500.0f, 653.0f}})
        EXPECT_FALSE(press_at(x, y, k_page_menu)) << x << "," << y;
    for (uint8_t screen : {0, 2, 3, 5})
        EXPECT_FALSE(press_at(500.0f, 630.0f, screen)) << int(screen);
    for (uint8_t screen : {0, 1, 2, 3})
        EXPECT_FALSE(press_at(800.0f, 620.0f, screen)) << int(screen);
    EXPECT_EQ(g_no_game_running, 1u);
    EXPECT_EQ(g_credits.active, 0u);
    shut_down();
}

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

TEST_F(front_end_demo_test, StartKeepsANameWithoutCursorAndTheMouseWhenTheHeroHasNoWorldObject)
{
    start_at_menu();
    g_scene_hero.put_player = nullptr;  // the hero is not placed in the gate: it has no object there
    std::strcpy(g_chars[0].display_name, "Ada");
    g_mouse_x = 123.0f;
    g_mouse_y = 45.0f;
    EXPECT_TRUE(press_at(800.0f, 620.0f, k_page_new_hero));
    EXPECT_STREQ(g_current_level, "brana.sav");
    ASSERT_EQ(world_object_of(g_chars[0]), nullptr);
    EXPECT_STREQ(g_chars[0].display_name, "Ada");
    EXPECT_FLOAT_EQ(g_mouse_x, 123.0f);
    EXPECT_FLOAT_EQ(g_mouse_y, 45.0f);
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

TEST_F(front_end_demo_test, AKeyHeldOnTheNewHeroPageTypesAtOnceThenOnce30TicksHavePassedThenEach2More)
{
    start_at_menu();
    g_splash.state = k_splash_done;
    g_intro_slides = {};
    g_interface.overlay_screen = k_page_new_hero;
    std::strcpy(g_chars[0].display_name, "_");
    clock_set_manual_step(0);  // exactly one tick a pass
    inject_key(k_key_c, true);
    std::vector<uint32_t> typed;  // the ticks, from the first, at which a character was typed
    uint32_t first = 0;
    for (int n = 0; n < 40; ++n) {
        const size_t length = std::strlen(g_chars[0].display_name);
        pass();
        if (std::strlen(g_chars[0].display_name) > length)
            typed.push_back(g_ticks - (typed.empty() ? (first = g_ticks) : first));
    }
    EXPECT_EQ(typed, (std::vector<uint32_t>{0, 31, 34, 37}));
    inject_key(k_key_c, false);
    pass();
    clock_set_manual_step(16);
    shut_down();
}

// After an ending, the new game's new-hero page has no attunement chosen: the two the last hero
// chose by clicks are taken back with their points.
TEST_F(front_end_demo_test, AfterAnEndingTheNewHeroPageHasNoAttunementChosen)
{
    g_front_end = run_front_end;
    bool ended = false;
    int chosen_after_ending = -1, points_after_ending = -1;
    input_script script([&](uint32_t pass) {
        if (pass > 40000) {  // a run that never reaches the game ends here
            input_inject({input_event_kind::close});
        } else if (g_splash.state != k_splash_done || !g_no_game_running) {
        } else if (g_intro_slides.active && g_intro_slides.state != k_slide_fade_out) {
            inject_left_at(10, 10, pass % 2 == 0);
        } else if (!g_intro_slides.active && g_interface.overlay_screen == k_page_menu) {
            inject_left_at(512, 498, pass % 2 == 0);
        } else if (g_interface.overlay_screen == k_page_new_hero) {
            const int chosen = g_interface.start_attunement_count;
            if (ended && chosen_after_ending < 0) {
                chosen_after_ending = chosen, points_after_ending = 0;
                for (int16_t id : k_start_attunement_ids)
                    points_after_ending += g_item_protos[id].damage;
            }
            if (!ended && chosen < 2)
                inject_left_at(228, 456 + 31 * chosen, pass % 2 == 0);  // the next attunement row
            else
                inject_left_at(802, 622, true);  // Start
        }
    });
    ASSERT_TRUE(program_startup("zorv"));
    ASSERT_EQ(g_no_game_running, 0u);
    ASSERT_EQ(g_interface.start_attunement_count, 2);

    // The epilogue's end sets both flags; the ending plays and asks for a new game.
    inject_left_at(802, 622, false);
    ended = true;
    g_game_finished = g_quit = 1;
    ASSERT_FALSE(program_shutdown(true));
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_no_game_running, 0u);
    EXPECT_EQ(chosen_after_ending, 0);
    EXPECT_EQ(points_after_ending, 0);
    inject_left_at(802, 622, false);
    shut_down();
}

} // namespace
