// The console's command table: 100 words in a fixed matching order.
#pragma once

// Runs the first command that the typed line names; false when it names none. A line names a
// word when it begins with it; "resetobjs", "resetchars", "resetplayer", "game" and "colorall"
// must be the whole line, "learnspell" is named by "learn" and "about" by "abou".
bool run_console_command_table(const char* line);

// The words in matching order.
int console_command_count();
const char* console_command_word(int index);
