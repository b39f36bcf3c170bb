#include "script/quests.h"

#include "characters/char_animation.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "script/script_links.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <strings.h>

quest_record g_quests[k_quest_slots];
uint8_t g_quest_count = 0;
flag_record g_flags[k_flag_slots];
int16_t g_flag_count = 0;

namespace {

constexpr int k_save_title_text = 124;
constexpr int k_save_completed_text = 125;
constexpr size_t k_line_room = 80;      // a line is read with room for 79 characters
constexpr size_t k_key_room = 30;       // quest and flag names: 29 characters
constexpr size_t k_quest_text_room = 2000;  // a quest text is read with room for 1,999 bytes
constexpr size_t k_save_name_size = 255;
constexpr const char* k_quest_completed_voice = "data/sound/quest_completed.ogg";
constexpr const char* k_encounter_detour_level = "encounter.sav";
constexpr const char* k_ruins_detour_level = "vantiel_penta.sav";

// The detour whose level change waits for the end of the frame: its story moves on (the flag
// "encounter" is set) only once its level has been entered.
struct story_detour {
    const char* level = nullptr;
    bool sets_encounter = false;
    void clear() { *this = {}; }
};
story_detour g_detour;

// Cuts blanks and control characters at the end.
void trim_white(char* text)
{
    size_t n = std::strlen(text);
    while (n > 0 && (std::isspace(static_cast<unsigned char>(text[n - 1])) || text[n - 1] == 127))
        text[--n] = '\0';
}

// One line of at most room - 1 characters, trailing white space cut; false at the end of the file
// and at a damaged line.
bool read_field(text_file_lines& in, char* line, size_t room)
{
    if (in.next(line, room) < 0 || in.damaged_line())
        return false;
    trim_white(line);
    return true;
}

// A line that is one decimal number (leading blanks and a sign allowed) held to the range
// given; false at the end of the file, and for a line that is no number (marked damaged).
bool read_number(text_file_lines& in, long long low, long long high, long long* value)
{
    char line[k_line_room];
    long long number = 0;
    if (!read_field(in, line, sizeof line))
        return false;
    if (!parse_decimal(line, &number)) {
        in.mark_damaged();
        return false;
    }
    *value = std::clamp(number, low, high);
    return true;
}

// The damage a table's reading meets: each is reported with what was kept, or, for a look at a
// file that is not loaded, only the first is noted.
struct table_damage {
    bool report = true;
    std::string first;  // where the first damage is, as the log names it

