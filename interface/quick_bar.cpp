#include "interface/quick_bar.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_record.h"
#include "characters/combat_rules.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "engine/fonts.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "engine/sprite_font.h"
#include "engine/textures.h"
#include "interface/held_item.h"
#include "items/items.h"
#include "items/quick_bar_block.h"
#include "items/spells.h"
#include "platform/key_codes.h"
#include "script/script_services.h"
#include "script/text_window.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int k_elements = 4;
constexpr int32_t k_first_element = 4;  // damage types 4 to 7 are the elements
constexpr int64_t k_box_periods_ms[k_elements] = {7000, 13000, 23000, 37000};
constexpr float k_step = 33.0f;          // from one slot or box to the next
constexpr float k_cell = 32.0f;
constexpr float k_boxes_dx = 400.0f;     // the element boxes' left edge from the bar's

constexpr uint32_t k_bar_cell_edges = k_edge_left | k_edge_top | k_edge_right;

enum quick_kind : uint8_t { k_quick_empty = 0, k_quick_weapon = 1, k_quick_item = 2, k_quick_spell = 3 };

float screen_h() { return float(g_screen_height); }
float cell_top() { return screen_h() - 44.0f; }
float cell_bottom() { return screen_h() - 12.0f; }
float slot_left(int i) { return quick_bar_left() + k_step * float(i); }
float box_left(int j) { return quick_bar_left() + k_boxes_dx + k_step * float(j); }

void draw_centred(uint16_t texture, float x, float y, float alpha)
{
    draw_texture_screen(texture, x, y, alpha, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
}

// The last inventory entry of the item, or -1.
int32_t last_entry_of(const char_record& hero, int16_t item)
{
    for (int32_t i = std::min<int32_t>(hero.inv_count, k_inventory_entries); i-- > 0;)
        if (hero.inv_item[i] == item)
            return i;
    return -1;
}

// The element (0 to 3) of the player's weapon, or -1 without an elemental weapon.
int32_t weapon_element(const char_record* hero)
{
    const int32_t type = hero ? char_weapon_entry_damage_type(hero) : -1;
    return type >= k_first_element && type < k_first_element + k_elements ? type - k_first_element : -1;
}

uint8_t slot_key(int i) { return i == 9 ? k_key_0 : uint8_t(k_key_1 + i); }

// Milliseconds until the box's deadline; below 0 once it has passed.
int64_t remaining_ms(const char_record& hero, int j)
{
    return int64_t(hero.focus_cooldown[j]) - int64_t(g_elapsed_ms);
}

void draw_element_boxes(const char_record* hero)
{
    const int32_t element = weapon_element(hero);
    if (element < 0)
        return;
    const game_interface& gi = g_interface;
    for (int j = 0; j < k_elements; ++j) {
        const bool held = char_has_attunement(hero, int16_t(element_attunement(j, element)));
        draw_centred(held ? gi.attunement_icons[4 * element + j] : gi.slot_box, box_left(j) + 16.0f, screen_h() - 28.0f,
                     1.0f);
    }
    for (int j = 0; j < k_elements; ++j) {
        const int64_t remaining = remaining_ms(*hero, j);
        if (remaining > 0) {
            // A deadline further away than the period (one saved in a longer session) shows full.
            const float r = std::min(1.0f, float(remaining) / float(k_box_periods_ms[j]));
            draw_screen_rect_textured(box_left(j) + 2.0f, screen_h() - 14.0f - 28.0f * r, box_left(j) + 30.0f,
                                      screen_h() - 14.0f, 1.0f, 1.0f, 1.0f, 0.5f);
        }
        if (g_dialogue_running || !claim_bar_cell(box_left(j), cell_top(), box_left(j) + k_cell, cell_bottom()))
            continue;
        outline_bar_cell(box_left(j), cell_top(), box_left(j) + k_cell, cell_bottom());
        const int16_t attunement = int16_t(element_attunement(j, element));
        const item_proto* p = item_proto_at(attunement);
        if (!p || !char_has_attunement(hero, attunement))
            continue;
        char name[sizeof p->display_name + 1];
        std::snprintf(name, sizeof name, "%.*s", int(sizeof p->display_name), p->display_name);
        const int32_t width = font_measure_text(&g_font_large, name) + 100;
        const int64_t seconds = remaining / 1000 + 1;
        char markup[256];
        if (seconds > 0)
            std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^gl_a 0.6 %s (%d s) ^l ^mouse_center", int(width),
                          name, int(seconds));
        else
            std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^gl_a 0.6 %s ^l ^mouse_center", int(width), name);
        replace_text_message(markup);
    }
}

