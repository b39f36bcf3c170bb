#include "core/input_state.h"

uint32_t g_windowed = 0;
uint32_t g_resolution_mode = 0;
uint32_t g_app_active = 0;
uint32_t g_input_focus = 1;

mouse_state g_mouse_state = {};
uint8_t g_key_state[256] = {};
uint32_t g_mouse_left = 0, g_mouse_right = 0, g_mouse_middle = 0, g_mouse_button4 = 0;
uint32_t g_wheel_up = 0, g_wheel_down = 0;
float g_mouse_x = 320.0f, g_mouse_y = 240.0f;
float g_mouse_screen_x = 320.0f, g_mouse_screen_y = 240.0f;
