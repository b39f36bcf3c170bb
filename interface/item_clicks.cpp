#include "interface/item_clicks.h"

#include "characters/char_inventory.h"
#include "characters/char_record.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "engine/ui_texts.h"
#include "interface/container_windows.h"
#include "interface/equipment_slots.h"
#include "interface/held_item.h"
#include "items/containers.h"
#include "items/item_looks.h"
#include "items/item_use.h"
#include "items/items.h"

#include <algorithm>
#include <limits>

namespace {

constexpr uint8_t k_gold_location = 66;
constexpr int k_first_window = 0;
constexpr int k_second_window = 1;
constexpr uint8_t k_refusal_colour = 2;  // red
constexpr int k_price_text = 47, k_gold_coins_text = 30;
constexpr uint8_t k_equipment_last = 27;

int32_t price_at(int32_t item, int16_t factor)
{
    const item_proto* p = item_proto_at(item);
    return p ? scaled_price(p->price, factor) : 0;
}

bool is_use_class(uint8_t item_class)
{
    return item_class == k_item_quick || item_class == k_item_scroll;
}

bool is_shop(const container* c)
{
    return c && c->shop != 0;
}

int16_t big_image_of(int32_t item)
{
    const item_proto* p = item_proto_at(item);
    return p ? int16_t(p->big_image) : -1;
}

void add_gold(char_record* hero, int32_t amount)
{
    const int64_t sum = int64_t(hero->gold) + amount;
    hero->gold = int32_t(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                              std::numeric_limits<int32_t>::max()));
}

// The window the container item on the cursor came from.
int hand_window()
{
    return g_interface.held_from_container ? k_first_window : k_second_window;
}

bool source_is_shop()
{
    return is_shop(window_container(hand_window()));
}

// Taking the held container item into the hero's possession: free unless it comes from a shop,
// else at most the purse. A refused purchase is told in the message log, in red: the item and
// its price.
bool affordable()
{
    const char_record* hero = panel_hero();
    const int32_t price = shop_buy_price(g_interface.held_item);
    if (!source_is_shop() || price <= hero->gold)
        return true;
    const item_proto* p = item_proto_at(g_interface.held_item);
    log_add_line(&g_message_log, k_refusal_colour, "%.*s: %s %d %s", p ? int(sizeof p->display_name) : 0,
                 p ? p->display_name : "", ui_text(k_price_text), int(price), ui_text(k_gold_coins_text));
    return false;
}

void charge_if_shop(char_record* hero, bool shop, int32_t item)
{
    if (shop)
        add_gold(hero, -shop_buy_price(item));
}

// The inventory entry on the cursor, or -1 when the hand holds no valid entry.
int32_t held_entry(const char_record* hero)
{
    const int32_t entry = g_interface.held_item;
    return holding_inventory_item() && entry >= 0 && entry < int32_t(hero->inv_count) ? entry : -1;
}

// The hand takes the hero's entry (its location must already be 255); the other fields stay.
void hold_entry(const char_record* hero, int32_t entry)
{
    game_interface& gi = g_interface;
    gi.held_item = int16_t(entry);
    gi.held_icon = big_image_of(hero->inv_item[entry]);
    gi.held_flag = hero->inv_damage_type[entry];
    gi.held_from_container = gi.held_from_second_container = 0;
}

void after_equipment_change(uint8_t slot)
{
    clear_weapon_selection_if(slot);
    recompute_hero_equipment();
}

