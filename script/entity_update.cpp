// The entities' per-frame pass: descriptions under the cursor and the behaviour of each type.
#include "script/entities.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_table.h"
#include "characters/focus_list.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/hooks.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/sound.h"
#include "engine/ui_texts.h"
#include "items/casting.h"
#include "items/containers.h"
#include "items/items.h"
#include "items/spell_impact.h"
#include "items/spells.h"
#include "platform/files.h"
#include "script/dialogues.h"
#include "script/map_texts.h"
#include "script/script_links.h"
#include "script/script_services.h"
#include "script/text_window.h"
#include "world/dream_world.h"
#include "world/game_clock.h"
#include "world/movement_map.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr float k_fade_step = 0.08f;
constexpr float k_hex_mark_fade_step = 0.04f;
constexpr uint8_t k_life_dormant = 3;
constexpr int32_t k_container_open_spell = 115;
constexpr int32_t k_hex_mark_spell = 117;
constexpr int16_t k_hex_mark_points = 10;
constexpr uint32_t k_hero_turn_state = k_state_turn;
constexpr uint32_t k_hex_mark_hero_state = k_state_recover;

uint32_t g_campfire_latch = 0;  // the left button went down over a campfire and is still down

// What every behaviour reads of the hero this frame.
struct hero_view {
    char_record* hero = nullptr;
    world_object* object = nullptr;  // null: the hero is not in the world
};

bool sector_ok(int32_t n)
{
    return n >= 0 && n < k_sector_slots && g_sectors[n].active && g_sectors[n].count > 0;
}

bool hero_in_sector(const hero_view& h, int32_t sector)
{
    return h.object && sector_ok(sector) && point_in_sector(h.object->x, h.object->y, sector);
}

bool cursor_in_sector(int32_t sector)
{
    return sector_ok(sector) && point_in_sector(g_mouse_x, g_mouse_y, sector);
}

// Timed work is due while the due tick is below the frame's tick; it then waits `ticks`.
bool timed(entity_record& e, uint32_t ticks)
{
    if (e.due_tick >= g_ticks)
        return false;
    e.due_tick = g_ticks + ticks;
    return true;
}

world_object* object_at(uint32_t index)
{
    return g_objects && index < g_object_count ? &g_objects[index] : nullptr;
}

template <class Fn>
void for_each_object(const entity_record& e, Fn fn)
{
    const uint16_t* list = entity_objects(&e);
    if (!list)
        return;
    for (int k = 0; k < std::min<int>(e.object_count, k_entity_max_objects); ++k)
        if (world_object* o = object_at(list[k]))
            fn(*o);
}

world_object* first_object(const entity_record& e)
{
    const uint16_t* list = entity_objects(&e);
    return list && e.object_count > 0 ? object_at(list[0]) : nullptr;
}

void set_anim_mode(const entity_record& e, int32_t mode)
{
    for_each_object(e, [mode](world_object& o) { o.anim_mode = mode; });
}

void fade(world_object& o, float step)
{
    o.alpha = std::clamp(o.alpha + step, 0.0f, 1.0f);
}

// Fades the entity's objects by `step`; true when it has none or one has reached alpha 0.
bool fade_objects(const entity_record& e, float step)
{
    bool out = e.object_count == 0 || !entity_objects(&e);
    for_each_object(e, [&](world_object& o) {
        fade(o, step);
        out = out || o.alpha <= 0.0f;
    });
    return out;
}

template <class Fn>
void for_each_char_in_world(Fn fn)
{
    for (uint32_t s = 0; s < std::min<uint32_t>(g_char_count, k_char_slots); ++s)
        if (world_object* o = world_object_of(g_chars[s]))
            fn(g_chars[s], *o);
}

bool hero_idle(const hero_view& h)
{
    return h.hero && h.hero->state == k_state_idle;
}

bool container_shown()
{
    return g_interface.container_open != 0;
}

// The left button's press reaches the world: no dialogue holds the screen and the pointer is not
// over the interface (whose click it is).
bool left_click_on_world()
{
    return g_mouse_left && !g_dialogue_running && !g_interface.mouse_over_ui;
}

bool linked_entity_ok(const entity_record& e, int32_t self)
{
    return e.link >= 0 && uint32_t(e.link) < g_entity_count && e.link != self;
}

