// The level settings page: the mode-tab page over the open level's scene header (names, music,
// level type, camera bounds, scale, ground, weather, entry points, fixed light), the creature the
// character placements use, the editor's AI switch, and a list of the placed world objects that
// centres the view on one of them.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_level_file = 1501,          // read-only edit "filename:"
    k_level_name = 1502,          // edit "Level Name:"
    k_level_second_name = 1503,   // edit right of the level name
    k_level_music = 1504,         // edit "Music Name:"
    k_level_type = 1505,          // combo "Level Type:" "outside", "inside", "gui"
    k_level_xmin = 1506,          // edits "xmin:", "xmax:", "ymin:", "ymax:"
    k_level_xmax = 1507,
    k_level_ymin = 1508,
    k_level_ymax = 1509,
    k_level_scale = 1510,         // edit "scale:"
    k_level_ground = 1511,        // combo of the ground types, right of "Save Ambient"
    k_level_chance = 1512,        // 1512 to 1514: edits of the rain, snow and fog chances
    k_level_duration = 1515,      // 1515 to 1517: edits of their durations
    k_level_entries = 1518,       // list "start pos:"
    k_level_add_entry = 1519,     // button "ADD"
    k_level_remove_entry = 1520,  // button "REM"
    k_level_save_ambient = 1521,  // button "Save Ambient"
    k_level_use_ai = 1522,        // check box "Use AI in editor"
    k_level_creatures = 1523,     // list "Creature/NPC:"
    k_level_object_info = 1524,   // button "Generate object info"
    k_level_objects = 1525,       // list of world objects
    k_level_centre = 1526,        // button "Center"
    k_level_update = 1527,        // button "UPDATE"
};

constexpr int32_t k_level_music_chars = 19;

extern dialog_handle g_level_editor_window;  // 0 while closed

// Creates the page at (0, the tab pages' top); nothing while it is open.
void open_level_editor();
// The open page shows the scene header again, whatever was typed into it and not updated: after
// something other than the page replaced the header. Nothing while the page is closed.
void show_level_header();
// The rows of the open page's object list name their objects' prototypes, layers and sort values
// again, in place: after something other than the page changed those objects.
void show_level_objects();
bool level_editor_proc(dialog_handle dialog, const dialog_message& m);
