#include "interface/side_panel.h"

#include "characters/char_drawing.h"
#include "characters/char_inventory.h"
#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "engine/sprite_font.h"
#include "interface/container_windows.h"
#include "interface/equipment_slots.h"
#include "interface/held_item.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/item_clicks.h"
#include "interface/panel_drawing.h"
#include "interface/quick_bar.h"
#include "interface/side_panel_tooltips.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "platform/key_codes.h"
#include "script/text_window.h"

#include <cstdio>

namespace {

constexpr int k_panel_slots = 28;          // backpack 0-15, equipment 16-27
constexpr int16_t k_frame_panel = 0;       // the panel background drawn as the frame
constexpr float k_hud_strip = 64.0f;       // the bottom HUD strip takes no ground drop
constexpr int k_quick_drop_slots = 10;

// Top-left corner of a slot's cell background in panel coordinates (codes 0-27).
void slot_cell(int code, float& x, float& y)
{
    if (code < 16) {
        x = 22.0f + 34.0f * float(code % 8);
        y = code < 8 ? 308.0f : 342.0f;
        return;
    }
    const int i = (code - 16) % 3;
    switch ((code - 16) / 3) {
    case 0: x = 108.0f + 34.0f * float(i), y = 25.0f; break;
    case 1: x = 108.0f + 34.0f * float(i), y = 250.0f; break;
    case 2: x = 45.0f, y = 105.0f + 34.0f * float(i); break;
    default: x = 235.0f, y = 105.0f + 34.0f * float(i); break;
    }
}

// The slot's strict hit bounds (codes 0-27): the cell, one pixel taller in some rows.
void slot_bounds(int code, float& x1, float& y1, float& x2, float& y2)
{
    slot_cell(code, x1, y1);
    x2 = x1 + 32.0f;
    y2 = y1 + 32.0f;
    if (code >= 8 && code < 16)
        y1 = 341.0f, y2 = 373.0f;
    else if (code >= 19 && code <= 21)
        y2 = 283.0f;
    else if (code >= 22 && code <= 24)
        x2 = 78.0f, y2 = y1 + 33.0f;
    else if (code >= 25)
        y2 = y1 + 33.0f;
}

bool mouse_left_held()
{
    return g_mouse_left != 0;
}

// The view scale is 1 while the hero is drawn on the panel.
struct zoom_guard {
    float saved = g_zoom;
    zoom_guard() { g_zoom = 1.0f; }
    ~zoom_guard() { g_zoom = saved; }
    zoom_guard(const zoom_guard&) = delete;
    zoom_guard& operator=(const zoom_guard&) = delete;
};

const item_proto* proto_of(int32_t item)
{
    return item >= 0 && item < g_item_proto_count ? &g_item_protos[item] : nullptr;
}

void draw_frame_and_close_button()
{
    draw_panel_frame(k_frame_panel, k_panel_x0, k_panel_y0, 1.0f);
    if (!cursor_strictly_in(290.0f, 10.0f, 305.0f, 30.0f) || !g_mouse_left)
        return;
    if (!run_hook_or(g_interface_links.wait_until_released, "wait_until_released", true, mouse_left_held))
        return;
    cancel_item_drag();
    g_interface.side_panel_open = 0;
}

// Every non-empty cell of a bag's container falls at the hero; the cells that fell are emptied.
// True when none is left.
bool spill_bag(uint32_t word, uint16_t owner)
{
    if (word < uint32_t(k_char_container_first) || word >= uint32_t(k_container_slots))
        return true;
    container& c = g_containers[word];
    if (!c.items)
        return true;
    bool all = true;
    for (uint32_t i = 0; i < c.width; ++i)
        for (uint32_t j = 0; j < c.height; ++j) {
            const uint32_t cell = j * c.width + i;
            if (c.items[cell] == k_container_cell_empty)
                continue;
            if (drop_ground_item(c.items[cell], 1, 1, 1, true, owner, c.flags[cell]))
                c.items[cell] = k_container_cell_empty;
            else
                all = false;
        }
    return all;
}

// A bag that left the inventory takes its container with it: the container is freed and a
// window showing it closes. Words naming no character container are left alone.
void forget_bag_container(uint32_t word)
{
    if (word < uint32_t(k_char_container_first) || word >= uint32_t(k_container_slots))
        return;
    container_free(&g_containers[word]);
    const int16_t id = int16_t(word);
    game_interface& gi = g_interface;
    if (gi.second_container_open && gi.second_container_id == id) {
        gi.second_container_open = 0;
        gi.second_container_id = -1;
    }
    if (gi.container_open && gi.container_id == id) {
        gi.container_open = 0;
        gi.container_id = -1;
    }
}

// The held inventory entry falls at the hero. A bag spills its cells first; what cannot be
// dropped stays (the bag with its undropped cells stays held).
void drop_held_on_ground(char_record* hero)
{
    const int32_t entry = g_interface.held_item;
    if (entry < 0 || entry >= int32_t(hero->inv_count))
        return;
    const uint16_t owner = uint16_t(g_player_char);
    const int16_t item = hero->inv_item[entry];
    const item_proto* p = proto_of(item);
    const bool bag = p && p->item_class == k_item_container;
    const uint32_t word = hero->inv_value[entry];
    if (bag && !spill_bag(word, owner))
        return;
    if (!drop_ground_item(uint16_t(item), 1, 1, 1, true, owner, hero->inv_damage_type[entry]))
        return;
    char_remove_item_at(hero, entry, true);
    if (bag)
        forget_bag_container(word);
    clear_held_item(true);
}

// Asked only while the cursor is off the panel's frame. A click on the open menu or on what
// this pass of the interface has shown before the panel (the HUD, the panels beside it) is
// theirs, not the ground's.
bool ground_drop_offered()
{
    return !pointer_over_interface() &&
           g_mouse_screen_y < float(g_screen_height) - k_hud_strip && !cursor_over_container_windows() &&
           holding_inventory_item() && g_mouse_left;
}

void draw_purse(const char_record* hero)
{
    draw_cell_icon(g_interface.bars[2], 250.0f, 250.0f);
    char amount[16];
    std::snprintf(amount, sizeof amount, "%d", hero ? hero->gold : 0);
    const float width = float(sprite_text_width(&g_sprite_font, amount));
    draw_sprite_text(&g_sprite_font, k_panel_x0 + 270.0f - width / 2.0f, k_panel_y0 + 280.0f, amount, 1.0f, 1.0f,
                     1.0f, 1.0f);
    if (cursor_strictly_in(250.0f, 250.0f, 282.0f, 282.0f))
        show_purse_tooltip();
}

void delete_held_on_key(char_record* hero)
{
    const int32_t entry = g_interface.held_item;
    if (!holding_inventory_item() || !(g_key_state[k_key_delete] & 0x80) || entry >= int32_t(hero->inv_count))
        return;
    const item_proto* p = proto_of(hero->inv_item[entry]);
    const uint32_t word = hero->inv_value[entry];
    char_remove_item_at(hero, entry, false);
    if (p && p->item_class == k_item_container)
        forget_bag_container(word);
    clear_held_item(true);
}

void draw_hero_figure(char_record* hero)
{
    if (!world_object_of(*hero))
        return;
    zoom_guard zoom;
    draw_chars(hero, g_camera_x + k_panel_x0 + 150.0f, g_camera_y + k_panel_y0 + 240.0f, 1.0f, 0.7f, 1.0f, 0, 180,
               0, 1.0f, 1.0f, 1.0f, 1);
}

void draw_slots(const char_record* hero)
{
    const int32_t held = holding_nothing() ? -1 : g_interface.held_item;
    for (int code = 0; code < k_panel_slots; ++code) {
        float x, y;
        slot_cell(code, x, y);
        draw_cell_background(x, y);
        if (code < 16 || held < 0)
            continue;
        const int32_t fits = holding_container_item() ? item_proto_fits_slot(code, held)
                                                      : inventory_item_fits_slot(code, held);
        if (fits)
            draw_screen_rect_outline(k_panel_x0 + x, k_panel_y0 + y, k_panel_x0 + x + 32.0f, k_panel_y0 + y + 32.0f,
                                     0.9f, 0.9f, 0.9f, 0.7f);
    }
    if (!hero)
        return;
    for (int32_t e = 0; e < int32_t(hero->inv_count); ++e) {
        const uint8_t location = hero->inv_location[e];
        const item_proto* p = proto_of(hero->inv_item[e]);
        if (location >= k_panel_slots || !p || p->icon_texture == k_no_texture_slot)
            continue;
        float x, y;
        slot_cell(location, x, y);
        if (location >= 8 && location < 16)
            y = 341.0f;
        draw_damage_tint(x, y, hero->inv_damage_type[e]);
        draw_cell_icon(p->icon_texture, x, y);
    }
}

void bag_and_slot_tooltip(uint8_t code)
{
    if (code < k_panel_slots && holding_nothing()) {
        const int32_t entry = last_entry_at(code);
        if (entry >= 0)
            open_bag_on_right_button(entry);
    }
    show_slot_tooltip(code);
}

// The frame's click: the left button's press edge on the shared latch.
bool click_edge()
{
    return press_edge(g_mouse_left, g_hud_click_latch);
}

void drop_on_quick_bar(const char_record* hero)
{
    if (!holding_inventory_item() || !g_mouse_left)
        return;
    const int32_t item = held_item_id();
    const item_proto* p = proto_of(item);
    if (!p || !((p->item_class >= k_item_fast_weapon && p->item_class <= k_item_focus) || p->item_class == k_item_quick))
        return;
    if (!hero)
        return;
    const float left = quick_bar_left();
    const float top = float(g_screen_height) - 44.0f;
    for (int i = 0; i < k_quick_drop_slots; ++i) {
        if (!cursor_in_bar_cell(left + 33.0f * float(i), top, left + 33.0f * float(i) + 32.0f, top + 32.0f))
            continue;
        assign_quick_slot(i, int16_t(item), p->icon_texture, p->item_class == k_item_quick ? 2 : 1);
        return;
    }
}

void draw_held_icon()
{
    if (holding_nothing() || g_interface.held_icon < 0)
        return;
    draw_texture_screen(g_interface.held_icon, g_mouse_screen_x, g_mouse_screen_y, 1.0f, 1.0f, 0, 0.0f, 0.0f, 0.008f,
                        1.0f, 1.0f, 1.0f);
}

// The first backpack slot no entry lies in, or -1.
int32_t free_backpack_slot()
{
    for (int slot = 0; slot <= k_inv_backpack_last; ++slot)
        if (last_entry_at(uint8_t(slot)) < 0)
            return slot;
    return -1;
}

// The held inventory entry goes to the first free backpack slot, else to the slot it came from
// when that is free (with `origin_first`, the other way round), else it falls at the hero; should
// even that fail it shares its origin slot.
void return_held_entry(char_record* hero, bool origin_first)
{
    const int32_t entry = g_interface.held_item;
    if (entry < 0 || entry >= int32_t(hero->inv_count))
        return;
    const uint8_t origin = g_interface.held_origin;
    const bool origin_free = origin < k_panel_slots && last_entry_at(origin) < 0;
    int32_t slot = origin_first && origin_free ? int32_t(origin) : free_backpack_slot();
    if (slot < 0 && origin_free)
        slot = origin;
    if (slot >= 0) {
        hero->inv_location[entry] = uint8_t(slot);
        if (slot > k_inv_backpack_last) {
            clear_weapon_selection_if(uint8_t(slot));
            recompute_hero_equipment();
        }
        return;
    }
    if (drop_ground_item(uint16_t(hero->inv_item[entry]), 1, 1, 1, true, uint16_t(g_player_char),
                         hero->inv_damage_type[entry])) {
        char_remove_item_at(hero, entry, true);
        return;
    }
    console_log("inventar: predmet %d nema kam ist, zostava v policku %d", hero->inv_item[entry], origin);
    hero->inv_location[entry] = origin < k_panel_slots ? origin : uint8_t(0);
}

// The hand's item back into its container cell or the hero's inventory, then the hand emptied.
void return_held_item(bool origin_first)
{
    game_interface& gi = g_interface;
    if (holding_container_item()) {
        const int16_t id = gi.held_from_container ? gi.container_id : gi.second_container_id;
        return_container_item(id >= 0 && id < k_container_slots ? &g_containers[id] : nullptr, gi.held_origin,
                              gi.held_item, gi.held_flag);
    } else if (holding_inventory_item()) {
        if (char_record* hero = panel_hero())
            return_held_entry(hero, origin_first);
    }
    clear_held_item(true);
}

} // namespace

