#include "engine/ui_texts.h"

#include "core/data_files.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"

#include <cstdio>
#include <cstring>
#include <string>

char g_ui_text[k_ui_text_count][k_ui_text_size] = {};
builtin_name_tables g_builtin_name_tables;

namespace {

enum class word_table : uint8_t { damage_type, kind, class_word, shield_size, armour_weight, focus_speed, requirement };

struct replacement {
    word_table table;
    int index;
    int text;
};

// Which built-in word becomes which UI text.
constexpr replacement k_replacements[] = {
    // Damage types: the four "None", then "Fire", "Water", "Air", "Earth".
    {word_table::damage_type, 0, 122}, {word_table::damage_type, 1, 122},
    {word_table::damage_type, 2, 122}, {word_table::damage_type, 3, 122},
    {word_table::damage_type, 4, 41}, {word_table::damage_type, 5, 42},
    {word_table::damage_type, 6, 43}, {word_table::damage_type, 7, 44},
    // Item classes; "Scroll", "Efect", "Perk", "Trap", "Gold", "Essence", "Lantern" stay.
    {word_table::kind, 0, 59}, {word_table::kind, 1, 60}, {word_table::kind, 2, 60},
    {word_table::kind, 3, 60}, {word_table::kind, 4, 61}, {word_table::kind, 5, 34},
    {word_table::kind, 6, 62}, {word_table::kind, 7, 62}, {word_table::kind, 13, 62},
    {word_table::kind, 14, 62}, {word_table::kind, 15, 62}, {word_table::kind, 8, 63},
    {word_table::kind, 9, 31}, {word_table::kind, 10, 64}, {word_table::kind, 11, 65},
    {word_table::kind, 12, 66}, {word_table::kind, 16, 67}, {word_table::kind, 17, 68},
    {word_table::kind, 22, 69}, {word_table::kind, 26, 160},
    // "Fast", "Normal", "Heavy" and the body parts.
    {word_table::class_word, 1, 70}, {word_table::class_word, 2, 71}, {word_table::class_word, 3, 72},
    {word_table::class_word, 4, 71},
    {word_table::focus_speed, 0, 70}, {word_table::focus_speed, 1, 72}, {word_table::focus_speed, 2, 72},
    {word_table::class_word, 6, 76}, {word_table::class_word, 7, 77}, {word_table::class_word, 13, 78},
    {word_table::class_word, 15, 79}, {word_table::class_word, 14, 80},
    {word_table::shield_size, 0, 73}, {word_table::shield_size, 1, 74}, {word_table::shield_size, 2, 75},
    {word_table::armour_weight, 0, 120}, {word_table::armour_weight, 1, 121},
    {word_table::armour_weight, 2, 121},
    // Requirements; "nothing" stays.
    {word_table::requirement, 1, 81}, {word_table::requirement, 2, 31}, {word_table::requirement, 3, 82},
    {word_table::requirement, 4, 83}, {word_table::requirement, 5, 84}, {word_table::requirement, 6, 85},
    {word_table::requirement, 7, 86}, {word_table::requirement, 8, 87}, {word_table::requirement, 9, 88},
    {word_table::requirement, 10, 61}, {word_table::requirement, 15, 60},
    {word_table::requirement, 11, 89}, {word_table::requirement, 12, 90},
    {word_table::requirement, 13, 91}, {word_table::requirement, 14, 92},
};

builtin_name* table_of(const builtin_name_tables& tables, word_table table)
{
    switch (table) {
    case word_table::damage_type: return tables.damage_type_words;
    case word_table::kind: return tables.kind_words;
    case word_table::class_word: return tables.class_words;
    case word_table::shield_size: return tables.shield_size_words;
    case word_table::armour_weight: return tables.armour_weight_words;
    case word_table::focus_speed: return tables.focus_speed_words;
    case word_table::requirement: return tables.requirement_words;
    }
    return nullptr;
}

} // namespace

const char* ui_text(int n)
{
    return n >= 0 && n < k_ui_text_count ? g_ui_text[n] : "";
}

void localize_builtin_names(const builtin_name_tables& tables)
{
    if (tables.damage_type_words)
        std::memset(tables.damage_type_words, 0, 8 * sizeof(builtin_name));
    for (const replacement& r : k_replacements)
        if (builtin_name* table = table_of(tables, r.table))
            copy_bounded(table[r.index], sizeof(builtin_name), g_ui_text[r.text]);
}

namespace {

// The table of a file that is there: every text, emptied first, then the file's lines. `where`
// says where a file cut short or damaged broke ("" when it read whole), `whole` how many texts
// were read before it.
struct ui_table_reading {
    std::string where;
    int whole = 0;
};

ui_table_reading read_ui_table(text_file_lines& lines, char (*texts)[k_ui_text_size])
{
    std::memset(texts, 0, sizeof(char[k_ui_text_count][k_ui_text_size]));
    for (int n = 0; n < k_ui_text_count; ++n) {
        if (lines.next(texts[n], k_ui_text_size) < 0)
            break;
        trim_trailing_space(texts[n]);
    }
    ui_table_reading reading;
    reading.whole = lines.damaged_line() ? lines.damaged_line() - 1 : lines.line_number();
    if (lines.damaged_line())
        reading.where = "riadok " + std::to_string(lines.damaged_line());
    else if (lines.line_number() < k_ui_text_count)
        reading.where = "konci po riadku " + std::to_string(reading.whole);
    return reading;
}

} // namespace

void load_ui_texts()
{
    const std::string name = language_text_file(g_language);
    text_file_lines lines(name.c_str());
    if (!lines.is_open()) {
        report_missing_file(name.c_str(), "doterajsie texty rozhrania");
        return;
    }
    const ui_table_reading reading = read_ui_table(lines, g_ui_text);
    if (!reading.where.empty()) {
        const std::string kept = std::to_string(reading.whole) + " z " + std::to_string(k_ui_text_count) + " textov";
        report_damaged_file(name.c_str(), reading.where.c_str(), kept.c_str());
    }
    localize_builtin_names(g_builtin_name_tables);
}

std::string ui_text_table_fault(const char* code)
{
    const std::string name = language_text_file(code);
    text_file_lines lines(name.c_str());
    if (!lines.is_open())
        return "chyba " + name;
    static char texts[k_ui_text_count][k_ui_text_size];
    const ui_table_reading reading = read_ui_table(lines, texts);
    return reading.where.empty() ? std::string() : name + " " + reading.where;
}
