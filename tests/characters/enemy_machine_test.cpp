#include "characters/machine_fixture.h"

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/surround.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "items/items.h"
#include "world/movement_map.h"
#include "world/path_search.h"
#include "world/sectors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The machine fixture with the AI on, the places around the player empty and one monster class
// whose attack pause is 30 ticks.
class enemy_machine_test : public machine_test {
protected:
    void SetUp() override
    {
        machine_test::SetUp();
        saved_.keep(g_editor), saved_.keep(g_surround), saved_.keep(g_monster_protos),
            saved_.keep(g_monster_proto_count);
        g_editor.ai_on = 1;
        g_surround = surround{};
        g_monster_proto_count = 1;
        g_monster_protos[0].attack_pause = 30;
    }
};

// The player at (320, 320): its places lie at (320, 400), (384, 384), (400, 320) and so on.
char_record& place_player()
{
    return place(0, k_kind_player, 320, 320);
}

// The next assignment is due: `occupied` stands for the count the previous frame left.
void assign(uint8_t occupied)
{
    g_surround.count = occupied;
    g_surround.next_update = 0;
    assign_surround_slots(&g_surround, 0);
}

// One frame `ms` milliseconds after the last: the places, then every enemy's machine.
void enemies_frame(uint32_t ms = 32)
{
    advance_time(ms);
    assign_surround_slots(&g_surround, 0);
    for (uint32_t s = 0; s < g_char_count; ++s)
        if (g_chars[s].kind == k_kind_enemy)
            update_enemy_char(&g_chars[s], int32_t(s));
}

void give_weapon(char_record& c, int16_t item, int32_t range, uint8_t attack_delay)
{
    item_proto& weapon = make_item(item, "weapon", "Weapon", k_item_medium_weapon);
    weapon.range = range;
    weapon.attack_delay = attack_delay;
    weapon.strike_frame = 0;
    give_item(c, item, k_inv_weapon);
}

// Cells of row `row` from column 0 to `last_column` block the way.
void wall_row(int32_t row, int32_t last_column)
{
    for (int32_t column = 0; column <= last_column; ++column)
        set_movemap_cell(&g_movement_map, column * k_cell_size, row * k_cell_size, k_cell_blocked);
}

// A square sector whose outline returns to its first corner (five points).
void square_sector(int32_t n, uint8_t type, float x0, float y0, float x1, float y1)
{
    make_sector(n, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}}, type);
}

} // namespace

TEST_F(enemy_machine_test, ANearerEnemyDisplacesAFartherOneWhichTakesItsNextBestPlace)
{
    char_record& p = place_player();
    char_record& far = place(1, k_kind_enemy, 320, 480);   // 80 from place 0
    char_record& near = place(2, k_kind_enemy, 320, 420);  // 20 from place 0
    assign(1);
    EXPECT_EQ(g_surround.occupant[0], 2);
    EXPECT_EQ(g_surround.occupant[1], 1);  // 115.4 from places 1 and 7: the first wins
    EXPECT_NEAR(g_surround.distance[1], std::hypot(64.0f, 96.0f), 0.01f);
    EXPECT_EQ(g_surround.distance[2], k_surround_empty);
    EXPECT_EQ(g_surround.count, 2);
    EXPECT_EQ(surround_slot_of(g_surround, 1), 1);

    // The player stands: the near one, 20 from its place, is put onto it; the far one is not.
    EXPECT_EQ(obj(near).x, 320.0f);
    EXPECT_EQ(obj(near).y, 400.0f);
    EXPECT_EQ(near.pos_y, 420.0f);
    EXPECT_EQ(near.pending_target, g_ticks);
    EXPECT_EQ(obj(far).y, 480.0f);

    // Nothing is reassigned before 10 ticks have passed.
    near.life = k_life_dead;
    g_ticks += 10;
    assign_surround_slots(&g_surround, 0);
    EXPECT_EQ(g_surround.occupant[0], 2);
    g_ticks += 1;
    assign_surround_slots(&g_surround, 0);
    EXPECT_EQ(g_surround.occupant[0], 1);
    EXPECT_EQ(obj(far).y, 480.0f);  // 80 from its place: too far to be put onto it
    near.life = k_life_alive;

    // A walking player snaps nobody.
    obj(near).y = 420.0f;
    p.state = k_state_walk_leg;
    assign(1);
    EXPECT_EQ(g_surround.occupant[0], 2);
    EXPECT_EQ(obj(near).y, 420.0f);
    p.state = k_state_idle;

    // A place on a blocked cell is taken by nobody: the near one takes place 1, the far one 7.
    set_movemap_cell(&g_movement_map, 320, 400, k_cell_blocked);
    assign(1);
    EXPECT_EQ(g_surround.usable[0], 0u);
    EXPECT_EQ(g_surround.occupant[0], -1);
    EXPECT_EQ(g_surround.occupant[1], 2);
    EXPECT_EQ(g_surround.occupant[7], 1);

    // A dead player leaves every place empty.
    p.life = k_life_dead;
    assign(1);
    EXPECT_EQ(g_surround.count, 0);
}