// The long description "data/text/<language>/<name>.txt", at most 1,999 bytes, trailing white
// space cut; empty when the name is not a plain file name or the file is missing.
std::string long_description(const entity_record& e)
{
    if (!is_plain_file_name(e.name))
        return {};
    const std::string path = std::string("data/text/") + g_language + "/" + e.name + ".txt";
    if (file_exists(path.c_str()) != 1)
        return {};
    std::vector<uint8_t> bytes;
    if (!read_whole_file(path.c_str(), &bytes))
        return {};
    std::string text(bytes.begin(), bytes.begin() + std::min(bytes.size(), k_long_description_size));
    text = text.c_str();  // a zero byte ends the text
    while (!text.empty() && uint8_t(text.back()) <= ' ')
        text.pop_back();
    return text;
}

// Shown in a freshly reset message window, laid out once to measure, then shown again with
// the window's height fitted to the text.
void show_long_description(const std::string& text)
{
    reset_text_window(&g_message_window);
    show_text_message(("^window 0 0 500 320 ^mouse_center ^gl_a 0.6 " + text).c_str());
    const float bottom = run_text_window(&g_message_window);
    char head[96];
    std::snprintf(head, sizeof head, "^window 0 0 500 %f ^mouse_center ^gl_a 0.6 ",
                  double(bottom + 32.0f - g_message_window.y1));
    reset_text_window(&g_message_window);
    show_text_message((head + text).c_str());
}

void describe(const entity_record& e, const hero_view& h)
{
    if (e.description <= 0 || !sector_ok(e.sector) || g_interface.mouse_over_ui || g_dialogue_running ||
        e.state == 0 || !cursor_in_sector(e.sector))
        return;
    if (uint32_t(e.description - 1) >= g_map_text_count)
        return;
    if (e.type == k_entity_outside_desc && h.hero && h.hero->interior != k_no_interior)
        return;
    show_map_text(e.description - 1);
    if (g_mouse_right) {
        const std::string text = long_description(e);
        if (!text.empty())
            show_long_description(text);
        g_entity_busy = 1;
    } else {
        show_map_text(e.description - 1);
    }
}

void shift_sort_values(int32_t self, const hero_view& h, float offset)
{
    const entity_record& e = g_entities[self];
    for_each_object(e, [offset](world_object& o) { o.depth_offset += offset; });
    for (uint32_t i = 0; g_objects && i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (&o != h.object && o.state != 0 && o.owner >= 0 && o.owner < k_char_slots)
            o.depth_offset += offset;
    }
    h.object->depth_offset += offset;
}

void run_interior(int32_t self, entity_record& e, const hero_view& h)
{
    if (sector_ok(e.sector))
        for_each_char_in_world([&](char_record& c, world_object& o) {
            if (point_in_sector(o.x, o.y, e.sector))
                c.interior = uint8_t(self);
        });
    if (h.hero && h.hero->interior == k_no_interior)
        for_each_char_in_world([&](char_record& c, world_object& o) {
            if (&c != h.hero && c.kind == k_kind_enemy && c.interior == k_no_interior)
                fade(o, k_fade_step);
        });
    if (!h.object || !sector_ok(e.sector) || !timed(e, 3))
        return;
    const float value = float(e.value);
    if (h.hero->interior == self) {
        if (e.state == 0)
            e.state = 1;
        if (e.inside == 0) {
            e.inside = 1;
            shift_sort_values(self, h, value);
            for_each_char_in_world([&](char_record& c, world_object& o) {
                if (&c != h.hero && point_in_sector(o.x, o.y, e.sector)) {
                    o.depth_offset = h.object->depth_offset;
                    c.interior = uint8_t(self);
                }
            });
        }
        fade_objects(e, k_fade_step);
        for_each_char_in_world([&](char_record& c, world_object& o) {
            if (&c != h.hero && c.interior == self)
                fade(o, k_fade_step);
        });
        return;
    }
    if (e.inside == 1 && e.state == 0) {
        e.inside = 0;
        shift_sort_values(self, h, -value);
        for_each_char_in_world([&](char_record& c, world_object& o) {
            if (&c != h.hero && c.interior == self) {
                o.depth_offset = h.object->depth_offset;
                c.interior = k_no_interior;
            }
        });
    }
    if (fade_objects(e, -k_fade_step))
        e.state = 0;
    for_each_char_in_world([&](char_record& c, world_object& o) {
        if (&c != h.hero && c.interior == self)
            fade(o, -k_fade_step);
    });
}

