// Blood splashes, bleeding and water circles: short-lived world objects made from template
// prototypes ("data/env/blood%d.pr", "data/env/bleed%d.pr" for variants 0 to 9, and
// "data/env/wcircle.pr") that fade out at the end of their lifetime.
#pragma once

#include <cstdint>

constexpr int k_blood_variants = 10;
// Redraws of a blood blob's offset before it falls back to the centre.
constexpr int k_blood_redraws = 100;

struct blood_state {
    int16_t blood[k_blood_variants];  // template slots, -1 when the variant has no file
    int16_t bleed[k_blood_variants];
};

struct water_circle_state {
    int16_t template_slot;  // -1 none
};

extern blood_state g_blood;
extern water_circle_state g_water_circle;

// Templates of every blood and bleeding variant, blood 0 to 9 first.
void load_blood_templates(blood_state* state);
void load_water_circle(water_circle_state* state);

// `count` blobs around (x, y): each offset is drawn from [-1.3 rx, 1.3 rx] x [-ry, ry] until it
// lies within 1.3 rx of the centre (after k_blood_redraws failed draws it is the centre). Each
// blob lives `lifetime` + 200 behaviour steps, a ground decal (drawn under the characters, in
// depth order among the decals) with depth offset -40 on layer 25, with a random scale (0.2 to
// 0.6), alpha (0.4 to 1.2) and flips and a fade-out entry; it emits particles when the template
// is a particle prototype. A variant outside 0 to 9 or without a template spawns nothing.
void spawn_blood(blood_state* state, float x, float y, int32_t count, float radius_x, float radius_y,
                 int32_t lifetime, int32_t variant);

// One object at (x, y - height) with the given scale and lifetime, alpha 1, depth-sorted with
// depth offset 100 - height, on layer 10. Nothing for a variant outside 0 to 9 or without a
// template.
void spawn_bleed(blood_state* state, float x, float y, float scale, float height, int32_t lifetime,
                 int32_t variant);

// `count` circles at (x, y) plus random offsets within the radii, with the given lifetime, ground
// decals with depth offset -80 on layer 20, random scale, alpha and flips and a fade-out entry.
// Nothing without a template.
void spawn_water_circle(water_circle_state* state, float x, float y, int32_t count, float radius_x,
                        float radius_y, int32_t lifetime);
