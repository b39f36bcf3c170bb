// The demo's overlay pages through the program's own frames with injected input: Esc opens the
// menu over the gate, its buttons lead to the settings page and back, and to the load page,
// which lists the demo's save, and its resume click does not reach the world; on the title menu
// the first button leads to the new-hero page. Each page draws its images from loaded textures.
// A save from the menu pictures the world alone and leaves the load page's choice on the save
// chosen before; the demo's save has a picture.
#include "shell/shell_fixture.h"

#include "tests/shell/injected_input.h"

#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "characters/char_table.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "level/save_games.h"
#include "platform/image_loader.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/text_window.h"
#include "world/world_objects.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <set>
#include <utility>

namespace {

constexpr int k_frame_bound = 20000;  // frames a held button may take to be read (every 3 ticks)

recording_device* device()
{
    return dynamic_cast<recording_device*>(g_d3d_device);
}

// Holds the left button at screen point (x, y) until `done` holds, then lets it go; false when
// it never did.
bool hold_until(float x, float y, const std::function<bool()>& done)
{
    inject_pointer(x, y);
    inject_left_button(true);
    bool reached = false;
    for (int frame = 0; frame < k_frame_bound && !reached; ++frame) {
        device()->clear_recording();
        if (!program_frame())
            return false;
        reached = done();
    }
    inject_left_button(false);
    return reached && program_frame();
}

// Every image is a loaded texture that the last frame drew.
bool drew_all(std::initializer_list<uint16_t> images)
{
    std::set<const device_texture*> drawn;
    device()->clear_recording();
    if (!program_frame())
        return false;
    for (const recorded_draw& d : device()->draws())
        drawn.insert(d.texture);
    for (uint16_t slot : images) {
        if (int32_t(slot) >= g_texture_count || !g_textures[slot].surface || !drawn.count(g_textures[slot].surface)) {
            ADD_FAILURE() << "not drawn: " << (int32_t(slot) < g_texture_count ? g_textures[slot].name : "no texture");
            return false;
        }
    }
    return true;
}

float mid_x()
{
    return float(g_screen_width) / 2.0f;
}

float mid_y()
{
    return float(g_screen_height) / 2.0f;
}

// The framed pages' origin: the page centred on the screen.
float page_x()
{
    return float((g_screen_width - 768) / 2);
}

float page_y(int height)
{
    return float((g_screen_height - height) / 2);
}

void tap_escape()
{
    inject_key(k_key_escape, true);
    program_frame();
    inject_key(k_key_escape, false);
    program_frame();
}

// The draws of the frame the first capture read (the frame ended and begun again without a
// present between), from the clear that began it; empty when nothing was captured.
std::vector<size_t> captured_draws()
{
    const std::vector<recorded_call>& calls = device()->calls();
    std::vector<size_t> draws;
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        if (calls[i].kind == device_call::clear && (calls[i].what & k_clear_target))
            draws.clear();
        else if (calls[i].kind == device_call::draw)
            draws.push_back(calls[i].value);
        else if (calls[i].kind == device_call::end_scene && calls[i + 1].kind == device_call::begin_scene)
            return draws;
    }
    return {};
}

} // namespace

