#include "characters/machine_fixture.h"

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "core/frame_timing.h"
#include "core/input_state.h"
#include "items/items.h"
#include "platform/random.h"
#include "world/scene_header.h"
#include "world/sectors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

class companion_machines_test : public machine_test {};

bool postponed_from_now(const char_record& c)
{
    return c.next_think >= g_ticks + 400 && c.next_think <= g_ticks + 800;
}

} // namespace

TEST_F(companion_machines_test, AnOrdinaryCharacterPlaysItsSpecialAnimationOnceAndActivityPostponesIt)
{
    char_record& n = place(1, k_kind_normal, 200, 200);
    give_model(n, 4);
    n.next_think = g_ticks + 5;
    frame(n);  // 3 ticks later: not yet
    EXPECT_EQ(n.anim_action, k_action_stand);
    frame(n);
    EXPECT_EQ(n.state, k_state_recover);
    EXPECT_EQ(n.anim_action, k_action_special);
    EXPECT_EQ(obj(n).anim_mode, k_anim_once);

    // While it plays the next one is put off; at its last frame the character stands again.
    frame(n);
    EXPECT_EQ(n.state, k_state_recover);
    EXPECT_TRUE(postponed_from_now(n));
    n.part_frame[0] = 3;
    frame(n);
    EXPECT_EQ(n.state, k_state_idle);
    frame(n);
    EXPECT_EQ(n.anim_action, k_action_stand);
    EXPECT_EQ(n.state, k_state_idle);

    // Walking, turning and being hit put it off by 400 to 800 ticks; standing does not.
    n.route.route_count = n.route.route_index = 1;
    std::set<uint32_t> delays;
    for (uint32_t state : {k_state_walk_leg, k_state_turn, k_state_hit}) {
        for (int i = 0; i < 20; ++i) {
            n.state = state, n.next_think = 0, n.steps_left = 1000, n.facing = 180, n.part_frame[0] = 0;
            frame(n);
            EXPECT_TRUE(postponed_from_now(n)) << "state " << state;
            delays.insert(n.next_think - g_ticks);
        }
    }
    EXPECT_GT(delays.size(), 10u);
    n.state = k_state_idle, n.next_think = g_ticks + 50;
    frame(n);
    EXPECT_EQ(n.next_think, g_ticks + 47);  // standing keeps it
}

TEST_F(companion_machines_test, AnOrdinaryCharacterPatrolsItsActionSectorInTurnOrAtRandom)
{
    char_record& n = place(1, k_kind_normal, 200, 200);
    n.next_think = g_ticks + 10000;
    make_sector(5, {{100, 100}, {300, 100}, {300, 300}, {100, 300}});
    n.action_sector = 5;
    auto next_corner = [&] {
        n.state = k_state_idle;
        frame(n);
        return n.state == k_state_plan_path ? int(n.patrol_point) : -1;
    };
    n.patrol_point = 2;
    EXPECT_EQ(next_corner(), 3);
    EXPECT_EQ(next_corner(), 0);
    EXPECT_EQ(n.goal_x, 100.0f);
    EXPECT_EQ(n.goal_y, 100.0f);

    n.random_move = 1;
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        int before = n.patrol_point;
        int after = next_corner();
        ASSERT_NE(after, before);
        ASSERT_GE(after, 0);
        EXPECT_EQ(n.goal_x, g_sectors[5].x[after]);
        seen.insert(after);
    }
    EXPECT_EQ(seen.size(), 4u);
    // The corners come from the game's generator: one seed walks one way, whatever the C
    // library's generator holds.
    auto corners_after = [&](unsigned library_seed) {
        game_srand(7);
        std::srand(library_seed);
        std::vector<int> corners;
        for (int i = 0; i < 12; ++i)
            corners.push_back(next_corner());
        return corners;
    };
    EXPECT_EQ(corners_after(1), corners_after(99));

    // A single corner is kept (no endless redraw) and walked to. The cursor moves with the walk on
    // the axes the camera is not held on.
    make_sector(5, {{400, 400}});
    EXPECT_EQ(next_corner(), 0);
    EXPECT_EQ(next_corner(), 0);
    obj(n).x = obj(n).y = 208;
    g_mouse_x = g_mouse_y = 600;
    g_camera_clamp_y = 1;
    bool walked = false;
    for (int i = 0; i < 400 && !(walked && n.state == k_state_idle); ++i) {
        frame(n);
        walked = walked || n.state == k_state_walk_leg;
    }
    ASSERT_TRUE(walked);
    EXPECT_EQ(n.anim_action, k_action_stand);
    EXPECT_LT(std::hypot(obj(n).x - 400, obj(n).y - 400), 24.0f);
    EXPECT_NEAR(g_mouse_x - 600, obj(n).x - 208, 0.2);  // the same steps, summed at another magnitude
    EXPECT_EQ(g_mouse_y, 600.0f);

    // No points, a sector not in use or a number out of range: no patrol, the character stands.
    g_sectors[5].count = 0;
    EXPECT_EQ(next_corner(), -1);
    make_sector(5, {{150, 150}, {250, 150}});
    g_sectors[5].active = 0;
    EXPECT_EQ(next_corner(), -1);
    for (int16_t sector : {int16_t(0), int16_t(100), int16_t(-7)}) {
        n.action_sector = sector;
        EXPECT_EQ(next_corner(), -1) << sector;
        EXPECT_EQ(n.anim_action, k_action_stand);
    }
}