TEST_F(enemy_machine_test, WhileNobodyAttacksOnlyAnEnemyWithARouteOfAtMostTwoPointsTakesAPlace)
{
    place_player();
    wall_row(14, 30);  // the far enemy below it must go round its right end
    place(1, k_kind_enemy, 400, 360);
    char_record& far = place(2, k_kind_enemy, 320, 640);
    char_route probe{};
    find_path(&probe, &g_movement_map, 10, 20, 10, 10, 0);
    ASSERT_GT(probe.route_count, 2);
    far.route.route_count = 7;  // a walk of its own, kept through the search

    assign(0);
    EXPECT_GE(surround_slot_of(g_surround, 1), 0);
    EXPECT_EQ(surround_slot_of(g_surround, 2), -1);
    EXPECT_EQ(far.route.route_count, 7);
    EXPECT_EQ(g_surround.count, 1);

    // Once an attacker is counted, the route no longer matters.
    g_ticks += 11;
    assign_surround_slots(&g_surround, 0);
    EXPECT_GE(surround_slot_of(g_surround, 1), 0);
    EXPECT_GE(surround_slot_of(g_surround, 2), 0);
}

TEST_F(enemy_machine_test, SightAndHomeSectorsDecideWhoIsConsidered)
{
    char_record& p = place_player();
    char_record& e = place(1, k_kind_enemy, 320, 700);  // 300 from the nearest place
    e.ai_distance = 100;
    assign(1);
    EXPECT_EQ(surround_slot_of(g_surround, 1), -1);
    g_zoom = 0.25f;  // sight 100 / zoom = 400
    assign(1);
    EXPECT_EQ(surround_slot_of(g_surround, 1), 0);
    g_zoom = 1.0f;
    e.hp = 19;  // hurt: any distance
    assign(1);
    EXPECT_EQ(surround_slot_of(g_surround, 1), 0);
    e.hp = 20;
    e.ai_distance = 700;

    // The player stands in type-3 sector 4; the enemy belongs to sector 6.
    square_sector(4, 3, 200, 200, 450, 450);
    square_sector(6, 3, 900, 900, 1000, 1000);
    e.home_sector = 6;
    assign(3);
    EXPECT_EQ(p.home_sector, 4);
    EXPECT_EQ(surround_slot_of(g_surround, 1), -1);
    assign(2);  // few attackers: it joins from its own sector
    EXPECT_EQ(surround_slot_of(g_surround, 1), 0);
    e.target = 0;
    assign(3);  // with a target it joins while fewer than 4 attack
    EXPECT_EQ(surround_slot_of(g_surround, 1), 0);
    e.target = -1;

    // A home sector that names no sector in use counts as none.
    for (int32_t home : {5000, -3, 5}) {
        e.home_sector = home;
        assign(5);
        EXPECT_EQ(surround_slot_of(g_surround, 1), 0) << home;
    }
    // A stunned, ranged or invisible enemy takes no place.
    e.home_sector = 0;
    for (auto change : {+[](char_record& c) { c.state = k_state_stunned; },
                        +[](char_record& c) { c.world_fade = 0.0f; }, +[](char_record& c) {
                            give_weapon(c, 7, 250, 0);
                        }}) {
        char_record saved = e;
        change(e);
        assign(1);
        EXPECT_EQ(surround_slot_of(g_surround, 1), -1);
        e = saved;
    }
}