void draw_labels()
{
    for (int i = 0; i < k_quick_key_slots; ++i) {
        const char label[2] = {char(i == 9 ? '0' : '1' + i), 0};
        draw_sprite_text(&g_sprite_font, slot_left(i) + 8.0f, screen_h() - 40.0f, label, 1.0f, 1.0f, 1.0f, 1.0f);
    }
}

// The selected slot is outlined; a selected spell slot puts the player in spell mode with it.
void show_selection(char_record* hero)
{
    const game_interface& gi = g_interface;
    if (hero)
        hero->spell_mode = 0;
    const int i = gi.quick_selected;
    if (i >= k_quick_key_slots)
        return;
    draw_screen_rect_outline(slot_left(i), cell_top(), slot_left(i) + k_cell, cell_bottom(), 0.9f, 0.1f, 0.1f, 0.7f);
    // A spell slot emptied for an id outside the table casts nothing.
    if (hero && gi.quick_kinds[i] == k_quick_spell && spell_proto_at(gi.quick_ids[i])) {
        hero->selected_spell = uint32_t(gi.quick_ids[i]);
        hero->spell_mode = 1;
    }
}

// The slot's item must still be carried (its icon follows the item's), a spell slot's id must
// lie in the spell table.
void check_slot(const char_record* hero, int i)
{
    game_interface& gi = g_interface;
    if (gi.quick_ids[i] == -1)
        return;
    if (gi.quick_kinds[i] == k_quick_spell) {
        if (!spell_proto_at(gi.quick_ids[i]))
            gi.quick_ids[i] = -1;
        return;
    }
    const int32_t entry = hero && gi.quick_kinds[i] != k_quick_empty ? last_entry_of(*hero, gi.quick_ids[i]) : -1;
    const item_proto* p = entry >= 0 ? item_proto_at(gi.quick_ids[i]) : nullptr;
    if (!p) {
        gi.quick_ids[i] = -1;
        return;
    }
    gi.quick_icons[i] = p->icon_texture;
}

// The slot's weapon goes into the weapon location; the weapon there takes its place.
void equip_slot_weapon(char_record* hero, int i)
{
    game_interface& gi = g_interface;
    gi.quick_selected = uint8_t(i);
    const int32_t weapon = char_weapon_entry(hero);
    const int32_t entry = last_entry_of(*hero, gi.quick_ids[i]);
    if (entry < 0) {
        gi.quick_ids[i] = -1;
        return;
    }
    if (entry == weapon)
        return;
    if (weapon >= 0)
        hero->inv_location[weapon] = hero->inv_location[entry];
    hero->inv_location[entry] = k_inv_weapon;
    char_sync_attunements(hero);
    char_apply_item_effects(hero);
    char_refresh_equipment(hero);
    set_char_anim(hero, hero->anim_action, 1, 0);
}

void act(char_record* hero, int i)
{
    game_interface& gi = g_interface;
    switch (gi.quick_kinds[i]) {
    case k_quick_weapon:
        if (holding_nothing())
            equip_slot_weapon(hero, i);
        break;
    case k_quick_item:
        if (holding_nothing())
            char_use_item(hero, i);
        break;
    case k_quick_spell:
        gi.quick_selected = uint8_t(i);
        hero->selected_spell = uint32_t(gi.quick_ids[i]);
        break;
    default:
        break;
    }
}

void open_pull_down(int i)
{
    game_interface& gi = g_interface;
    gi.quick_menu_open = 1;
    if (gi.quick_menu_slot != i) {
        gi.quick_menu_alpha = gi.quick_list_alpha = 0.0f;
        gi.quick_list_kind = -1;
    }
    gi.quick_menu_slot = int16_t(i);
}

void show_slot_tooltip(int i)
{
    const game_interface& gi = g_interface;
    if (gi.quick_kinds[i] == k_quick_spell) {
        if (const spell_proto* s = spell_proto_at(gi.quick_ids[i]))
            show_name_tooltip(s->name, int32_t(sizeof s->name), " ", 60);
    } else if (gi.quick_kinds[i] == k_quick_weapon || gi.quick_kinds[i] == k_quick_item) {
        if (const item_proto* p = item_proto_at(gi.quick_ids[i]))
            show_name_tooltip(p->display_name, int32_t(sizeof p->display_name), "", 60);
    }
}

