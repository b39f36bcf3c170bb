// The load-time commands: the window's placement and pictures, slide shows and narration, the
// hero's gold, items and attunements, quests, entities and the dream world; the dispatch of
// every load-time command in the order in which the parse tests them.
#include "script/load_time_internal.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/sound.h"
#include "engine/textures.h"
#include "items/items.h"
#include "script/entities.h"
#include "script/markup_keywords.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "world/dream_world.h"
#include "world/world_objects.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <vector>

namespace {

constexpr uint32_t k_picture_size = 256;
constexpr int32_t k_attunement_gift = 250;
constexpr int32_t k_attunement_points_max = 32767;

float screen_w()
{
    return float(g_screen_width);
}
float screen_h()
{
    return float(g_screen_height);
}

int32_t held_i32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void window_rect(const load_time_call& c)
{
    text_window& w = *c.window;
    w.x1 = markup_float(c.arg(1));
    w.y1 = markup_float(c.arg(2));
    w.x2 = w.x1 + markup_float(c.arg(3));
    w.y2 = w.y1 + markup_float(c.arg(4));
}

void play_slide(const load_time_call& c)
{
    run_hook(g_script_links.start_chapter_slide_show, "start_chapter_slide_show", c.arg(1));
}

void voice(const load_time_call& c)
{
    if (data_file_path("", c.arg(1)).empty())
        return;
    play_voice(c.arg(1));
    c.state->narration_started = true;
}

void play_outro(const load_time_call& c)
{
    run_hook(g_script_links.start_epilogue_slide_show, "start_epilogue_slide_show", markup_int(c.arg(1)));
}

void open(const load_time_call&)
{
    g_dialogue_running = 1;
}

void no_draw(const load_time_call& c)
{
    c.window->no_draw = 1;
}

void no_rect(const load_time_call& c)
{
    c.window->draw_rect = 0;
}

void gl_a(const load_time_call& c)
{
    c.window->alpha = markup_float(c.arg(1));
}

void center_x(const load_time_call& c)
{
    text_window& w = *c.window;
    const float dx = w.x1 - (screen_w() - w.x2) / 2.0f;
    w.x1 -= dx;
    w.x2 -= dx;
}

void center(const load_time_call& c)
{
    center_x(c);
    text_window& w = *c.window;
    const float dy = w.y1 - (screen_h() - w.y2) / 2.0f;
    w.y1 -= dy;
    w.y2 -= dy;
}

void center_y(const load_time_call& c)
{
    text_window& w = *c.window;
    const float d = (w.y2 - screen_h()) / 2.0f;
    w.y1 -= d;
    w.y2 -= d;
}

void dialog(const load_time_call& c)
{
    text_window& w = *c.window;
    const float d = (w.x2 - screen_w()) / 2.0f;
    w.x1 -= d;
    w.x2 -= d;
    const float h = w.y2 - w.y1;
    w.y1 = screen_h() - h - 64.0f;
    w.y2 = screen_h();
}

void mouse_center(const load_time_call& c)
{
    text_window& w = *c.window;
    const float width = w.x2, height = w.y2;
    float x1 = g_mouse_screen_x - width / 2.0f;
    float y1 = g_mouse_screen_y + 5.0f;
    if (x1 < 0.0f)
        x1 = 0.0f;
    if (y1 < 0.0f)
        y1 = 0.0f;
    if (x1 + width > screen_w())
        x1 = screen_w() - width;
    if (y1 + 40.0f > screen_h())
        y1 = screen_h() - 75.0f;
    if (y1 + height > screen_h())
        y1 = screen_h() - height;
    w.x1 = x1;
    w.y1 = y1;
    w.x2 = x1 + width;
    w.y2 = y1 + height;
}

int32_t load_picture(const char* file)
{
    if (data_file_path("", file).empty())
        return -1;
    return get_texture(file, k_picture_size, k_picture_size, 0, 0, 0, 0);
}

void pozadie(const load_time_call& c)
{
    text_window& w = *c.window;
    const int32_t picture = load_picture(c.arg(1));
    if (picture < 0)
        return;  // refused: the window keeps its background
    if (w.has_background == 1)
        release_texture(w.background);
    w.background = picture;
    w.has_background = 1;
}

void poz_size(const load_time_call& c)
{
    const text_window& w = *c.window;
    if (w.has_background != 1 || w.background < 0 || w.background >= std::min(g_texture_count, k_texture_slots))
        return;
    texture_record& t = g_textures[w.background];
    t.width = t.video_width = uint32_t(markup_int(c.arg(1)));
    t.height = t.video_height = uint32_t(markup_int(c.arg(2)));
}

void poz_start(const load_time_call& c)
{
    c.window->background_start[0] = float(markup_int(c.arg(1)));
    c.window->background_start[1] = float(markup_int(c.arg(2)));
}

void picture(const load_time_call& c)
{
    int32_t& n = c.state->picture_counter;
    if (n >= k_window_pictures)
        return;
    c.window->pictures[n] = load_picture(c.arg(1));
    ++n;
    c.window->picture_count = uint8_t(n);
}

void name(const load_time_call& c)
{
    const char* key = hero_file_key();
    if (!key)
        return;
    char* word = c.arg(0);
    char joined[2 * k_window_word_size];
    std::snprintf(joined, sizeof joined, "%s%s", key, word + 5);
    copy_bounded(word, k_window_word_size, joined);
}

void start_element(const load_time_call& c)
{
    text_window& w = *c.window;
    w.name[0] = '\0';
    std::snprintf(w.requested_file, sizeof w.requested_file, "data/dialogs/%s/element/1.txt", g_language);
    g_dialogue_running = 1;
    w.dialogue_record_mode = 0;
    w.element_request = 1;
    c.state->ended = true;
}

void enable_map(const load_time_call& c)
{
    enable_map_location(markup_int(c.arg(1)));
}

entity_record* find_entity(const char* name)
{
    const uint32_t count = std::min<uint32_t>(g_entity_count, k_entity_slots);
    for (uint32_t e = 0; e < count; ++e)
        if (markup_equal(g_entities[e].name, name))
            return &g_entities[e];
    return nullptr;
}

void set_id_mem(const load_time_call& c)
{
    entity_record* e = find_entity(c.arg(1));
    const int32_t slot = markup_int(c.arg(2));
    if (e && slot >= 0 && slot < k_entity_memory_slots)
        e->memory[slot] = int16_t(markup_int(c.arg(3)));
}

void set_id_anim(const load_time_call& c)
{
    const entity_record* e = find_entity(c.arg(1));
    const uint16_t* objects = e ? entity_objects(e) : nullptr;
    if (!objects)
        return;
    const int32_t mode = markup_int(c.arg(2));
    for (int i = 0; i < std::min<int>(e->object_count, k_entity_max_objects); ++i)
        if (objects[i] < g_object_count)
            g_objects[objects[i]].anim_mode = mode;
}

void enter_dreamworld(const load_time_call&)
{
    enter_dream_world(&g_dream_world, 0);
    refresh_hero();
}

void enable_dreamworld(const load_time_call&)
{
    g_interface.dream_switch_allowed = 1;
    refresh_hero();
}

void disable_dreamworld(const load_time_call&)
{
    g_interface.dream_switch_allowed = 1;
}

void exit_dreamworld(const load_time_call&)
{
    leave_dream_world(&g_dream_world, 0);
}

void give_attunement_points(int32_t id)
{
    if (item_proto* p = item_proto_at(id))
        p->damage = int16_t(std::min(p->damage + k_attunement_gift, k_attunement_points_max));
}

void attune_item(const load_time_call& c)
{
    const int32_t count = std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots);
    for (int32_t i = 0; i < count; ++i)
        if (markup_equal(g_item_protos[i].key_name, c.arg(1)))
            give_attunement_points(g_item_protos[i].attunement_link);
}

