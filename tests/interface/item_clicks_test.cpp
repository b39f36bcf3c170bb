#include "interface/item_clicks.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "engine/ui_texts.h"
#include "interface/click_world.h"
#include "interface/held_item.h"
#include "interface/side_panel.h"
#include "items/containers.h"
#include "platform/random.h"
#include "support/item_table_guard.h"
#include "support/saved_globals.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

class ItemClicks : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_chars), saved_.keep(g_char_count), saved_.keep(g_player_char);
        saved_.keep(g_containers), saved_.keep(g_level_container_count), saved_.keep(g_char_container_count);
        saved_.keep(g_interface), saved_.keep(g_message_log), saved_.keep(g_ticks);
        saved_.keep(g_objects), saved_.keep(g_object_count);
        g_objects = nullptr;
        g_object_count = 0;
        // The kept grids belong to whoever made them: the world builds its own.
        std::memset(g_containers, 0, sizeof g_containers);
        build_click_world(false);
    }

    void TearDown() override
    {
        for (container& c : g_containers)
            if (c.items)
                container_free(&c);
        saved_.restore();
    }

    static char_record& hero() { return g_chars[k_cw_hero_slot]; }

    // The locations of the hero's entries of the item, in list order.
    static std::vector<int> locations_of(int16_t item)
    {
        std::vector<int> found;
        for (int32_t i = 0; i < int32_t(hero().inv_count); ++i)
            if (hero().inv_item[i] == item)
                found.push_back(hero().inv_location[i]);
        return found;
    }

    // Each click is an ordinary one (it does not end the interface pass).
    static void clicks(std::initializer_list<int> codes)
    {
        for (int code : codes)
            EXPECT_TRUE(click_panel_code(uint8_t(code))) << "code " << code;
    }

    static int damage_at(uint8_t location) { return hero().inv_damage_type[last_entry_at(location)]; }

    static int16_t held_entry_item() { return hero().inv_item[g_interface.held_item]; }

    static void open_first_window(int16_t slot)
    {
        g_interface.container_open = 1;
        g_interface.container_id = slot;
    }

private:
    item_table_guard table_;
    saved_globals saved_;
};

TEST_F(ItemClicks, EquippingOnTheHeroFillsFreeSlotsSwapsWithTheHomeSlotAndRefusesClassesWithoutOne)
{
    game_interface& gi = g_interface;
    // The hero's ring leaves slot 19 and comes back to it; the chest's ring then takes slot 21
    // with its cell's byte.
    clicks({19, k_code_hero, 101});
    EXPECT_EQ(locations_of(k_cw_ring), std::vector<int>{19});
    EXPECT_EQ(gi.held_icon, k_cw_big_image + k_cw_ring);
    EXPECT_EQ(g_containers[k_cw_chest].items[1], k_container_cell_empty);
    clicks({k_code_hero});
    EXPECT_EQ(locations_of(k_cw_ring), (std::vector<int>{19, 21}));
    EXPECT_EQ(damage_at(21), 4);
    EXPECT_TRUE(holding_nothing());
    EXPECT_EQ(gi.held_from_container, 0u);

    // The chest's axe goes to the taken weapon slot: the sword ends on the cursor, found again
    // after the attunement before it was given anew, and no quick slot stays selected.
    clicks({100, k_code_hero});
    EXPECT_EQ(locations_of(k_cw_axe), std::vector<int>{24});
    ASSERT_TRUE(holding_inventory_item());
    EXPECT_EQ(held_entry_item(), k_cw_sword);
    EXPECT_EQ(locations_of(k_cw_sword), std::vector<int>{255});
    EXPECT_EQ(gi.quick_selected, 255);
    // Swapping back from the inventory: the axe is held, from the weapon slot.
    clicks({k_code_hero});
    EXPECT_EQ(locations_of(k_cw_sword), std::vector<int>{24});
    EXPECT_EQ(held_entry_item(), k_cw_axe);
    EXPECT_EQ(gi.held_origin, 24);

    // Junk has no slot and the lantern no home slot: both stay on the cursor until the lantern
    // is dropped on the shield slot.
    clicks({6, 1, k_code_hero});
    EXPECT_EQ(held_entry_item(), k_cw_junk);
    clicks({1, 106, k_code_hero, 25});
    EXPECT_EQ(gi.held_item, k_cw_lantern);
    clicks({26});
    EXPECT_EQ(locations_of(k_cw_lantern), std::vector<int>{26});

    // A third ring on the hero swaps with the ring in slot 19.
    char_give_item(&hero(), k_cw_ring, 1, 7, 6);
    clicks({k_code_hero, 7, k_code_hero});
    EXPECT_EQ(held_entry_item(), k_cw_ring);
    EXPECT_EQ(gi.held_flag, 0);  // the first ring's byte; the third (6) now lies in slot 19
    EXPECT_EQ(locations_of(k_cw_ring), (std::vector<int>{255, 21, 19}));
}

