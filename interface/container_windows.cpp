#include "interface/container_windows.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/panel_drawing.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "items/items.h"

#include <algorithm>

namespace {

constexpr float k_window_y = 385.0f;       // frame top, panel coordinates
constexpr float k_cells_y = 415.0f;        // top of cell row 0
constexpr float k_band_bottom = 800.0f;    // the window band's bottom for the ground drop

// Panel x of a window's left edge.
float window_x(int window)
{
    return window == 0 ? 0.0f : 315.0f;
}

uint32_t& open_flag(int window)
{
    return window == 0 ? g_interface.container_open : g_interface.second_container_open;
}

int16_t& container_id_of(int window)
{
    return window == 0 ? g_interface.container_id : g_interface.second_container_id;
}

uint32_t& held_flag_of(int window)
{
    return window == 0 ? g_interface.held_from_container : g_interface.held_from_second_container;
}

bool mouse_left_held()
{
    return g_mouse_left != 0;
}

// The item held from the window goes back to its cell and the hand is emptied.
void return_held_to_window(int window)
{
    if (!held_flag_of(window))
        return;
    return_container_item(window_container(window), g_interface.held_origin, g_interface.held_item,
                          g_interface.held_flag);
    clear_held_item(true);
}

void close_window(int window)
{
    return_held_to_window(window);
    game_interface& gi = g_interface;
    if (window == 0 && gi.second_container_open) {
        gi.container_id = gi.second_container_id;
        if (gi.held_from_second_container) {
            gi.held_from_second_container = 0;
            gi.held_from_container = 1;
        }
        gi.second_container_open = 0;
        return;
    }
    open_flag(window) = 0;
}

constexpr int16_t k_short_frame = 1;  // the frame of a grid of up to 2 rows
constexpr int16_t k_tall_frame = 2;

int16_t frame_panel(const container& c)
{
    return c.height > 2 ? k_tall_frame : k_short_frame;
}

// The screen rectangle of the window's frame.
pointer_area frame_area(int window, const container& c)
{
    return panel_frame_area(frame_panel(c), k_panel_x0 + window_x(window), k_panel_y0 + k_window_y);
}

void draw_window(int window)
{
    container* c = window_container(window);
    if (!c)
        return;
    const float x = window_x(window);
    const pointer_area frame = frame_area(window, *c);
    draw_panel_frame(frame_panel(*c), frame.x1, frame.y1, 1.0f);

    if (cursor_strictly_in(x + 290.0f, k_window_y + 5.0f, x + 305.0f, k_window_y + 30.0f) && g_mouse_left) {
        if (!run_hook_or(g_interface_links.wait_until_released, "wait_until_released", true, mouse_left_held))
            return;
        close_window(window);
        c = window_container(window);
        if (!c)
            return;
    }

    // The whole frame takes the pointer; a short window also the band below it.
    pointer_area area = frame_area(window, *c);
    if (frame_panel(*c) == k_short_frame)
        area.y2 = std::max(area.y2, k_panel_y0 + k_band_bottom);
    claim_pointer_area(area);

    const uint32_t cells = container_cells(c);
    for (uint32_t k = 0; k < cells; ++k) {
        const float cx = x + 22.0f + 34.0f * float(k % c->width);
        const float cy = k_cells_y + 34.0f * float(k / c->width);
        draw_cell_background(cx, cy);
        const uint16_t item = c->items[k];
        if (item == k_container_cell_empty || int32_t(item) >= g_item_proto_count)
            continue;
        draw_damage_tint(cx, cy, c->flags[k]);
        draw_cell_icon(g_item_protos[item].icon_texture, cx, cy);
    }
}

} // namespace

container* window_container(int window)
{
    if (window < 0 || window > 1 || !open_flag(window))
        return nullptr;
    const int16_t id = container_id_of(window);
    if (id < 0 || id >= k_container_slots || !g_containers[id].items || !g_containers[id].width)
        return nullptr;
    return &g_containers[id];
}

float container_windows_bottom()
{
    if (!g_interface.side_panel_open || g_dialogue_running)
        return 0.0f;
    float bottom = 0.0f;
    for (int window = 0; window < 2; ++window)
        if (const container* c = window_container(window))
            bottom = std::max(bottom, frame_area(window, *c).y2);
    return bottom;
}

int32_t window_cell_limit(int window)
{
    return window == 0 ? 50 : 100;
}

void draw_container_windows()
{
    draw_window(1);
    draw_window(0);
}

uint8_t container_hit_code()
{
    uint8_t code = k_code_none;
    for (int window = 0; window < 2; ++window) {
        const container* c = window_container(window);
        if (!c)
            continue;
        const uint32_t cells = std::min<uint32_t>(container_cells(c), uint32_t(window_cell_limit(window)));
        const float x = window_x(window) + 22.0f;
        for (uint32_t k = 0; k < cells; ++k) {
            const float cx = x + 34.0f * float(k % c->width);
            const float cy = k_cells_y + 34.0f * float(k / c->width);
            if (cursor_strictly_in(cx, cy, cx + 32.0f, cy + 33.0f))
                code = uint8_t((window == 0 ? k_code_first_cell : k_code_second_cell) + k);
        }
    }
    return code;
}

bool cursor_over_container_windows()
{
    for (int window = 0; window < 2; ++window) {
        if (!open_flag(window))
            continue;
        // As wide as the window's frame (both frames are), down to the band's bottom.
        const float x = window_x(window);
        const pointer_area frame = panel_frame_area(k_short_frame, x, k_window_y);
        if (cursor_in(x, k_window_y, frame.x2, k_band_bottom))
            return true;
    }
    return false;
}

void open_bag_on_right_button(int32_t entry)
{
    const char_record* hero = panel_hero();
    if (!holding_nothing() || !g_mouse_right || !hero || entry < 0 || entry >= int32_t(hero->inv_count))
        return;
    const int16_t item = hero->inv_item[entry];
    if (item < 0 || item >= g_item_proto_count || g_item_protos[item].item_class != k_item_container)
        return;
    const uint32_t word = hero->inv_value[entry];
    if (word < uint32_t(k_char_container_first) || word >= uint32_t(k_container_slots))
        return;
    game_interface& gi = g_interface;
    const int window = gi.container_open && gi.container_id != int16_t(word) ? 1 : 0;
    container_id_of(window) = int16_t(word);
    open_flag(window) = 1;
}

void return_container_item(container* c, uint32_t cell, int32_t item, uint8_t flag)
{
    if (c && c->items && cell < container_cells(c) && c->items[cell] == k_container_cell_empty) {
        c->items[cell] = uint16_t(item);
        c->flags[cell] = flag;
        return;
    }
    console_log("kontajner: predmet %d sa nevracia do policka %u, pada k hrdinovi", item, cell);
    if (item < 0 || item >= g_item_proto_count ||
        !drop_ground_item(uint16_t(item), 1, 1, 1, true, uint16_t(g_player_char), flag))
        console_log("kontajner: predmet %d sa nepodarilo polozit", item);
}
