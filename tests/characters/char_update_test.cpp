#include "characters/char_scene.h"
#include "support/item_table_guard.h"

#include "characters/char_spawning.h"
#include "characters/char_stats.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "world/object_behaviour.h"

#include <cstring>
#include <string>

namespace {

constexpr int16_t k_sword = 5;

void carry(char_record& c, int16_t item)
{
    c.inv_item[c.inv_count] = item;
    c.inv_location[c.inv_count] = 0;
    c.inv_value[c.inv_count] = 1;
    ++c.inv_count;
}

} // namespace

TEST_F(char_scene_test, ADeadEnemyBecomesACorpseOnce)
{
    item_table_guard items;
    make_item(k_sword, "sword", "Sword", k_item_fast_weapon);
    place(0, k_kind_player, 0, 0);
    char_record& enemy = place(1, k_kind_enemy, 100, 100);
    char_record& villager = place(2, k_kind_normal, 200, 100);
    char_record& elsewhere = place(3, k_kind_enemy, 300, 100);
    carry(enemy, k_sword);
    enemy.hp = 0;
    villager.hp = -5;
    elsewhere.hp = 0;
    elsewhere.world_fade = 0.0f;
    elsewhere.world = 2;  // stays out of the real world
    enemy.monster_point = 2;
    g_monster_points.count = 3;
    g_monster_points.points[2].slots[1] = 1;
    add_char_placement(&g_char_placements, "orc.chr", 100, 100, 0);
    g_char_placements.entries[0].char_slot = 1;
    g_game_clock.hour = 21;

    update_all_chars(true);

    EXPECT_EQ(enemy.life, k_life_dead);
    EXPECT_EQ(enemy.inv_count, 0);
    const world_object& corpse = g_objects[enemy.object];
    EXPECT_EQ(corpse.lifetime, 800);
    EXPECT_EQ(corpse.anim_mode, k_anim_once);
    ASSERT_EQ(corpse.entry_count, 1);
    EXPECT_EQ(corpse.entry_kinds[0], k_entry_fade_out);
    EXPECT_EQ(corpse.entry_ints[0][0], 1);
    EXPECT_EQ(corpse.entry_ints[0][1], 1);
    EXPECT_EQ(g_monster_points.points[2].slots[1], -1);
    EXPECT_EQ(g_monster_points.points[2].stamp, get_clock_minutes(&g_game_clock));
    EXPECT_NE(g_monster_points.points[2].stamp, 0u);
    EXPECT_EQ(g_char_placements.count, 0);
    // An ordinary character never dies; one faded out of this world waits.
    EXPECT_EQ(villager.life, k_life_alive);
    EXPECT_EQ(elsewhere.life, k_life_alive);

    // The corpse dies once: what it is given later stays with it.
    carry(enemy, k_sword);
    update_all_chars(true);
    EXPECT_EQ(enemy.inv_count, 1);
    EXPECT_EQ(g_objects[enemy.object].entry_count, 1);
}

TEST_F(char_scene_test, ThePlayerGainsOneLevelPerFrame)
{
    char_record& player = place(0, k_kind_player, 0, 0);
    player.level = 1;
    player.exp = xp_for_level(3);
    update_all_chars(true);
    EXPECT_EQ(player.level, 2);
    update_all_chars(true);
    EXPECT_EQ(player.level, 3);
    update_all_chars(true);
    EXPECT_EQ(player.level, 3);

    player.level = k_max_player_level;
    player.exp = xp_for_level(k_max_player_level + 1);
    update_all_chars(true);
    EXPECT_EQ(player.level, k_max_player_level);
}

TEST_F(char_scene_test, TheCameraGlidesInDialoguesAndJumpsOtherwise)
{
    place(0, k_kind_player, 2000, 1000);
    const float target_x = 2000.0f - 512.0f;
    const float target_y = 1000.0f - 384.0f;
    g_camera_x = target_x - 500.0f;
    g_camera_y = target_y;
    g_dialogue_running = 1;
    g_camera_pan_tick = g_ticks - 3;

    update_all_chars(true);
    EXPECT_FLOAT_EQ(g_camera_x, target_x - 500.0f + 16.0f);  // 3 ticks: 4 x 3 + 4 pixels
    EXPECT_FLOAT_EQ(g_camera_y, target_y);
    update_all_chars(true);  // no tick has passed
    EXPECT_FLOAT_EQ(g_camera_x, target_x - 500.0f + 16.0f);

    g_dialogue_running = 0;
    update_all_chars(true);
    EXPECT_FLOAT_EQ(g_camera_x, target_x);
    EXPECT_FLOAT_EQ(g_camera_y, target_y);

    // Held at the scene's bounds.
    g_scene_header.camera_min_x = 1600.0f;
    update_all_chars(true);
    EXPECT_FLOAT_EQ(g_camera_x, 1600.0f);
}

TEST_F(char_scene_test, AttunementsAreLearnedOnceAtTheirThreshold)
{
    item_table_guard items;
    place(0, k_kind_player, 0, 0);
    item_proto& ready = make_item(7, "ward", "Ward", k_item_attunement);
    ready.size = 0;
    ready.damage = int16_t(attunement_threshold(0));
    item_proto& early = make_item(8, "veil", "Veil", k_item_attunement);
    early.size = 1;
    early.damage = int16_t(attunement_threshold(1) - 1);
    g_focus_list.count = 3;

    update_all_chars(true);
    EXPECT_EQ(ready.damage, k_attunement_learned_points);
    EXPECT_EQ(early.damage, attunement_threshold(1) - 1);
    EXPECT_EQ(g_notices.last_attunement, 7);
    EXPECT_EQ(g_notices.attunement_seen, 0u);
    ASSERT_EQ(g_message_log.count, 1u);
    EXPECT_NE(std::string(g_message_log.lines[0]).find("Ward!"), std::string::npos);
    EXPECT_EQ(g_focus_list.count, 0u);  // the update empties the focus list

    EXPECT_EQ(learn_attunement(&g_notices, 7), 0);  // already learned
    ready.damage = 0;
    EXPECT_EQ(learn_attunement(&g_notices, 7), 0);  // just announced
    EXPECT_EQ(learn_attunement(&g_notices, 8), 1);
    EXPECT_EQ(g_notices.last_attunement, 8);
    EXPECT_EQ(g_message_log.count, 2u);
}
