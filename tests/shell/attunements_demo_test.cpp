// The demo's attunements through the program's own frames with injected input: the gate's
// script teaches three, a click on the shrine opens the selection window (and, held over a row
// of it, chooses nothing), the forced first choice keeps it open until the first attunement is
// chosen by a click, and the A key shows the chosen one on the attunement panel's active page;
// a press on the panel, or one held on the shrine, does not walk the hero, nor does a press on
// any part of the frame of an open panel or window, nor on any drawn part of the HUD.
#include "shell/shell_fixture.h"

#include "tests/shell/injected_input.h"

#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/fonts.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/attunement_lists.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "script/map_events.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int16_t k_first_choice = 175;
constexpr int16_t k_taught[] = {k_first_choice, 179, 180};

// The row of the selection window's left list that shows the attunement, -1 for none.
int selection_row_of(int16_t id)
{
    static int16_t listed[k_item_slots];
    const int32_t n = learned_inactive_attunements(char_at(int32_t(g_player_char)), listed);
    const int16_t* at = std::find(listed, listed + n, id);
    return at == listed + n ? -1 : int(at - listed);
}

// The sector of the map event "shrine", -1 for none.
int32_t shrine_sector()
{
    for (uint32_t i = 0; i < g_event_count; ++i)
        if (std::strcmp(g_events[i].name, "shrine") == 0)
            return g_events[i].condition_number[0][0];
    return -1;
}

struct screen_point {
    float x, y;
};

// The screen point over the middle of the sector, as the camera shows it now.
screen_point sector_on_screen(int32_t sector)
{
    const map_sector& s = g_sectors[sector];
    return {((s.x[0] + s.x[2]) / 2 - g_camera_x) * g_zoom, ((s.y[0] + s.y[2]) / 2 - g_camera_y) * g_zoom};
}

// Frames run while the hero stays idle at (x, y); a failure names the frame that moved it.
::testing::AssertionResult hero_stands_for(int frames, float x, float y)
{
    const char_record& hero = g_chars[g_player_char];
    for (int frame = 0; frame < frames; ++frame) {
        if (!program_frame())
            return ::testing::AssertionFailure() << "the program ended at frame " << frame;
        const world_object* body = world_object_of(hero);
        if (!body || hero.state != k_state_idle || body->x != x || body->y != y)
            return ::testing::AssertionFailure() << "frame " << frame << ": state " << hero.state << " at "
                                                 << (body ? body->x : 0) << ", " << (body ? body->y : 0)
                                                 << ", was at " << x << ", " << y;
    }
    return ::testing::AssertionSuccess();
}

struct screen_box {
    float x1, y1, x2, y2;
};

// The box grown to hold every corner of the draw.
void widen(screen_box& b, const recording_device& device, const recorded_draw& d)
{
    for (uint32_t i = 0; i < d.vertex_count; ++i) {
        float x, y, z;
        device.screen_position(d, i, x, y, z);
        b = {std::min(b.x1, x), std::min(b.y1, y), std::max(b.x2, x), std::max(b.y2, y)};
    }
}

// The screen rectangles of the panel frames the device drew, in drawing order: a frame is a run
// of panel tiles one after another in which no tile comes twice.
std::vector<screen_box> drawn_panel_frames(const recording_device& device)
{
    std::set<const device_texture*> tiles, in_frame;
    for (uint16_t slot : g_interface.panel_tiles)
        if (int32_t(slot) < g_texture_count && g_textures[slot].surface)
            tiles.insert(g_textures[slot].surface);
    std::vector<screen_box> frames;
    for (const recorded_draw& d : device.draws()) {
        if (!tiles.count(d.texture)) {
            in_frame.clear();
            continue;
        }
        if (in_frame.empty() || in_frame.count(d.texture)) {
            in_frame.clear();
            frames.push_back({1e9f, 1e9f, -1e9f, -1e9f});
        }
        in_frame.insert(d.texture);
        widen(frames.back(), device, d);
    }
    return frames;
}