TEST_F(enemy_machine_test, KnockBackSlowsByTwoAndAHalfPercentAStepAndStopsBelowATenth)
{
    place_player();
    char_record& e = place(1, k_kind_enemy, 600, 600);
    e.state = k_state_knocked_back;
    e.steps_left = 90;  // the attacker faced +x
    e.state_arg = 1;
    e.goal_x = 1.0f;
    e.last_step_ms = g_ticks;
    e.pending_target = 0xFFFFFFFF;

    enemies_frame(16);  // one tick: two steps at the frame's speed
    EXPECT_NEAR(obj(e).x, 602.0f, 1e-3f);
    EXPECT_NEAR(obj(e).y, 600.0f, 1e-3f);
    EXPECT_NEAR(e.goal_x, 0.975f * 0.975f, 1e-6f);
    EXPECT_EQ(e.state, k_state_knocked_back);

    int steps = 2;
    while (e.state == k_state_knocked_back && steps < 200) {
        enemies_frame(16);
        steps += 2;
    }
    EXPECT_EQ(e.state, k_state_idle);
    EXPECT_LT(e.goal_x, 0.1f);
    EXPECT_GE(e.goal_x, 0.1f * 0.975f);  // stopped at the first step below a tenth
    EXPECT_LT(steps, 100);               // 91 steps from 1.0

    // Speeds and step counts from a damaged record end within the frame.
    e.state = k_state_knocked_back;
    e.goal_x = 1e30f;
    e.state_arg = 0xFFFFFFFF;
    enemies_frame(16);
    EXPECT_TRUE(std::isfinite(obj(e).x));
}

TEST_F(enemy_machine_test, ARangedEnemyShootsOnlyAlongAStraightWayAndWalksWhenOutOfRange)
{
    char_record& p = place_player();
    char_record& e = place(1, k_kind_enemy, 320, 620);  // 300 away, below a wall
    give_weapon(e, 5, 400, 12);
    wall_row(14, 30);

    enemies_frame();
    EXPECT_EQ(e.state, k_state_idle);  // a shot would have left it recovering
    EXPECT_EQ(e.pending_target, g_ticks + 10);
    EXPECT_EQ(g_surround.count, 1);  // engaged: counted as an attacker
    EXPECT_EQ(surround_slot_of(g_surround, 1), -1);

    // Out of range (reach 400) but within sight: it walks toward the player.
    for (int32_t column = 0; column <= 30; ++column)
        clear_movemap_cell(&g_movement_map, column * k_cell_size, 14 * k_cell_size);
    obj(e).y = 820.0f;
    e.state = k_state_idle;
    e.pending_target = 0;
    enemies_frame();
    EXPECT_EQ(e.goal_x, 320.0f);
    EXPECT_EQ(e.goal_y, 320.0f);
    EXPECT_EQ(e.pending_target, g_ticks + 50);
    EXPECT_TRUE(e.state == k_state_next_leg) << e.state;  // planned in the same frame

    // In range with a straight way: it faces the player and shoots, after the weapon's delay and
    // the class's pause.
    obj(e).y = 620.0f;
    e.state = k_state_idle;
    e.pending_target = 0;
    enemies_frame();
    EXPECT_EQ(e.state, k_state_recover);  // no model: the shot frame is at once
    EXPECT_EQ(e.pending_target, g_ticks + 12 + 30);
    EXPECT_EQ(obj(e).angle_b, 180);
    EXPECT_EQ(p.hp, 20);  // a shot is the weapon's, not a blow

    // Beyond sight it does nothing.
    obj(e).y = 1200.0f;
    e.state = k_state_idle;
    e.pending_target = 0;
    enemies_frame();
    EXPECT_EQ(e.state, k_state_idle);
    EXPECT_EQ(g_surround.count, 0);
}

