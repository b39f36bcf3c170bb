#include "characters/char_damage.h"

#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/combat_fixture.h"
#include "characters/monster_protos.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/settings.h"
#include "world/camera_shake.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int16_t k_sword = 1, k_shield = 2;

class CharDamage : public combat_test {
protected:
    void SetUp() override
    {
        combat_test::SetUp();
        item(k_sword, k_item_medium_weapon).damage = 40;
        item(k_shield, k_item_shield).size = 1;
        hero_ = &fighter(0, k_kind_player);
        equip(*hero_, k_sword, k_inv_weapon, 1);  // slashing
        foe_ = &fighter(1, k_kind_enemy);
        foe_->hp = foe_->hp_max = foe_->hp_ceiling = 1000;
        foe_->level = 5;
    }

    // Seeds the generator so that the blow's damage roll gives x0.75 and no percent roll (block,
    // dodge, critical) is below `least`.
    static void plain_rolls(int least = 0)
    {
        game_srand(seed_where(4, [&](const std::vector<int>& v) {
            return v[2] == 0 && v[0] % 100 >= least && v[1] % 100 >= least && v[3] % 100 >= least;
        }));
    }

    std::string last_message() const { return g_message_log.lines[g_message_log.count - 1]; }

    char_record* hero_ = nullptr;
    char_record* foe_ = nullptr;
};

TEST_F(CharDamage, ArmourTakesAllButAQuarterOfWhatItCoversAndResistanceLeavesAtLeastOne)
{
    // sword 40 x 0.75 = 30 raw damage
    auto blow = [&](int16_t armour, int16_t slash_resistance) {
        g_monster_protos[0].armor_base = armour;
        foe_->resist[5] = slash_resistance;
        foe_->hp = 1000;
        plain_rolls();
        return resolve_melee_attack(hero_, 1);
    };
    EXPECT_EQ(blow(0, 0), 30);
    EXPECT_EQ(foe_->hp, 970);
    EXPECT_EQ(last_message(), "F1 T112 30 T113");
    EXPECT_EQ(blow(30, 0), 7);   // armour equal to the damage: a quarter of 30
    EXPECT_EQ(blow(40, 0), 7);
    EXPECT_EQ(blow(20, 0), 15);  // 10 above the armour, a quarter of the 20 below it
    EXPECT_EQ(blow(0, 50), 15);
    EXPECT_EQ(blow(0, 100), 1);
    EXPECT_EQ(blow(0, 250), 1);
    EXPECT_EQ(foe_->hp, 999);
    EXPECT_EQ(blow(0, -50), 45);  // a weakness adds
}

TEST_F(CharDamage, OnlyAMeleeBlowIsBlockedWithoutAShield)
{
    foe_->melee = 17;  // 45 % block, 0 % dodge
    item(300, k_item_attunement, {{17, {300}}});  // block x13
    equip(*foe_, 300, k_inv_attunement);
    for (int i = 0; i < 5; ++i) {
        game_srand(uint32_t(i));
        EXPECT_GT(char_take_hit(foe_, 0, -1, 0, 100, -1), 0) << i;
    }
    int32_t hp = foe_->hp;
    EXPECT_EQ(resolve_melee_attack(hero_, 1), 0);
    EXPECT_EQ(foe_->hp, hp);
    EXPECT_EQ(last_message(), "F1 T110");

    equip(*foe_, k_shield, k_inv_shield);
    EXPECT_EQ(char_take_hit(foe_, 0, -1, 0, 100, -1), 0);

    // A riposte: the blocked attacker is hit by its own weapon.
    item(187, k_item_attunement);
    equip(*foe_, 187, k_inv_attunement);
    EXPECT_EQ(resolve_melee_attack(hero_, 1), 0);
    EXPECT_LT(hero_->hp, 100);
    EXPECT_EQ(foe_->hp, hp);
}

TEST_F(CharDamage, RefusalsChangeNothing)
{
    EXPECT_EQ(resolve_melee_attack(hero_, 7), 0);
    EXPECT_EQ(resolve_melee_attack(hero_, -1), 0);
    EXPECT_NE(log_text().find("target invalid"), std::string::npos);
    EXPECT_EQ(char_take_hit(foe_, 9, -1, 0, 100, -1), 0);
    EXPECT_NE(log_text().find("attacker invalid"), std::string::npos);

    g_interface.player_invulnerable = 1;
    EXPECT_EQ(resolve_melee_attack(foe_, 0), 0);
    EXPECT_EQ(char_take_hit(hero_, -50, -1, 0, 100, -1), 0);
    EXPECT_EQ(apply_effect_damage(hero_, 50, 0, -1), 0);
    EXPECT_EQ(hero_->hp, 100);

    foe_->hp = 0;
    EXPECT_EQ(resolve_melee_attack(hero_, 1), 0);
    EXPECT_EQ(apply_effect_damage(foe_, 50, 0, 0), 0);
    EXPECT_EQ(foe_->hp, 0);
    EXPECT_TRUE(events.empty());
}

