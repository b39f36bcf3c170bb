// The attunement selection window: the hero's learned attunements that are not active on the
// left, a click adding one; the active ones on the right in their slot boxes, a click removing
// one. Opened by setting attunement_select_open; it closes itself. Its rows and its close box act
// on a press that nothing else took (take_left_press), so the click that opened the window does
// nothing in it.
#include "characters/char_inventory.h"
#include "characters/char_record.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/ui_texts.h"
#include "interface/attunement_lists.h"
#include "interface/held_item.h"
#include "interface/interface_state.h"
#include "interface/list_widgets.h"
#include "interface/panel_drawing.h"
#include "script/text_window.h"

#include <algorithm>

int32_t g_attunement_select_scroll = 0;

namespace {

constexpr uint32_t k_heading_colour = 0xFFDCDC;
constexpr uint32_t k_row_colour = 0xCDCDCD;
constexpr uint32_t k_hover_colour = 0xFFFFFF;
constexpr int16_t k_first_choice = 175;  // the attunement a window opened as the first choice waits for
constexpr int32_t k_active_rows = 16;    // active rows and slot boxes drawn at most

struct window_origin {
    float x0, y0, x1;
};

void draw_heading(int text, float x, float y)
{
    font_begin(&g_font_small);
    font_text_out(&g_font_small, int32_t(x), int32_t(y), ui_text(text), k_heading_colour);
    font_end(&g_font_small);
}

uint32_t learned_colour(int16_t, bool hovered)
{
    return hovered ? k_hover_colour : k_row_colour;
}

uint32_t active_colour(int16_t, bool)
{
    return k_hover_colour;
}

// The wheel turned forward moves the list up (-1), backward down (1).
int32_t wheel_step()
{
    return g_mouse_state.z > 0 ? -1 : g_mouse_state.z < 0 ? 1 : 0;
}

// The left list; false when the window closed during a wait.
bool update_learned_list(const window_origin& o, char_record* hero, const int16_t* ids, int32_t n)
{
    int32_t& scroll = g_attunement_select_scroll;
    if (n > k_attunement_rows)
        update_list_scroll_bar(o.x0, o.y0 + 234.0f, n, k_attunement_rows, wheel_step(),
                               g_interface.overlay_click_latch, scroll);
    const int32_t first = n > k_attunement_rows ? scroll : 0;
    const int32_t shown = std::min(n - first, k_attunement_rows);
    const int32_t row = draw_attunement_rows({o.x0 + 27.0f, o.y0 + 57.0f, o.x0 + 27.0f, 12.0f}, ids + first, shown,
                                             learned_colour);
    if (row < 0)
        return true;
    show_attunement_tooltip(ids[first + row], true);
    if (!take_left_press())
        return true;
    if (!wait_for_left_release())
        return false;
    if (active_attunement_add(hero, ids[first + row])) {
        reset_text_window(&g_message_window);
        g_message_shown = 0;
        if (scroll > 0)
            --scroll;
    }
    return true;
}

// The window may close unless it waits for the first choice while that one can still be chosen.
bool may_close(const char_record* hero, const int16_t* ids, int32_t n)
{
    if (!g_interface.attunement_select_first || !hero || active_attunement_has(hero, k_first_choice))
        return true;
    if (std::find(ids, ids + n, k_first_choice) != ids + n)
        return false;
    console_log("vyber atunementu: %d sa neda vybrat, okno sa zatvara", int(k_first_choice));
    return true;
}

// The close box and the close button; true when the window closed (or the program window did
// during the wait).
bool update_close(const window_origin& o, char_record* hero, const int16_t* ids, int32_t n)
{
    const bool on_box = cursor_strictly_on_screen(o.x1 + 290.0f, o.y0 + 10.0f, o.x1 + 305.0f, o.y0 + 30.0f);
    const bool on_button = cursor_strictly_on_screen(o.x1 + 270.0f, o.y0 + 364.0f, o.x1 + 310.0f, o.y0 + 384.0f);
    if (g_mouse_left && (on_box || on_button) && may_close(hero, ids, n) && take_left_press()) {
        if (!wait_for_left_release())
            return true;
        g_interface.attunement_select_open = 0;
        if (hero) {
            char_sync_attunements(hero);
            char_apply_item_effects(hero);
            char_refresh_equipment(hero);
        }
        return true;
    }
    draw_list_widget(on_button ? k_list_close_lit : k_list_close, o.x1 + 302.0f, o.y0 + 380.0f, 0);
    return false;
}

void update_active_list(const window_origin& o, char_record* hero)
{
    draw_heading(38, o.x1 + 87.0f, o.y0 + 27.0f);
    if (!hero)
        return;
    const int32_t boxes = std::min(char_max_active_attunements(hero), k_active_rows);
    for (int32_t k = 0; k < boxes; ++k)
        draw_list_widget(k_list_slot_box, o.x1 + 157.0f, o.y0 + 80.0f + 16.0f * float(k), 0);
    const int32_t n = std::clamp<int32_t>(hero->active_attunement_count, 0, k_active_rows);
    const int32_t row = draw_attunement_rows({o.x1 + 47.0f, o.y0 + 67.0f, o.x1 + 27.0f, 16.0f},
                                             hero->active_attunements, n, active_colour);
    if (row < 0)
        return;
    show_attunement_tooltip(hero->active_attunements[row], true);
    if (take_left_press() && wait_for_left_release())
        active_attunement_remove_at(hero, row);
}

} // namespace

void update_attunement_selection()
{
    game_interface& gi = g_interface;
    if (!gi.attunement_select_open || g_text_viewer_open)
        return;
    gi.mouse_over_ui = 1;
    gi.side_panel_open = gi.character_panel_open = gi.attunement_panel_open = gi.quest_log_open = 0;
    full_light_guard light;
    const window_origin o{float(g_screen_width / 2 - 300), float(g_screen_height / 2 - 200),
                          float(g_screen_width / 2 - 300 + 310)};
    char_record* hero = panel_hero();

    draw_panel_frame(0, o.x0, o.y0, 1.0f);
    draw_list_widget(k_list_title_plate, o.x0 + 300.0f, o.y0 + 22.0f, 0);
    draw_heading(37, o.x0 + 87.0f, o.y0 + 27.0f);
    static int16_t ids[k_item_slots];
    const int32_t n = learned_inactive_attunements(hero, ids);
    if (!update_learned_list(o, hero, ids, n))
        return;

    draw_panel_frame(0, o.x1, o.y0, 1.0f);
    if (update_close(o, hero, ids, n))
        return;
    update_active_list(o, hero);
}