TEST_F(enemy_machine_test, AnEnemyInReachTurnsStrikesAndTheHitResolvesOnce)
{
    char_record& p = place_player();
    char_record& e = place(1, k_kind_enemy, 320, 400);  // on place 0, 80 from the player
    give_weapon(e, 6, 90, 5);
    g_item_protos[6].efect_count = 1;
    g_item_lists[6].efects[0].code = 38;  // on hit: a spell
    g_item_lists[6].efects[0].args[0] = 42;
    obj(e).angle_b = 90;

    enemies_frame();
    EXPECT_EQ(surround_slot_of(g_surround, 1), 0);
    EXPECT_EQ(e.target, 0);
    EXPECT_EQ(e.state, k_state_turn);
    EXPECT_EQ(e.next_state, k_state_strike);
    EXPECT_EQ(e.facing, 180);
    EXPECT_EQ(e.pending_target, g_ticks + 30 + 5);
    EXPECT_EQ(e.stance_until, g_ticks + 400);

    for (int i = 0; i < 20 && (e.state == k_state_turn || e.state == k_state_strike); ++i)
        enemies_frame();
    EXPECT_EQ(obj(e).angle_b, 180);
    EXPECT_EQ(e.state, k_state_recover);  // no model: the strike frame is at once
    EXPECT_LT(p.hp, 20);
    EXPECT_EQ(p.state, k_state_hit);
    EXPECT_EQ(e.struck, 1u);
    EXPECT_EQ(hook_cast_spells(), std::vector<int32_t>{42});

    enemies_frame();
    EXPECT_EQ(e.state, k_state_idle);

    // A busy player is hurt but keeps its state; a target out of reach is not hit.
    p.state = k_state_walk_leg;
    const int32_t hp = p.hp;
    e.state = k_state_strike;
    e.target = 0;
    enemies_frame();
    EXPECT_LT(p.hp, hp);
    EXPECT_EQ(p.state, k_state_walk_leg);
    p.hp = 20;
    obj(e).y = 420.0f;  // 100 away, reach 90
    e.state = k_state_strike;
    enemies_frame();
    EXPECT_EQ(p.hp, 20);
    // A target slot outside the table strikes nothing.
    e.state = k_state_strike;
    e.target = 300;
    enemies_frame();
    EXPECT_EQ(e.state, k_state_recover);
}

TEST_F(enemy_machine_test, InSpellModeTheSpellIsCastAtItsCastFrameTowardTheTarget)
{
    place_player();
    char_record& e = place(1, k_kind_enemy, 320, 600);
    give_model(e, 6);
    e.pending_target = 0xFFFFFFFF;
    e.spell_mode = 1;
    e.selected_spell = 9;
    e.target = 0;
    e.state = k_state_strike;
    g_char_rule_links.spell_cast_frame = [](int32_t spell, int32_t* frame) {
        *frame = spell == 9 ? 3 : 0;
        return true;
    };
    enemies_frame();
    EXPECT_EQ(e.state, k_state_strike);
    EXPECT_TRUE(g_hook_casts.empty());
    e.part_frame[0] = 3;
    enemies_frame();
    EXPECT_EQ(e.state, k_state_recover);
    ASSERT_EQ(g_hook_casts.size(), 1u);
    EXPECT_EQ(g_hook_casts[0].spell, 9);
    EXPECT_EQ(g_hook_casts[0].caster, 1);
    EXPECT_EQ(g_hook_casts[0].x1, 320.0f);
    EXPECT_EQ(g_hook_casts[0].y1, 320.0f);
}

