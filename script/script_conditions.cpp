#include "script/script_conditions.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "characters/surround.h"
#include "core/console_log.h"
#include "core/hooks.h"
#include "items/items.h"
#include "script/entities.h"
#include "script/markup_keywords.h"
#include "script/script_links.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

namespace {

enum condition_kind : int32_t {
    k_no_kind = 0,
    k_entity_state = 1,
    k_char_life = 2,
    k_entity_memory0 = 3,
    k_entity_memory1 = 4,
    k_entity_memory2 = 5,
    k_char_memory0 = 6,
    k_char_memory1 = 7,
    k_char_memory2 = 8,
    k_char_action = 9,
    k_quest_state = 10,
    k_attackers = 11,
    k_gold = 12,
    k_weapon_element = 13,
    k_flag_value = 14,
    k_carries_item = 20,
    k_has_weapon = 21,
    k_has_focus = 22,
};

struct kind_prefix {
    const char* prefix;
    size_t bytes;    // compared, case-sensitively
    size_t name_at;  // the name is the rest of the word from here
    condition_kind kind;
};

// In the order they are tested; the last that matches decides.
constexpr kind_prefix k_kinds[] = {
    {"idstate.", 8, 8, k_entity_state},
    {"charstate", 9, 10, k_char_life},
    {"idmem0.", 7, 7, k_entity_memory0},
    {"idmem1.", 7, 7, k_entity_memory1},
    {"idmem2.", 7, 7, k_entity_memory2},
    {"charmem0.", 9, 9, k_char_memory0},
    {"charmem1.", 9, 9, k_char_memory1},
    {"charmem2.", 9, 9, k_char_memory2},
    {"charaction.", 11, 11, k_char_action},
    {"queststate.", 11, 11, k_quest_state},
    {"numattackers.", 13, 13, k_attackers},
    {"gold.", 5, 5, k_gold},
    {"weapon_ele", 10, 10, k_weapon_element},
    {"flagstate.", 10, 10, k_flag_value},
    {"invitem.", 8, 8, k_carries_item},
    {"hasweapon", 9, 9, k_has_weapon},
    {"hasfocus", 8, 8, k_has_focus},
};

enum relation : int32_t { k_equal, k_not_equal, k_less, k_greater, k_less_equal, k_greater_equal, k_no_relation };

struct word_text {
    char text[k_window_word_size];
};

int32_t word_total(const text_window* window)
{
    return std::clamp<int32_t>(window->word_count, 0, k_window_word_slots);
}

// Word i of the window, terminated within its slot; empty past the word count.
word_text word_at(const text_window* window, int32_t i)
{
    word_text w{};
    if (i >= 0 && i < word_total(window))
        std::memcpy(w.text, window->words[i], strnlen(window->words[i], k_window_word_size - 1));
    return w;
}

const kind_prefix* find_kind(const char* word)
{
    const kind_prefix* found = nullptr;
    for (const kind_prefix& k : k_kinds)
        if (std::strncmp(word, k.prefix, k.bytes) == 0)
            found = &k;
    return found;
}

relation find_relation(const char* word)
{
    static constexpr struct {
        const char* word;
        relation code;
    } k_relations[] = {{"=", k_equal},  {"==", k_equal},       {"!=", k_not_equal},       {"<", k_less},
                       {">", k_greater}, {"<=", k_less_equal}, {">=", k_greater_equal}};
    for (const auto& r : k_relations)
        if (std::strcmp(word, r.word) == 0)
            return r.code;
    return k_no_relation;
}

bool compare(int64_t value, relation r, int64_t number)
{
    switch (r) {
    case k_equal: return value == number;
    case k_not_equal: return value != number;
    case k_less: return value < number;
    case k_greater: return value > number;
    case k_less_equal: return value <= number;
    case k_greater_equal: return value >= number;
    default: return true;
    }
}

// Kinds that test only equality: any other relation holds.
bool compare_equality(int64_t value, relation r, int64_t number)
{
    return r == k_equal || r == k_not_equal ? compare(value, r, number) : true;
}

// A name field of a record, which need not be terminated, against a name, ignoring case.
bool key_equals(const char* field, size_t size, const char* name)
{
    char key[64] = {};
    std::memcpy(key, field, std::min(strnlen(field, size), sizeof key - 1));
    return markup_equal(key, name);
}

char_record* hero()
{
    return char_at(int32_t(g_player_char));
}

// "HERO" (and, where the kind allows, the hero's other names) becomes the hero's file key.
void resolve_hero_name(char* name, size_t size, bool other_names)
{
    const bool alias = markup_equal(name, "HERO") || (other_names && (markup_equal(name, "Serin") ||
                                                                       markup_equal(name, "Dovan")));
    const char_record* h = hero();
    if (!alias || !h)
        return;
    char key[sizeof h->name + 1] = {};
    std::memcpy(key, h->name, strnlen(h->name, sizeof h->name));
    std::snprintf(name, size, "%s", key);
}

int32_t char_count()
{
    return std::clamp<int32_t>(int32_t(g_char_count), 0, k_char_slots);
}

// The first or the last character slot whose file key is the name, or -1.
int32_t find_char(const char* name, bool last)
{
    int32_t found = -1;
    for (int32_t s = 0; s < char_count(); ++s)
        if (key_equals(g_chars[s].name, sizeof g_chars[s].name, name)) {
            found = s;
            if (!last)
                break;
        }
    return found;
}

const entity_record* find_last_entity(const char* name)
{
    const entity_record* found = nullptr;
    const int32_t count = std::min<uint32_t>(g_entity_count, k_entity_slots);
    for (int32_t e = 0; e < count; ++e)
        if (key_equals(g_entities[e].name, sizeof g_entities[e].name, name))
            found = &g_entities[e];
    return found;
}

// Some weapon-location entry of the hero whose element byte equals (or, for !=, differs from)
// the number; any other relation holds.
bool weapon_element_holds(relation r, int32_t number)
{
    if (r != k_equal && r != k_not_equal)
        return true;
    const char_record* h = hero();
    if (!h)
        return false;
    const int32_t count = std::min<int32_t>(h->inv_count, k_inventory_entries);
    for (int32_t e = 0; e < count; ++e)
        if (h->inv_location[e] == k_inv_weapon && (h->inv_damage_type[e] == number) == (r == k_equal))
            return true;
    return false;
}

bool hero_has_focus()
{
    const char_record* h = hero();
    const int32_t item = h ? char_weapon_item(h) : -1;
    return item >= 0 && item < std::min<int32_t>(g_item_proto_count, k_item_slots) &&
           g_item_protos[item].item_class == k_item_focus;
}

} // namespace

