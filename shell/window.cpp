#include "shell/window.h"

#include "shell/console_log.h"
#include "shell/shell_state.h"
#include "platform/clock.h"
#include "platform/signals.h"

uint32_t g_app_active = 0;
uint32_t g_windowed = 0;

float g_mouse_x = 320.0f, g_mouse_y = 240.0f;
int32_t g_mouse_screen_x = 0, g_mouse_screen_y = 0;
uint32_t g_mouse_left = 0, g_mouse_right = 0, g_mouse_middle = 0, g_mouse_button4 = 0;
int32_t g_wheel_up = 0, g_wheel_down = 0;
uint8_t g_key_state[256] = {};

int32_t create_main_window()
{
    console_log("no window: running headless");
    g_app_active = 1;
    return 0;
}

int32_t pump_messages()
{
    if (quit_signal_received() && !g_quit_all) {
        // As closing the window: no closing fade, and the main loop ends at its next check.
        g_quit_all = 1;
        g_skip_exit_fade = 1;
        return 1;
    }
    return 0;
}

void wait_message()
{
    clock_sleep(1);
}

void poll_input() {}
