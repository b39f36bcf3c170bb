// The parse: a markup text or file becomes the word list of a text window.
#include "script/text_window.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "script/load_time_commands.h"
#include "script/markup_keywords.h"
#include "script/script_links.h"
#include "script/script_services.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t k_word_max = k_window_word_size - 1;

bool is_separator(uint8_t c)
{
    return c == ' ' || (c >= 1 && c <= 31) || c == 127;
}

// Puts `text` into a word slot, cut to 99 bytes.
void set_word(char* slot, const char* text)
{
    size_t n = std::strlen(text);
    if (n > k_word_max)
        n = k_word_max;
    std::memmove(slot, text, n);
    slot[n] = '\0';
}

// The slot becomes `name` followed by what followed the first `replaced` bytes of the word,
// cut to 99 bytes.
void put_name(char* slot, const char* name, size_t replaced)
{
    char rest[k_window_word_size];
    std::strcpy(rest, slot + replaced);
    char joined[2 * k_window_word_size];
    std::snprintf(joined, sizeof joined, "%.99s%s", name, rest);
    set_word(slot, joined);
}

// The hero's display name, asked for once per parse and only when a text needs it.
class hero_name {
public:
    const char* get()
    {
        if (!asked_) {
            name_ = hero_display_name();
            asked_ = true;
        }
        return name_;
    }

private:
    const char* name_ = nullptr;
    bool asked_ = false;
};

// "Dovan" alone or followed by one of ":", ".", "!", "?".
bool is_dovan(const char* word)
{
    if (!markup_begins(word, "Dovan"))
        return false;
    const char* mark = word + 5;
    return mark[0] == '\0' || (std::strchr(":.!?", mark[0]) && mark[1] == '\0');
}

// The hero's names in word c: "$PLAYER" and "Serin" at the start of a word that is no command
// argument, and "Dovan" with or without its mark anywhere, become the hero's display name. A
// word is rewritten at most once, so a hero whose name begins with "Serin" keeps it.
void put_hero_names(text_window* window, int32_t c, hero_name& hero)
{
    char* word = window->words[c];
    size_t replaced = 0;
    const uint8_t first = static_cast<uint8_t>(word[0]);
    if (first == '$' || first == 'S' || first == 's') {
        if (markup_begins(word, "$PLAYER"))
            replaced = 7;
        else if (markup_begins(word, "Serin"))
            replaced = 5;
        if (replaced && is_command_argument(window, c))
            replaced = 0;
    } else if ((first == 'D' || first == 'd') && is_dovan(word)) {
        replaced = 5;
    }
    if (replaced && hero.get())
        put_name(word, hero.get(), replaced);
}

// A notice phrase: its leading words (whole), then a word that begins with `last`.
struct notice_phrase {
    const char* leading[4];
    int leading_count;
    const char* last;
    int ui_entry;
};

constexpr notice_phrase k_notices[] = {
    {{"Quest"}, 1, "completed", 152},
    {{"new", "quest"}, 2, "assigned", 151},
    {{"Quests"}, 1, "completed", 165},
    {{"new", "quests"}, 2, "assigned", 164},
    {{"new", "location", "added", "to"}, 4, "map", 150},
};

// The English notice phrases that word c completes become their UI text, the rest of the
// phrase "^0". A phrase at the very start of the text stays.
void replace_notice_phrases(text_window* window, int32_t c)
{
    auto back = [&](int k) { return window->words[c - k]; };

    // "click" "to" "continue..." a b: the UI text, a and b moved two places forward, "^0" "^0".
    if (c >= 5 && markup_equal(back(4), "click") && markup_equal(back(3), "to") && markup_begins(back(2), "continue")) {
        char a[k_window_word_size], b[k_window_word_size];
        std::strcpy(a, back(1));
        std::strcpy(b, back(0));
        set_word(back(4), ui_text(149));
        std::strcpy(back(3), a);
        std::strcpy(back(2), b);
        std::strcpy(back(1), "^0");
        std::strcpy(back(0), "^0");
    }
    for (const notice_phrase& phrase : k_notices) {
        const int n = phrase.leading_count;
        if (c - n < 1 || !markup_begins(back(0), phrase.last))
            continue;
        bool match = true;
        for (int k = 0; k < n && match; ++k)
            match = markup_equal(back(n - k), phrase.leading[k]);
        if (!match)
            continue;
        set_word(back(n), ui_text(phrase.ui_entry));
        for (int k = 0; k < n; ++k)
            std::strcpy(back(k), "^0");
    }
}

