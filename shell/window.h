// The main window, its messages and the input state of the frame.
//
// The window procedure handles one window message per call of `pump_messages`; the keyboard
// and mouse are read once per frame by `poll_input` into the globals below, which every other
// part of the program reads.
#pragma once

#include "platform/input.h"

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

// Creates the window and its device, asks for the language on a first run in game mode, and
// prepares keyboard and mouse. 1 on success, -1 (with the reason in the debug log) when start-up
// cannot go on.
int32_t create_main_window();

// The window procedure: one message.
void window_proc(const window_message& message);

// Asks for the language (first run in game mode) and sets g_language; English when no choice
// is made or no dialog can be shown.
void language_dialog();

// Takes the window's pending events and handles at most one message; 1 when one was handled.
int32_t pump_messages();

// Waits for the next message (while the application is inactive), at most a short while so
// that a quit is never missed.
void wait_message();

// Reads the keyboard state, the mouse buttons and wheel and the mouse position of the frame.
void poll_input();

// Closes the window (its device is replaced by the next create_main_window). The program
// leaves both to the end of the process; tests close it to start the next run afresh.
void close_main_window();
