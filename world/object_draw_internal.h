// Internal to the world objects' drawing: the view, particles and safe number conversion.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

struct world_object;

// The view in world pixels: the screen's size over the zoom (its top-left point is the camera).
// Worked out again only when the screen size or the zoom changed.
struct object_view {
    float width, height;
};
const object_view& current_object_view();

// The integer part of a stored float, held to the 32-bit range (0 for not-a-number).
inline int32_t safe_int(float v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483520.0f)
        return INT32_MAX;
    if (v <= -2147483648.0f)
        return INT32_MIN;
    return int32_t(v);
}

// A depth key: the sum of integer parts, held to the 32-bit range as a whole.
inline int32_t depth_key_sum(int64_t a, int64_t b, int64_t c = 0)
{
    int64_t sum = a + b + c;
    return sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : int32_t(sum);
}

// Steps of a timed look (the behaviour step, a particle's motion) that run every 2 ticks: the
// step is due once the tick counter has passed `next_tick`. Returns how many steps the game
// time since the last one holds and schedules the next. At 60 updates a second the step runs
// every third tick, so that is its period in game time: a slower frame takes as many steps as
// periods have passed (their remainder is kept), a frame of a pause (over k_pause_ticks) or an
// object's first step takes one, and the next step is due 2 ticks on from the period's start.
constexpr uint32_t k_step_period = 3;
constexpr uint32_t k_pause_ticks = 250;
int32_t take_due_steps(uint32_t* next_tick);

// Live emitters with a lifetime (blood, effects; not missiles, not the level's endless emitters
// nor the weather's) are held to this many: the pass counts them and the oldest beyond it, or
// beyond it less `room`, end at once (their particles live on).
constexpr size_t k_timed_emitter_limit = 64;
void count_timed_emitter(uint32_t index);
void end_oldest_timed_emitters(size_t room = 0);

// An emitter's emission when its interval has passed: one particle added to the array. The
// array may grow, so the emitter is returned anew (found by index when it lies in the array).
world_object* emit_particle(world_object* emitter, int32_t index);

// One particle step: position, wobble, velocity, colour, alpha and scale.
void step_particle(world_object* particle);
