#include "characters/machine_fixture.h"

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "characters/focus_list.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/model_test_support.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "platform/clock.h"
#include "script/entities.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

class player_machine_test : public machine_test {};

void point_cursor_at(const char_record& c)
{
    g_mouse_x = obj(c).x;
    g_mouse_y = obj(c).y;
}

} // namespace

TEST_F(player_machine_test, RightClickWithoutAnEnemySwingsTowardTheCursor)
{
    char_record& p = place(0, k_kind_player, 200, 200);
    give_model(p, 4);
    g_mouse_x = 300, g_mouse_y = 150;  // aimed 50 below: (300, 200), to the right
    g_mouse_right = 1;
    frame(p);
    EXPECT_EQ(p.state, k_state_strike);
    EXPECT_EQ(p.next_attack_tick, g_ticks + 20);
    EXPECT_EQ(p.stance_until, g_ticks + 400);
    EXPECT_EQ(obj(p).angle_b, 90);
    EXPECT_EQ(p.target, -1);

    // Held through the swing: nothing new starts. At the last frame the swing ends without a blow.
    uint32_t due = p.next_attack_tick;
    frame(p);
    EXPECT_EQ(p.next_attack_tick, due);
    p.part_frame[0] = 3;
    g_mouse_right = 0;
    frame(p);
    EXPECT_EQ(p.state, k_state_recover);
    EXPECT_EQ(p.pending_target, k_strike_done);
    frame(p);
    EXPECT_EQ(p.state, k_state_idle);
    EXPECT_EQ(p.next_attack_tick, 0u);

    // Armed: the weapon's attack delay.
    item_proto& sword = make_item(3, "sword", "Sword", k_item_medium_weapon);
    sword.attack_delay = 7;
    sword.strike_frame = 2;
    give_item(p, 3, k_inv_weapon);
    p.part_frame[0] = 0;
    g_mouse_right = 1;
    frame(p);
    EXPECT_EQ(p.state, k_state_strike);
    EXPECT_EQ(p.next_attack_tick, g_ticks + 7);
}

TEST_F(player_machine_test, AnEnemyOutOfReachIsApproachedAndStruckAsSoonAsItIsInReach)
{
    char_record& p = place(0, k_kind_player, 100, 110);
    char_record& e = place(1, k_kind_enemy, 500, 110);
    focus_list_add(&g_focus_list, k_focus_fighter, 1);
    point_cursor_at(e);
    g_mouse_right = 1;
    frame(p);
    EXPECT_EQ(p.state, k_state_turn);
    EXPECT_EQ(p.next_state, k_state_follow_cursor);
    EXPECT_EQ(p.pending_action, k_pending_attack);
    EXPECT_EQ(p.facing, 90);
    g_mouse_right = 0;

    std::set<uint32_t> seen;
    for (int i = 0; i < 400 && p.state != k_state_strike; ++i) {
        frame(p);
        seen.insert(p.state);
    }
    ASSERT_EQ(p.state, k_state_strike);
    EXPECT_TRUE(seen.count(k_state_follow_cursor) && seen.count(k_state_plan_path) && seen.count(k_state_walk_leg));
    EXPECT_LT(char_distance(p, e), 100.0f);
    EXPECT_GT(char_distance(p, e), 95.0f);  // struck on the first frame in reach
    EXPECT_EQ(p.stamina, 9);                // unarmed: cost 0 + 1
    EXPECT_EQ(p.target, 1);
    EXPECT_EQ(p.pending_action, k_pending_none);
    EXPECT_EQ(e.hp, 20);

    frame(p);  // no model: the strike frame is now
    EXPECT_LT(e.hp, 20);
    EXPECT_EQ(e.state, k_state_hit);
    EXPECT_EQ(p.struck, 1u);
    EXPECT_EQ(p.state, k_state_recover);
}

