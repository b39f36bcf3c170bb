#include "characters/char_movement.h"

#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_rule_links.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/math.h"
#include "engine/models.h"
#include "items/items.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "script/entities.h"
#include "world/blood.h"
#include "world/dream_world.h"
#include "world/footsteps.h"
#include "world/movement_map.h"
#include "world/path_search.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double k_degrees_per_radian = 57.29577951308232;
constexpr float k_far_away = 10000.0f;
constexpr int32_t k_near_point = 2;        // pixels on both axes: a route point reached already
constexpr int32_t k_turn_done = 2;         // degrees
constexpr int32_t k_half_turn = 180;
constexpr int16_t k_swift_attunement = 240;
constexpr float k_swift_factor = 1.25f;
constexpr uint32_t k_footstep_ticks = 25;
constexpr uint8_t k_water_sector = 5;
constexpr uint8_t k_interior_entity = 1;
constexpr uint32_t k_tick_stall = 30;  // more ticks since the last step count as none
constexpr uint32_t k_fade_step_ticks = 2;
constexpr float k_fade_step = 0.05f;
constexpr float k_encounter_distance = 400.0f;
constexpr int32_t k_encounter_event = 1;
constexpr float k_blood_radius = 40.0f;
constexpr int32_t k_hit_blood_count = 15;
constexpr int32_t k_hit_blood_lifetime = 200;