int32_t eval_script_condition(const text_window* window, int32_t i, int32_t j)
{
    const word_text word = word_at(window, i);
    // The condition as written: what its log lines are about. Evaluated each frame (a greeting,
    // a map event), a line is logged again only when it changes.
    const std::string about = std::string(word.text) + " " + word_at(window, i + 1).text + " " +
                              word_at(window, i + 2).text;
    const kind_prefix* kind = find_kind(word.text);
    const condition_kind code = kind ? kind->kind : k_no_kind;
    if (code < k_weapon_element && j - i < 3)
        return 1;
    if (!kind) {
        console_log_state(about.c_str(), "nepoznam typ podmienky");
        return 1;
    }

    char name[k_condition_name_max + 1] = {};
    if (std::strlen(word.text) > kind->name_at)
        std::snprintf(name, sizeof name, "%s", word.text + kind->name_at);

    relation r = k_no_relation;
    if (code < k_carries_item) {
        r = find_relation(word_at(window, i + 1).text);
        if (r == k_no_relation) {
            console_log_state(about.c_str(), "nepoznam relaciu");
            return 1;
        }
    }
    const int32_t number = markup_int(word_at(window, i + 2).text);

    switch (code) {
    case k_entity_state:
    case k_entity_memory0:
    case k_entity_memory1:
    case k_entity_memory2: {
        const entity_record* e = find_last_entity(name);
        if (!e) {
            console_log_state(about.c_str(), "nemasiel som id pre %s", name);
            return 1;
        }
        const int32_t value = code == k_entity_state ? e->state : e->memory[code - k_entity_memory0];
        return compare(value, r, number);
    }
    case k_char_life:
    case k_gold: {
        resolve_hero_name(name, sizeof name, false);
        const int32_t slot = find_char(name, true);
        if (code == k_char_life)
            console_log_state(about.c_str(), "cislo testu %d", slot);
        if (slot < 0)
            return number == 0;
        return compare(code == k_char_life ? g_chars[slot].life : g_chars[slot].gold, r, number);
    }
    case k_char_memory0:
    case k_char_memory1:
    case k_char_memory2:
    case k_char_action: {
        resolve_hero_name(name, sizeof name, code != k_char_action);
        const int32_t slot = find_char(name, code != k_char_action);
        if (slot < 0) {
            console_log_state(about.c_str(), "nemasiel som charakter pre %s", name);
            return 1;
        }
        const char_record& c = g_chars[slot];
        const int32_t value = code == k_char_action ? int32_t(c.state) : c.script_flags[code - k_char_memory0];
        return compare(value, r, number);
    }
    case k_quest_state:
    case k_flag_value: {
        int32_t value = 0;
        bool found;
        if (code == k_quest_state) {
            uint8_t state = 0;
            found = run_hook_or(g_script_links.last_quest_state, "last_quest_state", false, name, &state);
            value = state;
            if (!found)
                console_log_state(about.c_str(), "nemasiel som quest pre %s", name);
        } else {
            found = run_hook_or(g_script_links.last_flag_value, "last_flag_value", false, name, &value);
            if (!found)
                console_log_state(about.c_str(), "nemasiel som flag %s", name);
        }
        if (!found)
            return 1;
        console_log_state(about.c_str(), "relacia %d so stavom (%d) cislo %d", int32_t(r), value, number);
        return code == k_quest_state ? compare(value, r, number) : compare_equality(value, r, number);
    }
    case k_attackers: return compare_equality(g_surround.count, r, number);
    case k_weapon_element: return weapon_element_holds(r, number);
    case k_carries_item: {
        console_log_state(about.c_str(), "%s", name);
        const char_record* h = hero();
        return h && char_has_item_named(h, name);
    }
    case k_has_weapon: {
        const char_record* h = hero();
        return h && char_weapon_item(h) >= 0;
    }
    case k_has_focus: return hero_has_focus();
    default: return 1;
    }
}

namespace {

// The index of the first word from `from` on that is the keyword, or the word count.
int32_t find_keyword(const text_window* window, int32_t from, const char* keyword)
{
    const int32_t count = word_total(window);
    for (int32_t k = std::max(from, 0); k < count; ++k)
        if (markup_equal(word_at(window, k).text, keyword))
            return k;
    return count;
}

} // namespace

int32_t next_word_after_condition(const text_window* window, int32_t p)
{
    const int32_t count = word_total(window);
    const int32_t then = find_keyword(window, p + 1, "^then");
    if (then == count)
        console_log("neukoncena podmienka");
    if (eval_script_condition(window, p + 1, then))
        return std::min(then + 1, count);
    const int32_t end = find_keyword(window, then + 1, "^endif");
    if (end == count) {
        console_log("neukoncena vetva");
        return count;
    }
    return end + 1;
}
