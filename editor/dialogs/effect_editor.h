// The effect page under the mode tabs: above, the level's timed effects (g_level_effects) with
// their kind, target, period and the parameters of their kind; below, the global table of named
// effect prototypes (g_efect_protos). Changes of level effects mark the map changed, changes of
// the prototypes mark that table changed.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_efe_list = 1401,         // list "Efects:": one row per active effect, its index
    k_efe_type = 1402,         // combo "Type:": row = kind
    k_efe_ident = 1403,        // edit "Ident:": the target
    k_efe_speed = 1404,        // edit "Speed:": the period
    k_efe_param = 1405,        // 1405 to 1413: edits "1" to "9"
    k_efe_update = 1414,       // button "update"
    k_efe_proto_list = 1415,   // list of "Efekt prototypes": one row per entry, its name
    k_efe_proto_name = 1416,   // edit "name:"
    k_efe_proto_add = 1417,    // button "Add"
    k_efe_proto_rem = 1418,    // button "Rem"
    k_efe_proto_upd = 1419,    // button "Upd"
    k_efe_proto_reload = 1420, // button "Reload prtypes"
};

constexpr int k_efe_params = 9;

// Menu "efect".
enum : int32_t {
    k_efe_menu_new = 2401,
    k_efe_menu_delete = 2402,
};

constexpr int k_effect_kind_count = 11;
extern const char* const k_effect_kind_names[k_effect_kind_count];

// The page's window, 0 while closed.
extern dialog_handle g_effect_editor_window;

// Creates the page at (0, the tabs' page top); the mode tabs call it.
void open_effect_editor();

bool effect_editor_proc(dialog_handle dialog, const dialog_message& m);
