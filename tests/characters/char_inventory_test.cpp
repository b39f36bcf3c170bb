#include "characters/char_fixture.h"
#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "engine/lights.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "support/item_table_guard.h"
#include "support/saved_globals.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Item ids of the test table.
constexpr int16_t k_sword = 0, k_shield = 1, k_gold = 2, k_potion = 3, k_buff = 4, k_amulet = 5, k_bag = 6,
                  k_axe = 7;
constexpr int16_t k_att_base = 10, k_att_better = 11, k_att_best = 12, k_att_odd_tier = 13;
constexpr int16_t k_loop_a = 14, k_loop_b = 15, k_loop_entry = 16;
constexpr int16_t k_plain_att = 20;  // 20 to 39: attunements without links

class CharInventory : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_message_log), saved_.keep(g_ui_text[117]), saved_.keep(g_ui_text[118]);
        saved_.keep(g_lights[0]), saved_.keep(g_ground_items[0]), saved_.keep(g_ticks);
        saved_.keep(g_dialogue_running), saved_.keep(g_objects), saved_.keep(g_object_count);
        saved_.keep(g_player_char), saved_.keep(g_char_container_count);
        g_char_container_count = 0;
        g_objects = nullptr;
        g_object_count = 0;
        g_dialogue_running = 0;
        g_ticks = 1000;
        std::strcpy(g_ui_text[117], "You have taken");
        std::strcpy(g_ui_text[118], "You have lost");

        g_item_proto_count = 0;
        item_proto& sword = make_item(k_sword, "mec", "Sword", k_item_medium_weapon);
        sword.damage_type = 1;
        sword.stamina_cost = 7;
        sword.attunement_link = k_att_base;
        make_item(k_shield, "stit", "Shield", k_item_shield);
        make_item(k_gold, "zlato", "Gold", k_item_gold);
        item_proto& potion = make_item(k_potion, "elixir", "Potion", k_item_quick);
        potion.duration = 100;
        potion.period = 5;
        potion.destroy_after = 1;
        make_item(k_buff, "sila", "Strength", k_item_efect).duration = 50;
        item_proto& amulet = make_item(k_amulet, "amulet", "Amulet", k_item_neclace);
        amulet.no_loss = 1;
        amulet.duration = 30;
        make_item(k_bag, "vak", "Bag", k_item_container);
        item_proto& axe = make_item(k_axe, "sekera", "Axe", k_item_fast_weapon);
        axe.damage_type = 3;
        axe.stamina_cost = 4;
        make_item(k_att_base, "a0", "Focus", k_item_attunement).size = 0;
        item_proto& better = make_item(k_att_better, "a1", "Better focus", k_item_attunement);
        better.size = 1;
        better.attunement_link = k_att_base;
        item_proto& best = make_item(k_att_best, "a2", "Best focus", k_item_attunement);
        best.size = 2;
        best.attunement_link = k_att_better;
        make_item(k_att_odd_tier, "a3", "Odd", k_item_attunement).size = 7;
        make_item(k_loop_a, "la", "Loop a", k_item_attunement).attunement_link = k_loop_b;
        make_item(k_loop_b, "lb", "Loop b", k_item_attunement).attunement_link = k_loop_a;
        make_item(k_loop_entry, "le", "Loop entry", k_item_attunement).attunement_link = k_loop_a;
        for (int16_t id = k_plain_att; id < k_plain_att + 20; ++id)
            make_item(id, "p", "Plain", k_item_attunement);

        c_ = std::make_unique<char_record>();
        c_->kind = k_kind_player;
        c_->life = k_life_alive;
        c_->level = 1;
        c_->slot = 2;
        g_player_char = 2;  // the player, whose takings reach the message log
        c_->object = -1;
        c_->light = 0xFFFF;
    }

    void TearDown() override { saved_.restore(); }

    static std::string newest_message()
    {
        return g_message_log.count ? g_message_log.lines[g_message_log.count - 1] : "";
    }

    std::vector<int16_t> items() const
    {
        return {c_->inv_item, c_->inv_item + c_->inv_count};
    }

    std::vector<int16_t> active() const
    {
        return {c_->active_attunements, c_->active_attunements + c_->active_attunement_count};
    }

    std::unique_ptr<char_record> c_;