TEST_F(CharDamage, AKillRunsTheDeathEventAndRewardsThePlayer)
{
    foe_->hp = 1;
    foe_->hp_ceiling = 300;
    hero_->hp_ceiling = 50;
    item(165, k_item_attunement);
    equip(*hero_, 165, k_inv_attunement);
    plain_rolls();
    EXPECT_EQ(resolve_melee_attack(hero_, 1), 30);
    EXPECT_EQ(foe_->hp, -29);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].slot, 1);
    EXPECT_EQ(events[0].kind, 3);
    EXPECT_EQ(hero_->exp, level_value(5));
    EXPECT_EQ(hero_->hp_ceiling, 53);  // 1 % of the victim's ceiling
    EXPECT_EQ(std::string(g_message_log.lines[g_message_log.count - 2]), "F1: T114");
    EXPECT_EQ(last_message(), "F0 T115 3 T99");

    // An enemy's kill is worth nothing to it.
    hero_->hp = 1;
    foe_->hp = 100;
    int32_t exp = foe_->exp;
    game_srand(seed_where(4, [](const std::vector<int>& v) { return v[0] % 100 >= 5 && v[1] % 100 >= 5; }));
    EXPECT_GT(resolve_melee_attack(foe_, 0), 0);
    EXPECT_EQ(foe_->exp, exp);
    EXPECT_EQ(events.back().kind, 3);
}

TEST_F(CharDamage, NearAndHalfDeadEventsFollowTheScriptFlags)
{
    foe_->hp = foe_->hp_max = foe_->hp_ceiling = 40;  // 30 damage leaves 10: below half, not below a tenth
    plain_rolls();
    resolve_melee_attack(hero_, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, 5);

    foe_->hp = 33;  // leaves 3: both
    plain_rolls();
    resolve_melee_attack(hero_, 1);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].kind, 4);
    EXPECT_EQ(events[2].kind, 5);

    // A melee blow tests flag 2 for the half-dead event, a hit flag 1 for both.
    events.clear();
    foe_->script_flags[1] = 1;
    foe_->hp = 33;
    plain_rolls();
    resolve_melee_attack(hero_, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, 5);
    events.clear();
    foe_->hp = 33;
    game_srand(seed_where(3, [](const std::vector<int>& v) { return v[0] % 100 >= 1 && v[1] == 0 && v[2] % 100 >= 1; }));
    EXPECT_EQ(char_take_hit(foe_, 0, -1, 0, 100, -1), 30);
    EXPECT_TRUE(events.empty());
}

TEST_F(CharDamage, ASecondWindKeepsTheVictimAliveWithALowerCeiling)
{
    item(152, k_item_attunement);
    equip(*foe_, 152, k_inv_attunement);
    foe_->hp = 10;
    foe_->hp_ceiling = 100;
    game_srand(seed_where(5, [](const std::vector<int>& v) { return v[2] == 0 && v[3] % 100 >= 1 && v[4] % 100 < 50; }));
    EXPECT_EQ(resolve_melee_attack(hero_, 1), 0);
    EXPECT_EQ(foe_->hp_ceiling, 96);  // 10 - 30 = -20 hit points: the ceiling loses (100 + 20) / 25
    EXPECT_EQ(foe_->hp, 96);
    EXPECT_TRUE(events.empty());

    // A hit still reports its damage; a ceiling of 1 leaves 1 hit point, not a living corpse.
    foe_->hp = 5;
    foe_->hp_ceiling = 1;
    // a hit on a defender without a shield rolls no block: dodge, damage, critical, second wind
    game_srand(seed_where(4, [](const std::vector<int>& v) { return v[1] == 0 && v[2] % 100 >= 1 && v[3] % 100 < 50; }));
    EXPECT_EQ(char_take_hit(foe_, 0, -1, 0, 100, -1), 30);
    EXPECT_EQ(foe_->hp, 1);
    EXPECT_EQ(foe_->hp_ceiling, 1);
}