TEST_F(shell_test, EscOpensTheMenuWhoseButtonsLeadToTheSettingsAndTheLoadPageWithTheDemoSave)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv brana.sav"));
    ASSERT_TRUE(pass_greeting());
    g_interface_links.wait_until_released = release_then_wait;
    const game_interface& gi = g_interface;

    inject_key(k_key_escape, true);
    ASSERT_TRUE(program_frame());
    inject_key(k_key_escape, false);
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(gi.menu_open == 1 && gi.overlay_screen == 1);
    EXPECT_TRUE(drew_all({gi.menu_buttons[6], gi.menu_buttons[8], gi.menu_buttons[12]}));  // resume, load, quit

    ASSERT_TRUE(hold_until(mid_x(), mid_y() + 220.0f, [&] { return gi.overlay_screen == 2; }));
    EXPECT_TRUE(drew_all({gi.settings_images[4], gi.settings_images[2], gi.save_load_buttons[14],
                          gi.save_load_frame[1]}));  // the tabs, OK and the frame
    ASSERT_TRUE(hold_until(page_x() + 674.0f, page_y(448) + 406.0f, [&] { return gi.overlay_screen == 1; }));

    ASSERT_TRUE(hold_until(mid_x(), mid_y() + 154.0f, [&] { return gi.overlay_screen == 3; }));
    bool listed = false;
    for (int i = 0; i < g_save_list.count; ++i)
        listed |= std::strcmp(g_save_list.names[i], "demo") == 0;
    EXPECT_TRUE(listed);
    EXPECT_TRUE(drew_all({gi.save_load_buttons[0], gi.save_load_buttons[2], gi.save_load_buttons[4]}));
    ASSERT_TRUE(hold_until(page_x() + 674.0f, page_y(448) + 406.0f, [&] { return gi.overlay_screen == 1; }));

    inject_key(k_key_escape, true);
    ASSERT_TRUE(program_frame());
    inject_key(k_key_escape, false);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(gi.menu_open, 0u);

    // Open again, the menu closes by its resume button, clicked as a player clicks: the button is
    // still held for some frames after, and the hero does not walk to the point under it.
    inject_key(k_key_escape, true);
    ASSERT_TRUE(program_frame());
    inject_key(k_key_escape, false);
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(gi.menu_open, 1u);
    const auto hero_at = [] {
        const world_object* o = world_object_of(*char_at(int32_t(g_player_char)));
        return o ? std::pair{o->x, o->y} : std::pair{0.0f, 0.0f};
    };
    const auto before = hero_at();
    inject_pointer(mid_x(), mid_y() + 114.0f);
    inject_left_button(true);
    for (int frame = 0; frame < k_frame_bound && gi.menu_open; ++frame)
        ASSERT_TRUE(program_frame());
    ASSERT_EQ(gi.menu_open, 0u);
    for (int frame = 0; frame < 6; ++frame)
        ASSERT_TRUE(program_frame());
    inject_left_button(false);
    for (int frame = 0; frame < 30; ++frame)
        ASSERT_TRUE(program_frame());
    EXPECT_EQ(hero_at(), before);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, TheTitleMenusFirstButtonLeadsToTheNewHeroPage)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv"));
    const game_interface& gi = g_interface;
    ASSERT_TRUE(gi.menu_open == 1 && g_no_game_running == 1);
    EXPECT_TRUE(drew_all({gi.menu_buttons[0]}));  // new game

    ASSERT_TRUE(hold_until(mid_x(), mid_y() + 114.0f, [&] { return gi.overlay_screen == 5; }));
    EXPECT_TRUE(drew_all({gi.new_hero_tabs[0], gi.new_hero_tabs[1], gi.new_hero_tabs[3], gi.save_load_buttons[0],
                          gi.save_load_buttons[16]}));  // bars, plus, Cancel and Start
    ASSERT_TRUE(hold_until(page_x() + 564.0f, page_y(576) + 526.0f, [&] { return gi.overlay_screen == 1; }));
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, AMenuSavePicturesTheWorldAloneAndTheLoadPageKeepsTheSaveChosenBefore)
{
    render_use_recording(true);
    saved_globals kept;
    kept.keep(g_editor.ai_on);
    ASSERT_TRUE(program_startup("zorv brana.sav"));
    ASSERT_TRUE(pass_greeting());
    g_interface_links.wait_until_released = release_then_wait;
    g_editor.ai_on = 0;  // no fight at the gate: saving is allowed
    // The demo's save is an hour old, so that a new save sorts before it.
    std::filesystem::last_write_time("save/demo/game.ss",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    const game_interface& gi = g_interface;

    // The demo's save has a picture of the size of a save's, not of one colour.
    decoded_image demo_picture;
    std::string error;
    ASSERT_TRUE(decode_image_file("save/demo/shot.bmp", demo_picture, error)) << error;
    EXPECT_TRUE(demo_picture.width == 512 && demo_picture.height == 384);
    EXPECT_GT(std::set<uint32_t>(demo_picture.argb.begin(), demo_picture.argb.end()).size(), 1u);

    // The demo's save chosen on the load page, then the page left.
    tap_escape();
    ASSERT_TRUE(hold_until(mid_x(), mid_y() + 154.0f, [&] { return gi.overlay_screen == 3; }));
    ASSERT_TRUE(hold_until(page_x() + 80.0f, page_y(448) + 56.0f, [&] { return gi.selected_save == 0; }));
    ASSERT_STREQ(g_save_list.names[0], "demo");
    ASSERT_TRUE(hold_until(page_x() + 674.0f, page_y(448) + 406.0f, [&] { return gi.overlay_screen == 1; }));

    // Saved from the menu: the picture is the world, no menu and no HUD.
    std::set<const device_texture*> interface;
    for (uint16_t slot : gi.menu_buttons)
        interface.insert(g_textures[slot].surface);
    for (uint16_t slot : gi.hud_buttons)
        interface.insert(g_textures[slot].surface);
    const auto expect_world_alone = [&] {
        const std::vector<size_t> picture = captured_draws();
        ASSERT_FALSE(picture.empty());
        for (size_t k : picture)
            EXPECT_EQ(interface.count(device()->draws()[k].texture), 0u) << "draw " << k << " of the picture";
    };
    device()->clear_recording();
    ASSERT_TRUE(hold_until(mid_x(), mid_y() + 187.0f, [&] { return gi.menu_open == 0; }));
    ASSERT_EQ(g_save_list.count, 2);
    expect_world_alone();
    const std::string saved = g_save_list.names[1];
    EXPECT_EQ(file_exists(("save/" + saved + "/shot.bmp").c_str()), 1) << saved;

    // The list, read and sorted again, puts the new save first; the choice stays on the demo's.
    tap_escape();
    ASSERT_TRUE(hold_until(mid_x(), mid_y() + 154.0f, [&] { return gi.overlay_screen == 3; }));
    ASSERT_EQ(g_save_list.count, 2);
    EXPECT_EQ(saved, g_save_list.names[0]);
    ASSERT_EQ(gi.selected_save, 1);
    EXPECT_STREQ(g_save_list.names[1], "demo");
    ASSERT_GE(gi.save_preview, 0);
    EXPECT_STREQ(g_textures[gi.save_preview].name, "save/demo/shot.bmp");

    // Back in the game, the villager's reward completes the quest, which saves the game by
    // itself; that picture too is the world alone.
    ASSERT_TRUE(hold_until(page_x() + 674.0f, page_y(448) + 406.0f, [&] { return gi.overlay_screen == 1; }));
    tap_escape();
    ASSERT_EQ(gi.menu_open, 0u);
    std::strcpy(g_dialogue_window.requested_file, "data/dialogs/eng/villager_reward/0.txt");
    g_dialogue_window.name[0] = '\0';
    g_dialogue_window.dialogue_record_mode = 0;
    g_dialogue_running = 1;
    device()->clear_recording();
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_save_list.count, 3);
    expect_world_alone();
    g_dialogue_running = 0;
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
