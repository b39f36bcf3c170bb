// The editor's one file chooser, a modal dialog.
//
// It opens in g_last_file_dir when that names a folder, else in the working folder, which it
// never changes. Its list shows ".." (except at the root), the folders (with a trailing "/") and
// the files that match the chosen filter's patterns (";" between patterns, "*" and "?", any
// letter case). A click on a file puts its name into the name field; a double click enters a
// folder or takes a file. OK with an empty name enters the selected folder; a name (relative to
// the folder shown, or absolute) that names a folder enters it. Any other name takes the default
// extension when it has none; the open chooser takes only a file that exists, the save chooser
// any name in an existing folder, without asking before overwriting. A name not taken leaves the
// chooser open with the reason on its status line.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

constexpr int32_t k_file_dialog_path_size = 260;
constexpr int32_t k_last_file_dir_size = 256;

// The chosen path, as it is on disk (absolute); emptied by every call, empty after a cancel.
extern char g_file_dialog_path[k_file_dialog_path_size];
// The folder of the last file chosen anywhere, with its final "/"; empty at start.
extern char g_last_file_dir[k_last_file_dir_size];

// Its controls, for whoever answers it in place of a user; OK is k_id_ok, Cancel k_id_cancel.
constexpr int32_t k_chooser_folder = 1001; // static text: the folder shown
constexpr int32_t k_chooser_files = 1002;  // list box: the entries of the folder
constexpr int32_t k_chooser_name = 1003;   // edit: the file name
constexpr int32_t k_chooser_filter = 1004; // combo: the filter descriptions
constexpr int32_t k_chooser_status = 1005; // static text: why a name was not taken

constexpr int32_t k_file_dialog_open = 1; // mode; any other value asks for a name to save

// Asks for a file name and returns g_file_dialog_path. `filter` holds pairs of zero-terminated
// texts (description, patterns) ended by an empty text, the first pair chosen; a null filter
// shows every file. A path longer than g_file_dialog_path holds is refused: the chooser cancels
// with a console line. With nobody to answer (modal_dialogs_answerable) it cancels with a
// console line.
const char* ask_file_name(const char* title, const char* filter, const char* default_extension, int32_t mode,
                          dialog_handle owner);
