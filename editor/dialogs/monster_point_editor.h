// The "MPoint" page of the mode tabs: the level's monster points, the move sector of a point, and
// the level's respawn table (nine d20-keyed slots of class and level). Every change is stored
// into g_monster_points at once and marks the map changed.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

enum : int32_t {
    k_mpt_points = 1701,  // list box "Monster Points:"
    k_mpt_move_sector,    // edit "move sector:"
    k_mpt_class,          // nine combos: "empty", then every class
    k_mpt_level = k_mpt_class + 9,  // nine combos: "L1" to "L25"
};

extern dialog_handle g_monster_point_editor_window;

// Creates the page under the tab strip; the strip calls it.
void open_monster_point_editor();

// The page's procedure.
bool monster_point_editor_proc(dialog_handle dialog, const dialog_message& m);
