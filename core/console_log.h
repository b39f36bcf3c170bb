// The debug log: Slovak developer lines appended to "global/konzola.log" and to the console's
// nine-line history, only while the console is enabled.
#pragma once

#include <cstdint>
#include <map>
#include <string>

constexpr int k_console_history_lines = 9;
constexpr int k_console_history_width = 255;

extern char g_console_history[k_console_history_lines][k_console_history_width]; // newest at 0
extern int32_t g_console_history_count;

// printf-style; does nothing while the console is disabled or when format is null. A line
// longer than a history slot is cut; a control byte in it other than a tab is written "\xNN".
void console_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A line that tells the state of something evaluated again and again (each frame): logged as
// console_log logs it when it differs from the last line logged about the same thing (`about`),
// so a state that holds is logged once and each change again.
void console_log_state(const char* about, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The last line logged about each thing; emptied at start-up (at most 1,024 kept: when full, all
// are forgotten).
extern std::map<std::string, std::string> g_logged_states;

// The log file's name.
inline constexpr const char* k_console_log_file = "global/konzola.log";

// The console's typed line: at most 102 characters, always followed by the cursor "_".
constexpr int k_console_line_size = 104;
constexpr int k_console_line_max = k_console_line_size - 2;

extern char g_console_line[k_console_line_size];
extern int32_t g_console_line_length;    // typed characters, the cursor not counted
extern uint32_t g_console_repeat_tick;   // a held key repeats once g_ticks is past it
extern uint32_t g_console_enter_latch;   // 1 while Return is up

// The line editor, then the Return key: a held key types once, again when g_ticks is past the
// press tick + 30 and then each time it is past the last repeat + 2; "$" deletes the last
// character. Return, on its press edge, logs the line, runs the command it names (a line that
// names none logs "error") and empties the line.
void run_console_command();

// The console, each frame while it is shown: its box, the line editor, the typed line and the
// history, drawn with the dynamic lights switched off; without a device only the line editor
// runs.
void draw_console();
