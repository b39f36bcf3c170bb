// The overlay screens on the recording device: the hero's death fade, the menu's fade-in and
// input rate, the six buttons on the title menu and in a running game, and a save from the menu.
#include "interface/overlay_screens.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/draw_test_support.h"
#include "engine/ui_texts.h"
#include "interface/interface_state.h"
#include "level/save_games.h"
#include "platform/render_device.h"
#include "shell/program.h"
#include "shell/shell_fixture.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"
#include "tests/interface/recorded_places.h"
#include "world/game_clock.h"
#include "world/scene_header.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int k_new_game = 0, k_resume = 6, k_base = 7;  // places in menu_buttons

// Keeps what the menu's clicks change; the fades start from zero and the cursor off the screen.
void keep_menu_state(saved_globals& s)
{
    s.keep(g_death_alpha), s.keep(g_death_next_tick), s.keep(g_menu_alpha), s.keep(g_menu_next_tick);
    s.keep(g_menu_input_tick), s.keep(g_menu_button_alpha), s.keep(g_save_list), s.keep(g_interface);
    s.keep(g_mouse_screen_x), s.keep(g_mouse_screen_y), s.keep(g_game_clock), s.keep(g_press_latches);
    reset_overlay_fades();
    g_press_latches = {};
    g_mouse_screen_x = g_mouse_screen_y = -100.0f;
}

// One evaluated frame with the left button pressed over menu button n (1 to 6), then let go as
// the next input poll sees it.
void click_button(int n)
{
    static const float k_rows[] = {114, 154, 187, 220, 250, 286};
    g_mouse_screen_x = float(g_screen_width) / 2.0f;
    g_mouse_screen_y = float(g_screen_height) / 2.0f + k_rows[n - 1];
    g_mouse_left = 1;
    g_menu_input_tick = 0;
    update_overlay_screens();
    g_mouse_left = 0;
    end_released_presses();
}

class overlay_screens_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        keep_menu_state(saved_);
        saved_.keep(g_ticks), saved_.keep(g_no_game_running), saved_.keep(g_dialogue_running);
        saved_.keep(g_console_enabled), saved_.keep(g_quit), saved_.keep(g_new_game_request), saved_.keep(g_dream_world);
        saved_.keep(g_player_char), saved_.keep(g_char_count), saved_.keep(g_chars[0]), saved_.keep(g_scene_header);
        use_fixed_camera(device_);
        clear_texture_table();
        std::fill(std::begin(g_interface.panel_tiles), std::end(g_interface.panel_tiles), k_no_texture_slot);
        for (int i = 0; i < 14; ++i)
            g_interface.menu_buttons[i] = test_texture("menu" + std::to_string(i));
        g_player_char = 0;
        g_char_count = std::max<uint32_t>(g_char_count, 1);
        set_hero(50, k_life_alive);
        g_interface.menu_open = g_no_game_running = g_dialogue_running = 0;
        g_interface.overlay_screen = 1;
        g_ticks = 1000;
    }
    void TearDown() override
    {
        clear_texture_table();
        saved_.restore();
    }
    static void set_hero(int32_t hp, uint8_t life) { g_chars[0].hp = hp, g_chars[0].life = life; }
    std::vector<screen_point> drawn(int image) const { return centres_of(device_, g_interface.menu_buttons[image]); }

    temp_folder folder_;
    recording_device device_{1024, 768};
    use_device device_guard_{&device_};
    saved_globals saved_;
};

TEST_F(overlay_screens_test, DeathOpensTheMenuOnItsPageAfterEightyTicksAndAtOnceTheNextTime)
{
    set_hero(0, k_life_dead);
    g_interface.overlay_screen = 2;
    int steps = 0;
    for (; steps < 100 && !g_interface.menu_open; ++steps, g_ticks += 2)
        update_overlay_screens();
    EXPECT_EQ(steps, 40);
    EXPECT_FLOAT_EQ(g_death_alpha, 0.4f);
    EXPECT_TRUE(g_interface.overlay_screen == 2 && g_interface.mouse_over_ui);

    set_hero(20, k_life_alive);
    g_interface.menu_open = 0;
    update_overlay_screens();
    EXPECT_TRUE(!g_interface.menu_open && g_menu_alpha == 0.0f);
    set_hero(-3, k_life_dead);
    update_overlay_screens();
    EXPECT_EQ(g_interface.menu_open, 1u);
}