void add_attunement(const load_time_call& c)
{
    const int32_t n = markup_int(c.arg(1));
    if (n > 0)
        give_attunement_points(n);
}

void remove_item(const load_time_call& c)
{
    char_record* hero = hero_record();
    const int32_t item = find_item_named(c.arg(1));
    if (!hero || item < 0)
        return;
    const int32_t entries = std::min<int32_t>(hero->inv_count, k_inventory_entries);
    for (int32_t i = 0; i < entries; ++i)
        if (hero->inv_item[i] == item) {
            char_remove_item_at(hero, i, false);
            return;
        }
}

void sell_item(const load_time_call& c)
{
    char_record* hero = hero_record();
    const int32_t item = find_item_named(c.arg(1));
    if (!hero || item < 0)
        return;
    const int32_t entries = std::min<int32_t>(hero->inv_count, k_inventory_entries);
    const int64_t sold = std::count(hero->inv_item, hero->inv_item + entries, int16_t(item));
    if (sold == 0)
        return;
    char_remove_item(hero, int16_t(item), false);
    hero->gold = held_i32(hero->gold + sold * markup_int(c.arg(2)));
}

void take_gold(const load_time_call& c)
{
    if (char_record* hero = hero_record())
        hero->gold = held_i32(std::max<int64_t>(int64_t(hero->gold) - markup_int(c.arg(1)), 0));
}

