// The global tables the editor's pages edit, watched across each page command: a command that
// changes a table marks its file changed (core/table_file_state.h), so that the table is written
// at shutdown or on a save-all; where its file did not read whole, only after the user says yes
// to `partial_table_question`.
#pragma once

#include "core/table_file_state.h"
#include "editor/controls/dialog_model.h"

#include <functional>
#include <string>

// Runs the command; each watched table whose bytes differ afterwards is marked changed. Commands
// that a command sends on (fields it fills) run inside the outer one's watch.
void run_watched_command(const std::function<void()>& command);

// The write of a global table that a page's button makes: a table whose file read whole is
// written; otherwise a question owned by the page asks whether the part read may replace the
// file (No is the default, and the answer when nobody can answer). False when the file was left
// as it is ("<file> sa nenacital cely, nezapisujem ho") or the write failed.
bool write_table_from_page(dialog_handle owner, table_file_state& file, bool (*write)());

// The question asked before the part read of a table replaces its file: what the file holds, as
// its loader found it, and the records the write stores.
std::string partial_table_question(const table_file_state& file);
