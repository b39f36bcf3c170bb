// What the rest of the program uses of the content editor.
//
// The editor's windows and modes are not built yet: in editor mode the world runs without
// them, and the functions below do nothing beyond keeping the state consistent.
#pragma once

#include <cstdint>

// The editor's work mode, also the play state: 4 means playing.
enum : uint32_t {
    k_work_insert = 0,
    k_work_select = 1,
    k_work_light = 2,
    k_work_sectors = 3,
    k_work_play = 4,
    k_work_characters = 5,
    k_work_ground_items = 6,
    k_work_monster_points = 7,
};

struct editor_state {
    int32_t brush_proto;  // -1 none
    int32_t active_sector;
    uint32_t ai_enabled;
};

extern uint32_t g_work_mode;
extern uint32_t g_map_dirty;
extern editor_state g_editor;
extern uint32_t g_cursor_grid;
extern uint32_t g_show_grid;  // the movement map's grid is drawn while on
extern uint8_t g_active_layer;
extern uint32_t g_default_layer_toggle;

void reset_editor_brush();
void open_editor_windows();
void open_mode_tabs();
void run_editor_frame();
void select_objects_in_box();
