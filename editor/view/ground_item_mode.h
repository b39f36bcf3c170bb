// Ground-item mode (work mode 6) and monster-point mode (work mode 7): items dropped onto the
// level's ground and removed, and the level's monster points added and dragged.
#pragma once

#include "core/editor_globals.h"

#include <cstdint>

// The monster point the left button holds, -1 none.
extern int32_t g_selected_monster_point;

// One frame of ground-item mode, in this order:
// - right button: every ground item in use within 16 pixels of the mouse is removed with its
//   world object;
// - left button, Enter or Space (one press for the three): one item ground_item_choice dropped
//   at the mouse's cell of the 24-pixel grid (coordinates truncated toward zero), or the free
//   spot nearest to it;
// - the wheel (every frame it moved) and Page Up / Page Down (press) step the choice within the
//   item table, the wheel rebuilding the preview only when the choice changed, the page keys
//   in any case.
// g_mode_info_text is left as it was. Every drop and removal sets g_map_dirty.
void run_ground_item_mode(editor_state& editor);

// One frame of monster-point mode, in this order:
// - left button down with no point held: the last point within 8 pixels is held; left button
//   up: none held;
// - Enter or Space (one press): a point at the mouse (a full table adds nothing, logged);
// - g_mode_info_text: "\nmonster point: %d" while one is held, which follows the mouse.
// Every added or moved point sets g_map_dirty.
void run_monster_point_mode(editor_state& editor);