private:
    item_table_guard table_;
    saved_globals saved_;
};

} // namespace

TEST_F(CharInventory, GoldGoesToThePurseAndTheBackpackRefusesASeventeenthItem)
{
    // Given gold carries its amount in the damage-type argument; taken gold in the value.
    EXPECT_TRUE(char_give_item(c_.get(), k_gold, 1, 66, 25));
    EXPECT_TRUE(char_take_item(c_.get(), k_gold, 30, -1));
    EXPECT_EQ(c_->gold, 55);
    EXPECT_EQ(c_->inv_count, 0);
    EXPECT_EQ(newest_message(), "You have taken 30 Gold");
    c_->gold = 2147483600;
    char_take_item(c_.get(), k_gold, 100, -1);
    EXPECT_EQ(c_->gold, 2147483647);

    // Anybody else carries gold as an item.
    char_record enemy = *c_;
    enemy.kind = k_kind_enemy;
    enemy.slot = 3;  // not the player
    ASSERT_TRUE(char_take_item(&enemy, k_gold, 30, -1));
    EXPECT_EQ(enemy.inv_count, 1);
    EXPECT_EQ(enemy.gold, c_->gold);

    // The damage type comes from a ground item that carries one, else from the item; timers
    // and a bag's container are set as the entry comes in.
    g_ground_items[0].element = 6;
    ASSERT_TRUE(char_take_item(c_.get(), k_sword, 1, 0));
    g_ground_items[0].element = k_ground_item_no_element;
    ASSERT_TRUE(char_take_item(c_.get(), k_sword, 1, 0));
    ASSERT_TRUE(char_take_item(c_.get(), k_potion, 4, -1));
    ASSERT_TRUE(char_take_item(c_.get(), k_bag, 4, -1));
    EXPECT_EQ(c_->inv_damage_type[0], 6);
    EXPECT_EQ(c_->inv_damage_type[1], 1);
    EXPECT_EQ(c_->inv_expire[1], 0u);
    EXPECT_EQ(c_->inv_expire[2], 1100u);
    EXPECT_EQ(c_->inv_timer[2], 1005u);
    EXPECT_EQ(c_->inv_value[2], 4u);
    EXPECT_EQ(c_->inv_value[3], uint32_t(k_char_container_first));  // the player's first bag container
    EXPECT_NE(g_containers[k_char_container_first].items, nullptr);
    container_free(&g_containers[k_char_container_first]);
    EXPECT_EQ(newest_message(), "You have taken Bag");

    // Sixteen backpack slots; a freed slot is the next one filled; equipped entries do not count.
    ASSERT_TRUE(char_give_item(c_.get(), k_shield, 1, k_inv_shield, -1));
    for (int i = 4; i < k_backpack_slots; ++i)
        ASSERT_TRUE(char_take_item(c_.get(), k_shield, uint32_t(i), -1));
    EXPECT_FALSE(char_take_item(c_.get(), k_shield, 99, -1));
    EXPECT_EQ(c_->inv_count, 17);
    char_remove_item_at(c_.get(), 1, true);
    ASSERT_TRUE(char_take_item(c_.get(), k_axe, 1, -1));
    EXPECT_EQ(c_->inv_location[c_->inv_count - 1], 1);
    EXPECT_FALSE(char_take_item(c_.get(), k_axe, 1, -1));

    // Ids outside the table are refused.
    EXPECT_FALSE(char_take_item(c_.get(), 40, 1, -1));
    EXPECT_FALSE(char_give_item(c_.get(), -1, 1, k_inv_ring1, -1));
    EXPECT_EQ(c_->inv_count, 17);
}

