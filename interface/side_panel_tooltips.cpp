#include "interface/side_panel_tooltips.h"

#include "characters/char_record.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/ui_texts.h"
#include "interface/container_windows.h"
#include "interface/held_item.h"
#include "items/containers.h"
#include "items/item_tooltips.h"
#include "items/items.h"
#include "script/script_services.h"
#include "script/text_window.h"

#include <cstdio>

namespace {

constexpr float k_panel_x = 0.0f, k_panel_y = 45.0f;  // the side panel's origin on screen
constexpr float k_purse_low = 250.0f, k_purse_high = 282.0f;  // the gold icon's square, panel pixels
constexpr float k_guessed_height = 320.0f;

// Holds every item tooltip: a description of 1,999 bytes and all the lines before it.
char g_tooltip_markup[8192];

// The width of a one-line tooltip window: the text in the large font and a margin.
int32_t line_window_width(const char* text, int32_t margin)
{
    return font_measure_text(&g_font_large, text) + margin;
}

// Composed at a guessed height, laid out, composed again at the height the layout reached.
void show_item_tooltip(int32_t item, uint8_t code, uint8_t damage_type)
{
    show_fitted_message(g_tooltip_markup, k_guessed_height, [&](float height) {
        draw_item_tooltip(item, g_tooltip_markup, sizeof g_tooltip_markup, height, code, damage_type);
    });
}

void show_entry_tooltip(uint8_t code)
{
    const char_record* hero = panel_hero();
    const int32_t entry = last_entry_at(code);
    if (!hero || entry < 0 || !item_proto_at(hero->inv_item[entry]))
        return;
    show_item_tooltip(hero->inv_item[entry], code, hero->inv_damage_type[entry]);
}

void show_cell_tooltip(uint8_t code)
{
    const int window = code < k_code_second_cell ? 0 : 1;
    const int32_t cell = code - (window == 0 ? k_code_first_cell : k_code_second_cell);
    const container* c = window_container(window);
    if (!c || cell >= window_cell_limit(window) || uint32_t(cell) >= container_cells(c))
        return;
    const uint16_t id = c->items[cell];
    const item_proto* item = item_proto_at(id);
    if (id == k_container_cell_empty || !item)
        return;
    const uint8_t flag = c->flags[cell];
    if (item->item_class != k_item_gold) {
        show_item_tooltip(id, code, flag);
        return;
    }
    char name[sizeof item->display_name + 1] = {};
    std::snprintf(name, sizeof name, "%.*s", int(sizeof item->display_name), item->display_name);
    char text[160];
    std::snprintf(text, sizeof text, "%d %s", int(flag), name);
    char markup[256];
    std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^mouse_center ^gl_a 0.6 %s", line_window_width(text, 60), text);
    replace_text_message(markup);
}

} // namespace

void show_purse_tooltip()
{
    const char_record* hero = panel_hero();
    const float x = g_mouse_screen_x - k_panel_x, y = g_mouse_screen_y - k_panel_y;
    if (!hero || x <= k_purse_low || x >= k_purse_high || y <= k_purse_low || y >= k_purse_high)
        return;
    char text[160];
    std::snprintf(text, sizeof text, "%d %s", int(hero->gold), ui_text(hero->gold == 1 ? 29 : 30));
    char markup[256];
    std::snprintf(markup, sizeof markup, "^window 10 0 %d 30  ^mouse_center ^gl_a 0.6 %s", line_window_width(text, 80), text);
    replace_text_message(markup);
}

void show_slot_tooltip(uint8_t code)
{
    if (code < k_code_first_cell) {
        if (holding_nothing())
            show_entry_tooltip(code);
    } else if (code < k_code_hero) {
        show_cell_tooltip(code);
    }
}