TEST_F(enemy_machine_test, PatrolsOnlyAnActionSectorWithCornersAndStandsOtherwise)
{
    place_player();
    char_record& e = place(1, k_kind_enemy, 1000, 1000);  // far: no place
    e.pending_target = 0xFFFFFFFF;
    square_sector(3, 0, 900, 900, 1100, 1100);
    e.action_sector = 3;
    e.patrol_point = 4;
    enemies_frame();
    EXPECT_EQ(e.patrol_point, 0);  // the fifth point wraps to the first
    EXPECT_EQ(e.goal_x, 900.0f);
    EXPECT_EQ(e.goal_y, 900.0f);
    EXPECT_EQ(e.state, k_state_plan_path);

    // No corners, a sector not in use, or an index outside the table: it stands, and standing
    // does not start its clip again every frame.
    write_clip("wolf", 1, "stand1", {"body"}, 4);
    load_char_anims(&e, 1, true);
    set_char_anim(&e, k_action_stand, 1, 0);
    for (int16_t sector : {int16_t(3), int16_t(8), int16_t(-4), int16_t(30000)}) {
        g_sectors[3].count = 0;
        e.action_sector = sector;
        e.state = k_state_idle;
        e.target = 5;
        e.part_frame[1] = 2;
        enemies_frame();
        EXPECT_EQ(e.state, k_state_idle) << sector;
        EXPECT_EQ(e.part_frame[1], 2) << sector;
        EXPECT_EQ(e.target, -1) << sector;
    }
}

TEST_F(enemy_machine_test, FadesStunEncounterAndTheAiSwitch)
{
    char_record& p = place_player();
    char_record& e = place(1, k_kind_enemy, 320, 600);
    e.pending_target = 0xFFFFFFFF;

    // Fade out: 0.05 every 2 ticks; below 0 it ends at 0 and idle.
    e.state = k_state_fade_out;
    e.last_step_ms = 123456;  // a millisecond count left by walking
    enemies_frame(16);
    EXPECT_NEAR(obj(e).alpha, 0.95f, 1e-5f);
    enemies_frame(16);
    EXPECT_NEAR(obj(e).alpha, 0.95f, 1e-5f);
    for (int i = 0; i < 100 && e.state == k_state_fade_out; ++i)
        enemies_frame(32);
    EXPECT_EQ(obj(e).alpha, 0.0f);
    EXPECT_EQ(e.state, k_state_idle);
    e.state = k_state_fade_in;
    for (int i = 0; i < 100 && e.state == k_state_fade_in; ++i)
        enemies_frame(32);
    EXPECT_EQ(obj(e).alpha, 1.0f);
    // Without a world object there is nothing to fade: the fade ends at once.
    const int32_t object = e.object;
    e.object = -1;
    e.state = k_state_fade_out;
    enemies_frame(32);
    EXPECT_EQ(e.state, k_state_idle);
    e.object = object;

    // Stunned until its end time, then it recovers with nothing pending.
    e.state = k_state_stunned;
    e.pending_target = g_elapsed_ms + 100;
    enemies_frame(64);
    EXPECT_EQ(e.state, k_state_stunned);
    enemies_frame(64);
    EXPECT_EQ(e.state, k_state_recover);
    EXPECT_EQ(e.pending_target, 0u);

    // The encounter event within 400 of the player in its interior while the first flag is 0.
    e.script_flags[0] = 0;
    e.interior = 7;
    enemies_frame();
    EXPECT_TRUE(g_hook_events.empty());  // 280 from the player, but another interior
    e.interior = p.interior;
    enemies_frame();
    ASSERT_EQ(g_hook_events.size(), 1u);
    EXPECT_EQ(g_hook_events[0], std::make_pair(1, 1));

    // With the AI off nothing moves.
    g_editor.ai_on = 0;
    e.state = k_state_fade_out;
    float alpha = obj(e).alpha;
    enemies_frame(64);
    EXPECT_EQ(obj(e).alpha, alpha);
    EXPECT_EQ(g_hook_events.size(), 1u);
}
