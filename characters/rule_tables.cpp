#include "characters/rule_tables.h"

#include "core/data_files.h"
#include "core/text_lines.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

namespace {

constexpr attack_speed_times k_builtin_attack_speed = {
    {1.0f, 1.5f, 2.0f, 1.5f},
    {3.0f, 3.0f, 2.86f, 2.73f, 2.61f, 2.5f, 2.4f, 2.3f, 2.14f, 2.0f, 1.88f, 1.58f, 1.5f, 1.43f, 1.3f, 1.2f, 1.1f,
     1.0f}};
constexpr std::array<float, k_skill_values> k_builtin_damage = {1.0f, 1.0f, 1.05f, 1.1f, 1.15f, 1.2f, 1.25f, 1.3f, 1.4f,
                                                    1.5f, 1.6f, 1.9f,  2.0f, 2.1f,  2.3f, 2.5f,  2.7f, 3.0f};
constexpr std::array<int32_t, k_skill_values> k_builtin_block_dodge = {0,  5,  9,  10, 11, 14, 15, 16, 19,
                                                           20, 21, 24, 25, 26, 32, 33, 34, 45};

constexpr size_t k_token_kept = 63;  // characters of a word kept; the rest of a longer word is read and dropped

// Reads the next whitespace-separated word; false at the end of the file with no word read.
bool read_word(std::FILE* file, std::string& word)
{
    word.clear();
    int ch;
    do
        ch = std::fgetc(file);
    while (ch != EOF && std::isspace(ch));
    if (ch == EOF)
        return false;
    for (; ch != EOF && !std::isspace(ch); ch = std::fgetc(file))
        if (word.size() < k_token_kept)
            word.push_back(char(ch));
    return true;
}

// A word that holds a NUL byte: no text table has one, so the file is damaged there.
bool holds_nul(const std::string& word)
{
    return word.find('\0') != std::string::npos;
}

enum class entry_read { value, end, damaged };

// One "label value" entry as "%s %f" reads it.
entry_read read_float_entry(std::FILE* file, float* value)
{
    std::string label, word;
    if (!read_word(file, label) || !read_word(file, word))
        return entry_read::end;
    if (holds_nul(label) || holds_nul(word))
        return entry_read::damaged;
    char* end = nullptr;
    float v = std::strtof(word.c_str(), &end);
    if (end == word.c_str() || !std::isfinite(v))
        return entry_read::damaged;
    *value = v;
    return entry_read::value;
}

// One "label value" entry as "%s %d" reads it; values beyond the 32-bit range are held to it.
entry_read read_int_entry(std::FILE* file, int32_t* value)
{
    std::string label, word;
    if (!read_word(file, label) || !read_word(file, word))
        return entry_read::end;
    if (holds_nul(label) || holds_nul(word))
        return entry_read::damaged;
    char* end = nullptr;
    long long v = std::strtoll(word.c_str(), &end, 10);
    if (end == word.c_str())
        return entry_read::damaged;
    *value = int32_t(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
    return entry_read::value;
}

// Reads entries into the targets in order until the file or the targets end or an entry is
// damaged; a file that ends before the last target, or holds a damaged entry, is reported with
// the values from there on kept as they were. False (reported) when the file cannot be opened.
template <class T, class Read>
bool read_table_file(const char* name, T* const* targets, int count, Read read)
{
    std::FILE* file = open_text_file(name);
    if (!file) {
        report_missing_file(name, "doterajsie hodnoty");
        return false;
    }
    for (int i = 0; i < count; ++i) {
        entry_read got = read(file, targets[i]);
        if (got == entry_read::value)
            continue;
        const std::string where = (got == entry_read::end ? "konci pred hodnotou " : "hodnota ") + std::to_string(i + 1);
        const std::string kept = std::to_string(i) + " novych hodnot, dalsie ako boli";
        report_damaged_file(name, where.c_str(), kept.c_str());
        break;
    }
    std::fclose(file);
    return true;
}

} // namespace

attack_speed_times attack_speed_table = k_builtin_attack_speed;
std::array<float, k_skill_values> damage_skill_multipliers = k_builtin_damage;
std::array<int32_t, k_skill_values> block_dodge_chance_table = k_builtin_block_dodge;

void reset_rule_tables()
{
    attack_speed_table = k_builtin_attack_speed;
    damage_skill_multipliers = k_builtin_damage;
    block_dodge_chance_table = k_builtin_block_dodge;
}

void load_rule_tables()
{
    float* ticks[k_base_attack_times + k_skill_values - 1];
    for (int i = 0; i < k_base_attack_times; ++i)
        ticks[i] = &attack_speed_table.base[i];
    for (int i = 1; i < k_skill_values; ++i)
        ticks[k_base_attack_times + i - 1] = &attack_speed_table.speed[i];
    if (!read_table_file(k_ticks_file, ticks, int(std::size(ticks)), read_float_entry))
        return;

    float* damage[k_skill_values - 1];
    for (int i = 1; i < k_skill_values; ++i)
        damage[i - 1] = &damage_skill_multipliers[i];
    if (!read_table_file(k_damage_bonus_file, damage, int(std::size(damage)), read_float_entry))
        return;

    int32_t* chances[k_skill_values - 1];
    for (int i = 1; i < k_skill_values; ++i)
        chances[i - 1] = &block_dodge_chance_table[i];
    read_table_file(k_block_dodge_file, chances, int(std::size(chances)), read_int_entry);
}
