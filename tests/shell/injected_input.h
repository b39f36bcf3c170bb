// Shell tests: input as the window would deliver it, queued for the next frame's poll.
#pragma once

#include "core/globals.h"
#include "platform/input.h"
#include "shell/program.h"
#include "shell/window.h"

#include <cstdint>
#include <initializer_list>

inline void inject_key(uint8_t code, bool down)
{
    input_event e{input_event_kind::key};
    e.code = code;
    e.down = down;
    input_inject(e);
}

// The pointer at screen pixel (x, y).
inline void inject_pointer(float x, float y)
{
    input_event move{input_event_kind::mouse_move};
    move.x = int32_t(x);
    move.y = int32_t(y);
    input_inject(move);
}

// The pointer over world point (x, y) as the camera shows it now.
inline void inject_pointer_at_world(float x, float y)
{
    inject_pointer(float(g_view_x) + (x - g_camera_x) * g_zoom, float(g_view_y) + (y - g_camera_y) * g_zoom);
}

inline void inject_left_button(bool down)
{
    input_event e{input_event_kind::mouse_button};
    e.code = 0;
    e.down = down;
    input_inject(e);
}

// For the interface's release wait: the player lets go of the button at once, then the shell
// waits as it always does.
inline bool release_then_wait(bool (*held)())
{
    inject_left_button(false);
    return wait_until_released(held);
}

// The keys down for one frame, then up for one.
inline bool tap_keys(std::initializer_list<uint8_t> keys)
{
    for (uint8_t k : keys)
        inject_key(k, true);
    if (!program_frame())
        return false;
    for (uint8_t k : keys)
        inject_key(k, false);
    return program_frame();
}

// A press and a release of the left button at screen point (x, y), a frame each.
inline bool click_at(float x, float y)
{
    inject_pointer(x, y);
    inject_left_button(true);
    if (!program_frame())
        return false;
    inject_left_button(false);
    return program_frame();
}
