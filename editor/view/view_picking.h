// What the in-view work modes share: the key test and the square pick around an item.
#pragma once

#include "core/input_state.h"
#include "platform/key_codes.h"
#include "world/object_draw_internal.h"

#include <cstdint>

// The key is down in this frame's key state.
inline bool view_key_down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

// The item at (x, y), truncated to whole pixels (held to the 32-bit range, not-a-number as 0), is
// hit by the fractional mouse world position when both lie strictly less than `half` apart on each
// axis.
inline bool view_pick_hit(float x, float y, float half)
{
    const float tx = float(safe_int(x));
    const float ty = float(safe_int(y));
    return tx - half < g_mouse_x && g_mouse_x < tx + half && ty - half < g_mouse_y && g_mouse_y < ty + half;
}
