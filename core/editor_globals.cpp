#include "core/editor_globals.h"

uint32_t g_work_mode = k_work_insert;
uint32_t g_map_dirty = 0;
editor_state g_editor = {-1, 0, 0, 0, {}};
uint32_t g_cursor_grid = 0;
uint32_t g_show_grid = 0;
uint8_t g_active_layer = 0;
uint32_t g_default_layer_toggle = 0;
uint32_t g_mode_bar_page = 0;
int32_t g_drag_offset_x = 0;
int32_t g_drag_offset_y = 0;
float g_stored_corners[8] = {};
int32_t g_effect_entry_kind = 0;
float g_effect_entry_floats[k_effect_entry_params] = {};
int32_t g_effect_entry_ints[k_effect_entry_params] = {};
float g_new_object_scale = 1.0f;
float g_scroll_speed_x = 0.0f;
float g_scroll_speed_y = 0.0f;