TEST_F(ItemClicks, BackpackMovesSwapsAndTheWeaponSlotSelection)
{
    game_interface& gi = g_interface;
    // The sword onto the potion in slot 0: they swap, the origin stays.
    clicks({24});
    EXPECT_EQ(gi.quick_selected, 255);
    gi.quick_selected = 3;
    clicks({0});
    EXPECT_EQ(locations_of(k_cw_sword), std::vector<int>{0});
    EXPECT_EQ(held_entry_item(), k_cw_potion);
    EXPECT_EQ(gi.held_origin, 24);
    EXPECT_EQ(gi.held_word, 1u);
    // The weapon slot refuses a potion; an empty backpack slot takes it and empties the hand.
    clicks({24});
    EXPECT_EQ(held_entry_item(), k_cw_potion);
    clicks({4, 24});
    EXPECT_EQ(locations_of(k_cw_potion), std::vector<int>{4});
    EXPECT_TRUE(holding_nothing());
    EXPECT_EQ(gi.held_word, 0u);
    // The sword back into the weapon slot clears the selection.
    clicks({0, 24});
    EXPECT_EQ(locations_of(k_cw_sword), std::vector<int>{24});
    EXPECT_EQ(gi.quick_selected, 255);

    // A quick item used on the hero ends the pass and stays held, unspent.
    clicks({4});
    EXPECT_FALSE(click_panel_code(k_code_hero));
    EXPECT_EQ(held_entry_item(), k_cw_potion);
    EXPECT_EQ(locations_of(k_cw_potion), std::vector<int>{255});
}

TEST_F(ItemClicks, TradingWithAShop)
{
    game_interface& gi = g_interface;
    open_first_window(k_cw_shop);
    EXPECT_EQ(shop_buy_price(k_cw_sword), 15);
    EXPECT_EQ(shop_sell_price(k_cw_axe), 3);

    // Taking up is free; the purchase is refused with 14 gold, each refusal told in red with the
    // item and its price, and made with 15.
    saved_globals texts;
    texts.keep(g_ui_text[30]), texts.keep(g_ui_text[47]);
    std::strcpy(g_ui_text[30], "gold coins");
    std::strcpy(g_ui_text[47], "Price");
    hero().gold = 14;
    const uint32_t lines = g_message_log.count;
    clicks({100, 6, k_code_hero});
    EXPECT_EQ(gi.held_item, k_cw_sword);
    ASSERT_EQ(g_message_log.count, lines + 2);
    for (uint32_t n : {lines, lines + 1}) {
        EXPECT_STREQ(g_message_log.lines[n], "Item: Price 15 gold coins");
        EXPECT_EQ(g_message_log.colours[n], 2);
    }
    hero().gold = 15;
    clicks({6});
    EXPECT_EQ(locations_of(k_cw_sword), (std::vector<int>{24, 6}));
    EXPECT_EQ(hero().gold, 0);

    // A sale: the helm (damage byte 5) leaves the inventory and keeps its byte in the cell.
    clicks({5, 106});
    EXPECT_EQ(hero().gold, 5);
    EXPECT_TRUE(locations_of(k_cw_helm).empty());
    EXPECT_EQ(g_containers[k_cw_shop].flags[6], 5);

    // Buying into an occupied slot swaps: the bought helm takes its prototype's byte, the potion
    // hangs on the cursor, the price is paid.
    hero().gold = 100;
    clicks({103, 0});
    EXPECT_EQ(locations_of(k_cw_helm), std::vector<int>{0});
    EXPECT_EQ(damage_at(0), 5);
    EXPECT_EQ(held_entry_item(), k_cw_potion);
    EXPECT_EQ(gi.held_origin, 0);
    EXPECT_EQ(gi.held_from_container, 0u);
    EXPECT_EQ(hero().gold, 84);
    // An inventory bag never goes into a cell.
    clicks({4, 3, 107});
    EXPECT_EQ(held_entry_item(), k_cw_bag);
    clicks({3});

    // Gold in a shop cell is taken for nothing, by the amount in its flag byte.
    clicks({102});
    EXPECT_EQ(hero().gold, 96);
    EXPECT_TRUE(holding_nothing());

    // A potion bought and used from the window: paid, gone, the hand empty.
    clicks({101});
    EXPECT_FALSE(click_panel_code(k_code_hero));
    EXPECT_EQ(hero().gold, 89);
    EXPECT_TRUE(holding_nothing());
    EXPECT_EQ(gi.held_item, -1);
    EXPECT_EQ(gi.held_from_container, 0u);

    // From the shop into the bag is a purchase; from the bag into the shop a sale.
    clicks({104, 151});
    EXPECT_EQ(hero().gold, 83);
    EXPECT_EQ(g_containers[gi.second_container_id].items[1], k_cw_lantern);
    clicks({150, 101});
    EXPECT_EQ(hero().gold, 86);
    EXPECT_EQ(g_containers[k_cw_shop].items[1], k_cw_axe);
}

