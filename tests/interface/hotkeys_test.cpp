// The game's keys driven through the key, mouse and wheel state of a frame, one call of
// handle_hotkeys per frame, on a scratch folder with a bare hero.
#include "characters/char_fixture.h"
#include "characters/char_notices.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/utilities.h"
#include "engine/screenshots.h"
#include "interface/held_item.h"
#include "interface/hotkeys.h"
#include "interface/interface_state.h"
#include "interface/save_load_screen.h"
#include "items/items.h"
#include "level/level_map.h"
#include "level/save_games.h"
#include "platform/files.h"
#include "platform/key_codes.h"
#include "shell/program.h"
#include "shell/shell_fixture.h"
#include "core/settings.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace {

// One frame with exactly these keys down; the input poll ends the presses let go.
void frame(std::initializer_list<uint8_t> keys = {})
{
    std::memset(g_key_state, 0, sizeof g_key_state);
    for (uint8_t key : keys)
        g_key_state[key] = k_key_down_bit;
    end_released_presses();
    handle_hotkeys();
}

// A press and a release of one key.
void tap(uint8_t key)
{
    frame({key});
    frame();
}

class hotkeys_test : public char_test {
protected:
    void SetUp() override
    {
        char_test::SetUp();
        saved_.keep(g_interface), saved_.keep(g_key_state), saved_.keep(g_press_latches), saved_.keep(g_mouse_screen_x);
        saved_.keep(g_mouse_screen_y), saved_.keep(g_mouse_left), saved_.keep(g_mouse_middle);
        saved_.keep(g_wheel_up), saved_.keep(g_wheel_down), saved_.keep(g_zoom_target);
        saved_.keep(g_work_mode), saved_.keep(g_no_game_running), saved_.keep(g_dialogue_running);
        saved_.keep(g_console_shown), saved_.keep(g_save_list), saved_.keep(g_hotkeys), saved_.keep(g_notices);
        saved_.keep(g_screenshot_counter), saved_.keep(g_scene_header), saved_.keep(g_rain);
        saved_.keep(g_dream_world), saved_.keep(g_message_log), saved_.keep(g_in_combat), saved_.keep(g_map_path);
        saved_.keep(g_session_map_path), saved_.keep(g_save_load_notice);
        std::memset(g_key_state, 0, sizeof g_key_state);
        g_press_latches = {};
        g_mouse_left = g_mouse_middle = g_wheel_up = g_wheel_down = 0;
        g_mouse_screen_x = g_mouse_screen_y = -100.0f;
        g_work_mode = k_work_play;
        g_no_game_running = g_dialogue_running = g_console_shown = 0;
        g_in_combat = 0;
        // As after the level was read from its file: a game is saved only then.
        copy_bounded(g_map_path, sizeof g_map_path, "data/levels/brana.sav");
        copy_bounded(g_session_map_path, sizeof g_session_map_path, g_map_path);
        g_save_list.count = 0;
        g_hotkeys = {};
        g_scene_header.level_type = k_level_outside;
        g_rain.active = 0;
        g_zoom = g_zoom_target = 1.0f;
        game_interface& gi = g_interface;
        gi.shown = 1, gi.zoom_enabled = 1, gi.scroll_enabled = 1, gi.f8_toggle = 0;
        gi.menu_open = 0, gi.overlay_screen = 1, gi.settings_page = 0, gi.selected_save = -1;
        gi.side_panel_page = 2, gi.dream_switch_allowed = 0;
        gi.attunement_select_open = 0;
        close_all();
        clear_held_item(true);
        hero_ = &make_char(0, "hero", k_kind_player);
        hero_->life = k_life_alive;
        hero_->hp_max = 100, hero_->hp = 100;
        g_player_char = 0;
    }
    void TearDown() override
    {
        saved_.restore();
        char_test::TearDown();
    }

    static void close_all()
    {
        game_interface& gi = g_interface;
        gi.side_panel_open = gi.character_panel_open = gi.quest_log_open = gi.attunement_panel_open = 0;
    }
    static bool any_panel_open()
    {
        const game_interface& gi = g_interface;
        return gi.side_panel_open || gi.character_panel_open || gi.quest_log_open || gi.attunement_panel_open;
    }

    char_record* hero_ = nullptr;
    saved_globals saved_;
};