    void add(const text_file_lines& in, const std::string& where, const std::string& kept)
    {
        if (first.empty())
            first = where;
        if (report)
            report_damaged_file(in.name(), where.c_str(), kept.c_str());
    }
};

// A count line held to 0 .. room (a count outside it is damage); -1 when there is none.
int read_count(text_file_lines& in, const char* table, int room, table_damage& damage)
{
    long long count = 0;
    if (!read_number(in, LLONG_MIN, LLONG_MAX, &count))
        return -1;
    if (count < 0 || count > room) {
        const std::string where = "pocet " + std::to_string(count) + " mimo 0 az " + std::to_string(room);
        damage.add(in, where, std::string(table) + ": prvych " + std::to_string(count < 0 ? 0 : room));
    }
    return int(std::clamp<long long>(count, 0, room));
}

// A table without its count, or that ended before its count or at a damaged line, is damaged.
void note_short_table(const text_file_lines& in, const char* table, int read, int count, table_damage& damage)
{
    if (count >= 0 && read >= count && !in.damaged_line())
        return;
    const std::string where = in.damaged_line() ? "riadok " + std::to_string(in.damaged_line())
                              : count < 0       ? std::string("chyba pocet")
                                                : "konci po " + std::to_string(read) + " z " + std::to_string(count);
    damage.add(in, where, std::string(table) + ": prvych " + std::to_string(read));
}

bool read_quest(text_file_lines& in, quest_record* quest)
{
    char name[k_key_room], title[sizeof quest->title];
    long long experience = 0;
    if (!read_field(in, name, sizeof name) || !read_field(in, title, sizeof title) ||
        !read_number(in, INT32_MIN, INT32_MAX, &experience))
        return false;
    *quest = quest_record{};
    set_quest_name(quest, name);
    copy_bounded(quest->title, sizeof quest->title, title);
    quest->experience = int32_t(experience);
    return true;
}

// Reads the quest table into `quests` (cleared first); the number of quests read.
int read_quest_file(text_file_lines& in, quest_record (&quests)[k_quest_slots], table_damage& damage)
{
    const int count = read_count(in, "ulohy", k_quest_slots, damage);
    std::fill(std::begin(quests), std::end(quests), quest_record{});
    int read = 0;
    while (read < count && read_quest(in, &quests[read]))
        ++read;
    note_short_table(in, "ulohy", read, count, damage);
    return read;
}

void read_flag_file(text_file_lines& in)
{
    table_damage damage;
    const int count = read_count(in, "flagy", k_flag_slots, damage);
    std::fill(std::begin(g_flags), std::end(g_flags), flag_record{});
    int read = 0;
    char name[k_key_room];
    for (; read < count && read_field(in, name, sizeof name); ++read)
        copy_bounded(g_flags[read].name, sizeof g_flags[read].name, name);
    note_short_table(in, "flagy", read, count, damage);
    g_flag_count = int16_t(read);
}

std::string quest_file_name(const char* code)
{
    return std::string("global/quest_") + code + ".txt";
}

// The text of a fixed-size name field, terminated even when the stored field is not.
template <size_t N>
void field_text(const char (&field)[N], char (&out)[N + 1])
{
    const size_t n = strnlen(field, N);
    std::memcpy(out, field, n);
    out[n] = '\0';
}

// The hero's quest list: count at 0, indices from 1.
uint8_t* hero_quest_list()
{
    char_record* hero = char_at(int32_t(g_player_char));
    return hero ? hero->quest_bytes : nullptr;
}

// The first (or, with `last`, the last) record below the count whose name equals `name` ignoring
// case, or -1.
template <class Record, size_t N>
int16_t find_named(const Record (&records)[N], int count, const char* name, bool last = false)
{
    constexpr size_t room = sizeof records[0].name;
    if (!name || strnlen(name, room + 1) > room)
        return -1;
    int16_t found = -1;
    for (int i = 0; i < count && i < int(N); ++i)
        if (strncasecmp(records[i].name, name, room) == 0) {
            found = int16_t(i);
            if (!last)
                break;
        }
    return found;
}

void append(char* out, size_t size, const char* text)
{
    const size_t used = strnlen(out, size);
    if (used + 1 < size)
        copy_bounded(out + used, size - used, text);
}

} // namespace

void load_quests()
{
    g_detour.clear();
    const std::string path = quest_file_name(g_language);
    text_file_lines quests(path.c_str());
    if (!quests.is_open()) {
        report_missing_file(path.c_str(), "doterajsie ulohy a flagy");
        return;
    }
    table_damage damage;
    g_quest_count = uint8_t(read_quest_file(quests, g_quests, damage));

    text_file_lines flags("global/flag.txt");
    if (!flags.is_open()) {
        report_missing_file(flags.name(), "doterajsie flagy");
        return;
    }
    read_flag_file(flags);
}

std::string quest_table_fault(const char* code)
{
    const std::string path = quest_file_name(code);
    text_file_lines quests(path.c_str());
    if (!quests.is_open())
        return "chyba " + path;
    static quest_record scratch[k_quest_slots];
    table_damage damage;
    damage.report = false;  // a look, not a load
    read_quest_file(quests, scratch, damage);
    return damage.first.empty() ? std::string() : path + " " + damage.first;
}

void set_quest_name(quest_record* quest, const char* name)
{
    copy_bounded(quest->name, sizeof quest->name, name);
    trim_white(quest->name);
    quest->state = 0;
    quest->assigned = 0;
    quest->completed = 0;
}

int16_t find_quest(const char* name)
{
    return find_named(g_quests, g_quest_count, name);
}

int16_t find_flag(const char* name)
{
    return find_named(g_flags, g_flag_count, name);
}

bool last_quest_state(const char* name, uint8_t* state)
{
    const int16_t i = find_named(g_quests, g_quest_count, name, true);
    if (i >= 0)
        *state = g_quests[i].state;
    return i >= 0;
}

bool last_flag_value(const char* name, int32_t* value)
{
    const int16_t i = find_named(g_flags, g_flag_count, name, true);
    if (i >= 0)
        *value = g_flags[i].value;
    return i >= 0;
}

int32_t get_flag(const flag_record* flag)
{
    return flag->value;
}

void set_flag(flag_record* flag)
{
    flag->value = 1;
}