TEST_F(CharDamage, CriticalsMultiplyShakeAndStartTheAttackersCriticalAttunements)
{
    g_item_protos[k_sword].critical_multiplier = 2.0f;
    hero_->critical_until = g_elapsed_ms + 1;  // criticals are certain
    for (int16_t id : {212, 223, 207})
        item(id, k_item_attunement);
    item(400, k_item_ring, {{65, {60, 3, 3, 7}}, {62, {9}}});  // residual x1.0 of the base, 3 entries
    for (int16_t id : {212, 223, 207})
        equip(*hero_, id, k_inv_attunement);
    equip(*hero_, 400, k_inv_ring1);
    g_ticks = 500;
    plain_rolls();
    EXPECT_EQ(resolve_melee_attack(hero_, 1), 60);
    EXPECT_EQ(last_message(), "F1 T112 60! T113");
    EXPECT_NE(g_camera_shake.active, 0u);
    EXPECT_EQ(foe_->dot_kind, 1);
    EXPECT_EQ(foe_->dot_damage, 40);
    EXPECT_EQ(foe_->dot_damage_type, 1);
    EXPECT_EQ(foe_->dot_next_tick, 600u);
    EXPECT_EQ(foe_->armor_break, 1);
    EXPECT_EQ(foe_->dot_queue_count, 3);
    EXPECT_EQ(foe_->dot_queue_amount[2], 40);
    EXPECT_EQ(foe_->dot_queue_spell[2], 7);
    EXPECT_EQ(hero_->frenzy, 1);
    EXPECT_EQ(hero_->critical_until, g_elapsed_ms + 5000);
    ASSERT_EQ(casts.size(), 2u);
    EXPECT_EQ(casts[0].spell, 9);  // code 62, at the target, from a ring (flag 1)
    EXPECT_EQ(casts[0].x0, foe_->pos_x);
    EXPECT_EQ(casts[0].flag, 1);
    EXPECT_EQ(casts[1].spell, 64);  // frenzy starts once
    plain_rolls();
    resolve_melee_attack(hero_, 1);
    EXPECT_EQ(casts.size(), 3u);

    // A hit starts the pulses at once and takes the passed damage type; a fixed damage never crits.
    foe_->dot_kind = 0;
    plain_rolls();
    char_take_hit(foe_, 0, -1, 6, 100, -1);
    EXPECT_EQ(foe_->dot_next_tick, 500u);
    EXPECT_EQ(foe_->dot_damage_type, 6);
    foe_->dot_kind = 0;
    game_srand(seed_where(2, [](const std::vector<int>& v) { return v[1] == 0; }));  // dodge, damage
    EXPECT_EQ(char_take_hit(foe_, -40, -1, 0, 100, -1), 30);
    EXPECT_EQ(foe_->dot_kind, 0);
}

TEST_F(CharDamage, TheQueueStaysBelowSixteenAndPaysOneEntryEvery100Ticks)
{
    queue_timed_damage(foe_, 10, 0, 255, 10);
    queue_timed_damage(foe_, 10, 0, 255, 6);  // would reach 16
    EXPECT_EQ(foe_->dot_queue_count, 10);
    queue_timed_damage(foe_, 300, 4, 12, 5);
    EXPECT_EQ(foe_->dot_queue_count, 15);
    EXPECT_EQ(foe_->dot_queue_amount[14], 255);  // held to the byte

    g_ticks = 1000;
    foe_->next_damage_tick = 1000;
    update_timed_damage(foe_);
    EXPECT_EQ(foe_->dot_queue_count, 14);
    EXPECT_EQ(foe_->next_damage_tick, 1100u);
    EXPECT_LT(foe_->hp, 1000 - 150);
    ASSERT_EQ(casts.size(), 1u);
    EXPECT_EQ(casts[0].spell, 12);
    int32_t hp = foe_->hp;
    update_timed_damage(foe_);
    EXPECT_EQ(foe_->hp, hp);

    // The player's aura hurts aura-struck enemies within 1000 by its level.
    g_monster_protos[0].aphotic = 1;
    item(224, k_item_attunement);
    equip(*hero_, 224, k_inv_attunement);
    hero_->level = 7;
    foe_->world_fade = 1.0f;
    hero_->next_damage_tick = 0;
    update_timed_damage(hero_);
    EXPECT_LT(foe_->hp, hp);
    EXPECT_GE(foe_->hp, hp - 9);
    EXPECT_EQ(hero_->hp, 100);
}

} // namespace