TEST_F(CharInventory, TheListStaysDenseAndWithinTwoHundredEntries)
{
    for (int i = 0; i < k_inventory_entries; ++i)
        ASSERT_TRUE(char_give_item(c_.get(), int16_t(i % 3 == 0 ? k_amulet : k_shield), uint32_t(i), uint8_t(16 + i % 10),
                                   i % 7));
    EXPECT_FALSE(char_give_item(c_.get(), k_shield, 999, k_inv_ring1, -1));
    EXPECT_EQ(c_->inv_count, k_inventory_entries);

    // Removing entry 100 moves every later entry down in all six arrays.
    c_->inv_expire[150] = 77;
    c_->inv_timer[150] = 88;
    char_remove_item_at(c_.get(), 100, true);
    EXPECT_EQ(c_->inv_count, 199);
    EXPECT_EQ(c_->inv_value[99], 99u);
    EXPECT_EQ(c_->inv_value[100], 101u);
    EXPECT_EQ(c_->inv_item[149], k_amulet);
    EXPECT_EQ(c_->inv_location[149], 16 + 150 % 10);
    EXPECT_EQ(c_->inv_damage_type[149], 150 % 7);
    EXPECT_EQ(c_->inv_expire[149], 77u);
    EXPECT_EQ(c_->inv_timer[149], 88u);
    char_remove_item_at(c_.get(), 199, true);
    char_remove_item_at(c_.get(), -1, true);
    EXPECT_EQ(c_->inv_count, 199);

    // Removing an item takes every entry of it; the others keep their order. The loss of an item
    // without the no-loss flag is told.
    uint32_t lines = g_message_log.count;
    char_remove_item(c_.get(), k_amulet, false);
    EXPECT_EQ(g_message_log.count, lines);
    EXPECT_EQ(c_->inv_count, 199 - 67);
    for (int i = 0; i < c_->inv_count; ++i)
        ASSERT_EQ(c_->inv_item[i], k_shield);
    EXPECT_EQ(c_->inv_value[0], 1u);
    EXPECT_EQ(c_->inv_value[1], 2u);
    char_remove_item_at(c_.get(), 0, false);
    EXPECT_EQ(newest_message(), "You have lost Shield");
    char_remove_item_at(c_.get(), 0, true);
    EXPECT_EQ(g_message_log.count, lines + 1);

    // A count beyond the list read from a file is held to it.
    c_->inv_count = 255;
    EXPECT_FALSE(char_give_item(c_.get(), k_shield, 1, k_inv_ring1, -1));
    EXPECT_FALSE(char_equip_weapon(c_.get(), k_sword));
    char_remove_item_at(c_.get(), 210, true);
    EXPECT_EQ(c_->inv_count, 255);
    char_remove_item_at(c_.get(), 0, true);
    EXPECT_EQ(c_->inv_count, 199);

    // A dead enemy's entries all go.
    c_->light = 0;
    g_lights[0].r = 1.0f;
    char_drop_all_items(c_.get());
    EXPECT_EQ(c_->inv_count, 0);
    EXPECT_EQ(g_lights[0].r, 0.6f);
}

TEST_F(CharInventory, TimedEntriesExpireOnlyWhenTheirItemSaysSo)
{
    char_give_item(c_.get(), k_potion, 1, 66, -1);   // expires at 1100, destroy flag
    char_give_item(c_.get(), k_buff, 1, 66, -1);     // expires at 1050, an efect
    char_give_item(c_.get(), k_amulet, 1, k_inv_neclace, -1);  // expires at 1030, neither
    char_give_item(c_.get(), k_potion, 2, k_inv_none, -1);     // at no location
    char_give_item(c_.get(), k_shield, 1, 3, -1);     // no duration

    g_ticks = 1050;
    char_drop_expired_items(c_.get());
    EXPECT_EQ(items(), (std::vector<int16_t>{k_potion, k_buff, k_amulet, k_potion, k_shield}));
    g_ticks = 1101;
    char_drop_expired_items(c_.get());
    EXPECT_EQ(items(), (std::vector<int16_t>{k_amulet, k_potion, k_shield}));
}

