// The per-frame pass of the map events: their conditions and actions.
#include "script/map_events.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_outline.h"
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/editor_globals.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/ui_texts.h"
#include "items/containers.h"
#include "items/items.h"
#include "script/entities.h"
#include "script/map_texts.h"
#include "script/markup_keywords.h"
#include "script/quests.h"
#include "script/script_links.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

refused_event_actions g_refused_event_actions = {};

namespace {

constexpr int k_no_room_text = 94;     // UI text: the item does not fit the backpack
constexpr uint8_t k_warning_colour = 1;

char_record* hero()
{
    return char_at(int32_t(g_player_char));
}

int32_t char_count()
{
    return int32_t(std::min<uint32_t>(g_char_count, k_char_slots));
}

// A name field, which need not be terminated, against a name, ignoring case.
bool name_equals(const char* field, size_t size, const char* name)
{
    char key[64] = {};
    std::memcpy(key, field, std::min(strnlen(field, size), sizeof key - 1));
    return markup_equal(key, name);
}

// The first character slot whose file key is the name, or -1.
int32_t find_char(const char* name)
{
    for (int32_t s = 0; s < char_count(); ++s)
        if (name_equals(g_chars[s].name, sizeof g_chars[s].name, name))
            return s;
    return -1;
}

// A text naming the hero as "HERO" becomes, in the record, the hero's file key.
void rewrite_hero(char* text)
{
    const char_record* h = hero();
    if (h && std::strcmp(text, "HERO") == 0) {
        char key[sizeof h->name + 1] = {};
        std::memcpy(key, h->name, strnlen(h->name, sizeof h->name));
        copy_bounded(text, k_event_text_size, key);
    }
}

entity_record* entity_numbered(int32_t n)
{
    if (n < 0 || n >= int32_t(std::min<uint32_t>(g_entity_count, k_entity_slots))) {
        console_log("map events: no entity %d", int(n));
        return nullptr;
    }
    return &g_entities[n];
}

bool memory_index_valid(int32_t n)
{
    if (n >= 0 && n < 8)
        return true;
    console_log("map events: no character memory %d", int(n));
    return false;
}

bool blocked()
{
    return g_dialogue_running || g_interface.mouse_over_ui;
}

bool player_busy()
{
    const char_record* h = hero();
    return !h || h->state != 0;
}

bool cursor_in_sector(int32_t n)
{
    return point_in_sector(g_mouse_x, g_mouse_y, n) != 0;
}

bool click_in_sector(int32_t sector, uint32_t button, uint32_t& latch)
{
    if (player_busy() || blocked() || !cursor_in_sector(sector))
        return false;
    return press_edge(button, latch);
}

bool click_on_char(const char* key)
{
    if (player_busy() || blocked())
        return false;
    for (int32_t s = 0; s < char_count(); ++s) {
        if (!name_equals(g_chars[s].name, sizeof g_chars[s].name, key))
            continue;
        if (press_edge(g_mouse_left, g_event_left_latch))
            return char_outline_contains(&g_chars[s], g_mouse_x, g_mouse_y) != 0;
    }
    return false;
}

bool player_in_sector(int32_t n)
{
    const char_record* h = hero();
    const world_object* o = h ? world_object_of(*h) : nullptr;
    return o && point_in_sector(o->x, o->y, n) != 0;
}

bool char_memory_is(const char* key, int32_t index, int32_t value)
{
    if (!memory_index_valid(index))
        return false;
    for (int32_t s = 0; s < char_count(); ++s)
        if (name_equals(g_chars[s].name, sizeof g_chars[s].name, key) && g_chars[s].script_flags[index] == value)
            return true;
    return false;
}

bool quest_begins_in_state(const char* prefix, int32_t state)
{
    const size_t length = std::strlen(prefix);
    for (int q = 0; q < std::min<int>(g_quest_count, k_quest_slots); ++q) {
        const quest_record& quest = g_quests[q];
        char name[sizeof quest.name + 1] = {};
        std::memcpy(name, quest.name, strnlen(quest.name, sizeof quest.name));
        if (std::strlen(name) >= length && markup_begins(name, prefix) && quest.state == state)
            return true;
    }
    return false;
}

bool hero_armed()
{
    const char_record* h = hero();
    if (!h)
        return false;
    for (int k = 0; k < std::min<int>(h->inv_count, k_inventory_entries); ++k)
        if (h->inv_location[k] == k_inv_weapon)
            return true;
    return false;
}

bool attunement_active(const char* name)
{
    const char_record* h = hero();
    for (int32_t id = 0; h && id < std::min<int32_t>(g_item_proto_count, k_item_slots); ++id)
        if (name_equals(g_item_protos[id].key_name, sizeof g_item_protos[id].key_name, name) &&
            char_has_attunement(h, int16_t(id)))
            return true;
    return false;
}

// No living enemy that passes the world test (0 any, 1 below the dream world, 2 the dream world).
bool no_enemy(int world_test)
{
    for (int32_t s = 0; s < char_count(); ++s) {
        const char_record& c = g_chars[s];
        if (c.kind != k_kind_enemy || c.life != k_life_alive)
            continue;
        if (world_test == 0 || (world_test == 1 && c.world < 2) || (world_test == 2 && c.world == 2))
            return false;
    }
    return true;
}

void stop_player()
{
    if (char_record* h = hero()) {
        h->state = 0;
        set_char_anim(h, 0, 0, 0);
    }
}

void add_item(int32_t id)
{
    char_record* h = hero();
    if (!h || id < 0 || id >= std::min<int32_t>(g_item_proto_count, k_item_slots)) {
        console_log("map events: no item %d to give", int(id));
        return;
    }
    if (!char_take_item(h, int16_t(id), 1, -1))
        log_add_line(&g_message_log, k_warning_colour, "%s", ui_text(k_no_room_text));
}

// False when the dialogue's name was refused (outside its folder, too long, no such file), which
// is reported.
bool start_dialogue(const char* name)
{
    if (g_dialogue_running)
        return true;
    char path[k_window_path_size];
    const std::string first = std::string(name) + "/0.txt";
    if (!dialogue_path(path, sizeof path, first.c_str()))
        return false;
    console_log("chcem novy dialog %s", path);
    if (file_exists(path) != 1)
        dialogue_path(path, sizeof path, (std::string(name) + "/1.txt").c_str());
    if (file_exists(path) != 1) {
        report_missing_file(path, "bez dialogu");
        return false;
    }
    g_dialogue_window.name[0] = '\0';
    copy_bounded(g_dialogue_window.requested_file, sizeof g_dialogue_window.requested_file, path);
    g_dialogue_running = 1;
    g_dialogue_window.dialogue_record_mode = 0;
    stop_player();
    return true;
}

void move_char(const char* key, float x, float y)
{
    const int32_t s = find_char(key);
    if (s < 0)
        return;
    char_record& c = g_chars[s];
    c.state = 1;
    c.goal_x = c.path_goal_x = x;
    c.goal_y = c.path_goal_y = y;
}

void set_char_memory(const char* key, int32_t index, int32_t value)
{
    const int32_t s = find_char(key);
    if (s >= 0 && memory_index_valid(index))
        g_chars[s].script_flags[index] = int16_t(value);
}

void set_object_phase(int32_t entity, int32_t phase)
{
    const entity_record* e = entity_numbered(entity);
    const uint16_t* objects = e ? entity_objects(e) : nullptr;
    if (objects && e->object_count > 0 && objects[0] < g_object_count)
        g_objects[objects[0]].frame = phase;
}

// A creature file name stays inside its folder.
bool creature_name_safe(const char* name)
{
    return name[0] && !std::strchr(name, '/') && !std::strchr(name, '\\') && !std::strstr(name, "..");
}

enum class creature_added { yes, refused, no_slot };

// The creature enters the world (the action is then spent); a name refused (unsafe, no such file)
// is reported.
creature_added add_creature(const char* name, float x, float y)
{
    if (!creature_name_safe(name)) {
        console_log("map events: creature name \"%s\" refused", name);
        return creature_added::refused;
    }
    char path[k_map_path_size];
    std::snprintf(path, sizeof path, "data/creature/%s.chr", name);
    if (!creature_file_found(path))
        return creature_added::refused;
    const int32_t slot = load_char_into_free_slot(path);
    if (slot < 0) {
        console_log("map events: no free character slot for %s", name);
        return creature_added::no_slot;
    }
    add_char(&g_chars[slot], slot, x, y);
    return creature_added::yes;
}

bool level_enterable(const char* name)
{
    return run_hook_or(g_script_links.level_enterable, "level_enterable", true, name);
}

void open_container(int32_t n)
{
    if (n < 0 || n >= k_container_slots || !g_containers[n].items) {
        console_log("map events: no container %d", int(n));
        return;
    }
    g_interface.container_open = 1;
    g_interface.container_id = int16_t(n);
    g_interface.side_panel_open = 1;
    g_interface.side_panel_page = 2;
}

} // namespace

