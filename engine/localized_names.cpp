#include "engine/localized_names.h"

#include "core/console_log.h"
#include "core/data_files.h"
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
// shorter than `min_length`; each whole line, trailing space cut, goes to `apply`, which returns
// false for a line it cannot use. Reading stops at a damaged line. A missing file, a file that
// ends before its first names line, and the first line that was damaged or could not be used are
// reported, once in a run (the character names are read at every level change).
template <typename F>
void for_each_names_line(const char* pattern, int min_length, F apply)
{
    char name[64];
    std::snprintf(name, sizeof name, pattern, g_language);
    text_file_lines lines(name);
    if (!lines.is_open()) {
        report_missing_file_once(name, "mena z datovych suborov");
        return;
    }
    char line[k_names_line_size];
    int bad_line = 0, names_lines = 0;
    for (; lines.next(line, sizeof line) >= min_length && !lines.damaged_line(); ++names_lines)
        if (!apply(trim_trailing_space(line)) && bad_line == 0)
            bad_line = lines.line_number();
    if (lines.damaged_line())
        bad_line = bad_line ? bad_line : lines.damaged_line();
    if (bad_line) {
        const std::string where = "riadok " + std::to_string(bad_line);
        report_damaged_file_once(name, where.c_str(), "mena z ostatnych celych riadkov");
    } else if (names_lines == 0) {
        report_damaged_file_once(name, "ziadny riadok s menom", "mena z datovych suborov");
    }
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
        std::string read(text.size - 1, '\0');
        read.resize(std::fread(read.data(), 1, read.size(), file));
        std::fclose(file);
        if (read.find('\0') != std::string::npos) {
            report_damaged_file(path.c_str(), "nulovy bajt", "text z mapy");
            continue;
        }
        console_log("%s", path.c_str());
        std::memset(text.text, 0, text.size);
        std::memcpy(text.text, read.data(), read.size());
    }

    const std::string name_path = folder + "/levelname";
    text_file_lines name_lines(name_path.c_str());
    char line[80];
    if (name_lines.next(line, sizeof line) >= 0) {
        if (name_lines.damaged_line())
            report_damaged_file(name_path.c_str(), "riadok 1", "meno z mapy");
        else
            copy_bounded(level_name, level_name_size, trim_trailing_space(line));
    }
}