TEST_F(CharInventory, EquippingAWeaponPutsTheOldOneInTheBackpack)
{
    EXPECT_EQ(char_weapon_item(c_.get()), -1);
    EXPECT_EQ(char_weapon_stamina_cost(c_.get()), 0);
    char_take_item(c_.get(), k_shield, 1, -1);  // backpack slot 0

    ASSERT_TRUE(char_equip_weapon(c_.get(), k_sword));
    EXPECT_EQ(char_weapon_item(c_.get()), k_sword);
    EXPECT_EQ(char_weapon_stamina_cost(c_.get()), 7);
    EXPECT_EQ(c_->inv_damage_type[1], 1);
    EXPECT_EQ(c_->inv_value[1], 1u);

    ASSERT_TRUE(char_equip_weapon(c_.get(), k_axe));
    EXPECT_EQ(char_weapon_item(c_.get()), k_axe);
    EXPECT_EQ(char_weapon_stamina_cost(c_.get()), 4);
    EXPECT_EQ(c_->inv_location[1], 1);  // the sword went to the first free slot
    EXPECT_EQ(c_->inv_damage_type[2], 3);

    // With a full backpack the old weapon stays beside the new one; the last one counts.
    for (int i = 2; i < k_backpack_slots; ++i)
        char_take_item(c_.get(), k_shield, 1, -1);
    ASSERT_TRUE(char_equip_weapon(c_.get(), k_sword));
    EXPECT_EQ(c_->inv_location[2], k_inv_weapon);
    EXPECT_EQ(char_weapon_item(c_.get()), k_sword);
    EXPECT_FALSE(char_equip_weapon(c_.get(), 1000));
}

TEST_F(CharInventory, RefreshingRemovesOwnedObjectsButNotForAnAttunement)
{
    std::vector<world_object> objects(4);
    for (world_object& o : objects) {
        o.state = 3;
        o.owner = k_no_owner;
    }
    objects[0].proto = -2 - c_->slot;  // the character's own object
    objects[0].owner = c_->slot;
    objects[1].owner = c_->slot;       // an item model it wears
    objects[1].object_class = k_class_attached;
    objects[2].owner = 1;              // another character's
    objects[3].owner = c_->slot;
    g_objects = objects.data();
    g_object_count = 4;
    c_->attack_variant = 3;

    char_give_item(c_.get(), k_att_base, 1, k_inv_attunement, -1);
    EXPECT_EQ(objects[1].state, 3u);
    EXPECT_EQ(c_->attack_variant, 3);

    c_->life = k_life_dead;
    char_give_item(c_.get(), k_shield, 1, k_inv_shield, -1);
    EXPECT_EQ(objects[0].state, 3u);
    EXPECT_EQ(objects[1].state, 0u);
    EXPECT_EQ(objects[2].state, 3u);
    EXPECT_EQ(objects[3].state, 0u);
    EXPECT_EQ(c_->attack_variant, 0);
}

TEST_F(CharInventory, ActiveAttunementListSizesByLevelAndUpgrades)
{
    const std::pair<int32_t, int32_t> sizes[] = {{-3, 16}, {0, 16}, {1, 4}, {3, 4}, {4, 6}, {7, 6}, {8, 8},
                                                 {11, 8}, {12, 10}, {15, 10}, {16, 12}, {19, 12}, {20, 14},
                                                 {23, 14}, {24, 16}, {100, 16}};
    for (auto [level, slots] : sizes) {
        c_->level = level;
        EXPECT_EQ(char_max_active_attunements(c_.get()), slots) << "level " << level;
    }

    // A level-1 player activates four; an upgrade replaces its predecessor in place even then.
    c_->level = 1;
    for (int16_t id : {k_plain_att, k_att_base, int16_t(k_plain_att + 1), int16_t(k_plain_att + 2)})
        EXPECT_TRUE(active_attunement_add(c_.get(), id));
    EXPECT_FALSE(active_attunement_add(c_.get(), k_plain_att + 3));
    EXPECT_FALSE(active_attunement_add(c_.get(), k_att_best));  // its chain passes 11 and reaches 10
    EXPECT_EQ(active(), (std::vector<int16_t>{k_plain_att, k_att_best, k_plain_att + 1, k_plain_att + 2}));
    EXPECT_TRUE(active_attunement_has(c_.get(), k_att_best));
    EXPECT_FALSE(active_attunement_has(c_.get(), k_att_base));

    // Removal moves the later ids down; a chain that loops without passing the new id ends.
    active_attunement_remove_at(c_.get(), 0);
    active_attunement_remove_at(c_.get(), 3);
    EXPECT_EQ(active(), (std::vector<int16_t>{k_att_best, k_plain_att + 1, k_plain_att + 2}));
    EXPECT_TRUE(active_attunement_add(c_.get(), k_loop_entry));
    EXPECT_FALSE(active_attunement_add(c_.get(), k_loop_a));  // 15 links back to 14: not a successor

    // A level-24 player activates sixteen.
    c_->level = 24;
    c_->active_attunement_count = 0;
    for (int16_t id = k_plain_att; id < k_plain_att + 16; ++id)
        EXPECT_TRUE(active_attunement_add(c_.get(), id));
    EXPECT_FALSE(active_attunement_add(c_.get(), k_plain_att + 16));

    // Counts read from a file are held to the list.
    c_->active_attunement_count = 40;
    EXPECT_FALSE(active_attunement_add(c_.get(), k_plain_att + 17));
    c_->active_attunement_count = -4;
    EXPECT_FALSE(active_attunement_has(c_.get(), k_plain_att));
    EXPECT_TRUE(active_attunement_add(c_.get(), k_att_base));
    EXPECT_EQ(active(), (std::vector<int16_t>{k_att_base}));
}

