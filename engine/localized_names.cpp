#include "engine/localized_names.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <string>

namespace {

constexpr size_t k_names_line_size = 255;

// The next field of a line split at ";", cut to `size`; false when the line has ended.
bool next_field(const char*& p, char* field, size_t size, bool last)
{
    const char* end = last ? p + std::strcspn(p, ";") : std::strchr(p, ';');
    if (!end)
        return false;
    copy_bounded(field, std::min(size, size_t(end - p) + 1), p);
    p = *end ? end + 1 : end;
    return true;
}

// Reads the names file of the language (`pattern` with g_language) line by line until a line
// shorter than `min_length`; each line, trailing space cut, goes to `apply`, which returns
// false for a line it cannot use (logged).
template <typename F>
void for_each_names_line(const char* pattern, int min_length, F apply)
{
    char name[64];
    std::snprintf(name, sizeof name, pattern, g_language);
    std::FILE* file = open_text_file(name);
    if (!file)
        return;
    char line[k_names_line_size];
    while (read_text_line(file, line, sizeof line) >= min_length)
        if (!apply(trim_trailing_space(line)))
            console_log("zly riadok v %s: %s", name, line);
    std::fclose(file);
}

} // namespace

void load_char_names_into(std::span<const char_name_entry> chars)
{
    if (g_editor_enabled)
        return;
    for_each_names_line("global/chars_%s.txt", 4, [&](const char* line) {
        char key[60], localized[60];
        if (!next_field(line, key, sizeof key, false) || !next_field(line, localized, sizeof localized, true))
            return false;
        for (size_t slot = 1; slot < chars.size(); ++slot)
            if (strcasecmp(chars[slot].display_name, key) == 0)
                copy_bounded(chars[slot].display_name, chars[slot].size, localized);
        return true;
    });
}

void load_item_names_into(std::span<const item_name_entry> items)
{
    if (g_editor_enabled)
        return;
    for_each_names_line("global/itemnames_%s.txt", 5, [&](const char* line) {
        char number[16], key[30], localized[100];
        if (!next_field(line, number, sizeof number, false) || !next_field(line, key, sizeof key, false) ||
            !next_field(line, localized, sizeof localized, true))
            return false;
        for (const item_name_entry& item : items)
            if (item.replaceable && strcasecmp(item.key_name, key) == 0)
                copy_bounded(item.display_name, item.size, localized);
        return true;
    });
}

void load_level_texts_into(char* level_name, size_t level_name_size, std::span<const map_text_entry> texts)
{
    if (g_editor_enabled || level_name_size == 0)
        return;
    std::string level(level_name, strnlen(level_name, level_name_size));
    if (!is_plain_file_name(level.c_str())) {
        console_log("nepovolene meno priecinka textov: %s", level.c_str());
        return;
    }
    std::string folder = std::string("data/leveltext/") + g_language + "/" + level;
    console_log("%s", folder.c_str());

    for (const map_text_entry& text : texts) {
        if (text.size == 0 || !text.key[0])
            continue;
        if (!is_plain_file_name(text.key)) {
            console_log("nepovolene meno textu: %s", text.key);
            continue;
        }
        std::string path = folder + "/" + text.key + ".txt";
        std::FILE* file = open_text_file(path.c_str());
        if (!file)
            continue;
        console_log("%s", path.c_str());
        std::memset(text.text, 0, text.size);
        size_t n = std::fread(text.text, 1, text.size - 1, file);
        text.text[n] = '\0';
        std::fclose(file);
    }

    if (std::FILE* file = open_text_file((folder + "/levelname").c_str())) {
        char line[80];
        if (read_text_line(file, line, sizeof line) >= 0)
            copy_bounded(level_name, level_name_size, trim_trailing_space(line));
        std::fclose(file);
    }
}
