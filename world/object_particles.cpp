// Particle emitters and the particles they add to the object array.
#include "world/object_draw_internal.h"

#include "core/frame_timing.h"
#include "core/settings.h"
#include "engine/math.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float k_degrees = 0.017453292f;
// Redraws of a spawn point before the last one is pulled onto the emitter's shape.
constexpr int k_spawn_attempts = 1000;

float spread(float base, float half_width)
{
    return rand_range(base - half_width, base + half_width);
}

// The spawn offset of emitter shape `shape`: below 2 a point of the box [-rx, rx] x [-ry, ry];
// 2 a point of the box within max(rx, ry) of the centre; 3 one whose distance lies between
// max(rx, ry) - w and max(rx, ry).
void spawn_offset(const object_proto& p, float& dx, float& dy)
{
    float rx = p.spawn_spread[0], ry = p.spawn_spread[1];
    dx = rand_range(-rx, rx);
    dy = rand_range(-ry, ry);
    if (p.anim_count < 2)
        return;
    float outer = std::max(rx, ry);
    float width = p.spawn_spread[2] == 0.0f ? 10.0f : p.spawn_spread[2];
    float inner = p.anim_count == 2 ? 0.0f : outer - std::min(width, outer);
    for (int attempt = 0; attempt < k_spawn_attempts; ++attempt) {
        float d = std::sqrt(dx * dx + dy * dy);
        if (d <= outer && d >= inner)
            return;
        dx = rand_range(-rx, rx);
        dy = rand_range(-ry, ry);
    }
    // A shape the box can hardly hit: the last point moved onto the ring's outer edge.
    float d = std::sqrt(dx * dx + dy * dy);
    if (d > 0.0f) {
        dx *= outer / d;
        dy *= outer / d;
    }
}

// The direction from the particle towards the emitter, in whole degrees.
int32_t direction_to_emitter(const world_object& particle, const world_object& emitter)
{
    float dx = particle.x - emitter.x, dy = particle.y - emitter.y;
    int32_t a = dy != 0.0f ? int32_t(std::atan(dx / dy) / k_degrees) : (dx > 0 ? 90 : dx < 0 ? -90 : 0);
    return particle.y < emitter.y ? a : 180 + a;
}

void set_motion(world_object& q, const world_object& e, const object_proto& p)
{
    if (!p.aim_at_centre) {
        particle_value(q, k_particle_velocity_x) = spread(p.velocity[0], p.velocity_spread[0]);
        particle_value(q, k_particle_velocity_y) = spread(p.velocity[1], p.velocity_spread[1]);
        particle_value(q, k_particle_wobble) = spread(p.velocity[2], p.velocity_spread[2]);
    } else {
        float direction = float(direction_to_emitter(q, e)) * k_degrees;
        particle_value(q, k_particle_velocity_x) =
            rand_range(p.velocity[0], p.velocity[0] + p.velocity_spread[0]) * std::sin(direction);
        particle_value(q, k_particle_velocity_y) =
            rand_range(p.velocity[1], p.velocity[1] + p.velocity_spread[1]) * std::cos(direction);
    }
    particle_value(q, k_particle_accel_x) = spread(p.acceleration[0], p.acceleration_spread[0]);
    particle_value(q, k_particle_accel_y) = spread(p.acceleration[1], p.acceleration_spread[1]);
    particle_value(q, k_particle_wobble_change) = spread(p.acceleration[2], p.acceleration_spread[2]);
    // The colour's three channels are drawn first, then their three changes.
    for (int c = 0; c < 3; ++c)
        particle_value(q, k_particle_red + c) = spread(p.colour[c], p.colour_spread[c]);
    for (int c = 0; c < 3; ++c)
        particle_value(q, k_particle_red_change + c) = spread(p.colour_change[c], p.colour_change_spread[c]);
    particle_value(q, k_particle_alpha_change) = spread(p.colour_change[3], p.colour_change_spread[3]);
    particle_value(q, k_particle_scale_change) = spread(p.scale_change, p.scale_change_spread);
    q.scale = e.scale * spread(p.scale, p.scale_spread);
    q.alpha *= e.alpha;
    if (e.entry_ints[0][4] == 1) {
        float wobble = particle_value(e, k_particle_wobble);
        for (int axis = 0; axis < 2; ++axis)
            particle_value(q, k_particle_velocity_x + axis) = (1.0f + particle_value(e, k_particle_accel_x + axis)) *
                                                               particle_value(e, k_particle_velocity_x + axis) * wobble;
    }
}

} // namespace

