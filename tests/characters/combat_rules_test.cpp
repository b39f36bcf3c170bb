#include "characters/combat_rules.h"

#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/combat_fixture.h"
#include "characters/monster_protos.h"
#include "core/globals.h"
#include "core/settings.h"
#include "items/item_properties.h"

#include <gtest/gtest.h>

namespace {

constexpr int16_t k_sword = 1, k_axe = 2, k_shield = 3, k_armour = 4, k_block_att = 5, k_weak_att = 6;

class CombatRules : public combat_test {
protected:
    void SetUp() override
    {
        combat_test::SetUp();
        item(k_sword, k_item_medium_weapon).damage = 10;
        item(k_axe, k_item_heavy_weapon).damage = 10;
        item(k_shield, k_item_shield).size = 1;
        item(k_armour, k_item_armor).armour_bonus = 5;
        item(k_block_att, k_item_attunement, {{17, {80}}});  // block x2
        item(k_weak_att, k_item_attunement, {{51, {50}}});   // the target's block and dodge x0.5
        hero_ = &fighter(0, k_kind_player);
        foe_ = &fighter(1, k_kind_enemy);
    }

    char_record* hero_ = nullptr;
    char_record* foe_ = nullptr;
};

TEST_F(CombatRules, BlockAndDodgeComeFromTheSkillTablesShieldsAttunementsAndDifficulty)
{
    hero_->melee = 9;   // 20 %
    hero_->speed = 17;  // 45 %
    EXPECT_EQ(block_chance(0, -1), 20);
    EXPECT_EQ(dodge_chance(0, -1), 45);
    equip(*hero_, k_shield, k_inv_shield);
    EXPECT_EQ(block_chance(0, -1), 20);  // no weapon that leaves a hand free
    equip(*hero_, k_axe, k_inv_weapon);
    EXPECT_EQ(block_chance(0, -1), 20);
    hero_->inv_item[1] = k_sword;
    EXPECT_EQ(block_chance(0, -1), 30);
    equip(*hero_, k_block_att, k_inv_attunement);
    EXPECT_EQ(block_chance(0, -1), 60);
    equip(*foe_, k_weak_att, k_inv_attunement);
    EXPECT_EQ(block_chance(0, 1), 30);
    EXPECT_EQ(dodge_chance(0, 1), 22);

    hero_->difficulty = 4;  // the player's chances x0.25, nobody else's
    EXPECT_EQ(block_chance(0, -1), 15);
    EXPECT_EQ(dodge_chance(0, -1), 11);
    foe_->melee = 9;
    foe_->speed = 17;
    EXPECT_EQ(block_chance(1, -1), 20);
    EXPECT_EQ(dodge_chance(1, -1), 45);
    hero_->difficulty = 9;  // counts as 1
    EXPECT_EQ(dodge_chance(0, -1), 45);

    // Skill 0 never blocks or dodges; skills above 17 read the last entry; no defender, no chance.
    hero_->melee = 0;
    hero_->speed = 200;
    EXPECT_EQ(block_chance(0, -1), 0);
    EXPECT_EQ(dodge_chance(0, -1), 45);
    EXPECT_EQ(block_chance(7, 0), 0);
}

TEST_F(CombatRules, DifficultyScalesOthersWeaponDamageAndHitPoints)
{
    equip(*hero_, k_sword, k_inv_weapon);
    equip(*foe_, k_sword, k_inv_weapon);
    hero_->difficulty = 4;
    EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 100), 20.0f);
    EXPECT_FLOAT_EQ(damage_base(0, 1, -1, 100), 10.0f);
    EXPECT_EQ(char_base_max_hp(foe_), 400);
    EXPECT_EQ(char_base_max_hp(hero_), 100);
    hero_->difficulty = 0;
    EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 100), 5.0f);
    EXPECT_EQ(char_base_max_hp(foe_), 50);
    g_editor_enabled = 1;
    EXPECT_EQ(char_base_max_hp(foe_), 100);
    g_editor_enabled = 0;

    // The skill the weapon class uses picks the damage multiplier; the percent scales the weapon.
    hero_->difficulty = 1;
    foe_->melee = 17;
    EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 50), 15.0f);
    // Level 9 doubles the base curve twice; the class percent scales it.
    foe_->level = 9;
    g_monster_protos[0].hp_percent = 150;
    EXPECT_EQ(char_base_max_hp(foe_), 600);
    foe_->level = 200;
    EXPECT_EQ(char_base_max_hp(foe_), 32000);
}

