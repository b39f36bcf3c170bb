// Shell tests: input as the window would deliver it, queued for the next frame's poll.
#pragma once

#include "core/globals.h"
#include "platform/input.h"
#include "platform/key_codes.h"
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

// The key that types the character: lower-case letters, digits, space, "." and "/"; 0 for any
// other character.
inline uint8_t key_for_char(char c)
{
    static constexpr uint8_t letters[26] = {k_key_a, k_key_b, k_key_c, k_key_d, k_key_e, k_key_f, k_key_g,
                                            k_key_h, k_key_i, k_key_j, k_key_k, k_key_l, k_key_m, k_key_n,
                                            k_key_o, k_key_p, k_key_q, k_key_r, k_key_s, k_key_t, k_key_u,
                                            k_key_v, k_key_w, k_key_x, k_key_y, k_key_z};
    static constexpr uint8_t digits[10] = {k_key_0, k_key_1, k_key_2, k_key_3, k_key_4,
                                           k_key_5, k_key_6, k_key_7, k_key_8, k_key_9};
    if (c >= 'a' && c <= 'z')
        return letters[c - 'a'];
    if (c >= '0' && c <= '9')
        return digits[c - '0'];
    switch (c) {
    case ' ': return k_key_space;
    case '.': return k_key_period;
    case '/': return k_key_slash;
    default: return 0;
    }
}

// The text typed as a player types it into the console: a tap a character (see key_for_char);
// false for a character without a key or when a frame ends the run.
inline bool type_keys(const char* text)
{
    for (const char* p = text; *p; ++p) {
        const uint8_t key = key_for_char(*p);
        if (key == 0 || !tap_keys({key}))
            return false;
    }
    return true;
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