void add_gold(const load_time_call& c)
{
    if (char_record* hero = hero_record())
        hero->gold = held_i32(int64_t(hero->gold) + markup_int(c.arg(1)));
}

void add_quest_state(const load_time_call& c)
{
    const int16_t q = find_quest(c.arg(1));
    if (q < 0)
        return;
    quest_record& quest = g_quests[q];
    quest.state = uint8_t(quest.state + markup_int(c.arg(2)));
    console_log("quest %s state %d", quest.name, quest.state);
}

void add_experience(const load_time_call& c)
{
    if (char_record* hero = hero_record())
        award_experience(hero, markup_int(c.arg(1)));
}

struct load_time_command {
    const char* keyword;
    void (*act)(const load_time_call&);
};

// In the order in which the parse tests them.
constexpr load_time_command k_commands[] = {
    {"^window", window_rect},
    {"^play_slide", play_slide},
    {"^play_voice", voice},
    {"^play_outro", play_outro},
    {"^open", open},
    {"^run_char_script", ltc_run_char_script},
    {"^char_attack", ltc_char_attack},
    {"^char_kill", ltc_char_kill},
    {"^char_fadedown", ltc_char_fadedown},
    {"^char_fadeup", ltc_char_fadeup},
    {"^update_char", ltc_update_char},
    {"^no_draw", no_draw},
    {"^no_rect", no_rect},
    {"^gl_a", gl_a},
    {"^center", center},
    {"^play_anim", ltc_play_anim},
    {"^play_spec_anim", ltc_play_spec_anim},
    {"^heal_char", ltc_heal_char},
    {"^cast_spell_char", ltc_cast_spell_char},
    {"^cast_spell_char_on", ltc_cast_spell_char_on},
    {"^center_x", center_x},
    {"^center_y", center_y},
    {"^dialog", dialog},
    {"^mouse_center", mouse_center},
    {"^pozadie", pozadie},
    {"^poz_size", poz_size},
    {"^poz_start", poz_start},
    {"^o1", picture},
    {"^move_char", ltc_move_char},
    {"^rem_char", ltc_rem_char},
    {"^change_char", ltc_change_char},
    {"^name", name},
    {"^weapon_name", ltc_weapon_name},
    {"^change_element", ltc_change_element},
    {"^start_element", start_element},
    {"^enable_map", enable_map},
    {"^add_char", ltc_add_char},
    {"^char2char", ltc_char2char},
    {"^hero2clicked", ltc_hero2clicked},
    {"^lookat2", ltc_lookat2},
    {"^lookat3", ltc_lookat3},
    {"^lookat", ltc_lookat},
    {"^center_clicked", ltc_center_clicked},
    {"^center_char", ltc_center_char},
    {"^set_id_mem", set_id_mem},
    {"^enter_dreamworld", enter_dreamworld},
    {"^enable_dreamworld", enable_dreamworld},
    {"^disable_dreamworld", disable_dreamworld},
    {"^exit_dreamworld", exit_dreamworld},
    {"^set_id_anim", set_id_anim},
    {"^add_char_item", ltc_add_char_item},
    {"^add_char_weapon", ltc_add_char_weapon},
    {"^attune_item", attune_item},
    {"^add_attunement", add_attunement},
    {"^remove_item", remove_item},
    {"^sell_item", sell_item},
    {"^take_gold", take_gold},
    {"^add_gold", add_gold},
    {"^add_quest_state", add_quest_state},
    {"^add_experience", add_experience},
};
constexpr size_t k_command_count = std::size(k_commands);