TEST_F(hotkeys_test, EscapeActsOncePerPressClosingPanelsFirstThenTheMenuOrItsPage)
{
    game_interface& gi = g_interface;
    gi.side_panel_open = gi.attunement_panel_open = 1;
    g_notices.attunement_seen = 0;
    for (int i = 0; i < 3; ++i)
        frame({k_key_escape});
    EXPECT_FALSE(any_panel_open());
    EXPECT_EQ(g_notices.attunement_seen, 1u);
    EXPECT_EQ(gi.menu_open, 0u) << "the press that closed the panels opens nothing";

    for (int i = 0; i < 3; ++i)
        frame({k_key_escape});
    EXPECT_EQ(gi.menu_open, 0u) << "a held key acts once";
    frame();
    for (int i = 0; i < 3; ++i)
        frame({k_key_escape});
    EXPECT_EQ(gi.menu_open, 1u);
    EXPECT_EQ(gi.overlay_screen, 1);
    EXPECT_EQ(gi.settings_page, 4);

    frame();
    gi.overlay_screen = 3;
    tap(k_key_escape);
    EXPECT_EQ(gi.menu_open, 1u);
    EXPECT_EQ(gi.overlay_screen, 1) << "another page goes back to the main page";
    tap(k_key_escape);
    EXPECT_EQ(gi.menu_open, 0u) << "the main page closes the menu";

    // A dead hero's menu stays; without a running game the key does nothing.
    gi.menu_open = 1, gi.overlay_screen = 2;
    hero_->life = k_life_dead;
    tap(k_key_escape);
    EXPECT_EQ(gi.menu_open, 1u);
    EXPECT_EQ(gi.overlay_screen, 2);
    hero_->life = k_life_alive;
    g_no_game_running = 1;
    tap(k_key_escape);
    EXPECT_EQ(gi.overlay_screen, 2);
    gi.menu_open = 0;
    tap(k_key_escape);
    EXPECT_EQ(gi.menu_open, 0u);
}

TEST_F(hotkeys_test, ADeadHeroCanOnlyQuickLoadAndALivingOneSavesSwitchesAndShoots)
{
    game_interface& gi = g_interface;
    hero_->life = k_life_dead;
    gi.character_panel_open = 1;
    const uint32_t shots = g_screenshot_counter;
    for (uint8_t key : {k_key_f5, k_key_f8, k_key_f12, k_key_space, k_key_i, k_key_c, k_key_h})
        tap(key);
    EXPECT_FALSE(is_readable_file("save/quick/game.ss"));
    EXPECT_EQ(gi.f8_toggle, 0u);
    EXPECT_EQ(g_screenshot_counter, shots);
    EXPECT_EQ(gi.character_panel_open, 1u);
    EXPECT_EQ(gi.side_panel_open, 0u);
    EXPECT_EQ(gi.shown, 1u);
    tap(k_key_f6);
    EXPECT_NE(log_text().find("Savegame not exits"), std::string::npos) << "the quick load was tried";

    hero_->life = k_life_alive;
    frame({k_key_f5});
    frame({k_key_f5});
    ASSERT_TRUE(is_readable_file("save/quick/game.ss"));
    ASSERT_EQ(g_save_list.count, 1);
    EXPECT_STREQ(g_save_list.names[0], "quick");
    tap(k_key_f8);
    EXPECT_EQ(gi.f8_toggle, 1u);
    tap(k_key_f8);
    EXPECT_EQ(gi.f8_toggle, 0u);
    frame({k_key_f12});
    frame({k_key_f12});
    EXPECT_EQ(g_screenshot_counter, shots + 1);
    frame({k_key_space});
    EXPECT_FALSE(any_panel_open());
}

TEST_F(hotkeys_test, ADialogueBlocksSavesLoadsAndLettersButTheZoomStepsLimitsAndEases)
{
    game_interface& gi = g_interface;
    g_dialogue_running = 1;
    for (uint8_t key : {k_key_f5, k_key_f6, k_key_i, k_key_c, k_key_q, k_key_h})
        tap(key);
    EXPECT_FALSE(is_readable_file("save/quick/game.ss"));
    EXPECT_EQ(log_text().find("Savegame not exits"), std::string::npos);
    EXPECT_FALSE(any_panel_open());
    EXPECT_EQ(gi.shown, 1u);

    g_zoom = g_zoom_target = 1.39f;
    g_wheel_up = 1;
    frame();
    g_wheel_up = 0;
    EXPECT_FLOAT_EQ(g_zoom_target, 1.55f);
    EXPECT_FLOAT_EQ(g_zoom, 1.398f);
    int frames = 1;
    float last = g_zoom;
    while (g_zoom != g_zoom_target && frames < 100) {
        frame();
        EXPECT_LE(g_zoom - last, 0.008f + 1e-6f);
        last = g_zoom;
        ++frames;
    }
    EXPECT_EQ(frames, 20) << "0.16 in steps of 0.008, the last one a snap";
    EXPECT_EQ(g_zoom, g_zoom_target);

    g_zoom = g_zoom_target = 1.4f;
    g_wheel_up = 1;
    frame();
    EXPECT_EQ(g_zoom_target, 1.4f) << "no zooming in from 1.4";
    g_wheel_up = 0, g_wheel_down = 1;
    g_zoom = g_zoom_target = 0.9f;
    frame();
    EXPECT_EQ(g_zoom_target, 0.9f) << "no zooming out from 0.9";
    g_zoom = g_zoom_target = 1.0f;
    gi.attunement_panel_open = 1;
    frame();
    EXPECT_EQ(g_zoom_target, 1.0f) << "the wheel belongs to the attunement panel";
    gi.attunement_panel_open = 0;
    frame();
    EXPECT_FLOAT_EQ(g_zoom_target, 0.84f);
    g_wheel_down = 0;

    g_zoom = g_zoom_target = 1.3f;
    g_screen_width = 1280;
    frame({k_key_numpadenter});
    EXPECT_FLOAT_EQ(g_zoom_target, 1.25f) << "the reset follows the screen width";
    g_zoom = g_zoom_target = 1.3f;
    g_scene_header.level_type = k_level_gui;
    frame({k_key_numpadenter});
    EXPECT_EQ(g_zoom_target, 1.3f) << "interface levels keep their scale";
}

