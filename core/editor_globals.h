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
// The behaviour entry the editor attaches to new objects: its kind (-1 attaches nothing) and
// its five float and five integer parameters.
constexpr int k_effect_entry_params = 5;

// The editor's one state record. Its start values are those of g_editor's initialiser (brush
// -1: no brush in game mode); the editor's reset gives the editor's own (editor/editor_frame.h).
struct editor_state {
    int32_t pick_count;                    // picked world objects
    int32_t picked[k_max_picked_objects];  // their indices, kept by the depth sort
    int32_t brush_proto;                   // -1 no brush
    float brush_scale;                     // scale and alfa of inserted objects
    float brush_alfa;
    int32_t brush_rot1, brush_rot2, brush_rot3;
    int32_t active_sector;                 // -1 none
    int32_t glset_number_a, glset_number_b;
    int32_t creature_choice;               // row of the creature file list new placements use
    int32_t ground_item_choice;            // item id ground-item mode drops
    uint32_t page_down_latch, page_up_latch;
    uint32_t edit_latches[8];              // latches of the object editing mode
    uint32_t action_latch;                 // place-or-add action shared by the modes
    uint32_t def_layers;                   // new objects take their prototype's default layer
    uint32_t coloring;
    uint32_t ai_on;                        // enemies act only while set
    int32_t brush_efect_type;              // -1 none
    float brush_efect_float[k_effect_entry_params];
    int32_t brush_efect_int[k_effect_entry_params];
    float tex_move_x, tex_move_y;          // texture movement per step of new objects
    uint32_t tex_move_period;
    uint32_t new_light_type;               // 1 point, 2 spot
    uint32_t wide_layout;                  // 0 editor windows beside the view, 1 the view only
};

extern uint32_t g_work_mode;
// 1 while the level in memory differs from its map file: set by every change of level data,
// cleared by every save of the map.
extern uint32_t g_map_dirty;
extern editor_state g_editor;
extern uint32_t g_cursor_grid;
extern uint32_t g_show_grid;  // the movement map's grid is drawn while on
extern uint8_t g_active_layer;
// The mode tab whose page was last created, -1 before the first; tab 6 highlights the picked
// objects outside the editing mode.
extern int32_t g_current_tab;
extern int32_t g_marker_dx;          // the brush preview's last displacement
extern int32_t g_marker_dy;
// The tick after which the next turning step of the editing and sector modes is allowed.
extern uint32_t g_edit_step_tick;
extern float g_stored_corners[8];        // corners a new object takes from the editor
// The brush's corner kind: 0 a plain object; 1 drawn on four corner points; 2 as 1 with the
// object's light flag set.
extern uint32_t g_brush_corner_mode;

// Marker kinds of the editor view.
constexpr uint32_t k_marker_plain = 0;
constexpr uint32_t k_marker_highlighted = 1;
constexpr uint32_t k_marker_depth = 2;   // a depth-sorted object's depth key