bool event_action_refused(uint32_t kind, const char* name)
{
    const refused_event_actions& r = g_refused_event_actions;
    for (uint32_t i = 0; i < std::min<uint32_t>(r.count, k_event_slots); ++i)
        if (r.kind[i] == kind && std::strcmp(r.name[i], name) == 0)
            return true;
    return false;
}

void note_refused_event_action(uint32_t kind, const char* name)
{
    refused_event_actions& r = g_refused_event_actions;
    const uint32_t i = r.count++ % k_event_slots;
    r.kind[i] = kind;
    copy_bounded(r.name[i], sizeof r.name[i], name);
}

namespace {

// The level changes of `e` that were refused (its ways to a level and to the travel map) are
// tried again the next time it holds.
void forget_refused_level_changes(const event_record& e)
{
    refused_event_actions& r = g_refused_event_actions;
    const uint32_t noted = std::min<uint32_t>(r.count, k_event_slots);
    for (int32_t a = 0; a < 4 && noted; ++a) {
        const uint32_t kind = e.action_kind[a];
        if (kind != k_act_load_map && kind != k_act_open_travel_map)
            continue;
        for (uint32_t i = 0; i < noted; ++i)
            if (r.kind[i] == kind && std::strncmp(r.name[i], e.action_text[a], k_event_text_size) == 0)
                r.kind[i] = ~0u;  // no action has this kind
    }
}

} // namespace