// The keyword table's entry of each command, and the commands by their argument count and the
// keyword's letter after "^" (either case), in table order; looked up once.
constexpr size_t k_most_args = 8;
struct command_index {
    std::array<const markup_keyword*, k_command_count> keywords{};
    std::array<std::array<std::vector<uint8_t>, 256>, k_most_args + 1> by_args_and_letter;
    std::vector<uint8_t> arg_counts;  // the counts in use
};

const command_index& commands()
{
    static const command_index index = [] {
        static_assert(k_command_count < 256);
        command_index t;
        for (size_t i = 0; i < k_command_count; ++i) {
            const markup_keyword* k = find_markup_keyword(k_commands[i].keyword);
            t.keywords[i] = k;
            if (!k || k->args > k_most_args || k->word[0] != '^')
                continue;
            const auto letter = static_cast<uint8_t>(k->word[1]);
            const auto lower = static_cast<uint8_t>(std::tolower(letter));
            const auto upper = static_cast<uint8_t>(std::toupper(letter));
            for (uint8_t c : {letter, lower, upper}) {
                std::vector<uint8_t>& bucket = t.by_args_and_letter[k->args][c];
                if (bucket.empty() || bucket.back() != i)
                    bucket.push_back(uint8_t(i));
            }
            if (std::find(t.arg_counts.begin(), t.arg_counts.end(), k->args) == t.arg_counts.end())
                t.arg_counts.push_back(k->args);
        }
        return t;
    }();
    return index;
}

// The first command from table index `from` on whose keyword may stand its argument count
// before word `current`: a word there that begins with "^" and the keyword's letter. k_command_count
// when there is none.
size_t next_candidate(const text_window* window, int32_t current, size_t from)
{
    const command_index& index = commands();
    size_t found = k_command_count;
    for (uint8_t args : index.arg_counts) {
        const int32_t at = current - args;
        if (at < 0 || window->words[at][0] != '^')
            continue;
        const std::vector<uint8_t>& bucket = index.by_args_and_letter[args][static_cast<uint8_t>(window->words[at][1])];
        const auto it = std::lower_bound(bucket.begin(), bucket.end(), from);
        if (it != bucket.end())
            found = std::min<size_t>(found, *it);
    }
    return found;
}

} // namespace

void put_hero_key(char* word, uint8_t names)
{
    const bool listed = ((names & k_name_hero) && markup_equal(word, "HERO")) ||
                        ((names & k_name_serin) && markup_equal(word, "Serin")) ||
                        ((names & k_name_dovan) && markup_equal(word, "Dovan"));
    if (!listed)
        return;
    if (const char* key = hero_file_key())
        std::snprintf(word, k_window_word_size, "%s", key);
}

char_record* hero_record()
{
    return char_at(int32_t(g_player_char));
}

void refresh_hero()
{
    if (char_record* hero = hero_record()) {
        char_sync_attunements(hero);
        char_apply_item_effects(hero);
        char_refresh_equipment(hero);
    }
}

int32_t find_item_named(const char* name)
{
    int32_t found = -1;
    const int32_t count = std::clamp<int32_t>(g_item_proto_count, 0, k_item_slots);
    for (int32_t i = 0; i < count; ++i)
        if (markup_equal(g_item_protos[i].key_name, name))
            found = i;
    return found;
}

void run_load_time_commands(text_window* window, int32_t current, parse_state* state)
{
    if (current < 0 || current >= k_window_word_slots)
        return;
    // In table order, the commands whose keyword may stand where it would: each is tested there,
    // and the candidates are found again after each test, since a command may rewrite words.
    const command_index& index = commands();
    for (size_t i = next_candidate(window, current, 0); i < k_command_count && !state->ended;
         i = next_candidate(window, current, i + 1)) {
        const markup_keyword* k = index.keywords[i];
        if (k && load_time_command_completed(window, current, *k))
            k_commands[i].act(load_time_call{window, current - k->args, state});
    }
}
