// Random floats, the dice of the combat rules, distances, a square root, the view matrices and
// planes.
//
// Randomness comes from game_rand (0 to 32767). The exact arithmetic below (truncation, the
// 32767 divisor) sets the game's odds: a die of s sides shows 1 to s-1 about evenly and its top
// face only when the generator returns 32767.
#pragma once

#include "platform/device_types.h"

#include <cstdint>

// a + (b - a) x u with u = r / 32767 for the next generator value r; lies in [a, b] (a > b runs
// downward) and equals b only when r is 32767.
float rand_range(float a, float b);

// base plus count dice of the given sides, each trunc(rand_range(1, sides)); 0 when the total
// is negative. A count of 0 or less rolls nothing and returns max(base, 0).
int32_t roll_dice(int32_t sides, int32_t count, int32_t base);

// The damage dice of a damage code: 0 to 14 are (code / 5 + 1) dice of (3, 6, 8, 10, 12)[code % 5]
// sides added to base; any other code returns 0 without rolling.
int32_t roll_damage_dice(int16_t code, int16_t base);

float distance2d(float x1, float y1, float x2, float y2);
float distance2d_sq(float x1, float y1, float x2, float y2);

// The square root of x taken in double precision.
float float_sqrt(float x);

// A unit normal and an alpha packed as alpha << 24 | x << 16 | y << 8 | z, each normal component
// mapped to trunc(127 c + 128) and alpha to trunc(255 alpha).
uint32_t normal_to_argb(const float n[3], float alpha);

// The view from an eye towards a target, and two side views whose eyes are shifted by plus
// (left) and minus (right) the unit cross product of (target - eye) and up, times the
// separation; the side views look at the same target. With an up vector that gives no cross
// product the side views are the centre view.
struct view_matrices {
    matrix4 centre;
    matrix4 left;
    matrix4 right;
};
// Built with matrix_look_at_lh (its fallbacks for an unusable up vector included). False, out
// unchanged, when the eye and the target coincide.
bool set_view_matrices(vec3 eye, vec3 target, vec3 up, float separation, view_matrices& out);

// The plane through three points as (n.x, n.y, n.z, d): n = normalise((p3 - p2) x (p3 - p1)),
// d = -(n . p3), so that n . p + d is 0 on the plane.
void plane_from_points(float out[4], vec3 p1, vec3 p2, vec3 p3);
