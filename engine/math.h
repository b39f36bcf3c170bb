// Random floats, the dice of the combat rules, distances and a square root.
//
// Randomness comes from game_rand (0 to 32767). The exact arithmetic below (truncation, the
// 32767 divisor) sets the game's odds: a die of s sides shows 1 to s-1 about evenly and its top
// face only when the generator returns 32767.
#pragma once

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
