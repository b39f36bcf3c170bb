#include "script/markup_keywords.h"

#include "script/text_window.h"

#include <charconv>
#include <cstring>

namespace {

using enum markup_syntax;
using enum parse_role;
using enum keyword_match;

constexpr markup_keyword cmd(const char* word, uint8_t args, parse_role parse = none, bool passes = true,
                             uint8_t parse_from = 0)
{
    return {word, args, fixed, parse, passes, exact, parse_from};
}

constexpr markup_keyword k_keywords[] = {
    cmd("^0", 0),
    {"^if", 0, condition, none, true, exact, 0},
    cmd("^then", 0),
    cmd("^endif", 0),
    cmd("^center_view_on_char", 1),
    cmd("^l", 0),
    cmd("^set_y", 1),
    cmd("^set_x", 1),
    cmd("^c", 4),
    cmd("^gl_a", 1, acts),
    cmd("^disable_scroll", 0),
    cmd("^enable_scroll", 0),
    cmd("^disable_npckill", 0),
    cmd("^enable_npckill", 0),
    cmd("^disable_zoom", 0),
    cmd("^enable_zoom", 0),
    cmd("^rest", 0),
    cmd("^select_attunement", 0),
    cmd("^select_attunement_first", 0),
    cmd("^cast_spell_char", 3, acts),
    cmd("^heal_char", 1, acts),
    cmd("^play_spec_anim", 2, acts, true, 1),
    cmd("^remove_char", 1),
    cmd("^assign_quest", 1),
    cmd("^complete_quest", 1),
    cmd("^remove_quest", 1),
    cmd("^set_flag", 1),
    cmd("^set_quest_state", 2),
    cmd("^add_quest_state", 2, acts),
    cmd("^move_char", 3, acts),
    cmd("^teleport_char", 3),
    cmd("^enable_char", 1),
    cmd("^enable_char2", 1),
    cmd("^disable_char", 1),
    cmd("^fade", 0),
    cmd("^goto_evening", 0),
    cmd("^unfade", 1),
    cmd("^set_char_mem", 3),
    cmd("^add_char_mem", 3),
    cmd("^sub_char_mem", 3),
    cmd("^set_char_type", 2),
    cmd("^set_char_state", 2),
    cmd("^char_attack", 2, acts),
    cmd("^char_kill", 1, acts, true, 1),
    cmd("^char_fadedown", 1, acts, true, 1),
    cmd("^char_fadeup", 1, acts, true, 1),
    cmd("^center_char", 1, acts),
    cmd("^center_clicked", 0, acts),
    cmd("^set_id_mem", 3, acts),
    cmd("^set_id_state", 2),
    cmd("^add_char_item", 3, acts),
    cmd("^add_char_weapon", 2, acts),
    cmd("^remove_item", 1, acts),
    cmd("^sell_item", 2, acts, true, 2),
    cmd("^add_gold", 1, acts, true, 1),
    cmd("^take_gold", 1, acts, true, 1),
    cmd("^attune_item", 1, acts),
    cmd("^add_attunement", 1, acts),
    cmd("^char2char", 2, acts),
    cmd("^lookat", 2, acts),
    cmd("^lookat2", 2, acts),
    cmd("^hero2clicked", 0, acts),
    cmd("^lookat3", 0, acts),
    cmd("^add_char", 3, acts),
    cmd("^enable_map", 1, acts),
    cmd("^rem_char", 1, acts),
    cmd("^p_pohyb", 2),
    cmd("^window", 4, acts),
    cmd("^play_slide", 1, acts),
    cmd("^play_voice", 1, acts),
    cmd("^pozadie", 1, acts),
    // The passes take "^center_x" and "^center_y" as "^center"; the parse tells them apart.
    cmd("^center_x", 0, acts, false),
    cmd("^center_y", 0, acts, false),
    {"^center", 0, fixed, acts, true, prefix_in_passes, 0},
    cmd("^no_rect", 0, acts),
    {"^dialog", 0, fixed, acts, true, prefix_in_passes, 0},
    cmd("^mouse_center", 0, acts),
    cmd("^close", 0),
    cmd("^break", 0),
    cmd("^open", 0, acts),
    cmd("^update_char", 1, acts),
    cmd("^enter_dreamworld", 0, acts),
    cmd("^exit_dreamworld", 0, acts, true, 1),
    cmd("^enable_dreamworld", 0, acts),
    cmd("^disable_dreamworld", 0, acts),
    cmd("^add_experience", 1, acts),
    cmd("^poz_size", 2, acts),
    cmd("^poz_start", 2, acts),
    {"^add_over_text", 1, over_text, none, true, exact, 0},
    cmd("^endover", 0),
    cmd("^o1", 1, acts),
    cmd("^load", 1),
    cmd("^load_part", 1),
    cmd("^start_dialog", 1),
    cmd("^open_container", 1),
    cmd("^shop", 3),
    cmd("^worldmap", 0),
    cmd("^map", 3),
    cmd("^map2", 2),
    cmd("^map3", 4),
    cmd("^italic", 0),
    cmd("^normal", 0),
    cmd("^lnst", 0),
    cmd("^lnstart", 0),
    cmd("^lnend", 1),
    cmd("^ln", 2),
    cmd("^play_outro", 1, acts, false),
    cmd("^run_char_script", 2, acts, false),
    cmd("^no_draw", 0, acts, false),
    cmd("^play_anim", 2, acts, false, 1),
    cmd("^set_id_anim", 2, acts, false),
    cmd("^cast_spell_char_on", 3, acts, false),
    cmd("^change_char", 2, acts, false),
    {"^name", 0, fixed, replaced, false, prefix, 0},
    cmd("^weapon_name", 0, replaced, false),
    cmd("^change_element", 1, acts, false),
    cmd("^start_element", 0, acts, false),
};

inline uint8_t lower(char c)
{
    const uint8_t b = static_cast<uint8_t>(c);
    return b >= 'A' && b <= 'Z' ? uint8_t(b + ('a' - 'A')) : b;
}

const char* skip_blanks(const char* word)
{
    while (*word == ' ' || (*word >= '\t' && *word <= '\r'))
        ++word;
    return word;
}

} // namespace

