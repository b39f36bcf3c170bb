#include "core/console_log.h"

#include "core/globals.h"
#include "core/utilities.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files.h"

char g_console_history[k_console_history_lines][k_console_history_width] = {};
int32_t g_console_history_count = 0;

namespace {

// The line as the log shows it: a control byte (other than a tab) that data or typing brought
// in is written as "\xNN", so that the log stays one line of text and no escape sequence reaches
// a terminal that shows it.
std::string printable_line(const char* raw)
{
    std::string line;
    for (const char* c = raw; *c; ++c) {
        const auto byte = uint8_t(*c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(byte));
            line += escaped;
        } else {
            line += *c;
        }
    }
    return line;
}

// The line into the log file and on top of the console's history.
void log_line(const char* raw)
{
    const std::string shown = printable_line(raw);
    const char* line = shown.c_str();
    if (FILE* file = std::fopen(resolve_path(k_console_log_file).c_str(), "a")) {
        std::fprintf(file, "%s\n", line);
        std::fclose(file);
    }

    if (g_console_history_count < k_console_history_lines - 1)
        ++g_console_history_count;
    for (int i = g_console_history_count; i >= 1; --i)
        std::memcpy(g_console_history[i], g_console_history[i - 1], k_console_history_width);
    copy_bounded(g_console_history[0], k_console_history_width, line);
}

} // namespace

void console_log(const char* format, ...)
{
    if (g_console_enabled != 1 || !format)
        return;

    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    log_line(line);
}

std::map<std::string, std::string> g_logged_states;

void console_log_state(const char* about, const char* format, ...)
{
    constexpr size_t k_states_kept = 1024;
    if (g_console_enabled != 1 || !format)
        return;
    char line[256];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    auto found = g_logged_states.find(about);
    if (found != g_logged_states.end() && found->second == line)
        return;
    if (found == g_logged_states.end() && g_logged_states.size() >= k_states_kept)
        g_logged_states.clear();
    g_logged_states[about] = line;
    log_line(line);
}