TEST_F(hotkeys_test, TheConsoleStopsTheLettersButNotSpaceAndTheLettersSwitchThePanels)
{
    game_interface& gi = g_interface;
    gi.dream_switch_allowed = 1;
    g_console_shown = 1;
    for (uint8_t key : {k_key_i, k_key_c, k_key_s, k_key_q, k_key_a, k_key_d, k_key_h})
        tap(key);
    EXPECT_FALSE(any_panel_open());
    EXPECT_EQ(gi.shown, 1u);
    EXPECT_EQ(g_dream_world.active, 0u);
    gi.quest_log_open = gi.side_panel_open = 1;
    frame({k_key_space});
    EXPECT_FALSE(any_panel_open());

    // Without the console: page switches in the open side panel, and the quest log and the
    // attunement panel (marked seen when it closes) take each other's place.
    g_console_shown = 0;
    tap(k_key_i);
    EXPECT_TRUE(gi.side_panel_open && gi.side_panel_page == 2);
    tap(k_key_s);
    EXPECT_TRUE(gi.side_panel_open && gi.side_panel_page == 3);
    tap(k_key_q);
    tap(k_key_a);
    EXPECT_TRUE(!gi.quest_log_open && gi.attunement_panel_open);
    g_notices.attunement_seen = 0;
    tap(k_key_q);
    EXPECT_TRUE(gi.quest_log_open && !gi.attunement_panel_open && g_notices.attunement_seen);
    tap(k_key_d);
    EXPECT_EQ(g_dream_world.active, 1u);
    tap(k_key_h);
    EXPECT_EQ(gi.shown, 0u);
    gi.dream_switch_allowed = 0;
    tap(k_key_d);
    EXPECT_EQ(g_dream_world.active, 1u) << "the dream switch is not allowed";
}

TEST_F(hotkeys_test, TheLowHealthVoiceRepeatsBelowAFifthWhilePlayingAlive)
{
    hero_->hp = 19;
    g_ticks = 1000;
    frame();
    EXPECT_EQ(g_hotkeys.next_warning_tick, 1100u);
    g_ticks = 1099;
    frame();
    EXPECT_EQ(g_hotkeys.next_warning_tick, 1100u);
    g_ticks = 1100;
    frame();
    EXPECT_EQ(g_hotkeys.next_warning_tick, 1200u);

    g_ticks = 5000;
    for (auto setup : {+[](char_record& h) { h.hp = 20; }, +[](char_record& h) { h.life = k_life_dead; },
                       +[](char_record& h) { h.hp_max = 0; }, +[](char_record&) { g_work_mode = k_work_select; }}) {
        hero_->hp = 10, hero_->hp_max = 100, hero_->life = k_life_alive, g_work_mode = k_work_play;
        setup(*hero_);
        frame();
        EXPECT_EQ(g_hotkeys.next_warning_tick, 1200u);
    }
}

