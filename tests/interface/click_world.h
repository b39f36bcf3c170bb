// Test helper: a small world of clicks (an item table with every kind of item the clicks treat
// apart, a hero carrying some of them, a chest, a shop and the hero's bag in the two windows),
// every item the hero can reach by clicks, counted, and the rule that one click neither loses
// nor copies an item.
#pragma once

#include "characters/char_inventory.h"
#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/utilities.h"
#include "core/game_globals.h"
#include "interface/held_item.h"
#include "interface/item_clicks.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "items/items.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <utility>
#include <string>

struct item_census {
    std::map<int32_t, int32_t> items;       // every item but gold, by id
    std::map<int32_t, int32_t> shop_items;  // of those, the ones on a shop's side
    int64_t gold = 0;                       // purse, gold cells and gold on the ground, by amount
    bool operator==(const item_census&) const = default;
};

inline bool census_is_gold(int32_t item)
{
    const item_proto* p = item_proto_at(item);
    return p && p->item_class == k_item_gold;
}

inline bool census_is_shop_slot(int32_t id)
{
    return id >= 0 && id < k_container_slots && g_containers[id].items && g_containers[id].shop;
}

// Hero entries at every location (the held one at 255 included; attunements, which the hero
// regains on his own, left out), the cells of every container, the container item on the cursor
// (on its shop's side until it leaves the hand), and the items on the ground.
inline item_census take_item_census()
{
    item_census census;
    auto add = [&](int32_t item, int64_t amount, bool shop) {
        if (census_is_gold(item)) {
            census.gold += amount;
        } else if (item_proto_at(item)) {
            ++census.items[item];
            census.shop_items[item] += shop;
        }
    };
    if (const char_record* hero = panel_hero()) {
        census.gold += hero->gold;
        for (int32_t i = 0; i < int32_t(hero->inv_count); ++i) {
            const item_proto* p = item_proto_at(hero->inv_item[i]);
            if (p && p->item_class != k_item_attunement)
                add(hero->inv_item[i], 1, false);
        }
    }
    for (int32_t slot = 0; slot < k_container_slots; ++slot) {
        const container& c = g_containers[slot];
        for (uint32_t k = 0; c.items && k < container_cells(&c); ++k)
            add(c.items[k], c.flags[k], c.shop != 0);
    }
    const game_interface& gi = g_interface;
    if (holding_container_item())
        add(gi.held_item, gi.held_flag,
            census_is_shop_slot(gi.held_from_container ? gi.container_id : gi.second_container_id));
    for (const ground_item& g : g_ground_items)
        if (g.state != k_ground_item_free)
            add(g.item, g.amount, false);
    return census;
}

// Empty when `after` follows from `before` by one click: no item appears or disappears, except
// that `used_item` (an item used from a container window, -1 for none) may be gone once; every
// item that leaves a shop's side costs its buy price and every item that joins one pays its sell
// price, and the gold counted changes by exactly that. Else what went wrong.
inline std::string census_difference(const item_census& before, const item_census& after, int32_t used_item)
{
    std::string fault;
    auto count = [](const std::map<int32_t, int32_t>& m, int32_t id) {
        auto it = m.find(id);
        return it == m.end() ? 0 : it->second;
    };
    std::map<int32_t, int32_t> ids = before.items;
    ids.insert(after.items.begin(), after.items.end());
    int64_t trade = 0;
    for (const auto& [id, unused] : ids) {
        const int32_t change = count(after.items, id) - count(before.items, id);
        if (change != 0 && !(id == used_item && change == -1))
            fault += "item " + std::to_string(id) + " changed by " + std::to_string(change) + "; ";
        const int32_t shop_change = count(after.shop_items, id) - count(before.shop_items, id);
        trade += shop_change > 0 ? int64_t(shop_change) * shop_sell_price(id) : int64_t(shop_change) * shop_buy_price(id);
    }
    if (after.gold - before.gold != trade)
        fault += "gold changed by " + std::to_string(after.gold - before.gold) + " for trades worth " +
                 std::to_string(trade) + "; ";
    return fault;
}

// The item a click on the hero figure may use up: a quick item or scroll held from a window.
inline int32_t census_usable_item(uint8_t code)
{
    if (code != k_code_hero || !holding_container_item())
        return -1;
    const item_proto* p = item_proto_at(g_interface.held_item);
    return p && (p->item_class == k_item_quick || p->item_class == k_item_scroll) ? g_interface.held_item : -1;
}

// Empty when the hand holds one of its three kinds soundly (nothing; a hero entry at location
// 255; an item id from exactly one window whose cell is empty), no two hero entries share a
// slot of the panel and the purse is not negative. Else what is wrong.
inline std::string hand_fault()
{
    const game_interface& gi = g_interface;
    const char_record* hero = panel_hero();
    std::string fault;
    if (holding_nothing() && gi.held_item != -1)
        fault += "an empty hand names an item; ";
    if (holding_inventory_item() &&
        (gi.held_item < 0 || gi.held_item >= hero->inv_count || hero->inv_location[gi.held_item] != k_code_none))
        fault += "the held entry is not one at 255; ";
    if (holding_container_item()) {
        const int16_t slot = gi.held_from_container ? gi.container_id : gi.second_container_id;
        const container* c = slot >= 0 && slot < k_container_slots ? &g_containers[slot] : nullptr;
        if ((gi.held_from_container && gi.held_from_second_container) || !item_proto_at(gi.held_item) || !c ||
            !c->items || gi.held_origin >= container_cells(c) || c->items[gi.held_origin] != k_container_cell_empty)
            fault += "the held container item has no empty cell to return to; ";
    }
    int taken[28] = {};
    for (int32_t i = 0; i < int32_t(hero->inv_count); ++i)
        if (hero->inv_location[i] < 28 && ++taken[hero->inv_location[i]] == 2)
            fault += "slot " + std::to_string(hero->inv_location[i]) + " holds two entries; ";
    if (hero->gold < 0)
        fault += "the purse is negative; ";
    return fault;
}

