// The console's command table.
#pragma once

// Runs the first command that the typed line names; false when it names none.
bool run_console_command_table(const char* line);
