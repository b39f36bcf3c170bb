// The NORMAL and NETPLAYER characters' state machine: inhabitants stroll between the corners of
// their action sector, or stand and now and then play their special animation, and strike back
// at a target something else gave them.

#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_strike.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "engine/math.h"
#include "platform/clock.h"
#include "world/world_objects.h"

namespace {

constexpr uint32_t k_regen_ticks = 300;
constexpr uint32_t k_counter_recheck_ticks = 10;
constexpr float k_think_min_ticks = 400.0f;
constexpr float k_think_max_ticks = 800.0f;
constexpr uint32_t k_walk_stall_ms = 100;  // a longer pause counts as one millisecond
constexpr uint8_t k_hit_blood_type = 0;

void stand(char_record* c)
{
    set_char_anim(c, k_action_stand, 0, 0);
}

// A living target nearer than the reach is struck back; an idle character turns to it first.
void counter_attack(char_record* c)
{
    char_record* target = char_at(c->target);
    if (!target || target == c || target->life != k_life_alive || !char_in_reach(*c, *target))
        return;
    c->pending_target = g_ticks + k_counter_recheck_ticks;
    if (c->state == k_state_idle)
        turn_to_strike(c, *target);
}

void idle_state(char_record* c)
{
    if (patrol_next_corner(c, c->random_move != 0))
        return;
    if (c->next_think < g_ticks) {
        set_char_anim(c, k_action_special, 1, 0);
        set_char_object_anim_mode(c, k_anim_once);
        c->state = k_state_recover;
        return;
    }
    stand(c);
    c->pending_action = k_pending_none;
}

void walk_leg_state(char_record* c)
{
    set_char_anim(c, k_action_move, 0, 0);
    enter_interiors_under(c);
    set_char_object_anim_mode(c, k_anim_loop);
    spawn_water_circles_under(*c);
    uint32_t elapsed = take_elapsed_ms(c, clock_ms(), k_walk_stall_ms);
    walk_leg(c, elapsed,
             leg_walk_rules{
                 .factor = 1.0f, .test_final_cells = false, .moves_cursor = true, .final_leg_ends_walk = true});
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
        set_up_next_leg(c);
        break;
    case k_state_walk_leg:
        walk_leg_state(c);
        break;
    case k_state_strike:
        strike_at_frame(c);
        break;
    case k_state_hit:
        step_hit_reaction(c, k_hit_blood_type);
        break;
    case k_state_turn:
        turn_toward_facing(c, k_walk_stall_ms);
        break;
    case k_state_recover:
        if (step_recover(c))
            c->pending_target = 0;
        break;
    case k_state_fade_out:
    case k_state_fade_in:
        step_fade(c);
        break;
    default:
        break;
    }
}

bool postpones_special(uint32_t state)
{
    return (state >= k_state_plan_path && state <= k_state_walk_leg) || state == k_state_hit ||
           state == k_state_turn || state == k_state_recover;
}

} // namespace

void update_normal_char(char_record* c, int32_t slot)
{
    if (!machine_runs(c))
        return;
    if (c->state != k_state_fade_out && c->state != k_state_fade_in) {
        regenerate_mana(c, k_regen_ticks);
        counter_attack(c);
        run_encounter_when_near(*c, slot);
        expire_stance(c);
    }
    if (postpones_special(c->state))
        c->next_think = g_ticks + uint32_t(rand_range(k_think_min_ticks, k_think_max_ticks));
    run_state(c);
}