// The hero figure with an inventory item on the cursor: a quick item or scroll is used (the
// pass ends, the item stays held), anything else goes to its free home slot or swaps with the
// occupant of its home slot.
bool inventory_item_on_hero(char_record* hero)
{
    const int32_t entry = held_entry(hero);
    const item_proto* p = entry >= 0 ? item_proto_at(hero->inv_item[entry]) : nullptr;
    if (!p)
        return true;
    const int32_t item = hero->inv_item[entry];
    if (is_use_class(p->item_class)) {
        use_item(item, hero, int16_t(item));
        return false;
    }
    int32_t slot = free_equip_slot_for_type(p->item_class);
    if (slot >= 0) {
        play_held_item_sound(item);
        hero->inv_location[entry] = uint8_t(slot);
        clear_held_item(false);
        after_equipment_change(uint8_t(slot));
        return true;
    }
    slot = equip_slot_for_type(p->item_class);
    if (slot < 0)
        return true;
    play_held_item_sound(item);
    const int32_t other = find_item_in_slot(slot);
    hero->inv_location[entry] = uint8_t(slot);
    if (other >= 0) {
        hero->inv_location[other] = k_code_none;
        hold_entry(hero, other);
        g_interface.held_origin = uint8_t(slot);
    } else {
        clear_held_item(false);
    }
    after_equipment_change(uint8_t(slot));
    return true;
}

// The hero figure with a container item on the cursor: bought (from a shop) and used, or
// equipped like an inventory item. A used item is gone, so the hand ends empty.
bool container_item_on_hero(char_record* hero)
{
    game_interface& gi = g_interface;
    const int32_t item = gi.held_item;
    const item_proto* p = item_proto_at(item);
    if (!p || !affordable())
        return true;
    const bool shop = source_is_shop();
    if (is_use_class(p->item_class)) {
        charge_if_shop(hero, shop, item);
        use_item(item, hero, int16_t(item));
        clear_held_item(true);
        return false;
    }
    int32_t slot = free_equip_slot_for_type(p->item_class);
    if (slot >= 0) {
        if (!char_give_item(hero, int16_t(item), gi.held_word, uint8_t(slot), gi.held_flag))
            return true;
        play_held_item_sound(item);
        charge_if_shop(hero, shop, item);
        clear_held_item(true);
        after_equipment_change(uint8_t(slot));
        return true;
    }
    slot = equip_slot_for_type(p->item_class);
    if (slot < 0)
        return true;
    const int32_t other = find_item_in_slot(slot);
    if (!char_give_item(hero, int16_t(item), gi.held_word, uint8_t(slot), gi.held_flag))
        return true;
    play_held_item_sound(item);
    charge_if_shop(hero, shop, item);
    if (other >= 0) {
        hero->inv_location[other] = k_code_none;
        hold_entry(hero, other);
    } else {
        clear_held_item(true);
    }
    after_equipment_change(uint8_t(slot));
    return true;
}

// A backpack or equipment slot with a container item on the cursor: bought into an empty slot,
// or swapped with the occupant (the bought item then carries its prototype's damage byte).
void container_item_on_slot(char_record* hero, uint8_t code)
{
    game_interface& gi = g_interface;
    const int32_t item = gi.held_item;
    if (!affordable() || !item_proto_fits_slot(code, item))
        return;
    const bool shop = source_is_shop();
    const int32_t occupant = last_entry_at(code);
    if (occupant < 0) {
        if (!char_give_item(hero, int16_t(item), gi.held_word, code, gi.held_flag))
            return;
        charge_if_shop(hero, shop, item);
        play_held_item_sound(item);
        clear_held_item(true);
    } else {
        if (!char_give_item(hero, int16_t(item), 1, code, -1))
            return;
        play_held_item_sound(item);
        hero->inv_location[occupant] = k_code_none;
        hold_entry(hero, occupant);
        gi.held_origin = code;
        gi.held_word = hero->inv_value[occupant];
        charge_if_shop(hero, shop, item);
    }
    after_equipment_change(code);
}

