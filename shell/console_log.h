// The debug log: Slovak developer lines appended to "global/konzola.log" and to the console's
// nine-line history, only while the console is enabled.
#pragma once

#include <cstdint>

constexpr int k_console_history_lines = 9;
constexpr int k_console_history_width = 255;

extern char g_console_history[k_console_history_lines][k_console_history_width]; // newest at 0
extern int32_t g_console_history_count;

// printf-style; does nothing while the console is disabled or when format is null. A line
// longer than a history slot is cut.
void console_log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The log file's name.
inline constexpr const char* k_console_log_file = "global/konzola.log";
