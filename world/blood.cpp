#include "world/blood.h"

#include "engine/math.h"
#include "world/env_templates.h"
#include "world/object_behaviour.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstdio>

blood_state g_blood = {{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}};
water_circle_state g_water_circle = {-1};

namespace {

// A new object of the template at (x, y), depth-sorted (`depth`: a k_depth_* flag) on its layer;
// null when none could be added.
world_object* add_effect_object(int16_t slot, float x, float y, float alpha, float scale, uint8_t layer,
                                float depth_offset, uint32_t depth)
{
    int32_t index = add_object(x, y, slot, alpha, scale, 0, 0);
    if (index < 0)
        return nullptr;
    world_object& o = g_objects[index];
    o.x = x;  // also in the editor's corner modes
    o.y = y;
    o.has_corners = 0;
    o.depth_sorted = depth;
    o.depth_offset = depth_offset;
    o.layer = layer;
    return &o;
}

void add_fade_out_entry(world_object& o)
{
    o.entry_kinds[0] = k_entry_fade_out;
    o.entry_count = 1;
}

float random_scale()
{
    return 0.2f + 0.02f * rand_range(0.0f, 20.0f);
}

float random_alpha()
{
    return 0.4f + 0.02f * rand_range(0.0f, 40.0f);
}

void random_flips(world_object& o)
{
    o.angle_a = int32_t(rand_range(0.0f, 3.0f));
    o.angle_b = int32_t(rand_range(0.0f, 3.0f));
}

bool valid_variant(int32_t variant)
{
    return variant >= 0 && variant < k_blood_variants;
}

} // namespace

void load_blood_templates(blood_state* state)
{
    char path[64];
    for (int v = 0; v < k_blood_variants; ++v) {
        std::snprintf(path, sizeof path, "data/env/blood%d.pr", v);
        state->blood[v] = load_effect_template(path);
    }
    for (int v = 0; v < k_blood_variants; ++v) {
        std::snprintf(path, sizeof path, "data/env/bleed%d.pr", v);
        state->bleed[v] = load_effect_template(path);
    }
}

void load_water_circle(water_circle_state* state)
{
    state->template_slot = load_effect_template("data/env/wcircle.pr");
}

void spawn_blood(blood_state* state, float x, float y, int32_t count, float radius_x, float radius_y,
                 int32_t lifetime, int32_t variant)
{
    if (!valid_variant(variant))
        return;
    int16_t slot = state->blood[variant];
    const object_proto* p = effect_template(slot);
    if (!p)
        return;
    bool emitter = p->kind == k_proto_particle;
    if (emitter && count > 0)
        make_room_for_timed_emitters(size_t(count));
    float reach = 1.3f * radius_x;
    for (int32_t n = 0; n < count; ++n) {
        float dx = 0.0f, dy = 0.0f;
        bool inside = false;
        for (int attempt = 0; attempt < k_blood_redraws && !inside; ++attempt) {
            dx = rand_range(-reach, reach);
            dy = rand_range(-radius_y, radius_y);
            inside = std::sqrt(dx * dx + dy * dy) <= reach;
        }
        if (!inside)
            dx = dy = 0.0f;
        float scale = random_scale();
        float alpha = random_alpha();
        world_object* o = add_effect_object(slot, x + dx, y + dy, alpha, scale, 25, -40.0f, k_depth_ground);
        if (!o)
            return;
        if (emitter)
            o->particle_role = k_role_emitter;
        o->lifetime = lifetime + 200;
        random_flips(*o);
        add_fade_out_entry(*o);
    }
}

void spawn_bleed(blood_state* state, float x, float y, float scale, float height, int32_t lifetime,
                 int32_t variant)
{
    if (!valid_variant(variant))
        return;
    int16_t slot = state->bleed[variant];
    if (!effect_template(slot))
        return;
    world_object* o = add_effect_object(slot, x, y - height, 1.0f, scale, 10, 100.0f - height, k_depth_sorted);
    if (o)
        o->lifetime = lifetime;
}

void spawn_water_circle(water_circle_state* state, float x, float y, int32_t count, float radius_x,
                        float radius_y, int32_t lifetime)
{
    int16_t slot = state->template_slot;
    if (!effect_template(slot))
        return;
    for (int32_t n = 0; n < count; ++n) {
        float at_x = x + rand_range(-radius_x, radius_x);
        float at_y = y + rand_range(-radius_y, radius_y);
        float scale = random_scale();
        float alpha = random_alpha();
        world_object* o = add_effect_object(slot, at_x, at_y, alpha, scale, 20, -80.0f, k_depth_ground);
        if (!o)
            return;
        o->lifetime = lifetime;
        random_flips(*o);
        add_fade_out_entry(*o);
    }
}