TEST_F(overlay_screens_test, MenuFadesInOverFortyTicksEachTimeAndReadsTheMouseAtMostEveryThreeTicks)
{
    for (int opening = 0; opening < 2; ++opening) {
        g_interface.menu_open = 1;
        int frames = 0;
        for (; frames < 50 && g_menu_alpha < 1.0f; ++frames, g_ticks += 2)
            update_overlay_screens();
        EXPECT_EQ(frames, 20);
        g_interface.menu_open = 0;
        update_overlay_screens();
        EXPECT_EQ(g_menu_alpha, 0.0f);
    }

    // Hovering button 2: one glow step per reading of the mouse, frames one tick apart.
    g_interface.menu_open = 1;
    g_mouse_screen_x = 512.0f, g_mouse_screen_y = 384.0f + 154.0f;
    std::vector<uint32_t> read_at;
    for (float glow = 0.0f, stop = float(g_ticks + 16); float(g_ticks) < stop; ++g_ticks, glow = g_menu_button_alpha[1]) {
        update_overlay_screens();
        if (g_menu_button_alpha[1] != glow)
            read_at.push_back(g_ticks);
    }
    ASSERT_EQ(read_at.size(), 5u);
    for (size_t i = 1; i < read_at.size(); ++i)
        EXPECT_EQ(read_at[i] - read_at[i - 1], 3u);
}

TEST_F(overlay_screens_test, ButtonOneStartsANewHeroOnTheTitleMenuAndResumesARunningGame)
{
    const screen_point first{504.0f, 508.0f};
    g_no_game_running = 1;
    g_interface.menu_open = 1;
    click_button(1);
    EXPECT_TRUE(g_interface.overlay_screen == 5 && g_interface.menu_open);
    EXPECT_TRUE(places(drawn(k_new_game), {first}) && places(drawn(k_base + k_new_game), {first}));
    EXPECT_TRUE(drawn(k_base + k_resume).empty());

    g_no_game_running = 0;
    g_interface.overlay_screen = 1;
    device_.clear_recording();
    click_button(1);
    EXPECT_EQ(g_interface.menu_open, 0u);
    EXPECT_TRUE(places(drawn(k_resume), {first}) && drawn(k_new_game).empty());

    // A dead hero: no lit image, the menu still closes, and saving does nothing.
    set_hero(0, k_life_dead);
    g_interface.menu_open = 1;
    device_.clear_recording();
    click_button(1);
    EXPECT_TRUE(!g_interface.menu_open && drawn(k_resume).empty());
    g_interface.menu_open = 1;
    click_button(3);
    EXPECT_TRUE(g_interface.menu_open && g_save_list.count == 0);
}

TEST_F(overlay_screens_test, AButtonThatDoesNothingNowIsDrawnDimmedAndDoesNotLightUp)
{
    // Opacity of the base images (places 7 to 13), in button order, and whether a lit image is
    // drawn, with the cursor over each button in turn of a fully faded-in menu.
    const int bases[] = {k_base + k_resume, k_base + 1, k_base + 2, k_base + 4, k_base + 5, k_base + 3};
    const int lits[] = {k_resume, 1, 2, 4, 5, 3};
    const auto look = [&](int n, float& base, bool& lit) {
        std::fill(std::begin(g_menu_button_alpha), std::end(g_menu_button_alpha), 1.0f);
        g_menu_alpha = 1.0f;
        device_.clear_recording();
        run_menu_screen();
        base = -1.0f;
        for (const recorded_draw& d : device_.draws())
            if (g_textures[g_interface.menu_buttons[bases[n]]].surface == d.texture)
                base = device_.material_of(d).diffuse.a;
        lit = !drawn(lits[n]).empty();
    };
    g_interface.menu_open = 1;
    set_hero(0, k_life_dead);  // resume and save do nothing; nor do the credits in a running game
    for (int n = 0; n < 6; ++n) {
        float base;
        bool lit;
        look(n, base, lit);
        const bool acts = n == 1 || n == 3 || n == 5;
        EXPECT_FLOAT_EQ(base, acts ? 0.5f : 0.3f) << "button " << n + 1;
        EXPECT_EQ(lit, acts) << "button " << n + 1;
    }
    set_hero(50, k_life_alive);
    g_dialogue_running = 1;  // load and save do nothing during a dialogue
    for (int n : {1, 2}) {
        float base;
        bool lit;
        look(n, base, lit);
        EXPECT_FLOAT_EQ(base, 0.3f) << "button " << n + 1;
        EXPECT_FALSE(lit) << "button " << n + 1;
    }
}