TEST_F(player_machine_test, WithoutStaminaRunningStopsAndApproachesEndWithoutABlow)
{
    char_record& p = place(0, k_kind_player, 100, 110);
    char_record& e = place(1, k_kind_enemy, 500, 110);
    p.stamina = 0;
    p.walk_speed = 4;
    focus_list_add(&g_focus_list, k_focus_fighter, 1);
    point_cursor_at(e);
    g_mouse_right = 1;
    frame(p);
    g_mouse_right = 0;
    EXPECT_EQ(p.running, 0);
    bool struck = false, walked = false;
    for (int i = 0; i < 400 && !(walked && p.state == k_state_idle); ++i) {
        frame(p);
        walked = walked || p.state == k_state_walk_leg;
        struck = struck || p.state == k_state_strike;
    }
    EXPECT_TRUE(walked);
    EXPECT_FALSE(struck);
    EXPECT_EQ(p.state, k_state_idle);
    EXPECT_LT(char_distance(p, e), 100.0f);  // it came within reach and walked on
    EXPECT_EQ(p.pending_action, k_pending_none);
    EXPECT_EQ(e.hp, 20);

    // A blow started in reach costs no stamina and still lands (no model: at once).
    g_mouse_right = 1;
    frame(p);
    EXPECT_EQ(p.state, k_state_recover);
    EXPECT_LT(e.hp, 20);
}

TEST_F(player_machine_test, LeftClickLootsCorpsesTalksAndOtherwiseFollowsTheCursor)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    char_record& other = place(1, k_kind_enemy, 200, 100);
    g_mouse_x = 200, g_mouse_y = 100;
    struct click {
        uint8_t kind, life;
        int16_t loot;
        uint32_t focus_type, focus_id;
        bool opens, talks;
    };
    const click clicks[] = {
        {k_kind_enemy, k_life_dead, 105, k_focus_fighter, 1, true, false},
        {k_kind_enemy, k_life_dead, 300, k_focus_fighter, 1, false, false},  // loot out of range
        {k_kind_enemy, k_life_alive, 105, k_focus_fighter, 1, false, false},
        {k_kind_enemy, k_life_dead, 105, k_focus_fighter, 200, false, false},  // slot out of the table
        {k_kind_normal, k_life_alive, -1, k_focus_ordinary, 1, false, true},
    };
    for (const click& c : clicks) {
        SCOPED_TRACE(testing::Message() << "loot " << c.loot << " slot " << c.focus_id);
        other.kind = c.kind, other.life = c.life, other.loot_container = c.loot;
        p.state = k_state_idle, p.next_attack_tick = 0;
        g_interface = game_interface{};
        g_hook_events.clear();
        focus_list_clear(&g_focus_list);
        focus_list_add(&g_focus_list, c.focus_type, c.focus_id);
        g_mouse_left = 1;
        g_mouse_right = c.opens;  // elsewhere the right button would swing
        frame(p);
        EXPECT_EQ(g_interface.container_open, c.opens ? 1u : 0u);
        if (c.opens) {
            EXPECT_EQ(g_interface.container_id, 105);
            EXPECT_EQ(g_interface.side_panel_page, 2u);
            EXPECT_EQ(p.state, k_state_idle);
            EXPECT_EQ(p.next_attack_tick, 0u);  // the right button waits for the next frame
        } else if (c.talks) {
            EXPECT_EQ(g_interface.clicked_char, 1);
            EXPECT_EQ(g_hook_events, (std::vector<std::pair<int32_t, int32_t>>{{1, 0}}));
        } else {
            EXPECT_EQ(p.next_state, k_state_follow_cursor);
            EXPECT_EQ(p.facing, 90);
        }
    }
}

TEST_F(player_machine_test, PendingEntitiesOpenTheirContainerOrCastTheLockWhenReached)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    g_entity_count = 1;
    g_entities[0] = entity_record{};
    g_entities[0].sector = 3;
    g_entities[0].container = 6;
    g_sector_count = 4;
    begin_sector(&g_sectors[3], 0, 180, 100);

    // The click is taken once per press.
    focus_list_add(&g_focus_list, k_focus_entity, 0);
    g_mouse_x = 180, g_mouse_y = 100;
    g_mouse_left = 1;
    frame(p);
    EXPECT_EQ(p.pending_action, k_pending_entity);
    EXPECT_EQ(p.pending_target, 0u);
    EXPECT_EQ(g_press_latches.left, 1u);
    g_mouse_left = 0;
    frame(p);
    EXPECT_EQ(g_press_latches.left, 0u);

    auto walk_with = [&](uint32_t entity) {
        obj(p).x = 100, obj(p).y = 100;
        p.state = k_state_walk_leg;
        p.pending_action = k_pending_entity;
        p.pending_target = entity;
        p.route.route_count = 1, p.route.route_index = 1;
        p.route.route[0] = {600, 100};
        set_step_vector(&p, -500, 0);
        p.steps_left = 1000;
        g_interface = game_interface{};
        frame(p);
    };
    // Unusable entities are dropped and the walk goes on.
    for (uint32_t entity : {0u, 150u}) {
        g_entities[0].sector = entity == 0 ? -1 : 3;
        walk_with(entity);
        EXPECT_EQ(p.pending_action, k_pending_none);
        EXPECT_EQ(p.state, k_state_walk_leg);
        EXPECT_GT(obj(p).x, 100.0f);
    }
    g_entities[0].sector = 3;
    walk_with(0);
    EXPECT_EQ(p.state, k_state_idle);
    EXPECT_EQ(p.pending_action, k_pending_none);
    EXPECT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.container_id, 5);

    g_entities[0].state = 2;  // locked
    g_message_log.count = 0;
    uint32_t lines = 0;
    walk_with(0);
    EXPECT_EQ(g_interface.container_open, 0u);
    ASSERT_EQ(g_hook_casts.size(), 1u);
    EXPECT_EQ(g_hook_casts[0].spell, 116);
    EXPECT_EQ(g_hook_casts[0].caster, 0);
    EXPECT_EQ(g_hook_casts[0].x1, 100.0f);
    EXPECT_EQ(g_message_log.count, lines + 1);
    EXPECT_STREQ(g_message_log.lines[g_message_log.count - 1], ui_text(101));
}

