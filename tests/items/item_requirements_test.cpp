#include "items/item_requirements.h"

#include "characters/char_table.h"
#include "characters/combat_fixture.h"
#include "world/dream_world.h"

#include <gtest/gtest.h>

namespace {

constexpr int16_t k_sword = 1, k_axe = 2, k_shield = 3, k_mail = 4, k_fire_focus = 5, k_tested = 6, k_link = 7;

class ItemRequirements : public combat_test {
protected:
    void SetUp() override
    {
        combat_test::SetUp();
        item(k_sword, k_item_medium_weapon);
        item(k_axe, k_item_heavy_weapon);
        item(k_shield, k_item_shield).attunement_link = k_link;
        item(k_mail, k_item_armor).armour_bonus = 3;
        item(k_fire_focus, k_item_focus);
        item(k_tested, k_item_attunement);
        item(k_link, k_item_shield);
        hero_ = &fighter(0, k_kind_player);
    }

    void require(std::initializer_list<item_property> list, int16_t id = k_tested)
    {
        g_item_protos[id].requirement_count = int16_t(list.size());
        std::copy(list.begin(), list.end(), g_item_lists[id].requirements);
    }
    int32_t met(int16_t id = k_tested, int32_t slot = 0) { return item_requirements_met(id, slot, id); }

    char_record* hero_ = nullptr;
};

TEST_F(ItemRequirements, EveryEntryMustHoldForEquippedItemsOnly)
{
    EXPECT_EQ(met(), 1);  // no requirements
    require({{1}, {3}});  // a weapon, no shield
    EXPECT_EQ(met(), 0);
    equip(*hero_, k_sword, 4);  // backpack entries never count
    EXPECT_EQ(met(), 0);
    equip(*hero_, k_sword, k_inv_attunement);  // location 77 counts
    EXPECT_EQ(met(), 1);
    equip(*hero_, k_shield, k_inv_shield);
    EXPECT_EQ(met(), 0);

    require({{5}});
    EXPECT_EQ(met(), 0);  // light and heavy armour both need armour
    require({{6}});
    EXPECT_EQ(met(), 0);
    require({{4}});
    EXPECT_EQ(met(), 1);
    equip(*hero_, k_mail, k_inv_armor);
    EXPECT_EQ(met(), 0);
    require({{5}});
    EXPECT_EQ(met(), 1);
    g_item_protos[k_mail].size = 1;
    EXPECT_EQ(met(), 0);

    require({{12}});
    equip(*hero_, k_fire_focus, k_inv_weapon, 4);
    EXPECT_EQ(met(), 0);
    require({{13, {0}}, {14, {0}}});
    EXPECT_EQ(met(), 1);
    require({{13, {1}}});
    EXPECT_EQ(met(), 0);

    require({{11}, {99}});
    g_dream_world.active = 1;
    EXPECT_EQ(met(), 1);
    g_dream_world.active = 0;
    EXPECT_EQ(met(), 0);

    // Ids outside the tables: the item works for nobody, an entry carries nothing.
    require({{9}});
    hero_->inv_item[1] = 950;
    EXPECT_EQ(met(), 0);
    EXPECT_EQ(met(-1), 0);
    EXPECT_EQ(met(950), 0);
    EXPECT_EQ(met(k_tested, 5), 0);
}

TEST_F(ItemRequirements, TheShieldRuleComparesTheShieldsLinkAndHoldsForThePlayerOnly)
{
    equip(*hero_, k_shield, k_inv_shield);
    equip(*hero_, k_axe, k_inv_weapon);
    EXPECT_EQ(item_requirements_met(k_link, 0, k_link), 0);  // a two-handed weapon with the shield
    EXPECT_EQ(item_requirements_met(k_link, 0, k_shield), 1);  // the shield's own id is not compared
    EXPECT_EQ(item_requirements_met(k_tested, 0, k_link), 1);  // the tested item is no shield
    hero_->inv_item[1] = k_sword;
    EXPECT_EQ(item_requirements_met(k_link, 0, k_link), 1);

    char_record& other = fighter(1, k_kind_enemy);
    equip(other, k_shield, k_inv_shield);
    equip(other, k_axe, k_inv_weapon);
    EXPECT_EQ(item_requirements_met(k_link, 1, k_link), 1);
}

TEST_F(ItemRequirements, AnItemsAttackSoundIsChosenWithinItsSlots)
{
    // Nothing for ids outside the table or without sounds, and never a slot past the five.
    g_item_protos[k_sword].attack_sound_count = 1000;
    play_item_attack_sound(k_sword, 0.0f, 0.0f);
    play_item_attack_sound(-1, 0.0f, 0.0f);
    play_item_attack_sound(5000, 0.0f, 0.0f);
    g_item_protos[k_sword].attack_sound_count = -3;
    play_item_attack_sound(k_sword, 0.0f, 0.0f);
}

} // namespace