bool markup_equal(const char* a, const char* b)
{
    for (; lower(*a) == lower(*b); ++a, ++b)
        if (*a == '\0')
            return true;
    return false;
}

bool markup_begins(const char* word, const char* prefix)
{
    for (; *prefix; ++word, ++prefix)
        if (lower(*word) != lower(*prefix))
            return false;
    return true;
}

float markup_float(const char* word)
{
    const char* p = skip_blanks(word);
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    if (*p == '+' || *p == '-')
        return 0.0f;
    float value = 0.0f;
    std::from_chars(p, p + std::strlen(p), value);
    return negative ? -value : value;
}

int32_t markup_int(const char* word)
{
    const char* p = skip_blanks(word);
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= int64_t(INT32_MAX) + 1)
            value = value * 10 + (*p - '0');
    value = negative ? -value : value;
    return int32_t(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
}

std::span<const markup_keyword> markup_keywords()
{
    return k_keywords;
}

const markup_keyword* find_pass_keyword(const char* word)
{
    if (word[0] != '^')
        return nullptr;
    for (const markup_keyword& k : k_keywords) {
        if (!k.passes)
            continue;
        if (k.match == exact ? markup_equal(word, k.word) : markup_begins(word, k.word))
            return &k;
    }
    return nullptr;
}

const markup_keyword* find_markup_keyword(const char* keyword)
{
    for (const markup_keyword& k : k_keywords)
        if (markup_equal(keyword, k.word))
            return &k;
    return nullptr;
}

bool load_time_command_completed(const text_window* window, int32_t current, const markup_keyword& keyword)
{
    const int32_t at = current - keyword.args;
    if (at < 0 || at < keyword.parse_from || current >= k_window_word_slots)
        return false;
    const char* word = window->words[at];
    return keyword.match == prefix ? markup_begins(word, keyword.word) : markup_equal(word, keyword.word);
}
