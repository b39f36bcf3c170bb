// The main window, its messages and the input state of the frame.
//
// There is no window yet: the program runs headless, always active, and a quit signal is
// handled as a close of the window. Keyboard and mouse read nothing.
#pragma once

#include <cstdint>

extern uint32_t g_app_active;  // the loops only wait for messages while it is 0
extern uint32_t g_windowed;

extern float g_mouse_x, g_mouse_y;                     // world position
extern int32_t g_mouse_screen_x, g_mouse_screen_y;     // screen position
extern uint32_t g_mouse_left, g_mouse_right, g_mouse_middle, g_mouse_button4;
extern int32_t g_wheel_up, g_wheel_down;
extern uint8_t g_key_state[256];                       // a key is down while its high bit is set

// Creates the window and the devices; -1 when start-up cannot go on.
int32_t create_main_window();
// Handles at most one pending window message; returns 1 when one was handled.
int32_t pump_messages();
// Sleeps until the next message while the application is inactive.
void wait_message();
// Reads the keyboard state, the mouse buttons and the mouse world position of the frame.
void poll_input();
