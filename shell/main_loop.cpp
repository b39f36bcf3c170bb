// One frame of the main loop, in the order the program has always followed.
#include "shell/program_steps.h"

#include "characters/char_drawing.h"
#include "characters/char_update.h"
#include "characters/monster_spawning.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/pointer_areas.h"
#include "editor/editor_frame.h"
#include "editor/editor_state.h"
#include "editor/gui/dialog_screen.h"
#include "engine/avi_capture.h"
#include "engine/curves.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/primitives.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "level/level_effects.h"
#include "platform/clock.h"
#include "platform/key_codes.h"
#include "platform/process_memory.h"
#include "script/entities.h"
#include "script/map_texts.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "shell/device_setup.h"
#include "shell/fades.h"
#include "shell/level_requests.h"
#include "shell/window.h"
#include "world/camera_shake.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/movement_map.h"
#include "world/object_behaviour.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The scene of the frame begins, cleared to opaque black; in the level shown as "Vantielle" to a
// fifth of the ambient light, with alpha 0.
void begin_frame_scene()
{
    g_clear_colour = 0xFF000000;
    if (std::strcmp(g_scene_header.display_name, "Vantielle") == 0) {
        auto channel = [](float c) { return uint32_t(int(0.2f * c * 255.0f)) & 0xFF; };
        g_clear_colour = channel(g_ambient_color.red) << 16 | channel(g_ambient_color.green) << 8 |
                         channel(g_ambient_color.blue);
    }
    if (!g_d3d_device)
        return;
    g_d3d_device->begin_scene();
    if (g_editor_enabled)
        clear_whole_target(0xFF000000); // the window around the view, behind the editor's windows
    g_d3d_device->clear(k_clear_target | k_clear_depth, g_clear_colour);
}

void present_frame()
{
    if (!g_d3d_device)
        return;
    g_last_result = g_d3d_device->present() ? 0 : -1;
    if (g_last_result != 0)
        g_last_result = restore_lost_surfaces();
}

// Loading a level, and the driver's first frames of it, free much of what they take. At most once
// a second of the frames' clock, a heap that holds more than k_heap_slack free hands its free
// pages back.
constexpr size_t k_heap_slack = size_t(8) << 20;
constexpr uint32_t k_heap_check_ms = 1000;

void release_heap_slack()
{
    static uint32_t last_check = 0;
    if (g_now_ms - last_check < k_heap_check_ms)
        return;
    last_check = g_now_ms;
    if (heap_free_bytes() > k_heap_slack)
        release_free_heap();
}