TEST_F(player_machine_test, NoRouteLeavesThePlayerIdle)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    // Goal cell (20, 20) walled in.
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx || dy)
                set_movemap_cell(&g_movement_map, (20 + dx) * 32, (20 + dy) * 32, k_cell_blocked);
    p.state = k_state_plan_path;
    p.goal_x = p.goal_y = 20 * 32 + 5;
    frame(p);
    EXPECT_EQ(p.state, k_state_idle);
    EXPECT_EQ(p.route.route_count, 0);
    EXPECT_EQ(p.path_goal_x, p.goal_x);
}

TEST_F(player_machine_test, TurningTakesTheShortWayRoundOneDegreePerMillisecond)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    auto turn = [&](int32_t from, int16_t to, uint32_t ms) {
        obj(p).angle_b = from;
        p.facing = to;
        p.state = k_state_turn;
        p.next_state = k_state_walk_leg;
        p.last_step_ms = clock_ms();
        clock_advance_manual(ms);
        update_player_char(&p, 0);
        return obj(p).angle_b;
    };
    EXPECT_EQ(turn(350, 10, 10), 360);
    EXPECT_EQ(turn(350, 10, 11), 1);
    EXPECT_EQ(turn(350, 10, 17), 7);
    EXPECT_EQ(p.state, k_state_turn);
    EXPECT_EQ(turn(350, 10, 18), 10);
    EXPECT_EQ(p.state, k_state_walk_leg);
    EXPECT_EQ(turn(10, 350, 11), 359);
    EXPECT_EQ(turn(100, 200, 5), 105);
    EXPECT_EQ(turn(100, 200, 5000), 101);  // a stall counts as one millisecond
}

TEST_F(player_machine_test, FollowingTheCursorStepsPerMillisecondAndLeavesBlockedCellsWithinARadius)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    g_mouse_x = 300, g_mouse_y = 100;
    g_mouse_left = 1;
    p.state = k_state_follow_cursor;
    auto follow = [&](int32_t ms_since) {
        p.last_step_ms = clock_ms() - uint32_t(ms_since);
        update_player_char(&p, 0);
        return obj(p).x;
    };
    // A step is (dx / n / 4) x run speed 4 x 0.08, n the distance truncated: about 0.08.
    EXPECT_NEAR(follow(0), 100.08f, 1e-3);
    EXPECT_NEAR(follow(5000), 100.16f, 1e-3);  // a stall counts as one millisecond
    EXPECT_NEAR(follow(10), 100.96f, 1e-2);
    EXPECT_EQ(obj(p).angle_b, 90);
    EXPECT_EQ(p.following_cursor, 1u);

    // Standing in a blocked cell: the first free point of the first ring is (96, 99).
    obj(p).x = 95, obj(p).y = 100;
    set_movemap_cell(&g_movement_map, 95, 100, k_cell_blocked);
    EXPECT_NEAR(follow(1), 96.08f, 1e-3);
    EXPECT_NEAR(obj(p).y, 99.0f, 1e-3);

    // Nothing free within 20 pixels: it stays and stops.
    for (int cx = 1; cx <= 4; ++cx)
        for (int cy = 1; cy <= 4; ++cy)
            set_movemap_cell(&g_movement_map, cx * 32, cy * 32, k_cell_blocked);
    obj(p).x = 100, obj(p).y = 100;
    EXPECT_EQ(follow(1), 100.0f);
    EXPECT_EQ(obj(p).y, 100.0f);
    EXPECT_EQ(p.state, k_state_idle);
    EXPECT_EQ(p.following_cursor, 0u);

    // Released: a path walk to the cursor.
    p.state = k_state_follow_cursor;
    g_mouse_left = 0;
    follow(10);
    EXPECT_EQ(p.state, k_state_plan_path);
    EXPECT_EQ(p.goal_x, 300.0f);
}