int32_t test_event_condition(int32_t event, int32_t slot)
{
    if (event < 0 || event >= k_event_slots || slot < 0 || slot >= 4)
        return 0;
    event_record& e = g_events[event];
    const int32_t n1 = e.condition_number[slot][0];
    const int32_t n2 = e.condition_number[slot][1];
    char* text = e.condition_text[slot];
    text[k_event_text_size - 1] = '\0';
    switch (e.condition_kind[slot]) {
    case k_cond_nothing: return 1;
    case k_cond_mouse_in_sector: return !blocked() && cursor_in_sector(n1);
    case k_cond_lmb_in_sector: return click_in_sector(n1, g_mouse_left, g_event_left_latch);
    case k_cond_rmb_in_sector: return click_in_sector(n1, g_mouse_right, g_event_right_latch);
    case k_cond_item_in_inventory: return hero() && char_has_item_named(hero(), text);
    case k_cond_player_in_sector: return player_in_sector(n1);
    case k_cond_entity_state: {
        const entity_record* en = entity_numbered(n1);
        return en && en->state == n2;
    }
    case k_cond_char_memory: rewrite_hero(text); return char_memory_is(text, n1, n2);
    case k_cond_click_on_char: rewrite_hero(text); return click_on_char(text);
    case k_cond_quest_state: return quest_begins_in_state(text, n1);
    case k_cond_hero_armed: return hero_armed();
    case k_cond_active_attunement: return attunement_active(text);
    case k_cond_no_enemy: return no_enemy(0);
    case k_cond_no_real_enemy: return no_enemy(1);
    case k_cond_no_dream_enemy: return no_enemy(2);
    default: return 1;
    }
}

