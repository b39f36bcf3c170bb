#include "interface/attunement_panel.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/quads.h"
#include "engine/ui_texts.h"
#include "interface/attunement_lists.h"
#include "interface/held_item.h"
#include "interface/panel_drawing.h"
#include "interface/panel_toggles.h"
#include "items/item_requirements.h"

#include <algorithm>
#include <iterator>

int32_t g_attunement_panel_scroll = 0;

namespace {

constexpr uint32_t k_heading_colour = 0xFFDCDC;  // red 220, green 220, blue 255
constexpr uint32_t k_row_colour = 0xCDCDCD;
constexpr uint32_t k_hover_colour = 0xFFFFFF;
constexpr uint32_t k_unmet_colour = 0x7878F0;    // red 240, green 120, blue 120
constexpr uint8_t k_active_page = 1;
// The save/load screen's buttons in g_interface.save_load_buttons, normal then hovered.
constexpr int k_active_button = 10;
constexpr int k_all_button = 12;
constexpr float k_bar_top = 234.0f;

uint32_t learned_colour(int16_t, bool hovered)
{
    return hovered ? k_hover_colour : k_row_colour;
}

uint32_t active_colour(int16_t id, bool)
{
    return item_requirements_met(id, int32_t(g_player_char), id) ? k_hover_colour : k_unmet_colour;
}

void draw_heading(const panel_origin& o, int text, float x)
{
    font_begin(&g_font_small);
    font_text_out(&g_font_small, int32_t(o.x + x), int32_t(o.y + 27.0f), ui_text(text), k_heading_colour);
    font_end(&g_font_small);
}

// The page button: "active" on the learned page, "all" on the active one; a left press over it
// waits for the release and turns the page. False when the window closed during the wait.
bool page_button(const panel_origin& o)
{
    game_interface& gi = g_interface;
    const bool active_page = gi.attunement_page == k_active_page;
    const bool over = cursor_strictly_on_screen(o.x + 101.0f, o.y + 356.0f, o.x + 197.0f, o.y + 380.0f);
    const uint16_t slot = gi.save_load_buttons[(active_page ? k_all_button : k_active_button) + (over ? 1 : 0)];
    if (slot != k_no_texture_slot)
        draw_texture_screen(slot, o.x + 165.0f, o.y + 372.0f, 1.0f, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    if (!over || !g_mouse_left)
        return true;
    if (!wait_for_left_release())
        return false;
    gi.attunement_page = active_page ? 0 : k_active_page;
    return true;
}

// The learned page; returns the hovered attunement or -1.
int32_t learned_page(const panel_origin& o, const char_record* hero)
{
    static int16_t ids[k_item_slots];
    const int32_t n = learned_inactive_attunements(hero, ids);
    draw_heading(o, 10, 97.0f);
    if (n > k_attunement_rows)
        update_list_scroll_bar(o.x, o.y + k_bar_top, n, k_attunement_rows, int32_t(g_wheel_down) - int32_t(g_wheel_up),
                               g_hud_click_latch, g_attunement_panel_scroll);
    const int32_t first = n > k_attunement_rows ? g_attunement_panel_scroll : 0;
    const int32_t shown = std::min(n - first, k_attunement_rows);
    const int32_t row = draw_attunement_rows({o.x + 27.0f, o.y + 47.0f, o.x + 27.0f, 12.0f}, ids + first, shown,
                                             learned_colour);
    return row < 0 ? -1 : ids[first + row];
}

// The active page; returns the hovered attunement or -1.
int32_t active_page(const panel_origin& o, const char_record* hero)
{
    draw_heading(o, 11, 87.0f);
    if (!hero)
        return -1;
    const int32_t n = std::clamp<int32_t>(hero->active_attunement_count, 0, int32_t(std::size(hero->active_attunements)));
    const int32_t row =
        draw_attunement_rows({o.x + 27.0f, o.y + 47.0f, o.x + 27.0f, 12.0f}, hero->active_attunements, n, active_colour);
    return row < 0 ? -1 : hero->active_attunements[row];
}

} // namespace

void update_attunement_panel()
{
    const panel_origin o = log_panel_origin();
    if (!begin_log_panel(o, close_attunement_panel) || !page_button(o))
        return;
    const char_record* hero = panel_hero();
    const int32_t hovered =
        g_interface.attunement_page == k_active_page ? active_page(o, hero) : learned_page(o, hero);
    if (hovered >= 0)
        show_attunement_tooltip(int16_t(hovered), false);
}
