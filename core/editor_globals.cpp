#include "core/editor_globals.h"

uint32_t g_work_mode = k_work_insert;
uint32_t g_map_dirty = 0;
editor_state g_editor = [] {
    editor_state e = {};
    e.brush_proto = -1;
    e.brush_scale = e.brush_alfa = 1.0f;
    e.glset_number_a = 2;
    e.glset_number_b = 1;
    e.brush_efect_type = -1;
    e.new_light_type = 1;
    return e;
}();
uint32_t g_cursor_grid = 0;
uint32_t g_show_grid = 0;
uint8_t g_active_layer = 0;
int32_t g_current_tab = -1;
int32_t g_marker_dx = 0;
int32_t g_marker_dy = 0;
uint32_t g_edit_step_tick = 0;
float g_stored_corners[8] = {};
uint32_t g_brush_corner_mode = 0;