TEST_F(player_machine_test, AStunLastsUntilItsEndTimeAndIgnoresTheMouse)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    p.state = k_state_stunned;
    p.pending_target = g_elapsed_ms + 100;
    g_mouse_left = g_mouse_right = 1;
    frame(p, 100);
    EXPECT_EQ(p.state, k_state_stunned);
    EXPECT_EQ(p.next_attack_tick, 0u);
    g_mouse_left = g_mouse_right = 0;
    frame(p, 1);
    EXPECT_EQ(p.state, k_state_idle);
}

TEST_F(player_machine_test, TheStrikeFrameResolvesTheBlowOnlyWhileTheTargetIsInReach)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    char_record& e = place(1, k_kind_enemy, 220, 100);
    give_model(p, 4);
    item_proto& sword = make_item(3, "sword", "Sword", k_item_medium_weapon);
    sword.range = 75;
    sword.strike_frame = 9;  // beyond the clip: the last frame strikes
    add_property(3, 35, {});         // knock-back of a target brought below 1 hit point
    add_property(3, 36, {4, 5, 2});  // a shake at every strike
    g_scene_header.scale = 2.0f;     // reach 150
    give_item(p, 3, k_inv_weapon);
    obj(p).angle_b = 77;
    auto strike_at = [&](float target_x, int frame_shown, int32_t hp) {
        obj(e).x = target_x;
        e.hp = hp, e.state = k_state_idle;
        p.state = k_state_strike, p.target = 1, p.struck = 0, p.part_frame[0] = uint8_t(frame_shown);
        g_camera_shake = camera_shake{};
        frame(p);
    };
    strike_at(220, 2, 20);
    EXPECT_EQ(p.state, k_state_strike);  // before the strike frame
    EXPECT_EQ(e.hp, 20);
    EXPECT_EQ(g_camera_shake.active, 0u);
    strike_at(220, 3, 20);
    EXPECT_EQ(p.state, k_state_recover);
    EXPECT_LT(e.hp, 20);
    EXPECT_EQ(e.state, k_state_hit);
    EXPECT_EQ(p.struck, 1u);
    EXPECT_EQ(g_camera_shake.amplitude_x, 5.0f);
    EXPECT_EQ(g_camera_shake.amplitude_y, 6.0f);

    strike_at(220, 3, 1);
    EXPECT_EQ(e.state, k_state_knocked_back);
    EXPECT_EQ(e.steps_left, 77);
    EXPECT_EQ(e.goal_x, 1.0f);

    strike_at(250, 3, 20);  // exactly at the reach: out of it
    EXPECT_EQ(p.state, k_state_recover);
    EXPECT_EQ(e.hp, 20);
    EXPECT_EQ(p.struck, 0u);
    EXPECT_EQ(g_camera_shake.active, 1u);  // the strike itself still shakes
}

TEST_F(player_machine_test, AFocusWeaponCastsItsHighestReadyTier)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    make_item(3, "wand", "Wand", k_item_focus);
    make_item(245, "ember", "Ember", k_item_attunement);
    give_item(p, 3, k_inv_weapon, 4);  // fire
    give_item(p, 245, k_inv_attunement);
    add_property(245, 68, {30});  // cast with the attunement whose tier cast
    auto strike = [&] {
        p.state = k_state_strike;
        frame(p);
        std::vector<int32_t> spells = hook_cast_spells();
        g_hook_casts.clear();
        return spells;
    };
    EXPECT_EQ(strike(), (std::vector<int32_t>{47, 30}));  // tier 2, then the attunement's own
    EXPECT_EQ(p.focus_cooldown[1], g_elapsed_ms + 13000);
    EXPECT_EQ(strike(), (std::vector<int32_t>{54}));  // cooling down: the base spell alone

    p.inv_damage_type[0] = 2;  // not an element
    EXPECT_EQ(strike(), (std::vector<int32_t>{}));
    EXPECT_NE(log_text().find("wrong focus element!"), std::string::npos);
}
