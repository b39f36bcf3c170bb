// The SIDEKICK characters' state machine: companions that strike whatever the player attacks the
// moment it is in reach, and otherwise stroll between the corners of their action sector. Their
// walking and turning run on ticks.

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_strike.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/input_state.h"
#include "world/world_objects.h"

namespace {

constexpr uint32_t k_regen_ticks = 300;
constexpr uint32_t k_stance_ticks = 400;
constexpr uint32_t k_decision_ticks = 10;
constexpr uint32_t k_unarmed_attack_delay = 50;
constexpr int32_t k_final_cell_test_steps = 10;
constexpr int32_t k_turn_degrees = 2;
constexpr int32_t k_turn_done_below = 4;

// The player's target as the sidekick's: null when the player has none, or it is out of the
// table, or it is the sidekick itself.
char_record* players_target(const char_record& c)
{
    const char_record* player = char_at(int32_t(g_player_char));
    char_record* target = player ? char_at(player->target) : nullptr;
    return target == &c ? nullptr : target;
}

// Every 10 ticks: without a target of the player's, stroll on; with one, strike it at once when
// it is alive and in reach, else stroll.
void decide(char_record* c)
{
    if (c->pending_target >= g_ticks)
        return;
    c->pending_target = g_ticks + k_decision_ticks;
    char_record* target = players_target(*c);
    if (!target) {
        c->state = k_state_idle;
        return;
    }
    c->target = target->slot;
    if (target->life != k_life_alive)
        return;
    if (!char_in_reach(*c, *target)) {
        c->state = k_state_idle;
        return;
    }
    float x, y;
    char_position(*target, &x, &y);
    face_and_set(c, x, y);
    c->stance_until = g_ticks + k_stance_ticks;
    set_char_anim(c, k_action_attack, 1, 0);
    c->state = k_state_strike;
    c->pending_target = g_ticks + weapon_swing_delay(*c, k_unarmed_attack_delay);
}

void idle_state(char_record* c)
{
    set_char_anim(c, k_action_stand, 0, 0);
    if (!g_mouse_left)
        c->pending_action = k_pending_none;
    patrol_next_corner(c, c->random_move != 0);
}

void walk_leg_state(char_record* c)
{
    set_char_object_anim_mode(c, k_anim_loop);
    if (c->last_step_ms >= g_ticks)
        return;
    spawn_water_circles_under(*c);
    uint32_t steps = uint32_t(char_move_speed(*c)) * (take_elapsed_ticks(c) + 1);
    walk_leg(c, steps,
             leg_walk_rules{.factor = 1.0f,
                            .test_final_cells = true,
                            .final_test_steps = k_final_cell_test_steps,
                            .speed_scaled = false});
}

// The weapon location's strike properties, then the blow on the target unless they cast: the
// unscaled reach, every target reacts, knock-back. In spell mode the selected spell instead.
void strike_state(char_record* c)
{
    set_char_object_anim_mode(c, k_anim_once);
    if (!at_strike_frame(*c))
        return;
    if (c->spell_mode) {
        cast_selected_spell_from(c);
    } else if (!apply_weapon_strike_properties(c) && c->target >= 0) {
        land_melee_blow(c, blow_rules{char_weapon_reach(*c), false, true});
    }
    c->state = k_state_recover;
}

void turn_state(char_record* c)
{
    if (c->last_step_ms >= g_ticks)
        return;
    uint32_t dt = take_elapsed_ticks(c);
    turn_steps(c, 2 + dt * c->run_speed, k_turn_degrees, k_turn_done_below);
}

void run_state(char_record* c)
{
    switch (c->state) {
    case k_state_idle:
        idle_state(c);
        break;
    case k_state_plan_path:
        plan_path(c);
        break;
    case k_state_next_leg:
        c->last_step_ms = g_ticks;
        set_up_next_leg(c, false);
        break;
    case k_state_walk_leg:
        walk_leg_state(c);
        break;
    case k_state_strike:
        strike_state(c);
        break;
    case k_state_hit:
        step_hit_reaction(c, c->bleed_type);
        break;
    case k_state_turn:
        turn_state(c);
        break;
    case k_state_recover:
        step_recover(c);
        break;
    default:
        break;
    }
}

} // namespace

void update_sidekick_char(char_record* c, int32_t)
{
    if (c->life != k_life_alive)
        return;
    regenerate_mana(c, k_regen_ticks);
    expire_stance(c);
    decide(c);
    run_state(c);
}