// Parses a text held in a buffer of its own, which the parse may change.
void parse_owned_text(text_window* window, char* text)
{
    reset_text_window(window);
    window->log_pending = 1;
    trim_trailing_space(text);

    window->dialogue_node = k_no_dialogue_node;
    window->x1 = window->y1 = 0.0f;
    window->x2 = 250.0f;
    window->y2 = 30.0f;
    window->background_start[0] = window->background_start[1] = 0.0f;
    window->frame_offset[0] = window->frame_offset[1] = 0.0f;
    window->scroll_y = 0.0f;
    window->first_pass = 1;
    window->has_background = 0;
    window->alpha = 1.0f;
    window->picture_count = 0;
    window->no_draw = 0;
    window->draw_rect = 1;

    parse_state state;
    hero_name hero;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
    for (;;) {
        while (*p && is_separator(*p))
            ++p;
        const uint8_t* start = p;
        while (*p && !is_separator(*p))
            ++p;
        if (p == start || window->word_count >= k_window_word_limit)
            break;
        const int32_t c = window->word_count;
        size_t length = size_t(p - start);
        if (length > k_word_max)
            length = k_word_max;
        std::memcpy(window->words[c], start, length);
        window->words[c][length] = '\0';

        put_hero_names(window, c, hero);
        replace_notice_phrases(window, c);
        run_load_time_commands(window, c, &state);
        ++window->word_count;
        if (state.ended)
            return;
    }
    if (!state.narration_started && !g_dialogue_running)
        g_sound.voice_name[0] = '\0';
}

} // namespace

bool is_command_argument(const text_window* window, int32_t i)
{
    if (i < 0 || i >= k_window_word_slots)
        return false;
    if (i > 1 && markup_equal(window->words[i - 2], "^char2char"))
        return true;
    const char* word = window->words[i];
    const size_t length = std::strlen(word);
    if (length > 0 && word[length - 1] == ':')
        return false;
    if (i == 0)
        return true;
    const char* before = window->words[i - 1];
    return before[0] == '^' && !markup_equal(before, "^l");
}

void parse_text_window(text_window* window, const char* text)
{
    char copy[k_markup_text_size];
    copy_bounded(copy, sizeof copy, text ? text : "");
    parse_owned_text(window, copy);
}

namespace {

// Reads a markup file into `text` (at most k_markup_text_size - 1 bytes, terminated). Null when
// it was read; otherwise "" for a file that is missing, or where the reading broke.
const char* read_markup_text(const char* name, char (&text)[k_markup_text_size], size_t* read)
{
    *read = 0;
    std::FILE* file = open_text_file(name);
    bool failed = !file;
    if (file) {
        *read = std::fread(text, 1, sizeof text - 1, file);
        failed = std::ferror(file) != 0;
        std::fclose(file);
    }
    if (failed)
        return file_exists(name) == 1 ? "chyba citania" : "";
    if (std::memchr(text, 0, *read))
        return "nulovy bajt";
    text[*read] = '\0';
    return nullptr;
}

} // namespace

bool markup_file_readable(const char* path)
{
    char text[k_markup_text_size];
    size_t read = 0;
    return path && path[0] && !read_markup_text(path, text, &read);
}

int32_t load_markup_file(text_window* window, const char* path, const char* kept)
{
    char name[k_window_path_size];
    copy_bounded(name, sizeof name, path ? path : "");
    if (!name[0])
        return -1;  // no file asked for: the window keeps its text
    const uint32_t size = get_file_size(name);
    char text[k_markup_text_size];
    size_t read = 0;
    if (const char* fault = read_markup_text(name, text, &read)) {
        if (fault[0])
            report_damaged_file(name, fault, kept);
        else
            report_missing_file(name, kept);
        return -1;
    }
    if (size > read)
        console_log("%s: %u bytes, the first %d read", name, unsigned(size), k_markup_text_size - 1);
    parse_owned_text(window, text);
    std::memcpy(window->name, name, sizeof name);
    return 1;
}
