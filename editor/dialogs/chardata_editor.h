// The "ChData" page: the character model registry g_chardata. Its list shows, in registry order,
// the name of every loaded entry that contains the filter text; every button acts on the entry of
// the row chosen (while it is loaded and still so named). "Add" registers a ".3d" file below the
// working folder under the name typed ("new" when none), in the lowest free entry; "Update"
// renames; both refuse a name another loaded entry has and the names the lookup keeps for "none",
// "nothing" and the empty name ("The name already exists"). "Delete" frees the entry and
// unlinks it from every move prototype.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>
#include <string>

// Controls of the page.
enum : int32_t {
    k_chd_list = 3301,    // list box: entry names
    k_chd_name = 3302,    // edit "name:"
    k_chd_file = 3303,    // read-only edit "file:": the selected entry's path
    k_chd_select = 3304,  // edit "select": the filter
    k_chd_add = 3305,     // buttons
    k_chd_update = 3306,
    k_chd_delete = 3307,
};

constexpr int32_t k_chardata_filter_size = 50;  // 49 characters and the terminator

extern dialog_handle g_chardata_editor_window;      // the page while it is open, else 0
extern char g_chardata_filter[k_chardata_filter_size];  // kept while the program runs

void create_chardata_editor();
bool chardata_editor_proc(dialog_handle dialog, const dialog_message& m);

// The path of a chosen file relative to the working folder, with "/" between its parts; empty
// (logged) when the file lies outside the working folder or the relative path is longer than a
// registry path holds (127 bytes).
std::string registry_path_of(const char* chosen);