void handle_slots(char_record* hero)
{
    game_interface& gi = g_interface;
    for (int i = 0; i < k_quick_key_slots; ++i) {
        const bool hovered = claim_bar_cell(slot_left(i), cell_top(), slot_left(i) + k_cell, cell_bottom());
        if (hovered)
            outline_bar_cell(slot_left(i), cell_top(), slot_left(i) + k_cell, cell_bottom());
        if (gi.quick_kinds[i] == k_quick_empty)
            gi.quick_ids[i] = -1;
        check_slot(hero, i);
        const bool filled = gi.quick_ids[i] != -1 && hero;
        const bool clicked =
            press_edge(filled && g_mouse_left && hovered && hero->state == 0, gi.quick_click_latch[i]);
        if ((filled && take_key_press(slot_key(i))) || clicked)
            act(hero, i);
        if (hovered && g_mouse_right)
            open_pull_down(i);
        if (hovered && gi.quick_ids[i] != -1)
            show_slot_tooltip(i);
    }
}

} // namespace

float quick_bar_left()
{
    return g_screen_width < 1024 ? 330.0f : float((g_screen_width - 330) / 2);
}

bool cursor_in_bar_cell(float x1, float y1, float x2, float y2)
{
    return pointer_area_holds({x1, y1, x2, y2, k_bar_cell_edges}, g_mouse_screen_x, g_mouse_screen_y);
}

bool claim_bar_cell(float x1, float y1, float x2, float y2)
{
    return claim_pointer_area({x1, y1, x2, y2, k_bar_cell_edges});
}

void outline_bar_cell(float x1, float y1, float x2, float y2)
{
    draw_screen_rect_outline(x1, y1, x2, y2, 0.9f, 0.9f, 0.9f, 0.7f);
}

void assign_quick_slot(int32_t slot, int16_t item, uint16_t icon, uint8_t kind)
{
    game_interface& gi = g_interface;
    if (slot < 0 || slot >= k_quick_slots)
        return;
    for (int j = 0; j < k_quick_slots; ++j)
        if (j != slot && gi.quick_kinds[j] != k_quick_spell && gi.quick_ids[j] == item)
            gi.quick_ids[j] = -1;
    gi.quick_icons[slot] = icon;
    gi.quick_ids[slot] = item;
    gi.quick_kinds[slot] = kind;
}

void show_name_tooltip(const char* name, int32_t size, const char* tail, int32_t margin)
{
    char text[128];
    std::snprintf(text, sizeof text, "%.*s", int(std::min<int32_t>(size, int32_t(sizeof text) - 1)), name);
    char markup[256];
    std::snprintf(markup, sizeof markup, "^window 10 0 %d 30 ^gl_a 0.6 %s%s ^l ^mouse_center",
                  int(font_measure_text(&g_font_large, text) + margin), text, tail);
    replace_text_message(markup);
}

// The spell's icon "data/spell/<icon>.tga"; a slot number outside the table (nothing drawn)
// when the spell names no icon.
uint16_t spell_icon(int16_t spell)
{
    constexpr uint16_t k_no_icon = 0xFFFE;
    const spell_proto* s = spell_proto_at(spell);
    if (!s || !s->icon[0])
        return k_no_icon;
    char path[96];
    std::snprintf(path, sizeof path, "data/spell/%.*s.tga", int(sizeof s->icon), s->icon);
    const int32_t slot = get_texture(path, 0, 0, 0, 0, 1, 0);
    return slot < 0 ? k_no_icon : uint16_t(slot);
}

void update_quick_bar()
{
    game_interface& gi = g_interface;
    for (int i = 0; i < k_quick_key_slots; ++i)
        if (gi.quick_kinds[i] == k_quick_spell && gi.quick_icons[i] == k_quick_icon_unknown)
            gi.quick_icons[i] = spell_icon(gi.quick_ids[i]);
    char_record* hero = panel_hero();
    for (int i = 0; i < k_quick_key_slots; ++i)
        draw_centred(gi.slot_box, slot_left(i) + 16.0f, screen_h() - 28.0f, 1.0f);
    for (int i = 0; i < k_quick_key_slots; ++i)
        if (gi.quick_ids[i] != -1)
            draw_centred(gi.quick_icons[i], slot_left(i) + 15.0f, screen_h() - 28.0f, 1.0f);
    draw_element_boxes(hero);
    run_quick_slot_menu();
    draw_labels();
    show_selection(hero);
    if (!g_dialogue_running)
        handle_slots(hero);
}
