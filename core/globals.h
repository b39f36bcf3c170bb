// The shell's global state: modes, quit requests, the display, the view and pending requests.
#pragma once

#include <cstdint>

extern uint32_t g_editor_enabled;       // "editor" on the command line
extern uint32_t g_console_enabled;      // console and debug log on
extern uint32_t g_console_shown;        // console on screen
extern uint32_t g_console_toggle_latch; // 1 while the console key is up
extern uint32_t g_quit;                 // ends the main loop at the next check
extern uint32_t g_quit_all;             // set only by closing the window
extern uint32_t g_skip_exit_fade;       // closing the window: no closing fade
extern uint32_t g_game_finished;        // the epilogue ended: the ending runs instead of shutdown
extern uint32_t g_new_game_request;     // carried out at the start of the next frame
extern uint32_t g_load_twice;           // the pending level is loaded a second time, once
extern uint32_t g_capture_on;           // frame capture on
extern uint32_t g_sound_enabled;        // the audio device started
extern uint32_t g_clear_colour;         // 0xAARRGGBB the scene is cleared with, set as a frame begins
extern uint32_t g_travel_map_running;   // the travel-map screen runs; closing the window clears it



extern int32_t g_screen_width;
extern int32_t g_screen_height;
extern int32_t g_screen_bpp;
// The view's top-left corner in the program window (the editor's windows stand left of it).
extern int32_t g_view_x;
extern int32_t g_view_y;

// Screen position = (world position - camera) x zoom; the camera is the screen's top-left corner.
extern float g_zoom;
extern float g_camera_x;
extern float g_camera_y;

constexpr int k_debug_text_size = 1024;
extern char g_debug_text[k_debug_text_size];         // the editor's debug text of the frame
extern char g_mode_info_text[k_debug_text_size]; // appended to the debug text
extern uint32_t g_debug_text_colour;

// The start level named on the command line ("" when none).
constexpr int k_start_level_size = 100;
extern char g_start_level[k_start_level_size];

// The path of the map last read or written; also the target of a pending level change.
constexpr int k_map_path_size = 256;
extern char g_map_path[k_map_path_size];

// The pending level change, carried out at the end of the frame. Its target has a buffer of its
// own, as the level change itself rewrites g_map_path.
struct pending_level {
    uint32_t pending;
    int32_t mode;     // the entry point; -1 the stored position; any other value (0, 0)
    char target[k_map_path_size];
};
extern pending_level g_pending_level;
// Asks for a change to level `name` (cut to the buffer) with entry mode `mode`.
void request_level_change(const char* name, int32_t mode);

// The depth buffer of model draws: 0 the w-buffer, 1 the z-buffer (from gr_enablewbuffer).
extern uint32_t g_wbuffer_switch;