TEST_F(CombatRules, UnarmedDamageComesFromTheClassAndThePercentScalesOnlyThePerLevelPart)
{
    foe_->level = 4;
    foe_->monster_class = 1;  // unarmed 10 + 3 per level
    EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 100), 22.0f);
    EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 50), 16.0f);
    EXPECT_FLOAT_EQ(damage_base(1, 0, 999, 50), 16.0f);  // a weapon id outside the table
    hero_->difficulty = 4;
    EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 50), 16.0f);  // no difficulty without a weapon
    item(372, k_item_attunement);
    item(381, k_item_attunement);
    equip(*foe_, 372, k_inv_attunement);
    equip(*foe_, 381, k_inv_attunement);
    EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 50), 67.0f);  // +1 and +50

    // A class outside the table counts as the editor's new class.
    for (int16_t cls : {int16_t(-1), int16_t(2), int16_t(300)}) {
        foe_->monster_class = cls;
        EXPECT_FLOAT_EQ(damage_base(1, 0, -1, 100), 73.0f) << cls;
        EXPECT_EQ(critical_chance(1, 0, -1), 9) << cls;  // 5 + 1 per level
    }
}

TEST_F(CombatRules, ArmourClassAddsItemsFollowsItsAttunementsAndBreaks)
{
    g_monster_protos[0].armor_base = 10;
    equip(*hero_, k_armour, k_inv_armor);
    equip(*hero_, k_armour, 3);  // in the backpack: not worn
    equip(*hero_, 900, k_inv_helm);  // an id outside the table carries nothing
    EXPECT_EQ(char_armor_class(0, -1), 15);
    hero_->armor_break = 1;
    EXPECT_EQ(char_armor_class(0, -1), 12);
    item(7, k_item_attunement, {{5, {80}}});
    equip(*hero_, 7, k_inv_attunement);
    EXPECT_EQ(char_armor_class(0, -1), 24);
    item(8, k_item_attunement, {{18, {50}}});  // sets the class and the factor back to 1
    equip(*hero_, 8, k_inv_attunement);
    EXPECT_EQ(char_armor_class(0, -1), 40);
    item(9, k_item_attunement, {{49, {50}}});
    equip(*foe_, 9, k_inv_attunement);
    EXPECT_EQ(char_armor_class(0, 1), 20);

    // Weight and the light and heavy values.
    EXPECT_EQ(char_armor_weight(hero_), 125);
    EXPECT_EQ(char_light_armor_value(hero_), 15);
    EXPECT_EQ(char_heavy_armor_value(hero_), 10);
    g_item_protos[k_armour].size = 2;
    EXPECT_EQ(char_armor_weight(hero_), 500);
    EXPECT_EQ(char_heavy_armor_value(hero_), 15);

    // An attacker's code 49 counts untested, the player's too: this one asks for a shield.
    item(11, k_item_attunement, {{49, {50}}}).requirement_count = 1;
    g_item_lists[11].requirements[0] = item_property{k_req_shield, {}};
    equip(*hero_, 11, k_inv_attunement);
    g_monster_protos[0].armor_base = 0;
    equip(*foe_, k_armour, k_inv_armor);
    EXPECT_EQ(char_armor_class(1, 0), 2);  // 5 x 0.5
}

