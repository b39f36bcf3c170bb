// The ENEMY's state machine: melee enemies fight from their place around the player, ranged ones
// shoot from where they stand when the way to the player is straight, and enemies with an action
// sector patrol its corners while they have no target.

#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_rule_links.h"
#include "characters/char_strike.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/surround.h"
#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "items/items.h"
#include "platform/clock.h"
#include "world/movement_map.h"
#include "world/path_search.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t k_ranged_reach = 200;  // above it an enemy shoots
constexpr uint32_t k_wait_ticks = 10;
constexpr uint32_t k_walk_ticks = 50;
constexpr uint32_t k_stance_ticks = 400;
constexpr float k_knock_back_decay = 0.975f;
constexpr float k_knock_back_stop = 0.1f;
constexpr uint32_t k_knock_back_max_steps = 1000;  // a frame's slide, whatever the record says
constexpr double k_radians_per_degree = 0.017453292519943295;
constexpr int16_t k_slowing_attunement = 271;  // the player's: nearby enemies walk at half speed
constexpr float k_slowing_distance = 1000.0f;
constexpr float k_slowed_factor = 0.5f;
constexpr float k_armor_break_factor = 0.9f;

void stand(char_record* c)
{
    set_char_anim(c, k_action_stand, 0, 0);
}

char_record* player_char()
{
    return char_at(int32_t(g_player_char));
}

bool decisions_held()
{
    return g_dialogue_running || g_interface.attunement_select_open || slide_show_on_screen();
}

bool hurt(const char_record& c)
{
    return c.hp != c.hp_max;
}

// State 9: the character slides along the attacker's angle (steps_left, degrees) at goal_x
// pixels a step, state_arg steps per elapsed tick and one more, the speed falling by 2.5 % a
// step; below 0.1 it stands.
void slide_knocked_back(char_record* c)
{
    if (c->last_step_ms >= g_ticks)
        return;
    const uint32_t dt = take_elapsed_ticks(c);
    world_object* o = world_object_of(*c);
    if (!o)
        return;
    const double a = double(c->steps_left) * k_radians_per_degree;
    const float step_x = float(std::sin(a)) * c->goal_x * g_scene_header.scale;
    const float step_y = float(std::cos(a)) * c->goal_x * g_scene_header.scale;
    const uint64_t steps = std::min<uint64_t>(uint64_t(dt + 1) * c->state_arg, k_knock_back_max_steps);
    for (uint64_t i = 0; i < steps; ++i) {
        o->x += step_x;
        o->y += step_y;
        c->goal_x *= k_knock_back_decay;
        if (c->goal_x < k_knock_back_stop) {
            c->state = k_state_idle;
            stand(c);
            return;
        }
    }
}

int32_t class_attack_pause(const char_record& c)
{
    return char_monster_proto(&c).attack_pause;
}

// Without a place: a ranged enemy within sight shoots when the way to the player is straight,
// and walks toward the player while out of range; anything else waits.
void decide_without_place(char_record* c, const char_record& player)
{
    c->pending_target = g_ticks + k_wait_ticks;
    const item_proto* weapon = item_proto_at(char_weapon_item(c));
    if (!weapon)
        return;
    const int32_t reach = char_reach(*c);
    const float d = char_distance(*c, player);
    if (!(d < float(c->ai_distance) / g_zoom) || reach <= k_ranged_reach)
        return;
    float px, py, x, y;
    char_position(player, &px, &py);
    if (d >= float(reach)) {
        c->following_cursor = 0;
        c->state = k_state_plan_path;
        c->goal_x = px;
        c->goal_y = py;
        c->pending_target = g_ticks + k_walk_ticks;
        return;
    }
    char_route route{};
    char_position(*c, &x, &y);
    find_path(&route, &g_movement_map, int32_t(x) / k_cell_size, int32_t(y) / k_cell_size, int32_t(px) / k_cell_size,
              int32_t(py) / k_cell_size, 0);
    if (route.route_count != 1)
        return;
    face_and_set(c, px, py);
    c->stance_until = g_ticks + k_stance_ticks;
    c->state = k_state_strike;
    c->pending_target = g_ticks + weapon->attack_delay + uint32_t(class_attack_pause(*c));
}