// A backpack or equipment slot with an inventory item, or nothing, on the cursor.
void inventory_click_on_slot(char_record* hero, uint8_t code)
{
    game_interface& gi = g_interface;
    const int32_t occupant = last_entry_at(code);
    if (holding_nothing()) {
        if (occupant < 0)
            return;
        gi.held_origin = code;
        gi.held_word = hero->inv_value[occupant];
        hero->inv_location[occupant] = k_code_none;
        hold_entry(hero, occupant);
        clear_char_model_parts(hero->inv_item[occupant], hero);
        play_held_item_sound(hero->inv_item[occupant]);
        after_equipment_change(code);
        return;
    }
    const int32_t entry = held_entry(hero);
    if (entry < 0 || !inventory_item_fits_slot(code, entry))
        return;
    play_held_item_sound(hero->inv_item[entry]);
    hero->inv_location[entry] = code;
    if (occupant >= 0) {
        hero->inv_location[occupant] = k_code_none;
        hold_entry(hero, occupant);
        gi.held_word = hero->inv_value[occupant];
        clear_char_model_parts(hero->inv_item[occupant], hero);
    } else {
        clear_held_item(true);
    }
    after_equipment_change(code);
}

void put_into_cell(container* c, int32_t cell, int32_t item)
{
    c->items[cell] = uint16_t(item);
    c->flags[cell] = g_interface.held_flag;
    play_held_item_sound(item);
    clear_held_item(true);
}

// A cell of a container window: gold goes to the purse, an item is picked up, a held item put
// down (moved between the windows, sold to or bought from a shop in the first window).
void click_on_cell(char_record* hero, uint8_t code)
{
    game_interface& gi = g_interface;
    const int window = code < k_code_second_cell ? k_first_window : k_second_window;
    const int32_t cell = code - (window == k_first_window ? k_code_first_cell : k_code_second_cell);
    container* c = window_container(window);
    if (!c || cell >= window_cell_limit(window) || uint32_t(cell) >= container_cells(c))
        return;
    const item_proto* in_cell = item_proto_at(c->items[cell]);

    if (holding_nothing()) {
        if (!in_cell)
            return;
        const int32_t item = c->items[cell];
        if (in_cell->item_class == k_item_gold) {
            if (!char_give_item(hero, int16_t(item), 1, k_gold_location, c->flags[cell]))
                return;
        } else {
            gi.held_icon = big_image_of(item);
            gi.held_item = int16_t(item);
            gi.held_flag = c->flags[cell];
            gi.held_origin = uint8_t(cell);
            gi.held_from_container = window == k_first_window;
            gi.held_from_second_container = window == k_second_window;
        }
        c->items[cell] = k_container_cell_empty;
        c->flags[cell] = 0;
        play_held_item_sound(item);
        return;
    }
    if (in_cell)
        return;

    if (holding_container_item()) {
        const int32_t item = gi.held_item;
        const bool first_is_shop = is_shop(window_container(k_first_window));
        if (hand_window() == k_second_window && window == k_first_window && first_is_shop) {
            add_gold(hero, shop_sell_price(item));
        } else if (hand_window() == k_first_window && window == k_second_window && first_is_shop) {
            if (!affordable())
                return;
            add_gold(hero, -shop_buy_price(item));
        }
        put_into_cell(c, cell, item);
        return;
    }

    const int32_t entry = held_entry(hero);
    const item_proto* p = entry >= 0 ? item_proto_at(hero->inv_item[entry]) : nullptr;
    if (!p || p->item_class == k_item_container)
        return;
    const int32_t item = hero->inv_item[entry];
    if (is_shop(c))
        add_gold(hero, shop_sell_price(item));
    put_into_cell(c, cell, item);
    char_remove_item_at(hero, entry, false);
}

} // namespace

int32_t shop_buy_price(int32_t item)
{
    return price_at(item, g_interface.shop_sell_factor);
}

int32_t shop_sell_price(int32_t item)
{
    return price_at(item, g_interface.shop_buy_factor);
}

bool click_panel_code(uint8_t code)
{
    char_record* hero = panel_hero();
    if (!hero || code == k_code_none)
        return true;
    if (code == k_code_hero) {
        if (holding_inventory_item())
            return inventory_item_on_hero(hero);
        if (holding_container_item())
            return container_item_on_hero(hero);
        return true;
    }
    if (code <= k_equipment_last) {
        if (holding_container_item())
            container_item_on_slot(hero, code);
        else
            inventory_click_on_slot(hero, code);
    } else if (code >= k_code_first_cell) {
        click_on_cell(hero, code);
    }
    return true;
}
