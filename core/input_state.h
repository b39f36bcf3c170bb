// The display mode and the input state of the frame, as the shell's window reads them; every
// layer reads them.
#pragma once

#include <cstdint>

extern uint32_t g_windowed;         // 1 when the display runs in a window (editor or gr_runwindowed)
extern uint32_t g_resolution_mode;  // display mode from game.cfg; 1 in editor mode
extern uint32_t g_app_active;       // the loops only wait for messages while it is 0
extern uint32_t g_input_focus;      // the window has the input focus

// The mouse device's state of the frame: movement, wheel movement and four button bytes.
struct mouse_state {
    int32_t x, y, z;
    uint8_t buttons[4];
};
extern mouse_state g_mouse_state;

extern uint8_t g_key_state[256];    // by key code (platform/key_codes.h); down while 0x80 is set
extern uint32_t g_mouse_left, g_mouse_right, g_mouse_middle, g_mouse_button4;
extern uint32_t g_wheel_up, g_wheel_down;              // the wheel moved this frame
extern float g_mouse_x, g_mouse_y;                     // world position
extern float g_mouse_screen_x, g_mouse_screen_y;       // screen position
