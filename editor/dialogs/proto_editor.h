// The prototype editor: the mode-tab page over the level's object prototypes. Its list shows one
// "%d-%s" row (index, name) per prototype whose name contains the filter; the selected row is
// the prototype every field and command works on, and it is also the brush's prototype. The
// page shows and updates a prototype's fields, builds its frames from images, models, folders of
// files or a folder of surface tiles, and exports, imports and deletes prototypes.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_proto_list = 1301,        // list box "Prototype:"
    k_proto_textures = 1302,    // list box "textures/objects:": frame names of animation 0
    k_proto_select = 1303,      // editable combo "select:": the name filter
    k_proto_name = 1304,        // edit "Name:"
    k_proto_kind = 1305,        // combo "Type:", row = kind
    k_proto_layer = 1306,       // edit "dl:"
    k_proto_format = 1307,      // combo "cm:" "16bit", "32bit"
    k_proto_width = 1308,       // edit "x size:"
    k_proto_height = 1309,      // edit "y size:"
    k_proto_anim_type = 1310,   // edit "Anim. type:"
    k_proto_anim_speed = 1311,  // edit "Anim. speed:"
    k_proto_number = 1312,      // static "number:" frame count of animation 0
    k_proto_start_x = 1313,     // edit "start x:"
    k_proto_start_y = 1314,     // edit "start y:"
    k_proto_povx = 1315,        // edit "povx:" animation count (surface columns)
    k_proto_povy = 1316,        // edit "povy:" frame count of animation 0 (surface rows)
    k_proto_zbuf = 1317,        // edit "Zbuf:"
    k_proto_tcor = 1318,        // edit "T cor:"
    k_proto_3d_part = 1319,     // combo "3D Part:" "0" to "15"
    k_proto_num_parts = 1320,   // edit "num p:" animation count (mesh parts)
    k_proto_update = 1321,      // button "update"
    k_proto_particles = 1322,   // button "Particles"
    k_proto_objects = 1323,     // list box of the group "Objects": "object %d"
};

// Menu items: "prototype" and "texture/objekt".
enum : int32_t {
    k_proto_menu_new = 2301,
    k_proto_menu_delete,
    k_proto_menu_delete_unused,
    k_proto_menu_export,
    k_proto_menu_import,
    k_proto_menu_import_directory,
    k_proto_menu_add,
    k_proto_menu_delete_frame,
    k_proto_menu_add_multiple,
    k_proto_menu_add_phase,
    k_proto_menu_save_3d,
    k_proto_menu_convert,
};

constexpr int32_t k_proto_filter_size = 50;
constexpr uint32_t k_max_level_protos = 1000;
// The lowest "T cor" value "update" stores for a surface.
constexpr float k_min_surface_depth_correction = 0.008f;

extern dialog_handle g_proto_editor_window;    // 0 while closed
extern int32_t g_shown_proto;                  // -1 when the selected row names no prototype
extern uint32_t g_current_3d_part;             // 0 to 15, the part the mesh commands work on
extern char g_proto_select_filter[k_proto_filter_size];

// Creates the page at (0, the tab pages' top); nothing while it is open.
void open_proto_editor();
bool proto_editor_proc(dialog_handle dialog, const dialog_message& m);

// 1 when prototype `index` (a level prototype) has a name containing text, else 0.
int32_t proto_name_contains(int32_t index, const char* text);

// The prototype a "%d-%s" row names: the level prototype of the row's leading index when the
// name after the "-" equals its name; -1 otherwise.
int32_t find_proto_by_list_name(const char* row);

// Shows the prototype of the selected row: marks the map changed, lists its frames, its world
// objects and its fields, and makes it the brush; g_shown_proto -1 when the row names none.
void show_proto_in_editor(dialog_handle window);

// The list's selection one row down (the last row stays; none selected: the first) / one row
// up (row 0 stays), then the prototype shown.
void select_next_proto();
void select_prev_proto();

// Empties the prototype list and adds the rows of the filter's prototypes in index order.
void fill_proto_list(dialog_handle dialog);
