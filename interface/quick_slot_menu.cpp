#include "interface/quick_bar.h"

#include "characters/char_record.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "engine/quads.h"
#include "engine/ui_texts.h"
#include "interface/held_item.h"
#include "items/items.h"
#include "script/script_services.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int k_options = 4;              // weapons, foci, quick items, remove
constexpr int k_option_remove = 3;
constexpr float k_fade_step = 0.06f;
constexpr float k_cell = 32.0f;
constexpr float k_list_dx = 34.0f;        // the list's column from the option column
constexpr float k_list_step = 33.0f;      // each further list item stands this much higher
constexpr int k_first_option_text = 33;
constexpr uint8_t k_no_selection = 255;

// Texture slot of option k's image (the images are loaded as quick, spell, weapon, remove).
uint16_t option_image(int k)
{
    static constexpr int k_image_of_option[k_options] = {2, 1, 0, 3};
    return g_interface.pull_kinds[k_image_of_option[k]];
}

bool in_list(int kind, uint8_t item_class)
{
    switch (kind) {
    case 0: return item_class >= k_item_fast_weapon && item_class < k_item_focus;
    case 1: return item_class == k_item_focus;
    case 2: return item_class == k_item_quick;
    default: return false;
    }
}

void draw_cell(uint16_t texture, float left, float top, float alpha)
{
    draw_texture_screen(texture, left + k_cell / 2.0f, top + k_cell / 2.0f, alpha, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f,
                        1.0f, 1.0f);
}

// One step toward 1 while `open`, else toward 0; true once a closing fade reached 0.
bool fade(float& alpha, bool open)
{
    if (open) {
        alpha = std::min(1.0f, alpha + k_fade_step);
        return false;
    }
    if (alpha > 0.0f)
        alpha = std::max(0.0f, alpha - k_fade_step);
    return alpha <= 0.0f;
}

void hover_options(float x, float y)
{
    game_interface& gi = g_interface;
    for (int k = 0; k < k_options; ++k) {
        const float top = y + k_cell * float(k);
        if (!cursor_in_bar_cell(x, top, x + k_cell, top + k_cell))
            continue;
        char markup[192];
        std::snprintf(markup, sizeof markup, "^window 10 0 120 30 ^mouse_center ^gl_a 0.6 %s",
                      ui_text(k_first_option_text + k));
        replace_text_message(markup);
        if (k == k_option_remove && g_mouse_left) {
            gi.quick_ids[gi.quick_menu_slot] = -1;
            if (gi.quick_selected == gi.quick_menu_slot)
                gi.quick_selected = k_no_selection;
        }
        outline_bar_cell(x, top, x + k_cell, top + k_cell);
        gi.quick_list_open = 1;
        if (gi.quick_list_kind != k)
            gi.quick_list_alpha = 0.0f;
        gi.quick_list_kind = int16_t(k);
    }
}

// The carried items of the list's kind, rising from the option that opened it; a click assigns
// one to the slot.
void run_list(float x, float y)
{
    game_interface& gi = g_interface;
    const char_record* hero = panel_hero();
    const int kind = gi.quick_list_kind;
    if (!hero || kind < 0 || kind >= k_option_remove)
        return;
    const float left = x + k_list_dx;
    float top = y + k_cell * float(kind);
    for (int32_t e = 0; e < std::min<int32_t>(hero->inv_count, k_inventory_entries); ++e) {
        const int16_t item = hero->inv_item[e];
        const item_proto* p = item_proto_at(item);
        if (!p || !in_list(kind, p->item_class))
            continue;
        draw_cell(gi.slot_box, left, top, gi.quick_menu_alpha);
        draw_cell(p->icon_texture, left, top, gi.quick_list_alpha);
        if (cursor_in_bar_cell(left, top, left + k_cell, top + k_cell)) {
            show_name_tooltip(p->display_name, int32_t(sizeof p->display_name), "", 60);
            outline_bar_cell(left, top, left + k_cell, top + k_cell);
            if (g_mouse_left) {
                assign_quick_slot(gi.quick_menu_slot, item, p->icon_texture, kind == 2 ? 2 : 1);
                gi.quick_selected = k_no_selection;
            }
        }
        top -= k_list_step;
    }
}

} // namespace

void run_quick_slot_menu()
{
    if (g_text_viewer_open)
        return;
    game_interface& gi = g_interface;
    // Only a slot of the bar has a pull-down.
    const bool shown = gi.quick_menu_slot >= 0 && gi.quick_menu_slot < k_quick_key_slots;
    const float x = quick_bar_left() + 33.0f * float(gi.quick_menu_slot);
    const float y = float(g_screen_height) - 175.0f;
    if (shown) {
        for (int k = 0; k < k_options; ++k) {
            draw_cell(gi.slot_box, x, y + k_cell * float(k), gi.quick_menu_alpha);
            draw_cell(option_image(k), x, y + k_cell * float(k), gi.quick_menu_alpha);
        }
        claim_pointer_area(k_everywhere);
    }
    if (gi.quick_menu_open) {
        if (g_ticks > gi.quick_menu_next_tick) {
            fade(gi.quick_menu_alpha, true);
            if (g_mouse_left)
                gi.quick_menu_open = 0;
            gi.quick_menu_next_tick = g_ticks + 1;
        }
        if (shown)
            hover_options(x, y);
    } else if (g_ticks > gi.quick_menu_next_tick) {
        if (fade(gi.quick_menu_alpha, false))
            gi.quick_menu_slot = -1;
        gi.quick_menu_next_tick = g_ticks + 1;
    }
    if (shown)
        run_list(x, y);
    if (g_ticks > gi.quick_list_next_tick) {
        if (fade(gi.quick_list_alpha, gi.quick_list_open))
            gi.quick_list_kind = -1;
        if (gi.quick_list_open && g_mouse_left)
            gi.quick_list_open = 0;
        gi.quick_list_next_tick = g_ticks + 1;
    }
}

void close_quick_slot_menu()
{
    game_interface& gi = g_interface;
    gi.quick_menu_open = gi.quick_list_open = 0;
    gi.quick_menu_slot = gi.quick_list_kind = -1;
    gi.quick_menu_alpha = gi.quick_list_alpha = 0.0f;
}