int32_t run_event_action(int32_t event, int32_t slot)
{
    if (event < 0 || event >= k_event_slots || slot < 0 || slot >= 4)
        return 1;
    event_record& e = g_events[event];
    const int32_t n1 = e.action_number[slot][0];
    const int32_t n2 = e.action_number[slot][1];
    const float x = e.action_coord[slot][0];
    const float y = e.action_coord[slot][1];
    char* text = e.action_text[slot];
    text[k_event_text_size - 1] = '\0';
    const uint32_t kind = e.action_kind[slot];
    if (event_action_refused(kind, text))
        return 1;
    switch (kind) {
    case k_act_debug: console_log("preslo to"); break;
    case k_act_delete_event: {
        char name[k_event_text_size];
        copy_bounded(name, sizeof name, text);  // the record may move under the removal
        remove_event_named(name);
        break;
    }
    case k_act_game_text: show_map_text_by_key(text); break;
    case k_act_add_item: add_item(n1); break;
    case k_act_set_entity_state:
        if (entity_record* en = entity_numbered(n1))
            en->state = uint8_t(n2);
        break;
    case k_act_load_map:
        if (!level_enterable(text)) {
            note_refused_event_action(kind, text);
            break;
        }
        stop_player();
        request_level_change(text, n1);
        break;
    case k_act_start_dialogue:
        if (!start_dialogue(text))
            note_refused_event_action(kind, text);
        break;
    case k_act_move_char: rewrite_hero(text); move_char(text, x, y); break;
    case k_act_char_set_memory: rewrite_hero(text); set_char_memory(text, n1, n2); break;
    case k_act_break: return 0;
    case k_act_set_object_phase: set_object_phase(n1, n2); return 0;
    case k_act_add_creature:
        switch (add_creature(text, x, y)) {
        case creature_added::yes: e.action_kind[slot] = k_act_nothing; break;
        case creature_added::refused: note_refused_event_action(kind, text); break;
        case creature_added::no_slot: break;
        }
        break;
    case k_act_open_container: open_container(n1); break;
    case k_act_open_travel_map:
        // Refused when the story detour due, or else the map, has no level to enter. A detour's
        // level change waits for the end of the frame and the pass goes on; without one the
        // shell opens the travel map at the end of the frame.
        if (!level_enterable("worldmap")) {
            note_refused_event_action(kind, text);
            break;
        }
        if (take_story_detours())
            break;
        request_level_change("worldmap", 0);
        return 0;
    case k_act_enable_location: enable_map_location(n1); break;
    default: break;  // nothing, "remove item", "add char" and unknown kinds
    }
    return 1;
}

void evaluate_events()
{
    begin_message_frame();
    const char_record* h = hero();
    if (!h || !world_object_of(*h) || g_work_mode != k_work_play || g_dialogue_running)
        return;
    for (int32_t i = 0; i < int32_t(std::min<uint32_t>(g_event_count, k_event_slots)); ++i) {
        if (g_events[i].state != 1)
            continue;
        bool hold = true;
        for (int32_t c = 0; c < 4 && hold; ++c)
            hold = test_event_condition(i, c) != 0;
        if (!hold) {
            g_event_left_latch = g_event_right_latch = 0;
            forget_refused_level_changes(g_events[i]);
            continue;
        }
        for (int32_t a = 0; a < 4; ++a)
            if (!run_event_action(i, a))
                return;
    }
}
