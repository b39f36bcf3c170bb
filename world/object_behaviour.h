// Behaviour entries of world objects: the timed step that runs for every used object once per
// frame, counting down its lifetime and ending it.
#pragma once

#include <cstdint>

struct world_object;

// Entry kinds the object code itself looks at.
constexpr uint8_t k_entry_light_follow = 5;
constexpr uint8_t k_entry_model_frames = 9;
constexpr uint8_t k_entry_fade_out = 10;

// The behaviour step, at most every 2 ticks: the lifetime (unless -1) falls by one while above
// 0; below 1 the lights of light-follow entries fade out and, unless the first entry is a fade
// out, the object is freed. The entries themselves (swings, spins, missiles and the rest) are
// not run yet, nor the spell impact of a missile.
void update_missile_object(world_object* object, int32_t index);