TEST_F(CharInventory, ChargeGoesToTheAttunementsOfEquippedItemsUpToTheirThreshold)
{
    char_give_item(c_.get(), k_sword, 1, k_inv_weapon, -1);
    char_give_item(c_.get(), k_sword, 1, 4, -1);  // in the backpack: trains nothing
    add_attunement_charge(c_.get(), 3);
    EXPECT_EQ(g_item_protos[k_att_base].damage, 3);

    char_record enemy = *c_;
    enemy.kind = k_kind_enemy;
    enemy.slot = 3;  // not the player
    add_attunement_charge(&enemy, 3);
    EXPECT_EQ(g_item_protos[k_att_base].damage, 3);

    // Tier 0 stops charging once at 50.
    g_item_protos[k_att_base].damage = 49;
    add_attunement_charge(c_.get(), 5);
    add_attunement_charge(c_.get(), 5);
    EXPECT_EQ(g_item_protos[k_att_base].damage, 54);

    // Tier 2 charges up to 1000, a tier outside 0 to 2 up to 50; the points stop at 32767.
    item_proto& ring = make_item(17, "prsten", "Ring", k_item_ring);
    ring.attunement_link = k_att_best;
    item_proto& other = make_item(18, "nahrdelnik", "Necklace", k_item_neclace);
    other.attunement_link = k_att_odd_tier;
    char_give_item(c_.get(), 17, 1, k_inv_ring1, -1);
    char_give_item(c_.get(), 18, 1, k_inv_neclace, -1);
    g_item_protos[k_att_best].damage = 999;
    g_item_protos[k_att_odd_tier].damage = 49;
    add_attunement_charge(c_.get(), 2);
    add_attunement_charge(c_.get(), 2);
    EXPECT_EQ(g_item_protos[k_att_best].damage, 1001);
    EXPECT_EQ(g_item_protos[k_att_odd_tier].damage, 51);
    g_attunement_thresholds[2] = 100000;
    g_item_protos[k_att_best].damage = 32760;
    add_attunement_charge(c_.get(), 100);
    EXPECT_EQ(g_item_protos[k_att_best].damage, 32767);

    // An equipped attunement trains nothing, nor does a link to an ordinary item.
    g_item_protos[k_att_better].damage = 0;
    ring.attunement_link = k_shield;
    char_give_item(c_.get(), k_att_best, 1, k_inv_attunement, -1);
    add_attunement_charge(c_.get(), 1);
    EXPECT_EQ(g_item_protos[k_att_better].damage, 0);
}