// Truncation toward zero that saturates instead of overflowing (NaN gives 0).
int32_t saturate_trunc(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (v <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

void stop_walking(char_record* c)
{
    c->state = 0;
    set_char_anim(c, k_action_stand, 0, 0);
}

} // namespace

int16_t facing_toward(float x, float y, float point_x, float point_y, int16_t current)
{
    float dx = x - point_x, dy = y - point_y;
    if (dx == 0.0f && dy == 0.0f)
        return current;
    double a = dy == 0.0f ? (dx > 0.0f ? 90.0 : -90.0) : std::atan(double(dx) / double(dy)) * k_degrees_per_radian;
    int32_t facing = int32_t(a);
    if (!(point_y > y))
        facing += k_half_turn;
    if (facing < 0)
        facing += 360;
    return int16_t(facing);
}

void face_point(char_record* c, float x, float y)
{
    float own_x, own_y;
    if (char_position(*c, &own_x, &own_y))
        c->facing = facing_toward(own_x, own_y, x, y, c->facing);
}

void face_and_set(char_record* c, float x, float y)
{
    face_point(c, x, y);
    if (world_object* o = world_object_of(*c))
        o->angle_b = c->facing;
}

bool machine_runs(char_record* c)
{
    if (c->life != k_life_alive)
        return false;
    if (g_interface.menu_open) {
        set_char_anim(c, k_action_stand, 0, 0);
        return false;
    }
    return true;
}

bool char_position(const char_record& c, float* x, float* y)
{
    const world_object* o = world_object_of(c);
    *x = o ? o->x : 0.0f;
    *y = o ? o->y : 0.0f;
    return o != nullptr;
}

float char_distance(const char_record& a, const char_record& b)
{
    float ax, ay, bx, by;
    if (!char_position(a, &ax, &ay) || !char_position(b, &bx, &by))
        return k_far_away;
    return distance2d(ax, ay, bx, by);
}

int32_t char_weapon_reach(const char_record& c)
{
    const item_proto* weapon = item_proto_at(char_weapon_item(&c));
    return weapon ? int32_t(weapon->range) : k_unarmed_reach;
}

int32_t char_reach(const char_record& c)
{
    return saturate_trunc(double(float(char_weapon_reach(c)) * g_scene_header.scale));
}

bool char_in_reach(const char_record& c, const char_record& target)
{
    return char_distance(c, target) < float(char_reach(c));
}

float char_move_speed(const char_record& c)
{
    return c.running ? float(c.run_speed) : float(c.walk_speed);
}

void set_char_object_anim_mode(char_record* c, int32_t mode)
{
    if (world_object* o = world_object_of(*c))
        o->anim_mode = mode;
}

uint32_t take_elapsed_ms(char_record* c, uint32_t now, uint32_t stall_ms)
{
    uint32_t elapsed = now - c->last_step_ms;
    c->last_step_ms = now;
    return elapsed == 0 || elapsed > stall_ms ? 1 : elapsed;
}

int32_t reference_body_part(const char_record& c)
{
    for (int p = 0; p < k_body_parts; ++p)
        if (char_part_model(c.part_model[p]))
            return p;
    return -1;
}

namespace {

// The reference part's frame and its model's last frame; false without a reference part.
bool reference_frames(const char_record& c, int32_t* frame, int32_t* last)
{
    int32_t part = reference_body_part(c);
    if (part < 0)
        return false;
    *frame = c.part_frame[part];
    *last = char_part_model(c.part_model[part])->frame_count - 1;
    return true;
}

} // namespace

bool at_last_frame(const char_record& c)
{
    int32_t frame, last;
    return !reference_frames(c, &frame, &last) || frame >= last;
}

bool at_frame(const char_record& c, int32_t wanted)
{
    int32_t frame, last;
    return !reference_frames(c, &frame, &last) || frame >= std::min(last, wanted);
}

bool at_strike_frame(const char_record& c)
{
    const item_proto* weapon = item_proto_at(char_weapon_item(&c));
    return at_frame(c, weapon ? int32_t(weapon->strike_frame) : std::numeric_limits<int32_t>::max());
}

void plan_path(char_record* c)
{
    c->path_goal_x = c->goal_x;
    c->path_goal_y = c->goal_y;
    float x, y;
    bool found = char_position(*c, &x, &y) &&
                 find_path(&c->route, &g_movement_map, int32_t(x) / k_cell_size, int32_t(y) / k_cell_size,
                           int32_t(c->goal_x) / k_cell_size, int32_t(c->goal_y) / k_cell_size, 0) != 0 &&
                 c->route.route_count > 0;
    if (found) {
        c->state = 2;
        set_char_anim(c, k_action_move, 0, 0);
    } else {
        stop_walking(c);
    }
}

int32_t set_step_vector(char_record* c, float dx, float dy)
{
    if (std::abs(saturate_trunc(dx)) < k_near_point && std::abs(saturate_trunc(dy)) < k_near_point)
        return 0;
    float larger = std::fabs(dx) > std::fabs(dy) ? dx : dy;
    int32_t n = std::abs(saturate_trunc(larger));
    c->goal_x = dx / float(n) / 4.0f;
    c->goal_y = dy / float(n) / 4.0f;
    return n;
}

void set_up_next_leg(char_record* c, bool speed_in_steps)
{
    int32_t count = std::min<int32_t>(c->route.route_count, k_route_points);
    float x, y;
    if (int64_t(c->route.route_index) >= int64_t(count) || !char_position(*c, &x, &y)) {
        c->state = 0;
        return;
    }
    const route_point& point = c->route.route[c->route.route_index];
    face_point(c, point.x, point.y);
    float dx = x - float(point.x), dy = y - float(point.y);
    int32_t n = set_step_vector(c, dx, dy);
    if (n == 0) {
        ++c->route.route_index;
        return;
    }
    double steps = 4.0 * n;
    if (dx > 0.0f && int64_t(c->route.route_index) == int64_t(c->route.route_count) - 1)
        steps -= 4.0;
    steps /= double(g_scene_header.scale);
    if (speed_in_steps)
        steps /= double(c->run_speed) * k_speed_unit;
    c->steps_left = saturate_trunc(steps);
    c->state = 6;
    c->next_state = 3;
    ++c->route.route_index;
}

const map_sector* patrol_sector(const char_record& c)
{
    int32_t s = c.action_sector;
    if (s < 1 || s >= std::clamp<int32_t>(g_sector_count, 0, k_sector_slots))
        return nullptr;
    const map_sector& sector = g_sectors[s];
    return sector.active && sector.count > 0 ? &sector : nullptr;
}

bool patrol_next_corner(char_record* c, bool at_random)
{
    const map_sector* found = patrol_sector(*c);
    if (!found)
        return false;
    const map_sector& sector = *found;
    int32_t corners = std::min<int32_t>(sector.count, k_sector_points);
    int32_t next = c->patrol_point + 1;
    if (at_random && corners > 1) {
        // Drawn from the game's generator again until it differs from the current corner.
        do
            next = game_rand() % corners;
        while (next == c->patrol_point);
    }
    if (next >= corners)
        next = 0;
    c->patrol_point = uint8_t(next);
    c->goal_x = sector.x[next];
    c->goal_y = sector.y[next];
    c->state = k_state_plan_path;
    return true;
}

float swift_factor(const char_record& c)
{
    return char_has_attunement(&c, k_swift_attunement) ? k_swift_factor : 1.0f;
}

leg_result walk_leg(char_record* c, uint32_t steps, const leg_walk_rules& rules)
{
    float per_step = c->move_correction * g_scene_header.scale;
    if (rules.speed_scaled)
        per_step = per_step * char_move_speed(*c) * k_speed_unit;
    per_step *= rules.factor;
    for (uint32_t i = 0; i < steps; ++i) {
        if (c->steps_left < 0) {
            int64_t index = c->route.route_index, count = c->route.route_count;
            if (index < count || (index == count && !rules.final_leg_ends_walk)) {
                c->state = 2;
                return leg_result::next_leg;
            }
            stop_walking(c);
            return leg_result::stopped;
        }
        world_object* o = world_object_of(*c);
        if (!o) {
            stop_walking(c);
            return leg_result::stopped;
        }
        float mx = c->goal_x * per_step, my = c->goal_y * per_step;
        if (rules.test_final_cells && int64_t(c->route.route_index) == int64_t(c->route.route_count) &&
            c->steps_left < rules.final_test_steps && !can_object_stand(&g_movement_map, o->x, o->y, mx, my)) {
            stop_walking(c);
            return leg_result::stopped;
        }
        o->x -= mx;
        o->y -= my;
        if (rules.moves_cursor) {
            if (!g_camera_clamp_x)
                g_mouse_x -= mx;
            if (!g_camera_clamp_y)
                g_mouse_y -= my;
        }
        --c->steps_left;
    }
    return leg_result::walking;
}

void turn_toward_facing(char_record* c, uint32_t stall_ms, turn_end_test test)
{
    uint32_t now = clock_ms();
    if (c->last_step_ms >= now)
        return;
    uint32_t elapsed = take_elapsed_ms(c, now, stall_ms);
    turn_steps(c, elapsed, 1, k_turn_done + 1, test);
}

bool turn_steps(char_record* c, uint32_t steps, int32_t degrees, int32_t done_below, turn_end_test test)
{
    world_object* o = world_object_of(*c);
    if (!o)
        return false;
    const int32_t facing = c->facing;
    auto arrived = [&](turn_end_test when) {
        if (test != when || std::abs(facing - o->angle_b) >= done_below)
            return false;
        o->angle_b = facing;
        c->state = c->next_state;
        return true;
    };
    for (uint32_t i = 0; i < steps; ++i) {
        set_char_anim(c, k_action_move, 0, 0);
        if (arrived(turn_end_test::before_step))
            return true;
        int32_t angle = o->angle_b;
        if (std::abs(facing - angle) < k_half_turn)
            angle += degrees * ((facing > angle) - (facing < angle));
        else if (facing <= k_half_turn)
            angle = angle + degrees > 360 ? angle + degrees - 360 : angle + degrees;
        else
            angle = angle - degrees < 0 ? angle - degrees + 360 : angle - degrees;
        o->angle_b = angle;
        if (arrived(turn_end_test::after_step))
            return true;
    }
    return false;
}

uint32_t take_elapsed_ticks(char_record* c)
{
    uint32_t dt = g_ticks - c->last_step_ms;
    c->last_step_ms = g_ticks;
    return dt > k_tick_stall ? 0 : dt;
}

bool step_hit_reaction(char_record* c, uint8_t blood_type)
{
    set_char_object_anim_mode(c, k_anim_once);
    if (!at_last_frame(*c))
        return false;
    float x, y;
    char_position(*c, &x, &y);
    spawn_blood(&g_blood, x, y, k_hit_blood_count, k_blood_radius, k_blood_radius, k_hit_blood_lifetime, blood_type);
    set_char_object_anim_mode(c, k_anim_loop);
    c->pending_target = 0;
    c->pending_action = k_pending_none;
    stop_walking(c);
    return true;
}

bool step_recover(char_record* c)
{
    if (!at_last_frame(*c))
        return false;
    set_char_object_anim_mode(c, k_anim_loop);
    stop_walking(c);
    return true;
}

void step_fade(char_record* c)
{
    world_object* o = world_object_of(*c);
    if (!o) {
        c->state = k_state_idle;
        return;
    }
    if (c->last_step_ms <= g_ticks && g_ticks - c->last_step_ms < k_fade_step_ticks)
        return;
    c->last_step_ms = g_ticks;
    const bool fade_in = c->state == k_state_fade_in;
    o->alpha += fade_in ? k_fade_step : -k_fade_step;
    if (o->alpha < 0.0f || o->alpha > 1.0f) {
        o->alpha = fade_in ? 1.0f : 0.0f;
        c->state = k_state_idle;
    }
}

void expire_stance(char_record* c)
{
    if (c->stance && c->stance_until < g_ticks) {
        c->stance = 0;
        set_char_anim(c, c->anim_action, 1, 0);
    }
}

void regenerate_mana(char_record* c, uint32_t period)
{
    if (g_dream_world.active || c->next_regen_tick >= g_ticks)
        return;
    if (c->mana < c->mana_max)
        ++c->mana;
    c->next_regen_tick = g_ticks + period;
}

void enter_interiors_under(char_record* c)
{
    float x, y;
    world_object* o = world_object_of(*c);
    if (!o || !char_position(*c, &x, &y))
        return;
    const char_record* player = char_at(int32_t(g_player_char));
    const world_object* player_object = player ? world_object_of(*player) : nullptr;
    uint32_t count = std::min<uint32_t>(g_entity_count, k_entity_slots);
    for (uint32_t e = 0; e < count; ++e) {
        const entity_record& entity = g_entities[e];
        if (entity.type != k_interior_entity || !point_in_sector(x, y, entity.sector))
            continue;
        if (player_object)
            o->depth_offset = player_object->depth_offset;
        c->interior = uint8_t(e);
    }
}

void run_encounter_when_near(const char_record& c, int32_t slot)
{
    const char_record* player = char_at(int32_t(g_player_char));
    if (!player || c.interior != player->interior || c.script_flags[0] != 0 || !world_object_of(*player) ||
        c.world_fade == 0.0f || char_distance(c, *player) >= k_encounter_distance)
        return;
    run_hook(g_char_rule_links.run_char_event, "run_char_event", slot, k_encounter_event);
}

void step_footsteps(char_record* c, int32_t slot)
{
    if (c->next_footstep_tick < g_ticks) {
        c->next_footstep_tick = g_ticks + k_footstep_ticks;
        play_footstep(&g_footstep_sounds, slot);
    }
}

void spawn_water_circles_under(const char_record& c)
{
    float x, y;
    if (!char_position(c, &x, &y))
        return;
    int32_t count = std::clamp<int32_t>(g_sector_count, 0, k_sector_slots);
    for (int32_t s = 0; s < count; ++s)
        if (g_sectors[s].active && g_sectors[s].type == k_water_sector && point_in_sector(x, y, s))
            spawn_water_circle(&g_water_circle, x, y, 1, 5.0f, 5.0f, 1);
}
