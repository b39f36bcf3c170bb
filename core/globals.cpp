#include "core/globals.h"

#include "core/utilities.h"

uint32_t g_editor_enabled = 0;
uint32_t g_console_enabled = 0;
uint32_t g_console_shown = 0;
uint32_t g_console_toggle_latch = 1;
uint32_t g_quit = 0;
uint32_t g_quit_all = 0;
uint32_t g_skip_exit_fade = 0;
uint32_t g_game_finished = 0;
uint32_t g_new_game_request = 0;
uint32_t g_load_twice = 0;
uint32_t g_capture_on = 0;
uint32_t g_sound_enabled = 0;
uint32_t g_clear_colour = 0xFF000000;
uint32_t g_travel_map_running = 0;
pending_level g_pending_level = {};

int32_t g_screen_width = 1024;
int32_t g_screen_height = 768;
int32_t g_screen_bpp = 16;
int32_t g_view_x = 0;
int32_t g_view_y = 0;

float g_zoom = 1.0f;
float g_camera_x = 0.0f;
float g_camera_y = 0.0f;

char g_debug_text[k_debug_text_size] = {};
char g_mode_info_text[k_debug_text_size] = {};
uint32_t g_debug_text_colour = 0xFF7FCF7F;

char g_start_level[k_start_level_size] = {};

char g_map_path[k_map_path_size] = {};
uint32_t g_wbuffer_switch = 0;

void request_level_change(const char* name, int32_t mode)
{
    copy_bounded(g_pending_level.target, sizeof g_pending_level.target, name);
    g_pending_level.mode = mode;
    g_pending_level.pending = 1;
}