void run_night_item(entity_record& e, const hero_view& h)
{
    if (!h.object || !sector_ok(e.sector) || !timed(e, 3))
        return;
    if (g_game_clock.light_phase == k_light_phase_day || hero_in_sector(h, e.sector)) {
        if (fade_objects(e, -k_fade_step))
            e.state = 0;
    } else if (g_game_clock.light_phase == k_light_phase_night) {
        e.state = 1;
        fade_objects(e, k_fade_step);
    }
}

bool container_ok(const entity_record& e)
{
    const int32_t slot = e.container - 1;
    return slot >= 0 && slot < k_container_slots && g_containers[slot].items;
}

// The chest opens while its container is shown; the opening casts spell 115 on the hero once.
void run_container(const entity_record& e, const hero_view& h)
{
    world_object* first = first_object(e);
    if (!first || !container_ok(e))
        return;
    if (!container_shown() || g_interface.container_id != e.container - 1) {
        first->anim_mode = k_entity_anim_closed;
        return;
    }
    if (first->anim_mode == k_entity_anim_open)
        return;
    first->anim_mode = k_entity_anim_open;
    if (h.object && k_container_open_spell < g_spell_proto_count) {
        const int32_t hero = h.hero->slot;
        spawn_cast_particles_of(k_container_open_spell, hero, h.object->x, h.object->y, h.object->layer);
        cast_spell_by_id(k_container_open_spell, hero, h.object->x, h.object->y, h.object->x, h.object->y, -1, 0);
    }
}

void run_trap(entity_record& e, const hero_view& h)
{
    if (!h.object || char_has_attunement(h.hero, k_trap_ward_item) || !sector_ok(e.sector))
        return;
    if (!hero_in_sector(h, e.sector)) {
        set_anim_mode(e, k_entity_anim_open);
        if (e.interval == 0 && e.state == k_entity_state_done)
            e.state = 1;
        return;
    }
    set_anim_mode(e, k_entity_anim_closed);
    if (e.state == k_entity_state_done || e.due_tick >= g_ticks)
        return;
    e.due_tick = g_ticks + uint32_t(std::max<int16_t>(e.interval, 0));
    if (e.interval == 0)
        e.state = k_entity_state_done;
    const int32_t spell = e.spell - 1;
    if (!sector_ok(e.link) || spell < 0 || spell >= g_spell_proto_count)
        return;
    const int32_t caster = e.value > 0 ? -e.value : -1;  // always a point, never a character
    const map_sector& from = g_sectors[e.link];
    for (int32_t k = 0; k < std::min(from.count, k_sector_points); ++k)
        cast_spell_by_id(spell, caster, from.x[k], from.y[k], h.object->x, h.object->y, 0, 0);
}

void run_hex_mark(entity_record& e, const hero_view& h)
{
    if (e.state == k_entity_state_done && timed(e, 4)) {
        fade_objects(e, -k_hex_mark_fade_step);
        const world_object* first = first_object(e);
        if (!first || first->alpha < 0.05f)
            e.state = 0;
    }
    if (e.state != 1 || !hero_idle(h) || !hero_in_sector(h, e.sector))
        return;
    char_record& hero = *h.hero;
    hero.skill_points = int16_t(hero.skill_points + k_hex_mark_points);
    if (hero.clip_special[0] >= 0)
        start_char_clip(&hero, hero.clip_special[0]);
    char_apply_item_effects(&hero);
    h.object->anim_mode = k_entity_anim_open;
    hero.state = k_hex_mark_hero_state;
    std::fill(std::begin(hero.part_mode), std::end(hero.part_mode), uint8_t(0));
    e.state = k_entity_state_done;
    const char* name = hero_display_name();
    console_log("%s %s", name ? name : hero.name, ui_text(k_hex_mark_text));
    log_add_line(&g_message_log, 0, "%s %s", name ? name : hero.name, ui_text(k_hex_mark_text));
    if (k_hex_mark_spell < g_spell_proto_count) {
        spawn_cast_particles_of(k_hex_mark_spell, hero.slot, h.object->x, h.object->y, h.object->layer);
        cast_spell_by_id(k_hex_mark_spell, hero.slot, h.object->x, h.object->y, h.object->x, h.object->y, -1, 0);
    }
    play_voice_file("data/sound/hexmark.ogg");
}

