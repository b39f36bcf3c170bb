#include "editor/editor_state.h"

uint32_t g_work_mode = k_work_insert;
uint32_t g_map_dirty = 0;
editor_state g_editor = {-1, 0, 0, 0, {}};
uint32_t g_cursor_grid = 0;
uint32_t g_show_grid = 0;
uint8_t g_active_layer = 0;
uint32_t g_default_layer_toggle = 0;
uint32_t g_mode_bar_page = 0;
world_object g_brush_preview = {};
int32_t g_drag_offset_x = 0;
int32_t g_drag_offset_y = 0;
float g_stored_corners[8] = {};

void reset_editor_brush()
{
    g_editor.brush_proto = -1;
}
void open_editor_windows() {}
void open_mode_tabs() {}
void run_editor_frame() {}
void select_objects_in_box() {}
void draw_object_marker(float, float, uint32_t) {}