// The screen rectangle around every draw of the slots' images the device recorded.
screen_box drawn_box_of(const recording_device& device, std::initializer_list<uint16_t> slots)
{
    std::set<const device_texture*> images;
    for (uint16_t slot : slots)
        images.insert(g_textures[slot].surface);
    screen_box b{1e9f, 1e9f, -1e9f, -1e9f};
    for (const recorded_draw& d : device.draws())
        if (images.count(d.texture))
            widen(b, device, d);
    return b;
}

// The texts the next frame draws, with their boxes.
std::vector<text_draw> texts_of_next_frame()
{
    static std::vector<text_draw>* seen = nullptr;
    std::vector<text_draw> texts;
    seen = &texts;
    g_text_drawn = [](const text_draw& t) { seen->push_back(t); };
    EXPECT_TRUE(program_frame());
    g_text_drawn = nullptr;
    seen = nullptr;
    return texts;
}

// Nobody fights the hero, who then stays idle until a press moves it.
void remove_enemies()
{
    for (uint32_t s = 0; s < g_char_count; ++s)
        if (g_chars[s].kind == k_kind_enemy)
            g_chars[s].life = k_life_gone;
}

// A press at p held for one frame lands on the interface, and the hero stays where it stood.
void expect_press_leaves_hero_standing(screen_point p)
{
    const world_object* body = world_object_of(g_chars[g_player_char]);
    ASSERT_NE(body, nullptr);
    const float x = body->x, y = body->y;
    inject_pointer(p.x, p.y);
    inject_left_button(true);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_interface.mouse_over_ui, 1u) << "pressed at " << p.x << ", " << p.y;
    inject_left_button(false);
    EXPECT_TRUE(hero_stands_for(10, x, y)) << "pressed at " << p.x << ", " << p.y;
}

} // namespace

TEST_F(shell_test, TheShrineAndTheForcedFirstChoiceOpenTheSelectionAndAShowsTheChosenAttunement)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());
    g_interface_links.wait_until_released = release_then_wait;
    for (int16_t id : k_taught)
        EXPECT_EQ(g_item_protos[id].damage, k_attunement_learned_points) << id;
    const float x0 = float(g_screen_width / 2 - 300), y0 = float(g_screen_height / 2 - 200), x1 = x0 + 310.0f;

    // The shrine's click opens the window; its close box shuts it.
    const int32_t shrine = shrine_sector();
    ASSERT_GE(shrine, 0);
    const screen_point at = sector_on_screen(shrine);
    ASSERT_TRUE(click_at(at.x, at.y));
    ASSERT_EQ(g_interface.attunement_select_open, 1u);
    EXPECT_EQ(g_interface.attunement_select_first, 0u);
    ASSERT_TRUE(click_at(x1 + 297.0f, y0 + 20.0f));
    ASSERT_EQ(g_interface.attunement_select_open, 0u);

    // With the hero south of the shrine, the camera shows it under a row of the left list: a
    // press held there over frames, as a player's is, opens the window and chooses nothing.
    char_record& hero = g_chars[g_player_char];
    for (int frame = 0; frame < 300 && hero.state != 0; ++frame)  // any walk still going
        ASSERT_TRUE(program_frame());
    ASSERT_NE(world_object_of(hero), nullptr);
    world_object_of(hero)->x = 300.0f, world_object_of(hero)->y = 644.0f;
    const float row_y = y0 + 63.0f + 12.0f * float(selection_row_of(k_taught[1]));
    inject_pointer(x0 + 40.0f, row_y);
    ASSERT_TRUE(program_frame() && program_frame());  // the camera follows, then the pointer
    ASSERT_NE(point_in_sector(g_mouse_x, g_mouse_y, shrine), 0);
    const std::vector<int16_t> active(hero.active_attunements, hero.active_attunements + hero.active_attunement_count);
    inject_left_button(true);
    for (int frame = 0; frame < 5; ++frame)
        ASSERT_TRUE(program_frame());
    inject_left_button(false);
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_interface.attunement_select_open, 1u);
    EXPECT_EQ(std::vector<int16_t>(hero.active_attunements, hero.active_attunements + hero.active_attunement_count),
              active);
    ASSERT_TRUE(click_at(x1 + 297.0f, y0 + 20.0f));

    // The forced first choice stays until the first attunement is active.
    reset_text_window(&g_message_window);
    show_text_message("^select_attunement_first");
    clear_message_window_reanchor();
    draw_message_window();
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_interface.attunement_select_open, 1u);
    ASSERT_EQ(g_interface.attunement_select_first, 1u);
    ASSERT_TRUE(click_at(x1 + 297.0f, y0 + 20.0f));
    ASSERT_EQ(g_interface.attunement_select_open, 1u);
    const int row = selection_row_of(k_first_choice);
    ASSERT_GE(row, 0);
    ASSERT_TRUE(click_at(x0 + 60.0f, y0 + 63.0f + 12.0f * float(row)));
    ASSERT_TRUE(active_attunement_has(&hero, k_first_choice));
    ASSERT_TRUE(click_at(x1 + 297.0f, y0 + 20.0f));
    EXPECT_EQ(g_interface.attunement_select_open, 0u);

    // A shows the panel; its page button turns to the active attunements.
    inject_pointer(600.0f, 300.0f);
    inject_key(k_key_a, true);
    ASSERT_TRUE(program_frame());
    inject_key(k_key_a, false);
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_interface.attunement_panel_open, 1u);
    ASSERT_TRUE(click_at(165.0f, 45.0f + 372.0f));
    EXPECT_EQ(g_interface.attunement_page, 1u);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

