// The editor's state that the world, the level files and the shell read: the work mode (also
// the play state), the map's dirty flag, the brush, the picked objects and the view switches.
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

constexpr int k_max_picked_objects = 32;

struct editor_state {
    int32_t brush_proto;  // -1 none
    int32_t active_sector;
    uint32_t ai_enabled;
    int32_t picked_count;                        // picked world objects
    int32_t picked[k_max_picked_objects];        // their indices, kept by the depth sort
};

extern uint32_t g_work_mode;
extern uint32_t g_map_dirty;
extern editor_state g_editor;
extern uint32_t g_cursor_grid;
extern uint32_t g_show_grid;  // the movement map's grid is drawn while on
extern uint8_t g_active_layer;
extern uint32_t g_default_layer_toggle;
extern uint32_t g_mode_bar_page;         // page 6 highlights the picked objects
extern int32_t g_drag_offset_x;          // the brush preview's last displacement
extern int32_t g_drag_offset_y;
extern float g_stored_corners[8];        // corners a new object takes from the editor

// The behaviour entry the editor's object dialogs and the console attach to objects: its kind
// (-1 attaches nothing) and its five float and five integer parameters.
constexpr int k_effect_entry_params = 5;
extern int32_t g_effect_entry_kind;
extern float g_effect_entry_floats[k_effect_entry_params];
extern int32_t g_effect_entry_ints[k_effect_entry_params];
extern float g_new_object_scale;         // the scale of objects the editor inserts
extern float g_scroll_speed_x;           // texture movement per step of new objects
extern float g_scroll_speed_y;

// Marker kinds of the editor view.
constexpr uint32_t k_marker_plain = 0;
constexpr uint32_t k_marker_highlighted = 1;
constexpr uint32_t k_marker_depth = 2;   // a depth-sorted object's depth key
