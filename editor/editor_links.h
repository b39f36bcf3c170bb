// What the editor frame calls of the editor's parts built elsewhere: the handlers of the work
// modes and the undo store. Each part fills its members at start-up; a null member is skipped
// (run_hook logs it once).
#pragma once

#include "core/editor_globals.h"
#include "core/hooks.h"

struct editor_links {
    void (*run_brush_mode)(editor_state& editor);         // work mode 0
    void (*run_object_mode)(editor_state& editor);        // 1
    void (*run_light_mode)(editor_state& editor);         // 2
    void (*run_sector_mode)(editor_state& editor);        // 3
    void (*run_char_mode)(editor_state& editor);          // 5
    void (*run_ground_item_mode)(editor_state& editor);   // 6
    void (*run_monster_point_mode)(editor_state& editor); // 7
    void (*pop_undo_snapshot)();
    // The shell's render states, viewport and projection set again for the view's place and
    // size (g_view_x, g_view_y, g_screen_width, g_screen_height) on the same device.
    void (*apply_view_layout)();
    // The prototype editor's list selection one row down / up, while it is the page shown.
    void (*select_next_proto)();
    void (*select_prev_proto)();
};

extern editor_links g_editor_links;