// The editor's debug text over the frame, line by line from a hundredth of the screen's width
// at the top, in g_debug_text_colour.
void draw_debug_text()
{
    if (!g_d3d_device)
        return;
    const uint32_t argb = g_debug_text_colour;
    const uint32_t colour = (argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16;
    const int32_t x = int32_t(0.01f * float(g_screen_width));
    font_begin(&g_font_small);
    int32_t y = 0;
    for (const char* line = g_debug_text; *line; y += g_font_small.height) {
        const char* end = std::strchr(line, '\n');
        std::string text(line, end ? size_t(end - line) : std::strlen(line));
        font_text_out(&g_font_small, x, y, text.c_str(), colour);
        if (!end)
            break;
        line = end + 1;
    }
    font_end(&g_font_small);
}

bool playing()
{
    return g_work_mode == k_work_play;
}

bool slide_show_running()
{
    return g_chapter_slides_running || g_epilogue_slides_active;
}

// The frame's input, and whether its pointer lies over the interface as the interface stands: the
// world's mouse handling, which runs before the interface draws, reads it.
void poll_frame_input()
{
    poll_input();
    if (playing())
        g_interface.mouse_over_ui = pointer_over_interface() ? 1 : 0;
}

void draw_play_overlays()
{
    draw_ground_item_labels();
    update_dream_world(&g_dream_world);
    begin_pointer_areas();
    if (slide_show_running())
        return;
    if (g_interface.shown)
        update_game_interface();
    update_attunement_selection();
    update_overlay_screens();
}

// The editor's brush under the mouse: animated and stepped outside play. In the brush modes
// the right Shift or Ctrl key shows three parallel guide lines through the mouse (falling or
// rising to the right); otherwise the brush is drawn as a world object.
void draw_brush_preview()
{
    if (g_editor.brush_proto == -1)
        return;
    animate_object(&g_brush_preview);
    update_missile_object(&g_brush_preview, 0);
    if (!g_editor_enabled || (g_work_mode != k_work_insert && g_work_mode != k_work_ground_items))
        return;
    float slope;
    if (g_key_state[k_key_rshift] & k_key_down_bit)
        slope = 1.0f;
    else if (g_key_state[k_key_rcontrol] & k_key_down_bit)
        slope = -1.0f;
    else {
        update_draw_object(&g_brush_preview, 0, 0);
        return;
    }
    float x = float(g_mouse_screen_x), y = float(g_mouse_screen_y);
    for (float shift : {0.0f, 640.0f, -640.0f})
        draw_screen_line(x - 1152.0f * slope + shift, y - 768.0f, x + 1152.0f * slope + shift, y + 768.0f, 1.0f,
                         1.0f, 1.0f, 0.6f);
}

void format_debug_text()
{
    std::snprintf(g_debug_text, sizeof g_debug_text,
                  "global: %d:%d\nmouse: %d:%d\nfps: %d\nobj: %d/%d\nact. sector: %d\nact. layer: %d\ndef. layer %d%.200s",
                  int(g_camera_x), int(g_camera_y), int(g_brush_preview.x), int(g_brush_preview.y), int(g_fps),
                  int(g_object_count), int(g_object_capacity),
                  int(g_editor.active_sector), int(g_active_layer), int(g_editor.def_layers),
                  g_mode_info_text);
}

// Outside play: the movement map's grid; in the sector view also its blocked cells and the
// outlines of all sectors.
void draw_editor_overlays()
{
    draw_movemap_grid(&g_movement_map);
    if (g_work_mode != k_work_sectors)
        return;
    draw_movemap(&g_movement_map);
    draw_all_sectors();
}

void draw_text_windows()
{
    if (slide_show_running())
        return;
    if (!g_interface.menu_open && !g_interface.attunement_select_open) {
        load_text_window_dialogue(&g_dialogue_window);
        if (g_dialogue_running)
            draw_dialogue_window();
    }
    if (message_window_asked()) {
        uint32_t dialogue_running = g_dialogue_running;
        g_dialogue_running = 0;
        clear_message_window_reanchor();
        draw_message_window();
        g_dialogue_running = dialogue_running;
    } else if (g_message_window.word_count > 0) {
        // Nothing asked for the message this frame, so it is no longer up: the next message
        // is shown instead of being dropped for a stale one.
        reset_text_window(&g_message_window);
    }
    handle_hotkeys();
}

const program_step k_frame_steps[] = {
    // The focus follows the pointer as this frame's window events place it.
    {"pump_messages", [] { pump_messages(); return true; }},
    {"editor_focus", [] { update_editor_focus(); return true; }},
    {"wait_while_inactive", [] {
         if (g_app_active)
             return true;
         wait_message();
         return false;
     }},
    {"new_game_request", [] { run_new_game_request(); return true; }},
    {"poll_input", [] { poll_frame_input(); return true; }},
    {"advance_game_clock", [] { advance_game_clock(&g_game_clock); return true; }},
    {"update_frame_timing", [] { update_frame_timing(); return true; }},
    {"update_battle_music", [] {
         update_battle_music();
         update_sounds();
         return true;
     }},
    {"toggle_console", [] { toggle_console_on_key(&g_console_toggle_latch); return true; }},
    {"run_editor_frame", [] {
         if (!g_console_shown)
             run_editor_frame(g_editor);
         return true;
     }},
    {"evaluate_events", [] {
         evaluate_events();
         return !g_quit;
     }},
    {"update_entities", [] { update_entities(); return true; }},
    {"update_weather", [] { update_weather(&g_scene_header); return true; }},
    {"update_rain", [] { update_rain(&g_rain); return true; }},
    {"update_snow", [] { update_snow(&g_snow); return true; }},
    {"update_fog", [] { update_fog(&g_fog); return true; }},
    {"update_lightning", [] { update_lightning(&g_lightning); return true; }},
    {"expire_camera_shake", [] { expire_camera_shake(&g_camera_shake); return true; }},
    {"begin_scene", [] { begin_frame_scene(); return true; }},
    {"update_all_avi_textures", [] { update_all_avi_textures(); return true; }},
    {"update_ground_items", [] { update_ground_items(0); return true; }},
    {"follow_owner_objects", [] {
         if (playing())
             follow_owner_objects();
         return true;
     }},
    {"draw_objects", [] { draw_objects(); return true; }},
    {"update_all_chars", [] { update_all_chars(false); return true; }},
    {"curves_lights_effects", [] {
         update_curves();
         apply_lights();
         update_level_effects();
         return true;
     }},
    {"draw_movemap", [] {
         if (!playing())
             draw_editor_overlays();
         return true;
     }},
    {"draw_char_passes", [] { draw_char_passes(); return true; }},
    {"draw_cursor_marker", [] { draw_cursor_marker(); return true; }},
    {"play_overlays", [] {
         if (playing())
             draw_play_overlays();
         return true;
     }},
    {"box_selection", [] {
         if (!playing() && g_work_mode == k_work_select)
             select_objects_in_box();
         return true;
     }},
    {"monster_point_markers", [] {
         draw_monster_points(&g_monster_points);
         return true;
     }},
    {"debug_text", [] {
         if (!playing())
             format_debug_text();
         return true;
     }},
    {"brush_preview", [] {
         if (!playing())
             draw_brush_preview();
         return true;
     }},
    {"draw_console", [] { draw_console(); return true; }},
    {"text_windows", [] { draw_text_windows(); return true; }},
    {"slide_shows", [] {
         play_chapter_slides();
         play_epilogue_slides();
         return true;
     }},
    {"draw_debug_text", [] {
         if (g_editor_enabled && !playing()) {
             draw_debug_text();
             draw_editor_notice();
         }
         return true;
     }},
    {"dialog_frame", [] { run_dialog_frame(); return true; }},
    {"end_scene", [] {
         if (g_d3d_device)
             g_d3d_device->end_scene();
         return true;
     }},
    {"frame_capture", [] {
         // The capture's own time is not game time: the clock's start moves on by it.
         if (g_capture_on) {
             const uint32_t began = clock_ms();
             avi_capture_frame();
             g_start_time += clock_ms() - began;
         }
         return true;
     }},
    {"present", [] {
         present_frame();
         release_heap_slack();
         return true;
     }},
    {"pending_level_change", run_pending_level_change},
};
const step_table_registration k_frame_steps_registration{"frame", k_frame_steps};

} // namespace

bool program_frame()
{
    run_program_steps(k_frame_steps);
    return !g_quit && !g_quit_all;
}