// From place k: walk to it while the target is out of reach, else turn to the target and strike.
void decide_in_place(char_record* c, const char_record& target, int32_t k)
{
    const int32_t reach = char_reach(*c);
    if (char_distance(*c, target) >= float(reach)) {
        c->following_cursor = 0;
        c->state = k_state_plan_path;
        c->goal_x = c->path_goal_x = g_surround.x[k];
        c->goal_y = c->path_goal_y = g_surround.y[k];
        c->pending_target = g_ticks + k_walk_ticks;
        return;
    }
    c->pending_target = g_ticks + k_wait_ticks;
    if (c->state == k_state_idle)
        turn_to_strike(c, target);
}

void decide(char_record* c, int32_t slot, char_record* player)
{
    const uint32_t state = c->state;
    if (state == k_state_recover || state == k_state_fade_out || state == k_state_fade_in)
        return;
    if (decisions_held()) {
        c->state = k_state_idle;
        return;
    }
    if (state == k_state_strike || state == k_state_hit || state == k_state_knocked_back ||
        state == k_state_stunned || c->pending_target >= g_ticks)
        return;
    c->target = -1;
    const int32_t k = surround_slot_of(g_surround, slot);
    if (k >= 0 && player) {
        c->target = int16_t(g_player_char);
        decide_in_place(c, *player, k);
    } else if (player && player->life == k_life_alive) {
        decide_without_place(c, *player);
    }
}

// Engaged ranged enemies count as attackers of the player and join the combat list.
void count_ranged_presence(const char_record& c, const char_record* player)
{
    if (!player || char_weapon_item(&c) < 0 || c.state == k_state_stunned || char_reach(c) <= k_ranged_reach)
        return;
    if (!(char_distance(c, *player) < float(c.ai_distance) * g_zoom || hurt(c)))
        return;
    if (g_surround.count < 255)
        ++g_surround.count;
    join_combat_list(c.slot);
}

// With an action sector and no target the patrol goes on; with a target it stands; without a
// sector (or while decisions are held) it stands and drops the target.
void idle_or_patrol(char_record* c)
{
    const bool patrols = !decisions_held() && patrol_sector(*c);
    if (patrols && c->target < 0 && patrol_next_corner(c, false))
        return;
    stand(c);
    c->pending_action = k_pending_none;
    if (!patrols)
        c->target = -1;
}

float walk_factor(const char_record& c, const char_record* player)
{
    float factor = swift_factor(c);
    if (player && char_has_attunement(player, k_slowing_attunement) && char_distance(c, *player) < k_slowing_distance)
        factor *= k_slowed_factor;
    for (uint8_t i = 0; i < c.armor_break2; ++i)
        factor *= k_armor_break_factor;
    return factor;
}

void walk_leg_state(char_record* c, const char_record* player)
{
    set_char_anim(c, k_action_move, 0, 0);
    enter_interiors_under(c);
    set_char_object_anim_mode(c, k_anim_loop);
    const uint32_t now = clock_ms();
    if (c->last_step_ms >= now)
        return;
    spawn_water_circles_under(*c);
    const uint32_t elapsed = take_elapsed_ms(c, now);
    walk_leg(c, elapsed, leg_walk_rules{.factor = walk_factor(*c, player), .test_final_cells = false});
}

void run_state(char_record* c, const char_record* player)
{
    switch (c->state) {
    case k_state_idle:
        idle_or_patrol(c);
        break;
    case k_state_plan_path:
        plan_path(c);
        break;
    case k_state_next_leg:
        set_up_next_leg(c);
        break;
    case k_state_walk_leg:
        walk_leg_state(c, player);
        break;
    case k_state_strike:
        strike_at_frame(c);
        break;
    case k_state_hit:
        if (step_hit_reaction(c, c->bleed_type))
            c->next_attack_tick = g_ticks;
        break;
    case k_state_turn:
        turn_toward_facing(c, k_stall_ms, turn_end_test::before_step);
        break;
    case k_state_recover:
        step_recover(c);
        break;
    case k_state_fade_out:
    case k_state_fade_in:
        step_fade(c);
        break;
    case k_state_stunned:
        if (c->pending_target < g_elapsed_ms) {
            c->state = k_state_recover;
            c->pending_target = 0;
            c->pending_action = k_pending_none;
        } else {
            stand(c);
        }
        break;
    default:
        break;
    }
}

} // namespace

void update_enemy_char(char_record* c, int32_t slot)
{
    if (!g_editor.ai_on || !machine_runs(c))
        return;
    char_record* player = player_char();
    run_encounter_when_near(*c, slot);
    if (c->state == k_state_knocked_back)
        slide_knocked_back(c);
    expire_stance(c);
    count_ranged_presence(*c, player);
    pulse_damage_over_time(c);
    decide(c, slot, player);
    run_state(c, player);
}
