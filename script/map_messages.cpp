#include "script/map_texts.h"

#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "script/text_window_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// What the message window was filled from: the operation's mark followed by its text or file;
// and whether that was asked for again in this frame.
std::string g_window_source;
bool g_window_source_asked = false;

bool message_window_busy()
{
    return g_message_window.word_count > 0;
}

void note_window_source(char operation, const char* text, size_t length)
{
    g_window_source.assign(1, operation);
    g_window_source.append(text, length);
    g_window_source_asked = true;
}

bool is_window_source(char operation, const char* text, size_t length)
{
    return !g_window_source.empty() && g_window_source[0] == operation &&
           g_window_source.compare(1, std::string::npos, text, length) == 0;
}

// A message asked for: `show` puts it into the empty window; while the window is busy it stays
// up when it is that very message, and is dropped otherwise.
template <class Show>
void ask_for(char operation, const char* text, size_t length, Show show)
{
    if (!message_window_busy()) {
        show();
        note_window_source(operation, text, length);
    } else if (is_window_source(operation, text, length)) {
        g_window_source_asked = true;
    }
}

} // namespace

void begin_message_frame()
{
    g_message_shown = 0;
    g_window_source_asked = false;
}

bool message_window_asked()
{
    return g_message_shown && g_window_source_asked;
}

void show_map_text(int32_t i)
{
    g_message_shown = 1;
    if (i < 0 || i >= int32_t(std::min<uint32_t>(g_map_text_count, k_map_text_slots))) {
        console_log("map text %d: not in the table", int(i));
        return;
    }
    const map_text& t = g_map_texts[i];
    const int32_t length = int32_t(strnlen(t.text, sizeof t.text));
    // Room for the "^window" line and a full text.
    char markup[64 + k_map_text_size];
    // The width grows with the text; a short text stays on one line (up to the screen's width),
    // no width is below what the widest word needs and none reaches past the screen.
    std::string text(t.text, size_t(length));
    const int one_line = std::min<int>(window_width_for_one_line(text.c_str()), g_screen_width - 20);
    const int width = std::min(std::max({(length - 22) * 9, one_line, int(window_width_for_widest_word(text.c_str()))}),
                               g_screen_width - 20);
    // As high as its lines need (16 pixels a line and a margin), below the HUD's level name,
    // which a window at the top edge would cover.
    const int lines = std::max(1, (window_width_for_one_line(text.c_str()) - 32 + width - 33) / std::max(1, width - 32));
    const int head = std::snprintf(markup, sizeof markup, "^window 10 %d %d %d ", k_map_text_top, width, 18 + 16 * lines);
    std::memcpy(markup + head, t.text, size_t(length));
    markup[head + length] = '\0';
    parse_text_window(&g_message_window, markup);
    note_window_source('i', markup, std::strlen(markup));
}

void show_map_text_by_key(const char* key)
{
    const uint32_t count = std::min<uint32_t>(g_map_text_count, k_map_text_slots);
    for (uint32_t i = 0; key && i < count; ++i) {
        const map_text& t = g_map_texts[i];
        if (strncmp(t.key, key, sizeof t.key) != 0 || std::strlen(key) >= sizeof t.key)
            continue;
        const size_t length = strnlen(t.text, sizeof t.text);
        ask_for('k', t.text, length, [&] {
            char text[k_map_text_size + 1] = {};
            std::memcpy(text, t.text, length);
            parse_text_window(&g_message_window, text);
        });
    }
    g_message_shown = 1;
}

void show_text_message(const char* markup)
{
    const uint32_t dialogue_running = g_dialogue_running;
    g_dialogue_running = 0;
    if (markup)
        ask_for('s', markup, std::strlen(markup), [&] { parse_text_window(&g_message_window, markup); });
    g_message_shown = 1;
    g_dialogue_running = dialogue_running;
}

void replace_text_message(const char* markup)
{
    reset_text_window(&g_message_window);
    show_text_message(markup);
}

int32_t show_text_file(const char* path)
{
    const int32_t exists = path ? file_exists(path) : -1;
    if (exists != 1) {
        g_message_shown = 0;
        return exists;
    }
    int32_t result = exists;
    ask_for('f', path, std::strlen(path), [&] { result = load_markup_file(&g_message_window, path); });
    g_message_shown = 1;
    return result;
}