void run_pool(entity_record& e, const hero_view& h, bool mana)
{
    if (!timed(e, mana ? 32 : 64) || !hero_in_sector(h, e.sector))
        return;
    int32_t& pool = mana ? h.hero->mana : h.hero->hp;
    if (pool < (mana ? h.hero->mana_max : h.hero->hp_max))
        ++pool;
}

void run_campfire(const entity_record& e, const hero_view& h)
{
    if (!h.object || g_dialogue_running || e.state > 1 || !hero_idle(h) || container_shown())
        return;
    if (!left_click_on_world() || g_campfire_latch || !cursor_in_sector(e.sector))
        return;
    g_campfire_latch = 1;
    if (g_in_combat > 0) {
        log_add_line(&g_message_log, 1, "%s", ui_text(k_campfire_refusal_text));
        return;
    }
    text_window& w = g_dialogue_window;
    copy_bounded(w.name, sizeof w.name, "bbb");
    char path[k_window_path_size];
    std::snprintf(path, sizeof path, "data/dialogs/%s/campfire/1.txt", g_language);
    copy_bounded(w.requested_file, sizeof w.requested_file, path);
    g_dialogue_running = 1;
    w.dialogue_record_mode = 0;
    h.hero->state = k_state_idle;
    h.hero->anim_action = 0;
    if (h.hero->clip_stand[0] >= 0)
        start_char_clip(h.hero, h.hero->clip_stand[0]);
}

bool left_held()
{
    return g_mouse_left != 0;
}

// Waits for the left button's release; false when the game quits meanwhile.
bool wait_for_release()
{
    if (!g_script_links.wait_until_released) {
        log_hook_skipped("wait_until_released");
        return true;
    }
    return g_script_links.wait_until_released(left_held);
}

// A lever's own objects and its linked entity follow its state.
void show_lever(int32_t self, const entity_record& e)
{
    const bool pulled = e.state == k_entity_state_done;
    set_anim_mode(e, pulled ? k_entity_anim_open : k_entity_anim_closed);
    if (!linked_entity_ok(e, self))
        return;
    entity_record& linked = g_entities[e.link];
    set_anim_mode(linked, pulled ? k_entity_anim_open : k_entity_anim_closed);
    linked.state = pulled ? 1 : k_entity_state_done;
}

void toggle(entity_record& e)
{
    e.state = e.state == k_entity_state_done ? 1 : k_entity_state_done;
}

// A left click on the lever: after the release the hero turns toward the cursor and the lever
// toggles. False when the game quits during the wait.
bool run_lever(int32_t self, entity_record& e, const hero_view& h)
{
    if (first_object(e) && h.object && hero_idle(h) && !container_shown() && left_click_on_world() &&
        cursor_in_sector(e.sector)) {
        if (!wait_for_release())
            return false;
        h.hero->facing = int16_t(spell_direction(h.object->x, h.object->y, g_mouse_x, g_mouse_y));
        h.hero->state = k_hero_turn_state;
        h.hero->next_state = 0;
        toggle(e);
    }
    show_lever(self, e);
    return true;
}

bool key_ok(const entity_record& e)
{
    return e.key_item >= 0 && e.key_item <= k_item_slots;
}

bool run_key_lever(int32_t self, entity_record& e, const hero_view& h)
{
    if (h.object && first_object(e) && key_ok(e) &&
        (e.key_item == 0 || char_has_item_id(h.hero, int16_t(e.key_item - 1))) && hero_idle(h) &&
        !container_shown() && left_click_on_world() && cursor_in_sector(e.sector)) {
        if (!wait_for_release())
            return false;
        if (linked_entity_ok(e, self))
            start_script(g_entities[e.link].name);
        if (e.key_item > 0)
            char_remove_item(h.hero, int16_t(e.key_item - 1), false);
        toggle(e);
    }
    show_lever(self, e);
    return true;
}

