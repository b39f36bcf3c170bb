// The map-text editor: a free window over the level's map texts (g_map_texts), each a key, a tag
// and a markup text. Every change of the table marks the map changed.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the window.
enum : int32_t {
    k_txt_list = 1601,    // list: one row per text, its key
    k_txt_key = 1602,     // edit "name:"
    k_txt_tag = 1603,     // edit "type:"
    k_txt_text = 1604,    // multi-line edit: the text
    k_txt_update = 1605,  // button "update"
};

// Menu "text".
enum : int32_t {
    k_txt_menu_new = 2601,
    k_txt_menu_delete = 2602,
};

// Opens the window centred on the screen; nothing while it is open.
void open_map_text_editor();
// After another map was read: the open window's list shows its texts (row i is text i).
void refresh_map_text_list();

bool text_editor_proc(dialog_handle dialog, const dialog_message& m);