TEST_F(hotkeys_test, TheSaveLoadScreensButtonsActOnTheListAndAFailedLoadKeepsTheMenu)
{
    game_interface& gi = g_interface;
    g_no_game_running = 1;
    gi.menu_open = 1, gi.overlay_screen = 3;
    g_save_list.count = 3;
    std::strcpy(g_save_list.names[0], "first");
    std::strcpy(g_save_list.names[1], "second");
    std::strcpy(g_save_list.names[2], "gone");
    // The panel's origin at 1024 x 768 is (128, 160); the buttons' boxes are open.
    const auto click = [](float x, float y) {
        g_mouse_screen_x = 128.0f + x, g_mouse_screen_y = 160.0f + y;
        g_mouse_left = 1;
        frame();
        g_mouse_left = 0;
        frame();
    };

    click(560.0f, 406.0f);
    EXPECT_EQ(g_save_list.count, 3) << "nothing chosen, nothing deleted";
    gi.selected_save = 1;
    click(516.0f, 406.0f);
    click(560.0f, 394.0f);
    EXPECT_EQ(g_save_list.count, 3) << "on the edge is outside";
    click(560.0f, 406.0f);
    ASSERT_EQ(g_save_list.count, 2);
    EXPECT_STREQ(g_save_list.names[1], "gone");
    EXPECT_EQ(gi.selected_save, -1);
    EXPECT_TRUE(is_readable_file("save/save.dat"));

    g_dream_world.active = 1, g_dream_world.overlay_alpha = 0.5f;
    g_player_char = 1;
    gi.selected_save = 1;
    click(450.0f, 400.0f);
    EXPECT_NE(log_text().find("gone"), std::string::npos);
    EXPECT_EQ(gi.menu_open, 1u) << "the load failed";
    EXPECT_EQ(gi.overlay_screen, 3);
    EXPECT_EQ(g_no_game_running, 1u);
    EXPECT_EQ(gi.selected_save, -1);
    EXPECT_EQ(g_dream_world.active, 0u);
    EXPECT_EQ(g_dream_world.overlay_alpha, 0.0f);
    EXPECT_EQ(g_player_char, 0u);

    click(700.0f, 417.0f);
    EXPECT_EQ(gi.overlay_screen, 1);
    EXPECT_EQ(gi.menu_open, 1u);
}

// The quick keys and the title menu's load on the demo game, with the whole program started.
class hotkeys_game_test : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        kept_.keep(g_save_list), kept_.keep(g_map_locations_open), kept_.keep(g_dialogue_running);
        kept_.keep(g_in_combat), kept_.keep(g_item_protos), kept_.keep(g_hotkeys), kept_.keep(g_wheel_up);
        kept_.keep(g_wheel_down), kept_.keep(g_mouse_screen_x), kept_.keep(g_mouse_screen_y);
    }
    void TearDown() override
    {
        if (started_)
            program_shutdown(true);
        kept_.restore();
        shell_test::TearDown();
    }
    static world_object* hero_object() { return world_object_of(g_chars[g_player_char]); }

    saved_globals kept_;
    bool started_ = false;
};

TEST_F(hotkeys_game_test, QuickSaveAndQuickLoadOfADeadHeroAndALoadFromTheTitleMenu)
{
    ASSERT_TRUE(program_startup("zorv brana.sav"));
    started_ = true;
    g_editor.ai_on = 0;  // the gate's enemies stand: no fight refuses the quick save
    ASSERT_TRUE(pass_greeting());
    ASSERT_NE(hero_object(), nullptr);
    const float saved_x = hero_object()->x + 40.0f;
    hero_object()->x = saved_x;
    tap(k_key_f5);
    ASSERT_TRUE(is_readable_file("save/quick/game.ss"));

    hero_object()->x = saved_x + 100.0f;
    g_chars[g_player_char].life = k_life_dead;
    g_chars[g_player_char].hp = 0;
    tap(k_key_f6);
    ASSERT_NE(hero_object(), nullptr);
    EXPECT_EQ(hero_object()->x, saved_x);
    EXPECT_EQ(g_chars[g_player_char].life, k_life_alive);

    // The title menu: the load button closes the menu once the save is restored.
    ASSERT_TRUE(pass_greeting());
    hero_object()->x = saved_x + 100.0f;
    refresh_save_list();
    int16_t quick = -1;
    for (int16_t i = 0; i < g_save_list.count; ++i)
        if (std::strcmp(g_save_list.names[i], "quick") == 0)
            quick = i;
    ASSERT_GE(quick, 0);
    g_no_game_running = 1;
    g_interface.menu_open = 1, g_interface.overlay_screen = 3, g_interface.selected_save = quick;
    g_mouse_screen_x = 128.0f + 450.0f, g_mouse_screen_y = 160.0f + 400.0f;
    g_mouse_left = 1;
    handle_hotkeys();
    g_mouse_left = 0;
    EXPECT_EQ(g_interface.menu_open, 0u);
    EXPECT_EQ(g_interface.overlay_screen, 1);
    EXPECT_EQ(g_no_game_running, 0u);
    ASSERT_NE(hero_object(), nullptr);
    EXPECT_EQ(hero_object()->x, saved_x);
}

} // namespace