// Item ids of the click world.
enum click_world_item : int16_t {
    k_cw_sword, k_cw_axe, k_cw_ring, k_cw_lantern, k_cw_shield, k_cw_potion, k_cw_scroll, k_cw_bag,
    k_cw_gold, k_cw_helm, k_cw_junk, k_cw_attunement, k_cw_item_count
};
constexpr int32_t k_cw_hero_slot = 1;
constexpr int16_t k_cw_chest = 0;
constexpr int16_t k_cw_shop = 1;
constexpr uint16_t k_cw_big_image = 500;  // item id + this is the item's big image

inline void click_world_cells(int16_t slot, uint32_t shop, std::initializer_list<std::pair<int, int>> cells)
{
    container& c = g_containers[slot];
    container_init(&c, shop ? "shop" : "chest", 5, 2, shop);
    uint32_t k = 0;
    for (auto [item, flag] : cells) {
        c.items[k] = uint16_t(item);
        c.flags[k++] = uint8_t(flag);
    }
}

// Builds the world; the caller keeps what it must restore. The hero (player, alive, 100 gold)
// carries an active attunement first, so that every re-equipping moves the entries behind it,
// then a sword at the weapon slot, a ring at 19, the bag at 3, a potion at 0, a helm at 5 and
// junk at 1 and 2. The first window shows the chest (or the shop), the second the bag's
// container; shops buy at 50 % and sell at 150 %.
inline void build_click_world(bool first_is_shop)
{
    // Class and price of each item, in id order; the big image is the id + k_cw_big_image.
    const std::pair<uint8_t, int16_t> kinds[k_cw_item_count] = {{2, 10}, {1, 7}, {10, 20}, {25, 4}, {9, 12}, {16, 5},
                                                                {18, 9}, {17, 3}, {23, 0}, {7, 11}, {0, 1}, {20, 0}};
    g_item_proto_count = k_cw_item_count;
    for (int16_t id = 0; id < k_cw_item_count; ++id) {
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        g_item_lists[id] = item_lists{};
        copy_bounded(p.display_name, sizeof p.display_name, "Item");
        p.item_class = kinds[id].first;
        p.price = kinds[id].second;
        p.attunement_link = -1;
        p.big_image = uint16_t(k_cw_big_image + id);
        p.icon_texture = 0xFFFF;
    }
    g_item_protos[k_cw_helm].damage_type = 5;
    g_item_protos[k_cw_bag].container_width = 3;
    g_item_protos[k_cw_bag].container_height = 2;

    for (container& c : g_containers)
        if (c.items)
            container_free(&c);
    g_level_container_count = 2;
    g_char_container_count = 0;
    click_world_cells(k_cw_chest, 0, {{k_cw_axe, 0}, {k_cw_ring, 4}, {k_cw_gold, 30}, {k_cw_scroll, 0},
                                      {k_cw_shield, 0}, {k_cw_junk, 7}, {k_cw_lantern, 0}, {900, 0}});
    click_world_cells(k_cw_shop, 1, {{k_cw_sword, 0}, {k_cw_potion, 0}, {k_cw_gold, 12}, {k_cw_helm, 6},
                                     {k_cw_lantern, 0}, {k_cw_ring, 0}});

    g_char_count = k_cw_hero_slot + 1;
    g_player_char = k_cw_hero_slot;
    char_record& hero = g_chars[k_cw_hero_slot];
    hero = char_record{};
    hero.kind = k_kind_player;
    hero.life = k_life_alive;
    hero.level = 1;
    hero.slot = k_cw_hero_slot;
    hero.object = -1;
    hero.light = 0xFFFF;
    hero.gold = 100;
    hero.active_attunement_count = 1;
    hero.active_attunements[0] = k_cw_attunement;
    char_give_attunement(&hero, k_cw_attunement);
    const std::pair<int16_t, uint8_t> carried[] = {{k_cw_sword, 24}, {k_cw_ring, 19}, {k_cw_bag, 3},
                                                   {k_cw_potion, 0}, {k_cw_helm, 5}, {k_cw_junk, 1},
                                                   {k_cw_junk, 2}};
    for (auto [item, location] : carried)
        char_give_item(&hero, item, 1, location, -1);
    const int32_t bag = int32_t(hero.inv_value[3]);
    if (bag >= 0 && bag < k_container_slots && g_containers[bag].items)
        g_containers[bag].items[0] = k_cw_axe;

    game_interface& gi = g_interface;
    gi.side_panel_open = 1;
    gi.side_panel_page = 2;
    gi.container_open = 1;
    gi.container_id = first_is_shop ? k_cw_shop : k_cw_chest;
    gi.second_container_open = 1;
    gi.second_container_id = int16_t(bag);
    gi.shop_buy_factor = 50;
    gi.shop_sell_factor = 150;
    gi.quick_selected = 3;
    gi.held_item = gi.held_icon = -1;
    gi.held_origin = k_code_none;
    gi.held_flag = 0;
    gi.held_word = 0;
    gi.held_from_container = gi.held_from_second_container = 0;
}