// A press acts on the interface alone: the pointer moved onto the attunement panel's page button
// and pressed in the same frame turns the page and leaves the hero standing; a press held on the
// shrine opens the selection, and the hero stays where it was while the button is held.
TEST_F(shell_test, APressOnThePanelOrOneThatOpensTheSelectionDoesNotWalkTheHero)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());
    g_interface_links.wait_until_released = release_then_wait;
    const char_record& hero = g_chars[g_player_char];
    const world_object* body = world_object_of(hero);
    ASSERT_NE(body, nullptr);
    const float x = body->x, y = body->y;
    auto stands_for = [&](int frames) { return hero_stands_for(frames, x, y); };
    ASSERT_EQ(hero.state, uint32_t(k_state_idle));

    // A opens the panel while the pointer is over the world; then the pointer jumps onto the page
    // button and presses before the next frame.
    inject_pointer(600.0f, 300.0f);
    ASSERT_TRUE(tap_keys({k_key_a}));
    ASSERT_EQ(g_interface.attunement_panel_open, 1u);
    const uint8_t page = g_interface.attunement_page;
    inject_pointer(165.0f, 45.0f + 372.0f);
    inject_left_button(true);
    ASSERT_TRUE(program_frame());
    EXPECT_NE(g_interface.attunement_page, page);
    EXPECT_TRUE(stands_for(30));
    ASSERT_TRUE(tap_keys({k_key_a}));
    ASSERT_EQ(g_interface.attunement_panel_open, 0u);

    // Held on the shrine: the selection opens and the hero stays while the button is down.
    const int32_t shrine = shrine_sector();
    ASSERT_GE(shrine, 0);
    const screen_point at = sector_on_screen(shrine);
    inject_pointer(at.x, at.y);
    inject_left_button(true);
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(program_frame());
    ASSERT_EQ(g_interface.attunement_select_open, 1u);
    EXPECT_TRUE(stands_for(40));
    EXPECT_EQ(g_mouse_left, 1u);
    inject_left_button(false);
    EXPECT_TRUE(stands_for(5));
    const float x1 = float(g_screen_width / 2 - 300) + 310.0f, y0 = float(g_screen_height / 2 - 200);
    ASSERT_TRUE(click_at(x1 + 297.0f, y0 + 20.0f));
    EXPECT_EQ(g_interface.attunement_select_open, 0u);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

