// The global tables the editor's pages edit, watched across each page command: a command that
// changes a table marks its file changed (core/table_file_state.h), so that the table is written
// at shutdown or on a save-all even when its file was not read whole.
#pragma once

#include <functional>

// Runs the command; each watched table whose bytes differ afterwards is marked changed. Commands
// that a command sends on (fields it fills) run inside the outer one's watch.
void run_watched_command(const std::function<void()>& command);