TEST_F(companion_machines_test, AnOrdinaryCharacterWithATargetInReachStrikesBack)
{
    char_record& n = place(1, k_kind_normal, 200, 200);
    char_record& t = place(2, k_kind_enemy, 280, 200);
    n.next_think = g_ticks + 10000;
    for (int32_t target : {-1, 300, 1}) {  // none, out of the table, itself
        n.target = int16_t(target);
        frame(n);
        EXPECT_EQ(n.state, k_state_idle) << target;
    }
    n.target = 2;
    t.life = k_life_dead;
    frame(n);
    EXPECT_EQ(n.state, k_state_idle);
    t.life = k_life_alive;
    obj(t).x = 300;  // exactly at the reach: out of it
    frame(n);
    EXPECT_EQ(n.state, k_state_idle);

    obj(t).x = 280;
    frame(n);
    EXPECT_EQ(n.facing, 90);
    EXPECT_EQ(n.next_state, k_state_strike);
    EXPECT_EQ(n.stance_until, g_ticks + 400);
    EXPECT_EQ(n.pending_target, g_ticks + uint32_t(char_monster_proto(&n).attack_pause));
    for (int i = 0; i < 20 && n.state != k_state_recover; ++i)
        frame(n);
    ASSERT_EQ(n.state, k_state_recover);
    EXPECT_EQ(obj(n).angle_b, 90);
    EXPECT_EQ(n.anim_action, k_action_attack);
    EXPECT_LT(t.hp, 20);
    EXPECT_EQ(t.state, k_state_hit);
    EXPECT_EQ(n.struck, 1u);

    // A target that is busy takes the blow without the hit reaction (healed first: the first
    // blow's roll may have felled it).
    t.hp = 20;
    t.life = k_life_alive;
    int32_t hp = t.hp;
    t.state = k_state_walk_leg;
    n.state = k_state_strike;
    frame(n);
    EXPECT_LT(t.hp, hp);
    EXPECT_EQ(t.state, k_state_walk_leg);
}