// Plays the sound at each object whose marker is -1 (play_sound_at refuses a second playback of
// the sound at the same point); an object whose sound has ended gets the marker -1 again.
void run_sound(entity_record& e)
{
    if (e.link < 0)
        return;
    for_each_object(e, [&](world_object& o) {
        int32_t& marker = o.entry_ints[0][0];
        if (marker == -1)
            e.sector = int16_t(play_sound_at(e.link, o.x, o.y));
        else if (count_sounds_at(e.link, o.x, o.y) == 0)
            marker = -1;
    });
}

void run_movemap_edit(const entity_record& e)
{
    if (!sector_ok(e.sector))
        return;
    const map_sector& s = g_sectors[e.sector];
    for (int32_t k = 0; k < std::min(s.count, k_sector_points); ++k)
        set_movemap_cell(&g_movement_map, int32_t(s.x[k]), int32_t(s.y[k]),
                         e.state == 1 ? k_cell_blocked : k_cell_free);
}

void run_monster_enabler(entity_record& e, const hero_view& h)
{
    if (!h.object || g_dialogue_running || e.state != 1 || !sector_ok(e.sector))
        return;
    char_record* sleeper = e.link >= 0 ? char_at(e.link) : nullptr;
    set_anim_mode(e, k_entity_anim_closed);
    if (sleeper)
        sleeper->life = k_life_dormant;
    if (!hero_in_sector(h, e.sector))
        return;
    set_anim_mode(e, k_entity_anim_open);
    e.state = k_entity_state_done;
    if (sleeper && sleeper->life == k_life_dormant)
        sleeper->life = k_life_alive;
}

// One entity's behaviour; false ends the pass (the game quits).
bool run_entity(int32_t self, entity_record& e, const hero_view& h)
{
    switch (e.type) {
    case k_entity_interior: run_interior(self, e, h); break;
    case k_entity_night_item: run_night_item(e, h); break;
    case k_entity_container: run_container(e, h); break;
    case k_entity_trap: run_trap(e, h); break;
    case k_entity_down_anim:
        if (e.state == 1)
            set_anim_mode(e, k_entity_anim_open);
        break;
    case k_entity_hex_mark: run_hex_mark(e, h); break;
    case k_entity_mana_pool: run_pool(e, h, true); break;
    case k_entity_life_pool: run_pool(e, h, false); break;
    case k_entity_campfire: run_campfire(e, h); break;
    case k_entity_lever: return run_lever(self, e, h);
    case k_entity_random_sound:
    case k_entity_loop_sound_day:
    case k_entity_loop_sound_night:
        if (entity_sound_plays_at(e.type, g_game_clock.hour))
            run_sound(e);
        break;
    case k_entity_movemap_edit: run_movemap_edit(e); break;
    case k_entity_monster_enabler: run_monster_enabler(e, h); break;
    case k_entity_key_lever: return run_key_lever(self, e, h);
    default: break;
    }
    return true;
}

} // namespace

bool entity_sound_plays_at(uint8_t type, uint8_t hour)
{
    if (type == k_entity_loop_sound_day)
        return hour >= 6 && hour <= 19;
    if (type == k_entity_loop_sound_night)
        return hour < 5 || hour > 20;
    return type == k_entity_random_sound;
}

void update_entities()
{
    if (g_scene_header.level_type == k_level_gui || g_text_viewer_open)
        return;
    if (!g_mouse_left)
        g_campfire_latch = 0;
    hero_view h;
    h.hero = char_at(int32_t(g_player_char));
    h.object = h.hero ? world_object_of(*h.hero) : nullptr;
    for_each_char_in_world([](char_record& c, world_object&) { c.interior = k_no_interior; });
    g_entity_busy = 0;
    const uint32_t count = std::min<uint32_t>(g_entity_count, k_entity_slots);
    for (uint32_t i = 0; i < count && i < g_entity_count; ++i) {
        entity_record& e = g_entities[i];
        if (e.dream_only && !g_dream_world.active)
            continue;
        describe(e, h);
        if (e.type == k_entity_container && container_ok(e) && cursor_in_sector(e.sector))
            focus_list_add(&g_focus_list, k_focus_entity, i);
        if (!run_entity(int32_t(i), e, h))
            return;
    }
}