TEST_F(ItemClicks, CellsThatAreNoneAndAFullListTakeNothing)
{
    game_interface& gi = g_interface;
    // An id outside the item table is an empty cell; gold from a chest goes to the purse; a
    // closed window, one without a grid and one outside the table take no click.
    clicks({107, 102});
    EXPECT_EQ(hero().gold, 130);
    gi.container_open = 0;
    clicks({100});
    open_first_window(57);
    clicks({100});
    open_first_window(300);
    clicks({100});
    EXPECT_TRUE(holding_nothing());

    // With the list full the chest's axe can go nowhere in the inventory: it stays held.
    open_first_window(k_cw_chest);
    while (char_give_item(&hero(), k_cw_junk, 1, 30, -1)) {
    }
    const int32_t entries = hero().inv_count;
    clicks({100, 6, 24, k_code_hero});
    EXPECT_EQ(gi.held_item, k_cw_axe);
    EXPECT_EQ(int32_t(hero().inv_count), entries);
    cancel_item_drag();
    EXPECT_EQ(g_containers[k_cw_chest].items[0], k_cw_axe);
}

// Random clicks over every code, with drags cancelled now and then, never make or lose an item:
// only an item used from a window is gone, and the purse moves by exactly the trades.
TEST_F(ItemClicks, NoClickSequenceLosesOrCopiesAnItem)
{
    const uint8_t codes[] = {0, 3, 5, 6, 19, 21, 24, 26, 100, 101, 103, 104, 106, 107, 150, 151, 152, 250};
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        for (container& c : g_containers)
            if (c.items)
                container_free(&c);
        build_click_world(seed % 2 == 0);
        const int16_t first = g_interface.container_id, second = g_interface.second_container_id;
        game_srand(seed);
        for (int step = 0; step < 400; ++step) {
            const item_census before = take_item_census();
            const int roll = game_rand();
            uint8_t code = k_code_none;
            if (roll % 25 == 0) {
                cancel_item_drag();
                g_interface.container_open = g_interface.second_container_open = 1;
                g_interface.container_id = first;
                g_interface.second_container_id = second;
            } else {
                code = roll % 4 == 0 ? uint8_t(game_rand()) : codes[game_rand() % std::size(codes)];
            }
            const int32_t used = census_usable_item(code);
            if (code != k_code_none)
                click_panel_code(code);
            const std::string fault = census_difference(before, take_item_census(), used) + hand_fault();
            ASSERT_EQ(fault, "") << "seed " << seed << " step " << step << " code " << int(code);
        }
    }
}

} // namespace