TEST_F(companion_machines_test, ASidekickWithoutAPlayerTargetWalksOnToTheNextCornerEachDecision)
{
    char_record& p = place(0, k_kind_player, 600, 600);
    char_record& s = place(1, k_kind_sidekick, 208, 208);
    // Corners straight below it: it faces them already and walks between decisions.
    make_sector(5, {{208, 600}, {208, 700}, {208, 800}, {208, 900}});
    s.action_sector = 5;
    for (int16_t target : {int16_t(-1), int16_t(200), int16_t(1)}) {  // none, out of the table, itself
        p.target = target;
        std::vector<uint32_t> decision_ticks;
        std::set<uint32_t> states;
        float x = obj(s).x, y = obj(s).y;
        bool moved = false;
        for (int i = 0; i < 60; ++i) {
            uint8_t corner = s.patrol_point;
            frame(s, 16);
            states.insert(s.state);
            moved = moved || obj(s).x != x || obj(s).y != y;
            if (s.patrol_point != corner) {
                decision_ticks.push_back(g_ticks);
                EXPECT_EQ(s.state, k_state_plan_path);
                EXPECT_EQ(s.patrol_point, (corner + 1) % 4);
                EXPECT_EQ(s.pending_target, g_ticks + 10);
            }
        }
        ASSERT_GE(decision_ticks.size(), 4u) << target;
        for (size_t i = 1; i < decision_ticks.size(); ++i)
            EXPECT_EQ(decision_ticks[i] - decision_ticks[i - 1], 11u);
        EXPECT_TRUE(states.count(k_state_walk_leg) && moved);  // between decisions it walks, by ticks
        EXPECT_EQ(s.target, -1);
    }
}

TEST_F(companion_machines_test, ASidekickStrikesThePlayersTargetTheMomentItIsInReach)
{
    char_record& p = place(0, k_kind_player, 100, 100);
    char_record& s = place(1, k_kind_sidekick, 300, 300);
    char_record& e = place(2, k_kind_enemy, 450, 300);
    give_model(s, 4);
    item_proto& sword = make_item(3, "sword", "Sword", k_item_medium_weapon);
    sword.range = 100;
    sword.attack_delay = 12;
    sword.strike_frame = 2;
    add_property(3, 38, {77});  // cast on a hit, by the hit resolution
    give_item(s, 3, k_inv_weapon);
    g_scene_header.scale = 1.5f;  // the decision's reach 150, the blow's 100
    p.target = 2;

    frame(s);  // out of reach: it strolls
    EXPECT_EQ(s.state, k_state_idle);
    EXPECT_EQ(s.target, 2);

    obj(e).x = 380;
    s.pending_target = 0;
    obj(s).angle_b = 270;
    frame(s);
    EXPECT_EQ(s.state, k_state_strike);  // no turn first
    EXPECT_EQ(obj(s).angle_b, 90);
    EXPECT_EQ(s.anim_action, k_action_attack);
    EXPECT_EQ(s.pending_target, g_ticks + 12);
    EXPECT_EQ(e.hp, 20);  // before the strike frame

    s.part_frame[0] = 2;
    e.state = k_state_walk_leg;
    frame(s);
    EXPECT_EQ(s.state, k_state_recover);
    EXPECT_LT(e.hp, 20);
    EXPECT_EQ(e.state, k_state_hit);  // whatever it was doing
    EXPECT_EQ(s.struck, 1u);
    std::vector<int32_t> spells = hook_cast_spells();
    EXPECT_EQ(std::count(spells.begin(), spells.end(), 77), 1);

    // The blow's reach is not scaled: a target 120 away is struck at, but not hit.
    int32_t hp = e.hp;
    obj(e).x = 420;
    e.state = k_state_idle;
    s.struck = 0;
    s.state = k_state_strike;
    frame(s);
    EXPECT_EQ(s.state, k_state_recover);
    EXPECT_EQ(e.hp, hp);
    EXPECT_EQ(s.struck, 0u);
}

TEST_F(companion_machines_test, FadesStepEveryTwoTicksAndEndIdle)
{
    char_record& n = place(1, k_kind_normal, 200, 200);
    n.mana_max = 10;
    n.state = k_state_fade_out;
    frame(n, 16);
    frame(n, 16);  // one tick after the first step: none
    EXPECT_NEAR(obj(n).alpha, 0.95f, 1e-6);
    EXPECT_EQ(n.mana, 0);  // nothing else runs while fading
    for (uint32_t fade : {k_state_fade_out, k_state_fade_in}) {
        int steps = fade == k_state_fade_out ? 1 : 0;
        for (n.state = fade; steps < 40 && n.state == fade; ++steps)
            frame(n, 32);
        EXPECT_EQ(n.state, k_state_idle);
        EXPECT_EQ(obj(n).alpha, fade == k_state_fade_out ? 0.0f : 1.0f);
        EXPECT_TRUE(steps == 20 || steps == 21) << steps;
    }
}
