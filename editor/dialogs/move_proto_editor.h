// The "MoveG" page: move prototypes assembled from registered models, and the small part editor
// it opens for one body part of one prototype. Each of the nineteen part drop-downs holds
// "nothing" then the name of every loaded registry entry that contains the model filter; a
// prototype's part shows the row of its entry's name, and "UPD." stores the entry the row names.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_mpe_select = 3201,    // edit "sel": the model filter
    k_mpe_list = 3202,      // list box: prototype names, row = prototype index
    k_mpe_name = 3203,      // edit "m proto"
    k_mpe_speed = 3204,     // edit "speed:"
    k_mpe_add = 3205,       // buttons "ADD", "UPD.", "DEL", "save all"
    k_mpe_update = 3206,
    k_mpe_delete = 3207,
    k_mpe_save_all = 3208,
    k_mpe_part = 3220,      // 3220 to 3238: drop-downs of body parts 0 to 18
    k_mpe_edit = 3240,      // 3240 to 3258: their "edit" buttons
    k_mpe_menu_save = 3261, // menu "file": "save movepr", "load movepr" (no action)
    k_mpe_menu_load = 3262,
};

// Controls of the part editor.
enum : int32_t {
    k_bpe_red = 3401,  // sliders "r", "g", "b" (0-200), "a" (0-100)
    k_bpe_green = 3402,
    k_bpe_blue = 3403,
    k_bpe_alpha = 3404,
    k_bpe_skin = 3405,        // combo "skin:"
    k_bpe_anim_type = 3406,   // combo "text_anim_typ:"
    k_bpe_scale = 3407,       // edit "scale:"
    k_bpe_anim_speed = 3408,  // edit "text_anim_speed:"
    k_bpe_update = 3409,      // button "U P D A T E"
};

constexpr int32_t k_edited_parts = 19;  // body parts 0 to 18 have a drop-down
constexpr int32_t k_part_model_filter_size = 50;

extern dialog_handle g_move_proto_editor_window;  // the page while it is open, else 0
extern dialog_handle g_body_part_editor_window;   // the part editor while it is open, else 0
extern char g_part_model_filter[k_part_model_filter_size];  // kept while the program runs
// The part editor's target: the prototype (-1 none) and the body part its "U P D A T E" writes.
extern int16_t g_edited_move_proto;
extern uint8_t g_edited_body_part;

void create_move_proto_editor();
bool move_proto_editor_proc(dialog_handle dialog, const dialog_message& m);

// Empties the nineteen part drop-downs; fills them from the registry and the filter, each with
// row 0 ("nothing") selected.
void clear_part_combos(dialog_handle dialog);
void fill_part_combos(dialog_handle dialog);
// Shows the prototype's name, speed and part models; a part whose entry's name no row shows
// keeps the drop-down's selection.
void show_move_proto_in_editor(dialog_handle dialog, int32_t proto);

// Opens the part editor for the target, unless it is open.
void open_body_part_editor();
bool body_part_editor_proc(dialog_handle dialog, const dialog_message& m);