world_object* emit_particle(world_object* emitter, int32_t index)
{
    const object_proto* p = proto_at(emitter->proto);
    if (!p || g_ticks <= emitter->next_particle_tick)
        return emitter;
    bool shadows = g_settings.gr_displayshadows != 0;
    emitter->next_particle_tick = g_ticks + uint32_t(p->emit_interval) + (shadows ? 2u : 0u);

    float dx, dy;
    spawn_offset(*p, dx, dy);
    float x = emitter->x + p->spawn_offset[0] + dx;
    float y = emitter->y + p->spawn_offset[1] + dy;
    float alpha = spread(p->colour[3], p->colour_spread[3]);
    // Adding may grow the array: the emitter is found again by its index afterwards.
    bool in_array = emitter >= g_objects && emitter < g_objects + g_object_capacity;
    int32_t added = add_object(x, y, emitter->proto, alpha, 1.0f, 0, 0);
    if (in_array)
        emitter = &g_objects[index];
    if (added < 0)
        return emitter;

    world_object& q = g_objects[added];
    const world_object& e = *emitter;
    q.x = x;  // also in the editor's corner modes, which place new objects at the mouse
    q.y = y;
    q.frame = 0;
    q.anim_mode = e.anim_mode;
    q.state = 2;
    q.has_corners = 0;
    q.depth_sorted = e.depth_sorted;
    q.depth_offset = e.depth_offset;
    q.owner = e.owner;
    q.layer = e.layer;
    if (e.entry_ints[0][4] == 2 && rand_range(0.0f, 2.0f) < 1.0f)
        q.depth_offset = -q.depth_offset;
    q.lifetime = int32_t(rand_range(0.9f, 1.1f) * float(p->particle_lifetime));
    if (shadows)
        q.lifetime = int32_t(float(q.lifetime) * 0.85f);
    q.z = e.z + spread(p->spawn_offset[2], p->spawn_spread[2]);
    q.entry_ints[0][0] = safe_int(p->alpha_mode_value);
    q.entry_ints[0][1] = safe_int(p->second_param_value);
    set_motion(q, e, *p);
    return emitter;
}

void step_particle(world_object* q)
{
    float vx = particle_value(*q, k_particle_velocity_x);
    float vy = particle_value(*q, k_particle_velocity_y);
    float wobble = particle_value(*q, k_particle_wobble);
    q->x += vx;
    q->y += vy;
    if (wobble != 0.0f) {
        float half_life = float(q->lifetime) / 2.0f;
        if (std::abs(safe_int(vy)) > std::abs(safe_int(vx)))
            q->x += 2.0f * wobble * std::cos(half_life);
        else
            q->y += 2.0f * wobble * std::sin(half_life);
    }
    if (q->depth_sorted == 2)
        q->depth_offset -= vy;
    particle_value(*q, k_particle_velocity_x) += particle_value(*q, k_particle_accel_x);
    particle_value(*q, k_particle_velocity_y) += particle_value(*q, k_particle_accel_y);
    particle_value(*q, k_particle_wobble) += particle_value(*q, k_particle_wobble_change);
    for (int c = 0; c < 3; ++c)
        particle_value(*q, k_particle_red + c) += particle_value(*q, k_particle_red_change + c);
    int32_t& alpha_mode = q->entry_ints[0][0];
    float alpha_change = particle_value(*q, k_particle_alpha_change);
    if (alpha_mode == 0 || alpha_mode == 1) {
        q->alpha += alpha_change;
        if (alpha_mode == 1 && q->alpha >= 1.0f)
            alpha_mode = 2;
    } else if (alpha_mode == 2) {
        q->alpha -= alpha_change;
    }
    q->scale += particle_value(*q, k_particle_scale_change);
}