// Every pixel of an open panel's frame takes the press: pressed on the lowest strip and by the
// right edge of each frame drawn (the inventory with the character panel and the quest log beside
// it, then the inventory with a chest's window below it), the pointer is over the interface and
// the hero stays.
TEST_F(shell_test, APressOnAnyPartOfAnOpenPanelsFrameDoesNotWalkTheHero)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());
    remove_enemies();
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);
    const char_record& hero = g_chars[g_player_char];
    auto press_frame_edges = [&](size_t shown) {
        device->clear_recording();
        ASSERT_TRUE(program_frame());
        const std::vector<screen_box> frames = drawn_panel_frames(*device);
        ASSERT_EQ(frames.size(), shown);
        for (const screen_box& f : frames) {
            const screen_point bottom{(f.x1 + f.x2) / 2, f.y2 - 3}, right{f.x2 - 8, (f.y1 + f.y2) / 2};
            for (const screen_point p : {bottom, right})
                expect_press_leaves_hero_standing(p);
        }
    };
    inject_pointer(600.0f, 300.0f);
    ASSERT_TRUE(tap_keys({k_key_i}) && tap_keys({k_key_c}) && tap_keys({k_key_q}));
    ASSERT_TRUE(g_interface.side_panel_open && g_interface.character_panel_open && g_interface.quest_log_open);
    press_frame_edges(3);
    ASSERT_TRUE(tap_keys({k_key_c}) && tap_keys({k_key_q}) && tap_keys({k_key_i}));

    // A click by the chest walks the hero there and opens its window below the inventory.
    ASSERT_TRUE(click_at((880.0f - g_camera_x) * g_zoom, (600.0f - g_camera_y) * g_zoom));
    for (int frame = 0; frame < 1500 && (!g_interface.container_open || hero.state != k_state_idle); ++frame)
        ASSERT_TRUE(program_frame());  // waits for the chest to open and the hero to stop
    ASSERT_TRUE(g_interface.container_open && g_interface.side_panel_open);
    press_frame_edges(2);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

// Every drawn part of the HUD takes the press: pressed on the frame's bottom band below the quick
// bar, on its top band and on the clock's day line above the bottom band, the pointer is over the
// interface and the hero stays.
TEST_F(shell_test, APressOnAnyDrawnPartOfTheHudDoesNotWalkTheHero)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv console brana.sav"));
    ASSERT_TRUE(pass_greeting());
    ASSERT_TRUE(program_frame());
    remove_enemies();
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);
    inject_pointer(600.0f, 300.0f);
    device->clear_recording();
    const std::vector<text_draw> texts = texts_of_next_frame();
    const uint16_t* frame = g_interface.hud_frame;
    const screen_box top = drawn_box_of(*device, {frame[0], frame[1], frame[2]});
    const screen_box bottom = drawn_box_of(*device, {frame[3], frame[4], frame[5]});
    ASSERT_TRUE(top.x1 < top.x2 && bottom.x1 < bottom.x2);
    const std::string day = std::string(ui_text(7)) + " ";
    const auto day_line = std::find_if(texts.begin(), texts.end(), [&](const text_draw& t) {
        return t.text.starts_with(day);
    });
    ASSERT_NE(day_line, texts.end());
    const screen_point on_day{float(day_line->x + day_line->width / 2), float(day_line->y) + 3};
    ASSERT_LT(on_day.y, bottom.y1);
    const screen_point below_quick_bar{(bottom.x1 + bottom.x2) / 2, bottom.y2 - (bottom.y2 - bottom.y1) / 4};
    for (const screen_point p : {below_quick_bar, screen_point{(top.x1 + top.x2) / 2, (top.y1 + top.y2) / 2}, on_day})
        expect_press_leaves_hero_standing(p);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}
