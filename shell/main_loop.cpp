// One frame of the main loop, in the order the program has always followed.
#include "shell/program_steps.h"

#include "editor/editor_state.h"
#include "engine/primitives.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "script/script_services.h"
#include "shell/frame_timing.h"
#include "shell/shell_state.h"
#include "shell/window.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int k_key_grave = 0x29;  // the key left of 1

bool playing()
{
    return g_work_mode == k_work_play;
}

bool slide_show_running()
{
    return g_chapter_slides_running || g_epilogue_slides_active;
}

// The console key toggles the console on its press edge.
void toggle_console()
{
    if (!g_console_enabled)
        return;
    if (!(g_key_state[k_key_grave] & 0x80)) {
        g_console_toggle_latch = 1;
    } else if (g_console_toggle_latch) {
        g_console_toggle_latch = 0;
        g_console_shown = !g_console_shown;
    }
}

void draw_play_overlays()
{
    draw_ground_item_labels();
    g_interface.mouse_over_interface = 0;
    if (slide_show_running())
        return;
    if (g_interface.shown)
        update_game_interface();
    update_attunement_selection();
    update_overlay_screens();
}

void format_debug_text()
{
    if (g_work_mode == k_work_select)
        select_objects_in_box();
    std::snprintf(g_debug_text, sizeof g_debug_text,
                  "global: %d:%d\nmouse: %d:%d\nfps: %d\nobj: %d/%d\nact. sector: %d\nact. layer: %d\ndef. layer %d%.200s",
                  int(g_camera_x), int(g_camera_y), int(g_mouse_x), int(g_mouse_y), int(g_fps), 0, 0,
                  int(g_editor.active_sector), int(g_active_layer), int(g_default_layer_toggle),
                  g_editor_status_text);
}

void draw_text_windows()
{
    if (slide_show_running())
        return;
    if (!g_interface.menu_open && !g_interface.attunement_selection) {
        load_text_window_dialogue();
        if (g_dialogue_running)
            draw_dialogue_window();
    }
    if (g_message_shown) {
        uint32_t dialogue_running = g_dialogue_running;
        g_dialogue_running = 0;
        clear_message_window_reanchor();
        draw_message_window();
        g_dialogue_running = dialogue_running;
    }
    handle_hotkeys();
}

const program_step k_frame_steps[] = {
    {"editor_focus", nullptr},
    {"pump_messages", [] { pump_messages(); return true; }},
    {"wait_while_inactive", [] {
         if (g_app_active)
             return true;
         wait_message();
         return false;
     }},
    {"new_game_request", nullptr},
    {"poll_input", [] { poll_input(); return true; }},
    {"advance_game_clock", nullptr},
    {"update_frame_timing", [] { update_frame_timing(); return true; }},
    {"update_battle_music", nullptr},
    {"toggle_console", [] { toggle_console(); return true; }},
    {"run_editor_frame", [] {
         if (!g_console_shown)
             run_editor_frame();
         return true;
     }},
    {"evaluate_events", [] {
         evaluate_events();
         return !g_quit;
     }},
    {"update_entities", [] { update_entities(); return true; }},
    {"update_weather", nullptr},
    {"begin_scene", nullptr},
    {"update_all_avi_textures", [] { update_all_avi_textures(); return true; }},
    {"update_ground_items", [] { update_ground_items(0); return true; }},
    {"follow_owner_objects", nullptr},
    {"draw_objects", nullptr},
    {"update_all_chars", nullptr},
    {"curves_lights_effects", nullptr},
    {"draw_movemap", nullptr},
    {"draw_char_passes", nullptr},
    {"draw_cursor_marker", [] { draw_cursor_marker(); return true; }},
    {"play_overlays", [] {
         if (playing())
             draw_play_overlays();
         return true;
     }},
    {"debug_text", [] {
         if (!playing())
             format_debug_text();
         return true;
     }},
    {"brush_preview", nullptr},
    {"draw_console", nullptr},
    {"text_windows", [] { draw_text_windows(); return true; }},
    {"slide_shows", [] {
         play_chapter_slides();
         play_epilogue_slides();
         return true;
     }},
    {"end_scene_and_present", nullptr},
    {"pending_level_change", nullptr},
};

} // namespace

bool program_frame()
{
    run_program_steps(k_frame_steps);
    return !g_quit && !g_quit_all;
}