bool update_side_panel()
{
    char_record* hero = panel_hero();
    draw_frame_and_close_button();
    if (!claim_pointer_area(panel_frame_area(k_frame_panel, k_panel_x0, k_panel_y0)) && hero && ground_drop_offered())
        drop_held_on_ground(hero);
    draw_purse(hero);
    if (hero)
        delete_held_on_key(hero);
    draw_container_windows();
    if (hero)
        draw_hero_figure(hero);
    draw_slots(hero);
    const uint8_t code = side_panel_hit_code();
    bag_and_slot_tooltip(code);
    if (click_edge() && hero && hero->life == k_life_alive && code != k_code_none && !click_panel_code(code))
        return false;
    drop_on_quick_bar(hero);
    draw_held_icon();
    return true;
}

uint8_t side_panel_hit_code()
{
    uint8_t code = container_hit_code();
    for (int slot = 0; slot < k_panel_slots; ++slot) {
        float x1, y1, x2, y2;
        slot_bounds(slot, x1, y1, x2, y2);
        if (cursor_strictly_in(x1, y1, x2, y2))
            code = uint8_t(slot);
    }
    if (g_mouse_screen_x > 96.0f && g_mouse_screen_x < 210.0f && cursor_strictly_in(-1e9f, 80.0f, 1e9f, 260.0f))
        code = k_code_hero;
    return code;
}

void cancel_item_drag()
{
    game_interface& gi = g_interface;
    gi.container_open = gi.second_container_open = 0;
    reset_text_window(&g_message_window);
    if (gi.side_panel_page == 2 && gi.held_item == -1)
        return;
    return_held_item(false);
    gi.container_id = gi.second_container_id = 0;
}

void put_back_held_item()
{
    return_held_item(true);
}

void close_item_windows()
{
    put_back_held_item();
    game_interface& gi = g_interface;
    gi.container_open = gi.second_container_open = 0;
    gi.container_id = gi.second_container_id = -1;
    close_quick_slot_menu();
}