TEST_F(CharInventory, SynchronisingGivesBackEachActiveAttunementOnce)
{
    char_give_item(c_.get(), k_sword, 1, k_inv_weapon, -1);
    char_give_item(c_.get(), k_plain_att, 1, k_inv_attunement, -1);
    char_give_item(c_.get(), k_plain_att + 1, 1, k_inv_attunement, -1);
    char_take_item(c_.get(), k_plain_att + 5, 1, -1);  // in the backpack: not equipped
    active_attunement_add(c_.get(), k_plain_att + 1);
    active_attunement_add(c_.get(), k_plain_att + 2);
    active_attunement_add(c_.get(), k_plain_att + 5);
    uint32_t lines = g_message_log.count;

    char_sync_attunements(c_.get());
    char_sync_attunements(c_.get());
    EXPECT_EQ(items(), (std::vector<int16_t>{k_sword, k_plain_att + 1, k_plain_att + 2, k_plain_att + 5}));
    EXPECT_EQ(c_->inv_location[3], k_inv_attunement);
    EXPECT_EQ(c_->inv_value[3], 1u);
    EXPECT_EQ(g_message_log.count, lines);  // quietly
    EXPECT_TRUE(char_has_attunement(c_.get(), k_plain_att + 2));
    EXPECT_FALSE(char_has_attunement(c_.get(), k_plain_att));
    EXPECT_FALSE(char_has_attunement(c_.get(), k_sword));  // equipped, but no attunement

    char_give_attunement(c_.get(), k_plain_att + 2);
    EXPECT_EQ(c_->inv_count, 4);
    EXPECT_TRUE(char_has_item_named(c_.get(), "MEC"));
    EXPECT_FALSE(char_has_item_named(c_.get(), "me"));
    EXPECT_TRUE(char_has_item_id(c_.get(), k_plain_att + 5));
    EXPECT_FALSE(char_has_item_id(c_.get(), k_plain_att));

    // Only the player's attunements are synchronised.
    c_->kind = k_kind_sidekick;
    c_->slot = 3;
    active_attunement_remove_at(c_.get(), 0);
    char_sync_attunements(c_.get());
    EXPECT_EQ(c_->inv_count, 4);
}

// Wielding a weapon of another animation set reloads the hero's clips from that set's folder,
// and the interface follows the hero's weapon and its selected entry.
TEST_F(char_test, AWeaponOfAnotherSetReloadsTheClipsAndTheInterfaceFollowsTheHerosEntries)
{
    item_table_guard table;
    saved_globals kept;
    kept.keep(g_interface);
    write_clip("hero", 1, "attack1", {"body"}, 2);
    write_clip("hero", 2, "attack1", {"wr"}, 4);
    g_item_proto_count = 0;
    item_proto& halberd = make_item(0, "halapartna", "Halberd", k_item_heavy_weapon);
    halberd.anim_set = 2;
    halberd.icon_texture = 77;
    make_item(1, "elixir", "Potion", k_item_quick);
    char_record& hero = make_char(0, "hero", k_kind_player);
    add_char(&hero, 0, 100.0f, 100.0f);
    ASSERT_EQ(hero.anim_set, 1);
    ASSERT_GE(hero.clip_attack[0], 0);
    EXPECT_EQ(g_move_protos[hero.clip_attack[0]].part_model[8], -1);  // set 1 has no weapon hand

    ASSERT_TRUE(char_equip_weapon(&hero, 0));
    EXPECT_EQ(hero.anim_set, 2);
    ASSERT_GE(hero.clip_attack[0], 0);
    EXPECT_GE(g_move_protos[hero.clip_attack[0]].part_model[8], 0);  // the clip of set 2
    EXPECT_EQ(std::make_tuple(g_interface.last_weapon, g_interface.last_weapon_icon, g_interface.last_weapon_changed),
              std::make_tuple(int16_t(0), uint16_t(77), 1u));

    // Removing an entry before the selected one keeps the selection on its item, removing the
    // selected one clears it; another character's entries leave the interface alone.
    char_take_item(&hero, 1, 1, -1);
    char_take_item(&hero, 1, 2, -1);
    g_interface.selected_entry = 2;
    char_remove_item_at(&hero, 0, true);
    EXPECT_EQ(hero.inv_value[g_interface.selected_entry], 2u);
    g_interface.last_weapon_changed = 0;
    char_record& squire = make_char(1, "hero", k_kind_sidekick);
    ASSERT_TRUE(char_equip_weapon(&squire, 0));
    char_remove_item_at(&squire, 0, true);
    EXPECT_EQ(std::make_tuple(g_interface.selected_entry, g_interface.last_weapon_changed), std::make_tuple(int16_t(1), 0u));
    char_remove_item_at(&hero, 1, true);
    EXPECT_EQ(g_interface.selected_entry, -1);
}