TEST_F(overlay_screens_test, SettingsLoadAndQuitActAsTheTitleMenuOrTheRunningGameAsks)
{
    g_interface.menu_open = 1;
    for (uint32_t console : {1u, 0u}) {
        g_console_enabled = console;
        g_interface.overlay_screen = 1;
        click_button(4);
        EXPECT_EQ(g_interface.overlay_screen, 2);
        EXPECT_EQ(g_interface.settings_page, console ? 4 : 2);
    }
    g_interface.overlay_screen = 1;
    g_dialogue_running = 1;
    click_button(2);
    EXPECT_EQ(g_interface.overlay_screen, 1);
    g_dialogue_running = 0;
    click_button(2);
    EXPECT_EQ(g_interface.overlay_screen, 3);

    g_interface.overlay_screen = 1;
    click_button(6);
    EXPECT_TRUE(g_new_game_request == 1 && g_quit == 0);
    g_new_game_request = 0, g_no_game_running = 1;
    g_dream_world.active = 1, g_dream_world.overlay_alpha = 0.7f;
    click_button(6);
    EXPECT_TRUE(g_quit == 1 && g_new_game_request == 0);
    EXPECT_TRUE(g_dream_world.active == 0 && g_dream_world.overlay_alpha == 0.0f);

    // The level's display name as stored may lack its end mark.
    std::memset(g_scene_header.display_name, 'x', sizeof g_scene_header.display_name);
    g_game_clock.day = 12, g_game_clock.hour = 23, g_game_clock.minute = 0;
    char name[k_save_name_size];
    make_automatic_save_name(name, sizeof name);
    EXPECT_EQ(std::string(name), std::string(ui_text(32)) + " " + std::string(80, 'x') + " (12-23-00)");
}

} // namespace

// The demo through the program's own start-up: the menu's save button saves under the level's
// name and the clock's time, and the load button lists that save.
TEST_F(shell_test, TheMenuSavesUnderTheClocksTimeAndItsLoadPageListsTheSave)
{
    saved_globals kept;
    keep_menu_state(kept);
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv brana.sav"));
    g_editor.ai_on = 0;  // the gate's enemies stand: no fight refuses the save
    ASSERT_TRUE(pass_greeting());
    g_interface.menu_open = 1;
    g_interface.overlay_screen = 1;
    g_game_clock.day = 3, g_game_clock.hour = 7, g_game_clock.minute = 5;
    click_button(3);
    EXPECT_EQ(g_interface.menu_open, 0u);
    const std::string name = std::string(ui_text(32)) + " " + g_scene_header.display_name + " (3-07-05)";
    EXPECT_TRUE(std::filesystem::exists("save/" + name + "/game.ss")) << name;

    g_interface.menu_open = 1;
    click_button(2);
    EXPECT_EQ(g_interface.overlay_screen, 3);
    char (*end)[k_save_name_size] = g_save_list.names + g_save_list.count;
    EXPECT_NE(std::find_if(g_save_list.names + 0, end, [&](const char* n) { return name == n; }), end);
    program_shutdown(true);
    render_use_recording(false);
}