TEST_F(CombatRules, ResistancesAndHitPointsAreRecomputedFromEquippedItems)
{
    item(10, k_item_ring, {{6, {150}}, {21, {80}}, {9, {80}}});
    equip(*hero_, 10, k_inv_ring1);
    equip(*hero_, 10, 2);  // in the backpack
    hero_->melee_base = 5;
    hero_->level = 5;
    hero_->hp = 90;
    hero_->hp_ceiling = 90;
    hero_->mana = 500;
    recompute_char_stats(hero_, false);
    EXPECT_EQ(hero_->melee, 5);
    EXPECT_EQ(hero_->resist[5], 50);   // slash
    EXPECT_EQ(hero_->resist[1], -20);  // fire
    EXPECT_EQ(char_resistance(hero_, 1), 50);
    EXPECT_EQ(char_resistance(hero_, 4), -20);
    EXPECT_EQ(char_resistance(hero_, 0), 0);
    EXPECT_EQ(char_resistance(hero_, 8), 0);
    EXPECT_EQ(hero_->hp_max, 400);  // 200 at level 5, x2
    EXPECT_EQ(hero_->mana_max, 120);
    EXPECT_EQ(hero_->mana, 120);
    EXPECT_EQ(hero_->hp, 90);
    recompute_char_stats(hero_, true);
    EXPECT_EQ(hero_->hp, 400);
    EXPECT_EQ(hero_->hp_ceiling, 400);
}

TEST_F(CombatRules, AttackSpeedMultipliesTheWeaponTimeSkillArmourShieldAndSlowing)
{
    EXPECT_FLOAT_EQ(char_attack_speed(foe_), 3.0f);  // no weapon, speed 0
    foe_->speed = 17;
    equip(*foe_, k_axe, k_inv_weapon);
    EXPECT_FLOAT_EQ(char_attack_speed(foe_), 2.0f);
    equip(*foe_, k_armour, k_inv_armor);
    equip(*foe_, k_shield, k_inv_shield);
    EXPECT_FLOAT_EQ(char_attack_speed(foe_), 2.0f * 1.125f * 1.25f);
    item(230, k_item_attunement);
    equip(*hero_, 230, k_inv_attunement);
    foe_->pos_x = 299.0f;
    EXPECT_FLOAT_EQ(char_attack_speed(foe_), 2.0f * 1.125f * 1.25f * 2.0f);
    foe_->pos_x = 300.0f;
    EXPECT_FLOAT_EQ(char_attack_speed(foe_), 2.0f * 1.125f * 1.25f);
}

TEST_F(CombatRules, LevelsFollowTheExperienceCurve)
{
    EXPECT_EQ(xp_for_level(1), 0);
    EXPECT_EQ(xp_for_level(2), 25);
    EXPECT_EQ(xp_for_level(3), 75);
    EXPECT_EQ(xp_for_level(18), 3276775);
    EXPECT_EQ(xp_for_level(19), 6000000);
    EXPECT_EQ(xp_for_level(k_max_player_level), 42000000);
    EXPECT_EQ(level_value(1), 2);
    EXPECT_EQ(level_value(13), 3200);
    EXPECT_EQ(level_value(20), 100000);
    EXPECT_EQ(level_value(0), -1);
    EXPECT_EQ(level_value(21), -1);

    hero_->pos_x = 40.0f;
    hero_->pos_y = 50.0f;
    hero_->hp = 1;
    hero_->mana = 0;
    char_level_up(hero_);
    EXPECT_EQ(hero_->level, 2);
    EXPECT_EQ(hero_->skill_points, 50);
    EXPECT_EQ(hero_->hp_max, 118);
    EXPECT_EQ(hero_->hp, 118);
    EXPECT_EQ(hero_->hp_ceiling, 118);
    EXPECT_EQ(hero_->mana, 60);
    EXPECT_STREQ(g_message_log.lines[g_message_log.count - 1], "T119");
    EXPECT_EQ(g_message_log.colours[g_message_log.count - 1], 2);
    ASSERT_EQ(casts.size(), 1u);
    EXPECT_EQ(casts[0].spell, 114);
    EXPECT_EQ(casts[0].x0, 40.0f);
    EXPECT_EQ(casts[0].y0, 50.0f);

    hero_->level = 22;
    char_level_up(hero_);
    EXPECT_EQ(hero_->skill_points, 50 + 260);
    char_level_up(hero_);
    EXPECT_EQ(hero_->skill_points, 50 + 260 + 300);
}

} // namespace
