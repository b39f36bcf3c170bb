// The container editor: the "Cont." page of the mode tabs over the level's containers (slots 0
// to the level count of g_containers) and its two modal dialogs, "Create new container" and
// "Add item to container". Every command changes the table at once and marks the map changed;
// the table reaches the level's map file when the map is saved.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_cont_list = 1401,    // list box: one row per level container, its name (row = slot)
    k_cont_name = 1402,    // edit "name:"
    k_cont_width = 1403,   // read-only edit "x:"
    k_cont_height = 1404,  // read-only edit "y:"
    k_cont_shop = 1405,    // check box "shop"
    k_cont_cells = 1406,   // list view "item", "number": one row per cell, one row selected at most
    k_cont_update = 1407,  // button "UPDATE"
    k_cont_insert = 1408,  // button "Insert": opens "Add item to container"
    k_cont_delete = 1409,  // button "Delete": empties the selected cell
};

// Menu items of the page.
enum : int32_t {
    k_cont_menu_new = 2101,
    k_cont_menu_update,  // does nothing
    k_cont_menu_delete,
};

// Controls of "Create new container" and of "Add item to container" (both also have OK and
// Cancel).
enum : int32_t {
    k_cont_new_name = 1421,    // edit "name:", "container" at first
    k_cont_new_width = 1422,   // edit "x size:", "8"
    k_cont_new_height = 1423,  // edit "y size:", "2"
    k_cont_add_item = 1431,    // combo "item:": every item's display name, row = item id
    k_cont_add_x = 1432,       // combo "x pos:"
    k_cont_add_y = 1433,       // combo "y pos:"
    k_cont_add_number = 1434,  // combo "number:", "1" to "500"
};

constexpr uint16_t k_container_no_target = 0xFFFF;

extern dialog_handle g_container_editor_window;  // the page while it exists, else 0
// The container "Add item to container" fills, set just before it opens; 0xFFFF none.
extern uint16_t g_container_add_target;

// Creates the page at (0, the tab page top) with the level's containers listed.
void open_container_editor();

bool container_editor_proc(dialog_handle dialog, const dialog_message& m);
bool new_container_dialog_proc(dialog_handle dialog, const dialog_message& m);
bool container_add_dialog_proc(dialog_handle dialog, const dialog_message& m);

// Refills the cell list of the container selected in the page's container list, first cell at
// the top; nothing without a selection.
void fill_container_list(dialog_handle dialog);