bool assign_quest(quest_record* quest, uint8_t index)
{
    if (quest->assigned)
        return true;
    uint8_t* list = hero_quest_list();
    if (!list || list[0] >= k_quest_list_room) {
        console_log("quest %.30s: %s", quest->name, list ? "the quest list is full" : "there is no hero");
        return false;
    }
    list[1 + list[0]] = index;
    ++list[0];
    quest->assigned = 1;
    quest->state = 1;
    return true;
}

void unassign_quest(quest_record* quest, int16_t index)
{
    if (!quest->assigned)
        return;
    if (uint8_t* list = hero_quest_list()) {
        const int count = std::min<int>(list[0], k_quest_list_room);
        for (int k = count - 1; k >= 0; --k) {
            if (list[1 + k] != index)
                continue;
            std::memmove(list + 1 + k, list + 2 + k, size_t(count - 1 - k));
            list[0] = uint8_t(count - 1);
            break;
        }
    }
    quest->assigned = 0;
    quest->state = 1;
}

void set_quest_state(quest_record* quest, uint8_t state)
{
    quest->state = state;
}

void complete_quest(quest_record* quest, uint16_t index)
{
    if (quest->completed == 1)
        return;
    if (!quest->assigned)
        assign_quest(quest, uint8_t(index));
    quest->completed = 1;
    char_record* hero = char_at(int32_t(g_player_char));
    if (!hero)
        return;

    char title[sizeof quest->title + 1];
    field_text(quest->title, title);
    char save_name[k_save_name_size];
    std::snprintf(save_name, sizeof save_name, "%s '%s' %s", ui_text(k_save_title_text), title,
                  ui_text(k_save_completed_text));

    const double gain = std::trunc(double(quest->experience) * attunement_experience_factor(hero));
    const int32_t points = int32_t(std::clamp(gain, double(INT32_MIN), double(INT32_MAX)));
    console_log("%.*s has gained %d experience", int(sizeof hero->display_name), hero->display_name, points);
    add_experience(hero, points);

    run_hook(g_script_links.save_game, "save_game", save_name, 0u, 1u);
    play_voice(k_quest_completed_voice);
}

void show_quest_text(const quest_record* quest, char* out, size_t size, float height)
{
    if (!out || size == 0)
        return;
    char title[sizeof quest->title + 1], name[sizeof quest->name + 1];
    field_text(quest->title, title);
    field_text(quest->name, name);
    std::snprintf(out, size, "^window 0 0 400 %f ^mouse_center ^gl_a 0.6 ^l ^c 0.65 0.65 0.65 1 %s ^l",
                  double(height), title);

    if (!is_plain_file_name(g_language) || !is_plain_file_name(name))
        return;
    char path[96];
    std::snprintf(path, sizeof path, "data/quests/%s/%s.txt", g_language, name);
    if (file_exists(path) != 1)
        return;
    std::FILE* file = open_text_file(path);
    if (!file)
        return;
    char text[k_quest_text_room] = {};
    const size_t got = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[got] = '\0';
    trim_white(text);
    append(out, size, " ^c 1 1 1 1 ^l ");
    append(out, size, text);
}

namespace {

bool quest_in_state(const char* name, uint8_t state)
{
    const int16_t quest = find_quest(name);
    return quest >= 0 && g_quests[quest].state == state;
}

bool encounter_detour_due()
{
    const int16_t encounter = find_flag("encounter");
    return quest_in_state("watersupply", 3) && encounter >= 0 && get_flag(&g_flags[encounter]) == 0;
}

bool ruins_detour_due()
{
    return quest_in_state("locdrusk", 5) && quest_in_state("meetdrusk", 0);
}

} // namespace

const char* story_detour_level()
{
    if (ruins_detour_due())
        return k_ruins_detour_level;
    return encounter_detour_due() ? k_encounter_detour_level : nullptr;
}

bool take_story_detours()
{
    const char* level = story_detour_level();
    g_detour.clear();
    if (!level)
        return false;
    g_detour.level = level;
    g_detour.sets_encounter = encounter_detour_due();
    request_level_change(level, level == k_ruins_detour_level ? 2 : 0);
    return true;
}

void end_story_detour(const char* level, bool entered)
{
    const story_detour detour = g_detour;
    g_detour.clear();
    if (!entered || !detour.level || strcasecmp(level, detour.level) != 0 || !detour.sets_encounter)
        return;
    const int16_t encounter = find_flag("encounter");
    if (encounter >= 0)
        set_flag(&g_flags[encounter]);
}
