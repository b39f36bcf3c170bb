// The dialogue editor: a window over the one dialogue record g_dialogue. Its part list shows one
// row per node; the selected row is the part every per-part field and command works on. Each
// field stores its text into the record at every change, so the record always holds what the
// window shows. Dialogues are loaded and saved as dialogue files (".dia2") and exported as the
// markup texts the dialogue window plays.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the window.
enum : int32_t {
    k_dia_part_list = 1001,   // list box: one row per part, its name
    k_dia_language = 1002,    // combo: "eng", "sk"
    k_dia_text = 1003,        // multi-line edit: the part's text
    k_dia_answer = 1004,      // 1004 to 1008: edits of answers 1 to 5
    k_dia_link = 1009,        // 1009 to 1013: combos of links 1 to 5, row 0 "no link", row k part k
    k_dia_jump = 1014,        // 1014 to 1018: buttons "Jump" of links 1 to 5
    k_dia_name = 1019,        // edit "name:": the dialogue's name
    k_dia_part_name = 1020,   // edit "part": the part's name
    k_dia_speaker = 1021,     // edit "char:": the part's speaker
    k_dia_export = 1022,      // button "Export"
};

// Menu items.
enum : int32_t {
    k_dia_menu_new = 2001,
    k_dia_menu_load,
    k_dia_menu_save,
    k_dia_menu_export,  // does nothing: the button exports
    k_dia_menu_new_part,
    k_dia_menu_delete_part,  // does nothing
};

// Opens the editor centred on the screen, showing part 0; nothing while it is open.
void open_dialogue_editor();

// The window's procedure.
bool dialogue_editor_proc(dialog_handle dialog, const dialog_message& m);

// Rebuilds the part list and the five link combos from g_dialogue and shows part `part`, with
// the dialogue's name and language.
void fill_dialogue_links(dialog_handle dialog, int32_t part);
