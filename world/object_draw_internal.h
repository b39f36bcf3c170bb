// Internal to the world objects' drawing: particles and safe number conversion.
#pragma once

#include <cmath>
#include <cstdint>

struct world_object;

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

// An emitter's emission when its interval has passed: one particle added to the array. The
// array may grow, so the emitter is returned anew (found by index when it lies in the array).
world_object* emit_particle(world_object* emitter, int32_t index);

// One particle step: position, wobble, velocity, colour, alpha and scale.
void step_particle(world_object* particle);
