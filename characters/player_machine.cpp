// The PLAYER's state machine: the mouse becomes walking, following the cursor, talking, looting,
// using entities, attacks and spells.

#include "characters/char_damage.h"
#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_movement.h"
#include "characters/char_rule_links.h"
#include "characters/char_strike.h"
#include "characters/char_table.h"
#include "characters/focus_list.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "core/settings.h"
#include "engine/math.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "items/items.h"
#include "platform/clock.h"
#include "script/entities.h"
#include "world/blood.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>

namespace {

constexpr uint32_t k_regen_ticks = 30;
constexpr uint32_t k_stance_ticks = 400;
constexpr uint32_t k_unarmed_attack_delay = 20;
constexpr float k_aim_below_cursor = 50.0f;
constexpr int32_t k_ranged_reach = 200;       // from this reach on, a swing aims at the cursor
constexpr float k_arrival_distance = 150.0f;  // a pending container or entity is reached
constexpr uint32_t k_inventory_page = 2;
constexpr uint8_t k_locked_entity = 2;
constexpr int32_t k_locked_spell = 116;
constexpr int k_locked_text = 101;
constexpr const char* k_locked_sound = "data/sound/locked.ogg";
constexpr int32_t k_unstick_radius = 20;
constexpr int32_t k_talk_event = 0;

void stand(char_record* c)
{
    set_char_anim(c, k_action_stand, 0, 0);
}

void open_container_window(int32_t container)
{
    g_interface.container_open = 1;
    g_interface.container_id = container;
    g_interface.side_panel_open = 1;
    g_interface.side_panel_page = k_inventory_page;
}

bool is_container(int32_t index)
{
    return index >= 0 && index < k_container_slots;
}

// The entity at index with its sector's first point; null for an index or sector out of range.
const entity_record* entity_with_point(uint32_t index, float* x, float* y)
{
    if (index >= std::min<uint32_t>(g_entity_count, k_entity_slots))
        return nullptr;
    const entity_record& e = g_entities[index];
    if (e.sector < 0 || e.sector >= k_sector_slots || g_sectors[e.sector].count < 1)
        return nullptr;
    *x = g_sectors[e.sector].x[0];
    *y = g_sectors[e.sector].y[0];
    return &e;
}

uint32_t focus_count()
{
    return std::min(g_focus_list.count, k_focus_entries);
}

// The stand animation and state 0 on arrival at a pending container or entity.
void arrive(char_record* c, float x, float y)
{
    c->state = k_state_idle;
    stand(c);
    face_and_set(c, x, y);
    c->pending_action = k_pending_none;
}

void start_stance(char_record* c)
{
    c->stance = 1;
    c->stance_until = g_ticks + k_stance_ticks;
}

void play_weapon_sound(const char_record& c, int32_t weapon)
{
    float x, y;
    char_position(c, &x, &y);
    play_item_attack_sound(weapon, x, y);
}

// Before the mouse each frame: mana regeneration, the end of the combat stance, running out of
// stamina and the damage-over-time pulses.
void keep_up(char_record* c)
{
    if (!slide_show_on_screen())
        regenerate_mana(c, k_regen_ticks);
    g_player_object = c->object;
    expire_stance(c);
    if (c->stamina < 1 && c->running) {
        c->running = 0;
        if (c->state == k_state_walk_leg || c->state == k_state_follow_cursor)
            set_char_anim(c, k_action_move, 1, 0);
    }
    pulse_damage_over_time(c);
}

bool mouse_input_blocked(const char_record& c)
{
    return g_interface.mouse_over_ui || g_dialogue_running || slide_show_on_screen() ||
           g_interface.container_open || g_interface.attunement_select_open || c.state == k_state_stunned;
}

// The left button. False when a corpse's loot opened and the frame goes straight to the state.
bool handle_left_button(char_record* c)
{
    if (left_press_taken() || !g_mouse_left || c->state == k_state_follow_cursor)
        return true;
    // A new click replaces where an earlier one was going: a container or entity not reached yet.
    if (c->pending_action == k_pending_container || c->pending_action == k_pending_entity)
        c->pending_action = k_pending_none;
    bool handled = false;
    uint32_t count = focus_count();
    if (count > 0) {
        uint32_t type = g_focus_list.type[count - 1], id = g_focus_list.id[count - 1];
        const char_record* other = char_at(int32_t(id));
        if (type == k_focus_ordinary && other && other->interior == c->interior) {
            g_interface.clicked_char = int16_t(id);
            take_left_press();
            run_hook(g_char_rule_links.run_char_event, "run_char_event", int32_t(id), k_talk_event);
            handled = true;
        } else if (type == k_focus_fighter && other && other->life != k_life_alive &&
                   is_container(other->loot_container)) {
            c->state = k_state_idle;
            stand(c);
            open_container_window(other->loot_container);
            return false;
        } else if (type == k_focus_entity && id < std::min<uint32_t>(g_entity_count, k_entity_slots)) {
            if (g_interface.container_open) {
                run_hook(g_char_rule_links.cancel_item_drag, "cancel_item_drag");
            } else {
                c->pending_action = k_pending_entity;
                c->pending_target = id;
            }
            take_left_press();
        }
    }
    if (c->state != k_state_strike && c->state != k_state_recover && !handled) {
        face_point(c, g_mouse_x, g_mouse_y);
        c->state = k_state_turn;
        c->next_state = k_state_follow_cursor;
    }
    return true;
}

// The last living enemy or sidekick under the cursor, or -1.
int32_t attack_candidate()
{
    for (uint32_t i = focus_count(); i-- > 0;) {
        const char_record* other = char_at(int32_t(g_focus_list.id[i]));
        if (g_focus_list.type[i] == k_focus_fighter && other && other->life == k_life_alive)
            return int32_t(g_focus_list.id[i]);
    }
    return -1;
}

void cast_selected_spell(char_record* c, int32_t slot)
{
    face_and_set(c, g_mouse_x, g_mouse_y + k_aim_below_cursor);
    int32_t cost = 0;
    uint32_t cooldown = 0;
    int32_t spell = int32_t(c->selected_spell);
    if (!run_hook_or(g_char_rule_links.spell_cost, "spell_cost", false, spell, &cost, &cooldown) ||
        c->mana - cost <= 0)
        return;
    float x, y;
    char_position(*c, &x, &y);
    const world_object* o = world_object_of(*c);
    run_hook(g_char_rule_links.spawn_cast_particles, "spawn_cast_particles", spell, slot, x, y,
             o ? float(o->layer) : 0.0f);
    c->next_attack_tick = g_ticks + cooldown;
    c->mana -= cost;
    set_char_anim(c, k_action_spell, 1, 0);
    c->state = k_state_strike;
    start_stance(c);
}

// The right button: a spell in spell mode, else a swing at the enemy under the cursor or toward
// the cursor; an enemy out of reach of an idle player is approached first.
void handle_right_button(char_record* c, int32_t slot)
{
    if (!g_mouse_right || c->state == k_state_strike || c->state == k_state_recover || g_entity_busy ||
        c->next_attack_tick >= g_ticks)
        return;
    c->target = -1;
    if (c->spell_mode) {
        cast_selected_spell(c, slot);
        return;
    }
    int32_t reach = char_reach(*c);
    int32_t candidate = attack_candidate();
    if (candidate >= 0) {
        if (!char_in_reach(*c, g_chars[candidate])) {
            if (c->state == k_state_idle) {
                c->pending_action = k_pending_attack;
                c->pending_target = uint32_t(candidate);
                set_char_anim(c, k_action_move, 0, 0);
                face_point(c, g_mouse_x, g_mouse_y);
                c->state = k_state_turn;
                c->next_state = k_state_follow_cursor;
                return;
            }
        } else {
            c->target = int16_t(candidate);
            c->pending_action = k_pending_none;
        }
    }
    float x, y;
    if (c->target >= 0 && reach < k_ranged_reach && char_position(g_chars[c->target], &x, &y))
        face_point(c, x, y);
    else
        face_point(c, g_mouse_x, g_mouse_y + k_aim_below_cursor);
    start_stance(c);
    if (world_object* o = world_object_of(*c))
        o->angle_b = c->facing;
    set_char_anim(c, k_action_attack, 1, 0);
    c->state = k_state_strike;
    int32_t weapon = char_weapon_item(c);
    const item_proto* proto = item_proto_at(weapon);
    if (!proto) {
        c->next_attack_tick = g_ticks + k_unarmed_attack_delay;
        return;
    }
    c->next_attack_tick = g_ticks + proto->attack_delay;
    play_weapon_sound(*c, weapon);
}

// State 3's pending actions. True when one ended the frame.
bool carry_out_pending_action(char_record* c)
{
    float x, y, px, py;
    char_position(*c, &x, &y);
    switch (c->pending_action) {
    case k_pending_container: {
        int32_t index = int32_t(c->pending_target);
        if (!is_container(index)) {
            c->pending_action = k_pending_none;
            return false;
        }
        const container& box = g_containers[index];
        if (distance2d(x, y, box.x, box.y) >= k_arrival_distance)
            return false;
        arrive(c, box.x, box.y);
        open_container_window(index);
        return true;
    }
    case k_pending_attack: {
        char_record* target = char_at(int32_t(c->pending_target));
        if (target && target->life == k_life_alive && char_in_reach(*c, *target)) {
            char_position(*target, &px, &py);
            face_and_set(c, px, py);
            int32_t cost = char_weapon_stamina_cost(c) + 1;
            c->pending_action = k_pending_none;
            if (cost < c->stamina) {
                c->stamina = int16_t(c->stamina - cost);
                start_stance(c);
                set_char_anim(c, k_action_attack, 1, 0);
                c->state = k_state_strike;
                c->target = int16_t(c->pending_target);
                int32_t weapon = char_weapon_item(c);
                if (weapon >= 0)
                    play_weapon_sound(*c, weapon);
                return true;
            }
        } else if (!target || target->life != k_life_alive) {
            c->pending_action = k_pending_none;
        }
        return false;
    }
    case k_pending_entity: {
        const entity_record* e = entity_with_point(c->pending_target, &px, &py);
        if (!e) {
            c->pending_action = k_pending_none;
            return false;
        }
        if (distance2d(x, y, px, py) >= k_arrival_distance)
            return false;
        arrive(c, px, py);
        if (e->state != k_locked_entity) {
            if (is_container(e->container - 1))
                open_container_window(e->container - 1);
            return true;
        }
        const world_object* o = world_object_of(*c);
        run_hook(g_char_rule_links.spawn_cast_particles, "spawn_cast_particles", k_locked_spell, int32_t(c->slot), x,
                 y, o ? float(o->layer) : 0.0f);
        run_hook(g_char_rule_links.cast_spell, "cast_spell", k_locked_spell, int32_t(c->slot), x, y, x, y,
                 int16_t(0), 1);
        log_add_line(&g_message_log, 0, "%s", ui_text(k_locked_text));
        play_voice(k_locked_sound);
        return true;
    }
    default:
        return false;
    }
}

void walk_leg_state(char_record* c, int32_t slot)
{
    set_char_anim(c, k_action_move, 0, 0);
    step_footsteps(c, slot);
    if (carry_out_pending_action(c))
        return;
    set_char_object_anim_mode(c, k_anim_loop);
    uint32_t now = clock_ms();
    if (c->last_step_ms >= now)
        return;
    spawn_water_circles_under(*c);
    uint32_t elapsed = take_elapsed_ms(c, now);
    walk_leg(c, elapsed, leg_walk_rules{.factor = swift_factor(*c), .test_final_cells = true});
}

// Moves the object to the first standable point around it, in growing rings up to the radius;
// it stays where it is when none is free.
void unstick(world_object* o)
{
    static constexpr int8_t k_offsets[8][2] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                               {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};
    if (can_object_stand(&g_movement_map, o->x, o->y, 0.0f, 0.0f))
        return;
    for (int32_t r = 1; r <= k_unstick_radius; ++r)
        for (const auto& d : k_offsets) {
            float x = o->x + float(d[0] * r), y = o->y + float(d[1] * r);
            if (can_object_stand(&g_movement_map, x, y, 0.0f, 0.0f)) {
                o->x = x;
                o->y = y;
                return;
            }
        }
}

void stop_following(char_record* c)
{
    c->state = k_state_idle;
    c->following_cursor = 0;
}

// While a window that takes the pointer is open the hero stands: a walk, a turn or the following
// of the cursor ends where the hero is, and an approach is dropped.
void stand_under_window(char_record* c)
{
    switch (c->state) {
    case k_state_plan_path:
    case k_state_next_leg:
    case k_state_walk_leg:
    case k_state_turn:
    case k_state_follow_cursor:
        stop_following(c);
        c->pending_action = k_pending_none;
        stand(c);
        break;
    default:
        break;
    }
}

void follow_cursor_state(char_record* c, int32_t slot)
{
    set_char_anim(c, k_action_move, 0, 0);
    step_footsteps(c, slot);
    if (!g_mouse_left) {
        c->following_cursor = 0;
        c->state = k_state_plan_path;
        c->goal_x = c->path_goal_x = g_mouse_x;
        c->goal_y = c->path_goal_y = g_mouse_y;
        return;
    }
    face_and_set(c, g_mouse_x, g_mouse_y);
    float x, y;
    if (!char_position(*c, &x, &y) || set_step_vector(c, x - g_mouse_x, y - g_mouse_y) == 0)
        return;
    c->following_cursor = 1;
    set_char_object_anim_mode(c, k_anim_loop);
    uint32_t now = clock_ms();
    if (c->last_step_ms > now)
        return;
    spawn_water_circles_under(*c);
    uint32_t elapsed = take_elapsed_ms(c, now);
    world_object* o = world_object_of(*c);
    if (!o)
        return;
    unstick(o);
    float per_ms = c->move_correction * g_scene_header.scale * char_move_speed(*c) * k_speed_unit * swift_factor(*c);
    for (uint32_t i = 0; i < elapsed; ++i) {
        float mx = c->goal_x * per_ms, my = c->goal_y * per_ms;
        if (can_object_stand(&g_movement_map, o->x, o->y, mx, my)) {
            o->x -= mx;
            o->y -= my;
        } else if (can_object_stand(&g_movement_map, o->x, o->y, 0.0f, my)) {
            o->y -= my;
        } else if (can_object_stand(&g_movement_map, o->x, o->y, mx, 0.0f)) {
            o->x -= mx;
        } else {
            stop_following(c);
            return;
        }
        --c->steps_left;
    }
}

void strike_state(char_record* c)
{
    set_char_object_anim_mode(c, k_anim_once);
    if (!at_strike_frame(*c))
        return;
    int32_t focus_attunement = cast_focus_weapon(c);
    bool cast = apply_strike_properties(c, focus_attunement);
    if (c->target >= 0 && !cast)
        land_melee_blow(c, blow_rules{char_reach(*c), false, true});
    c->pending_target = k_strike_done;
    c->state = k_state_recover;
}

void hit_reaction_state(char_record* c)
{
    if (step_hit_reaction(c, c->bleed_type))
        c->next_attack_tick = g_ticks;
}

void recover_state(char_record* c)
{
    if (!step_recover(c))
        return;
    if (c->pending_target == k_strike_done)
        c->next_attack_tick = 0;
    c->pending_target = 0;
    c->pending_action = k_pending_none;
}

void run_state(char_record* c, int32_t slot)
{
    switch (c->state) {
    case k_state_idle:
        stand(c);
        if (!g_mouse_left)
            c->pending_action = k_pending_none;
        break;
    case k_state_plan_path:
        plan_path(c);
        break;
    case k_state_next_leg:
        set_up_next_leg(c);
        break;
    case k_state_walk_leg:
        walk_leg_state(c, slot);
        break;
    case k_state_strike:
        strike_state(c);
        break;
    case k_state_hit:
        hit_reaction_state(c);
        break;
    case k_state_turn:
        turn_toward_facing(c);
        break;
    case k_state_recover:
        recover_state(c);
        break;
    case k_state_follow_cursor:
        follow_cursor_state(c, slot);
        break;
    case k_state_stunned:
        if (c->pending_target >= g_elapsed_ms)
            stand(c);
        else
            c->state = k_state_idle;
        break;
    default:
        break;
    }
}

} // namespace

void update_player_char(char_record* c, int32_t slot)
{
    if (c->life == k_life_alive && pointer_taking_window_open())
        stand_under_window(c);
    if (!machine_runs(c))
        return;
    keep_up(c);
    if (!mouse_input_blocked(*c) && handle_left_button(c))
        handle_right_button(c, slot);
    run_state(c, slot);
}
