#include "script/run_time_commands.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_spawning.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/game_interface.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/fonts.h"
#include "items/containers.h"
#include "script/dialogues.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/markup_keywords.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "script/text_window.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <span>

namespace {

constexpr int16_t k_centre_marker_item = 329;
constexpr int32_t k_char_memory_values = 6;
constexpr uint8_t k_life_disabled = 3;

// The command being carried out: its window and keyword index.
struct command_call {
    text_window& w;
    int32_t at;

    int32_t count() const { return std::min<int32_t>(w.word_count, k_window_word_limit); }
    // Argument k (1 for the first); "" past the text.
    char* arg(int32_t k) const
    {
        static char empty[1];
        empty[0] = '\0';
        return at + k < count() ? w.words[at + k] : empty;
    }
    float real(int32_t k) const { return markup_float(arg(k)); }
    int32_t integer(int32_t k) const { return markup_int(arg(k)); }
};

bool left_button_held()
{
    return g_mouse_left != 0;
}

// Waits, handling window messages, until the left button is up (or the window is closed).
void wait_for_left_release()
{
    if (g_script_links.wait_until_released)
        g_script_links.wait_until_released(left_button_held);
    else
        log_hook_skipped("wait_until_released");
}

// True when the character's file key (20 bytes, terminated when shorter) equals the name of
// `length` bytes, ignoring case as markup_equal does. Keys of one level often share their start,
// so the bytes are compared from the end.
bool key_equals(const char (&key)[20], const char* name, size_t length)
{
    if (length > sizeof key || strnlen(key, sizeof key) != length)
        return false;
    for (size_t i = length; i-- > 0;) {
        const uint8_t a = uint8_t(key[i]), b = uint8_t(name[i]);
        if (a == b)
            continue;
        const uint8_t folded = a | 0x20;
        if (folded != (b | 0x20) || folded < 'a' || folded > 'z')
            return false;
    }
    return true;
}

// Calls fn(slot, character) for every character whose file key equals `name` ignoring case.
template <class Fn>
void for_each_named_char(const char* name, Fn fn)
{
    const size_t length = std::strlen(name);
    const uint32_t count = std::min<uint32_t>(g_char_count, k_char_slots);
    for (uint32_t slot = 0; slot < count; ++slot)
        if (key_equals(g_chars[slot].name, name, length))
            fn(int32_t(slot), g_chars[slot]);
}

// "HERO" or "Serin" (any case) in the word becomes the hero's file key.
void put_in_hero(char* word, bool serin_too)
{
    const bool hero_word = markup_equal(word, "HERO") || (serin_too && markup_equal(word, "Serin"));
    if (!hero_word)
        return;
    if (const char* hero = hero_file_key())
        std::snprintf(word, k_window_word_size, "%s", hero);
}

void centre_camera_on(float x, float y)
{
    const float zoom = g_zoom > 0.0f ? g_zoom : 1.0f;
    g_camera_x = x - float(g_screen_width) / zoom / 2.0f;
    g_camera_y = y - float(g_screen_height) / zoom / 2.0f;
}

void blank_words(command_call& c, int32_t words)
{
    for (int32_t k = 0; k <= words && c.at + k < c.count(); ++k)
        std::strcpy(c.w.words[c.at + k], "^0");
}

// A container that the commands may open: one of the table's slots that has a grid.
container* openable_container(int32_t n)
{
    if (n < 0 || n >= k_container_slots || !g_containers[n].items)
        return nullptr;
    return &g_containers[n];
}

void open_side_panel_container(int32_t n)
{
    g_interface.container_open = 1;
    g_interface.container_id = int16_t(n);
    g_interface.side_panel_open = 1;
    g_interface.side_panel_page = 2;
}

// The player's level name in g_map_path: the path itself or its last file name.
bool is_loaded_level(const char* level)
{
    if (std::strcmp(g_map_path, level) == 0)
        return true;
    const char* name = g_map_path;
    for (const char* p = g_map_path; *p; ++p)
        if (*p == '/' || *p == '\\')
            name = p + 1;
    return std::strcmp(name, level) == 0;
}

// The message window is emptied; true when it is the window being run.
bool reset_messages(const text_window& w)
{
    reset_text_window(&g_message_window);
    g_message_shown = 0;
    return &w == &g_message_window;
}

// ---- camera and interface switches ----

void center_view(command_call& c)
{
    center_view_on_char(&c.w, c.at + 1, !c.w.first_pass);
}

// Opens the selection window; the left press held now (the click that led here) is taken, so
// that it does nothing in the window.
void select_attunement(bool first)
{
    take_left_press();
    g_interface.attunement_select_open = 1;
    g_interface.attunement_select_first = first ? 1 : 0;
}

// ---- time, rest and fades ----

void rest(command_call&)
{
    rest_until_morning(&g_game_clock);
    advance_game_clock(&g_game_clock);
    if (char_record* player = char_at(int32_t(g_player_char))) {
        player->hp_ceiling = int16_t(player->hp_max);
        player->hp = player->hp_ceiling;
        player->mana = player->mana_max;
        player->life = k_life_alive;
    }
    font_end(&g_font_large);
    run_script("sleep.txt");
    font_begin(&g_font_large);
}

void fade(command_call&)
{
    font_end(&g_font_large);
    run_hook(g_script_links.fade_out_scene, "fade_out_scene");
}

// Waits n steps (at least one, at most k_unfade_step_limit), each a pass of window messages and
// the frame timing: the first at once, each further one when g_ticks has passed the tick of the
// step before plus one. A closed window ends the wait.
void unfade(command_call& c)
{
    const int32_t steps = std::clamp(c.integer(1), 1, k_unfade_step_limit);
    uint32_t mark = g_ticks;
    for (int32_t done = 0; done < steps && !g_quit_all;) {
        if (g_script_links.pump_messages)
            g_script_links.pump_messages();
        else
            log_hook_skipped("pump_messages");
        update_frame_timing();
        if (done == 0 || g_ticks > mark + 1) {
            mark = g_ticks;
            ++done;
        }
    }
    run_hook(g_script_links.fade_in_scene, "fade_in_scene");
    font_begin(&g_font_large);
}

// ---- quests and flags ----

void assign_named_quest(command_call& c)
{
    const int16_t q = find_quest(c.arg(1));
    if (q >= 0)
        assign_quest(&g_quests[q], uint8_t(q));
}

void set_named_quest_state(command_call& c)
{
    const int16_t q = find_quest(c.arg(1));
    if (q >= 0)
        set_quest_state(&g_quests[q], uint8_t(c.integer(2)));
}

void set_named_flag(command_call& c)
{
    const int16_t f = find_flag(c.arg(1));
    if (f >= 0)
        set_flag(&g_flags[f]);
}

void complete_named_quest(command_call& c)
{
    const int16_t q = find_quest(c.arg(1));
    if (q < 0)
        return;
    font_end(&g_font_large);
    complete_quest(&g_quests[q], uint16_t(q));
    font_begin(&g_font_large);
}

void remove_named_quests(command_call& c)
{
    for (int16_t q = 0; q < int16_t(g_quest_count) && q < k_quest_slots; ++q)
        if (markup_equal(g_quests[q].name, c.arg(1)))
            unassign_quest(&g_quests[q], q);
}

// ---- characters ----

void remove_char(command_call& c)
{
    put_in_hero(c.arg(1), true);
    for_each_named_char(c.arg(1), [](int32_t slot, char_record& ch) {
        world_object* object = world_object_of(ch);
        if (!object)
            return;
        remove_char_placement(&g_char_placements, slot);
        reset_object(object);
        object->alpha = 0.0f;
        ch.life = k_life_gone;
        ch.object = -1;
    });
}

void teleport_char(command_call& c)
{
    put_in_hero(c.arg(1), true);
    const float x = c.real(2), y = c.real(3);
    for_each_named_char(c.arg(1), [&](int32_t slot, char_record& ch) {
        world_object* object = world_object_of(ch);
        if (!object)
            return;
        ch.pos_x = object->x;
        ch.pos_y = object->y;
        object->x = x;
        object->y = y;
        update_placement_from_char(&g_char_placements, slot);
        if (slot == int32_t(g_player_char))
            centre_camera_on(x, y);
    });
}

void enable_char(command_call& c)
{
    for_each_named_char(c.arg(1), [](int32_t, char_record& ch) {
        if (world_object* object = world_object_of(ch)) {
            ch.life = k_life_alive;
            object->alpha = 1.0f;
        }
    });
}

void enable_char2(command_call& c)
{
    for_each_named_char(c.arg(1), [](int32_t, char_record& ch) { ch.life = k_life_alive; });
}

void disable_char(command_call& c)
{
    console_log("disabling %s", c.arg(1));
    for_each_named_char(c.arg(1), [](int32_t, char_record& ch) {
        if (world_object* object = world_object_of(ch)) {
            ch.life = k_life_disabled;
            object->alpha = 0.0f;
        }
    });
}

// "^set_char_mem", "^add_char_mem", "^sub_char_mem": memory value k of 0 to 5 (another k does
// nothing), kept to 16 bits.
template <int Sign>
void change_char_memory(command_call& c)
{
    put_in_hero(c.arg(1), true);
    const int32_t k = c.integer(2);
    if (k < 0 || k >= k_char_memory_values)
        return;
    const int32_t v = c.integer(3);
    for_each_named_char(c.arg(1), [&](int32_t, char_record& ch) {
        int16_t& value = ch.script_flags[k];
        value = int16_t(uint16_t(Sign == 0 ? int64_t(v) : int64_t(value) + Sign * int64_t(v)));
    });
}

void set_char_type(command_call& c)
{
    put_in_hero(c.arg(1), true);
    const uint8_t kind = uint8_t(c.integer(2));
    for_each_named_char(c.arg(1), [&](int32_t, char_record& ch) { ch.kind = kind; });
}

void set_char_state(command_call& c)
{
    put_in_hero(c.arg(1), true);
    const uint8_t life = uint8_t(c.integer(2));
    for_each_named_char(c.arg(1), [&](int32_t, char_record& ch) { ch.life = life; });
}

void set_id_state(command_call& c)
{
    const uint32_t count = std::min<uint32_t>(g_entity_count, k_entity_slots);
    for (uint32_t e = 0; e < count; ++e) {
        char name[sizeof g_entities[e].name + 1] = {};
        std::memcpy(name, g_entities[e].name, sizeof g_entities[e].name);
        if (markup_equal(name, c.arg(1))) {
            g_entities[e].state = uint8_t(c.integer(2));
            return;
        }
    }
}

// ---- dialogue navigation ----

void close_dialogue(command_call& c)
{
    if (char_record* centred = char_at(g_scene_header.followed_char))
        char_remove_item(centred, k_centre_marker_item, false);
    g_scene_header.followed_char = int16_t(g_player_char);
    c.w.dialogue_record_mode = 0;
    g_dialogue_running = 0;
}

void load_dialogue_part(command_call& c)
{
    if (!dialogue_path(c.w.requested_file, sizeof c.w.requested_file, c.arg(1)))
        return;
    c.w.dialogue_record_mode = 0;
    wait_for_left_release();
}

void load_dialogue_node(command_call& c)
{
    if (c.w.dialogue_record_mode != 1)
        return;
    int32_t found = -1;
    const int32_t nodes = std::clamp<int32_t>(g_dialogue.node_count, 0, k_dialogue_nodes);
    for (int32_t n = 0; n < nodes; ++n) {
        char name[k_dialogue_node_name_size + 1] = {};
        std::memcpy(name, g_dialogue.node_name[n], k_dialogue_node_name_size);
        if (markup_equal(name, c.arg(1)))
            found = n;
    }
    if (found < 0)
        return;
    c.w.dialogue_node = uint16_t(found);
    copy_bounded(c.w.requested_file, sizeof c.w.requested_file, c.w.name);
    c.w.name[0] = '\0';
    wait_for_left_release();
}

// A dialogue name that is refused is reported once, as the map events' are: a level script
// runs each frame.
bool start_dialog(command_call& c)
{
    const char* name = c.arg(1);
    if (event_action_refused(k_act_start_dialogue, name))
        return false;
    char path[k_window_path_size];
    char first[k_window_path_size] = {};
    for (const char* part : {"0.txt", "1.txt"}) {
        char relative[k_window_path_size];
        std::snprintf(relative, sizeof relative, "%s/%s", name, part);
        if (!dialogue_path(path, sizeof path, relative)) {
            note_refused_event_action(k_act_start_dialogue, name);
            return false;
        }
        if (file_exists(path) != 1) {
            if (!first[0])
                copy_bounded(first, sizeof first, path);
            continue;
        }
        console_log("otvaram dialog %s", path);
        copy_bounded(c.w.requested_file, sizeof c.w.requested_file, path);
        c.w.dialogue_record_mode = 0;
        if (char_record* player = char_at(int32_t(g_player_char))) {
            player->state = 0;
            set_char_anim(player, 0, 0, 0);
        }
        return true;
    }
    // Neither page: the pass goes on over the window's text, and the log names where it looked
    // (once, as the pass runs every frame).
    report_missing_file_once(first, "doterajsi text okna (chyba aj 1.txt)");
    return false;
}

bool change_map(command_call& c)
{
    const char* level = c.arg(1);
    const int32_t mode = c.integer(2);
    g_pending_level.mode = mode;
    const bool own_window_gone = reset_messages(c.w);
    if (is_loaded_level(level))
        return own_window_gone;
    request_level_change(level, mode);
    c.w.name[0] = '\0';
    if (dialogue_path(c.w.requested_file, sizeof c.w.requested_file, c.arg(3)))
        g_dialogue_running = 1;
    const char_record* player = char_at(int32_t(g_player_char));
    if (const world_object* object = player ? world_object_of(*player) : nullptr) {
        g_mouse_x = object->x;
        g_mouse_y = object->y;
    }
    g_mouse_left = g_mouse_right = g_mouse_middle = 0;
    return own_window_gone;
}

bool change_map_twice(command_call& c)
{
    g_load_twice = 1;
    g_pending_level.mode = c.integer(2);
    const bool own_window_gone = reset_messages(c.w);
    if (!is_loaded_level(c.arg(1)))
        request_level_change(c.arg(1), c.integer(2));
    return own_window_gone;
}

bool change_map_at(command_call& c)
{
    g_pending_level.mode = -1;
    g_explicit_entry = {1, c.integer(2), c.integer(3), c.integer(4)};
    g_load_twice = 1;
    const bool own_window_gone = reset_messages(c.w);
    if (!is_loaded_level(c.arg(1)))
        request_level_change(c.arg(1), -1);
    return own_window_gone;
}

// ---- containers ----

void shop(command_call& c)
{
    const int32_t n = c.integer(1);
    container* shop_container = openable_container(n);
    if (!shop_container)
        return;
    wait_for_left_release();
    container_tidy(shop_container);
    open_side_panel_container(n);
    g_interface.shop_buy_factor = int16_t(c.integer(2));
    g_interface.shop_sell_factor = int16_t(c.integer(3));
    blank_words(c, 3);
}

// ---- the table ----

using handler = bool (*)(command_call&);

struct run_time_entry {
    const char* word;
    bool first_pass;  // acts while the first-pass flag is set
    handler act;
};

template <void (*Fn)(command_call&)>
bool go_on(command_call& c)
{
    Fn(c);
    return false;
}

const run_time_entry k_run_time_commands[] = {
    {"^center_view_on_char", true, go_on<center_view>},
    {"^disable_scroll", true, [](command_call&) { g_interface.scroll_enabled = 0; return false; }},
    {"^enable_scroll", true, [](command_call&) { g_interface.scroll_enabled = 1; return false; }},
    {"^disable_npckill", true, [](command_call&) { g_interface.npc_kill_enabled = 0; return false; }},
    {"^enable_npckill", true, [](command_call&) { g_interface.npc_kill_enabled = 1; return false; }},
    {"^disable_zoom", true,
     [](command_call&) {
         g_interface.zoom_enabled = 0;
         g_zoom_target = float(g_screen_width) / 1024.0f;
         return false;
     }},
    {"^enable_zoom", true, [](command_call&) { g_interface.zoom_enabled = 1; return false; }},
    {"^select_attunement", false, [](command_call&) { select_attunement(false); return false; }},
    {"^select_attunement_first", false, [](command_call&) { select_attunement(true); return false; }},
    {"^rest", false, go_on<rest>},
    {"^goto_evening", false, [](command_call&) { wait_until_evening(&g_game_clock); return false; }},
    {"^fade", false, go_on<fade>},
    {"^unfade", false, go_on<unfade>},
    {"^assign_quest", true, go_on<assign_named_quest>},
    {"^set_quest_state", true, go_on<set_named_quest_state>},
    {"^set_flag", true, go_on<set_named_flag>},
    {"^complete_quest", true, go_on<complete_named_quest>},
    {"^remove_quest", true, go_on<remove_named_quests>},
    {"^remove_char", true, go_on<remove_char>},
    {"^teleport_char", false, go_on<teleport_char>},
    {"^enable_char", false, go_on<enable_char>},
    {"^enable_char2", false, go_on<enable_char2>},
    {"^disable_char", false, go_on<disable_char>},
    {"^set_char_mem", true, go_on<change_char_memory<0>>},
    {"^add_char_mem", true, go_on<change_char_memory<1>>},
    {"^sub_char_mem", true, go_on<change_char_memory<-1>>},
    {"^set_char_type", true, go_on<set_char_type>},
    {"^set_char_state", true, go_on<set_char_state>},
    {"^set_id_state", true, go_on<set_id_state>},
    {"^close", true, go_on<close_dialogue>},
    {"^load", false, go_on<load_dialogue_part>},
    {"^load_part", false, go_on<load_dialogue_node>},
    {"^start_dialog", true, start_dialog},
    {"^worldmap", true, [](command_call&) { request_level_change("worldmap", g_pending_level.mode); return false; }},
    {"^map", true, change_map},
    {"^map2", true, change_map_twice},
    {"^map3", false, change_map_at},
    {"^open_container", true, [](command_call& c) { open_container_command(&c.w, c.at); return false; }},
    {"^shop", true, go_on<shop>},
};

// The entry of each keyword of the keyword table, by its position there; null for the keywords
// the run pass only steps over.
const run_time_entry* entry_of(const markup_keyword& keyword)
{
    static const auto table = [] {
        const std::span<const markup_keyword> keywords = markup_keywords();
        std::array<const run_time_entry*, 256> out{};
        for (size_t i = 0; i < keywords.size() && i < out.size(); ++i)
            for (const run_time_entry& e : k_run_time_commands)
                if (markup_equal(keywords[i].word, e.word))
                    out[i] = &e;
        return out;
    }();
    const size_t index = size_t(&keyword - markup_keywords().data());
    return index < table.size() ? table[index] : nullptr;
}

} // namespace

bool run_time_command(text_window* window, const markup_keyword& keyword, int32_t index)
{
    const run_time_entry* entry = entry_of(keyword);
    if (!entry)
        return false;
    command_call call{*window, index};
    if (window->first_pass && !entry->first_pass)
        return false;
    return entry->act(call);
}

void center_view_on_char(text_window* window, int32_t arg, bool act)
{
    text_window& w = *window;
    if (arg < 0 || arg >= std::min<int32_t>(w.word_count, k_window_word_limit))
        return;
    char* name = w.words[arg];
    put_in_hero(name, false);
    if (!act)
        return;
    for_each_named_char(name, [](int32_t, char_record& ch) {
        if (const world_object* object = world_object_of(ch))
            centre_camera_on(object->x, object->y);
    });
    clamp_camera_to_scene(&g_scene_header);
}

void open_container_command(text_window* window, int32_t index)
{
    command_call c{*window, index};
    const int32_t n = c.integer(1);
    if (!openable_container(n))
        return;
    wait_for_left_release();
    open_side_panel_container(n);
    blank_words(c, 1);
}
