// The load-time commands that act on characters.
#include "script/load_time_internal.h"

#include "characters/char_animation.h"
#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_spawning.h"
#include "characters/char_table.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/math.h"
#include "engine/ui_texts.h"
#include "items/casting.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "items/spell_impact.h"
#include "items/spells.h"
#include "script/dialogues.h"
#include "script/markup_keywords.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr float k_walk_reach = 20.0f;          // "^move_char" passes over characters this near
constexpr uint8_t k_cast_side = 20;            // side of the cast effects of the spell commands
constexpr uint8_t k_fade_out_entry = 10;       // behaviour entry: fade out after the lifetime
constexpr int16_t k_placement_value = 220;     // last value of a placement "^add_char" appends
constexpr int32_t k_clip_list_size = 18;
constexpr uint8_t k_death_event = 3;

int32_t char_limit()
{
    return int32_t(std::min<uint32_t>(g_char_count, k_char_slots));
}

// Characters named `name`: the first or the last, with or without a world object.
char_record* find_char(const char* name, bool last, bool with_object)
{
    char_record* found = nullptr;
    for (int32_t s = 0; s < char_limit(); ++s) {
        char_record& c = g_chars[s];
        if (!markup_equal(c.name, name) || (with_object && !world_object_of(c)))
            continue;
        found = &c;
        if (!last)
            break;
    }
    return found;
}

template <class Act>
void for_each_char_with_object(const char* name, Act act)
{
    for (int32_t s = 0; s < char_limit(); ++s)
        if (markup_equal(g_chars[s].name, name) && world_object_of(g_chars[s]))
            act(g_chars[s]);
}

int32_t slot_of(const char_record& c)
{
    return int32_t(&c - g_chars);
}

// The facing rule: the character, which has a world object, turns toward (x, y).
void face_point(char_record& c, float x, float y)
{
    const world_object* o = world_object_of(c);
    if (!o)
        return;
    c.facing = int16_t(spell_direction(o->x, o->y, x, y));
    c.state = k_state_turn;
    c.next_state = 0;
}

// a turns toward b, starts its move clip, and b turns toward a.
void face_each_other(char_record& a, char_record& b)
{
    const world_object* oa = world_object_of(a);
    const world_object* ob = world_object_of(b);
    if (!oa || !ob)
        return;
    face_point(a, ob->x, ob->y);
    set_char_anim(&a, k_action_move, 0, 0);
    a.state = k_state_turn;
    a.next_state = 0;
    face_point(b, oa->x, oa->y);
}

// The centre marker leaves the centred character; `c` becomes the centred one and, when alive,
// carries the marker.
void make_centred(char_record& c)
{
    if (char_record* centred = char_at(g_scene_header.followed_char))
        char_remove_item(centred, k_centre_marker_item, false);
    g_scene_header.followed_char = int16_t(slot_of(c));
    if (c.life == k_life_alive)
        char_give_item(&c, k_centre_marker_item, 1, k_inv_attunement, -1);
}

void fade(const load_time_call& call, uint32_t state)
{
    if (char_record* c = find_char(call.arg(1), true, true)) {
        c->state = state;
        c->steps_left = 0;
    }
}

// The character's clips in the order they are registered: stand1-2, move1-2, death1-2, hit1-2,
// attack1-4, spell1-3, spec1-3.
int16_t clip_of(const char_record& c, int32_t n)
{
    const int16_t clips[k_clip_list_size] = {
        c.clip_stand[0],  c.clip_stand[1],  c.clip_move[0],    c.clip_move[1],    c.clip_death[0],   c.clip_death[1],
        c.clip_hit[0],    c.clip_hit[1],    c.clip_attack[0],  c.clip_attack[1],  c.clip_attack[2],  c.clip_attack[3],
        c.clip_spell[0],  c.clip_spell[1],  c.clip_spell[2],   c.clip_special[0], c.clip_special[1], c.clip_special[2]};
    return clips[n];
}

// A spell id by its name (the last match), or -1.
int32_t find_spell_named(const char* name)
{
    int32_t found = -1;
    const int32_t count = std::clamp<int32_t>(g_spell_proto_count, 0, k_spell_slots);
    for (int32_t s = 0; s < count; ++s)
        if (markup_equal(g_spell_protos[s].name, name))
            found = s;
    return found;
}

} // namespace

void ltc_run_char_script(const load_time_call& call)
{
    char_record* c = find_char(call.arg(1), true, true);
    if (char_record* centred = char_at(g_scene_header.followed_char))
        char_remove_item(centred, k_centre_marker_item, false);
    g_dialogue_running = 0;
    call.window->dialogue_record_mode = 1;
    if (c)
        run_char_event(slot_of(*c), uint8_t(markup_int(call.arg(2))));
}

void ltc_char_attack(const load_time_call& call)
{
    char_record* a = find_char(call.arg(1), true, true);
    char_record* t = find_char(call.arg(2), true, true);
    if (a && t) {
        a->state = k_state_strike;
        a->target = int16_t(slot_of(*t));
    }
}

void ltc_char_kill(const load_time_call& call)
{
    char_record* c = find_char(call.arg(1), true, true);
    if (!c)
        return;
    c->hp = -1;
    c->kind = k_kind_enemy;
    play_char_death_sound(slot_of(*c));
    run_char_event(slot_of(*c), k_death_event);
}

void ltc_char_fadedown(const load_time_call& call)
{
    fade(call, k_state_fade_out);
}

void ltc_char_fadeup(const load_time_call& call)
{
    fade(call, k_state_fade_in);
}

void ltc_update_char(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero | k_name_dovan | k_name_serin);
    for_each_char_with_object(call.arg(1), [](char_record& c) {
        char_apply_item_effects(&c);
        char_refresh_equipment(&c);
        set_char_anim(&c, c.anim_action, 1, 1);
    });
}

void ltc_play_anim(const load_time_call& call)
{
    const int32_t action = markup_int(call.arg(2));
    if (action < k_action_stand || action > k_action_special)
        return;
    for_each_char_with_object(call.arg(1), [action](char_record& c) {
        set_char_anim(&c, action, 1, 1);
        c.state = k_state_recover;
    });
}

void ltc_play_spec_anim(const load_time_call& call)
{
    const int32_t n = markup_int(call.arg(2));
    if (n < 0 || n >= k_clip_list_size)
        return;
    for_each_char_with_object(call.arg(1), [n](char_record& c) {
        start_char_clip(&c, clip_of(c, n));
        char_apply_item_effects(&c);
        if (world_object* o = world_object_of(c))
            o->anim_mode = 3;
        c.state = k_state_recover;
        std::fill(std::begin(c.part_mode), std::end(c.part_mode), uint8_t(0));
    });
}

void ltc_heal_char(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero | k_name_serin);
    for_each_char_with_object(call.arg(1), [](char_record& c) {
        c.hp_ceiling = int16_t(std::clamp<int32_t>(c.hp_max, INT16_MIN, INT16_MAX));
        c.hp = c.hp_ceiling;
    });
}

void ltc_cast_spell_char(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero | k_name_serin);
    char_record* c = find_char(call.arg(1), true, true);
    const int32_t spell = find_spell_named(call.arg(2));
    if (spell < 0)
        console_log("Nenasiel som kuzlo");
    if (!c)
        console_log("Nenasiel som charakter");
    if (!c || spell < 0)
        return;
    const world_object* o = world_object_of(*c);
    // A negative caster number casts from the point; -0 names slot 0.
    const int16_t caster = int16_t(-std::clamp<int32_t>(markup_int(call.arg(3)), -INT16_MAX, INT16_MAX));
    spell_proto& proto = g_spell_protos[spell];
    spawn_cast_particles(proto, -1, uint32_t(spell), o->x, o->y, k_cast_side);
    cast_spell(proto, caster, spell, o->x, o->y, o->x, o->y, 0, 1);
}

void ltc_cast_spell_char_on(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero);
    char_record* c = find_char(call.arg(1), true, true);
    const int32_t spell = find_spell_named(call.arg(2));
    char_record* t = find_char(call.arg(3), true, true);
    if (spell < 0)
        console_log("Nenasiel som kuzlo");
    if (!c)
        console_log("Nenasiel som charakter1");
    if (!t)
        console_log("Nenasiel som charakter2");
    if (!c || !t || spell < 0)
        return;
    const world_object* o = world_object_of(*c);
    const world_object* to = world_object_of(*t);
    spell_proto& proto = g_spell_protos[spell];
    spawn_cast_particles(proto, int16_t(slot_of(*c)), uint32_t(spell), o->x, o->y, k_cast_side);
    cast_spell(proto, int16_t(slot_of(*c)), spell, to->x, to->y, to->x, to->y, 0, 1);
}

void ltc_move_char(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero | k_name_serin);
    const float x = markup_float(call.arg(2));
    const float y = markup_float(call.arg(3));
    for (int32_t s = 0; s < char_limit(); ++s) {
        char_record& c = g_chars[s];
        const world_object* o = world_object_of(c);
        if (!o || !markup_equal(c.name, call.arg(1)) || distance2d(o->x, o->y, x, y) <= k_walk_reach)
            continue;
        c.state = k_state_plan_path;
        c.goal_x = c.path_goal_x = x;
        c.goal_y = c.path_goal_y = y;
        return;
    }
}

void ltc_rem_char(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero);
    for_each_char_with_object(call.arg(1), [](char_record& c) {
        remove_char_placement(&g_char_placements, slot_of(c));
        world_object* o = world_object_of(c);
        o->entry_kinds[0] = k_fade_out_entry;
        o->entry_ints[0][4] = slot_of(c);
        o->entry_count = 1;
        o->lifetime = 0;
        c.object = -1;
    });
}

void ltc_change_char(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero);
    for (int32_t s = 0; s < char_limit(); ++s) {
        char_record& c = g_chars[s];
        if (c.state == k_state_fade_out || !world_object_of(c) || !markup_equal(c.name, call.arg(1)))
            continue;
        c.state = k_state_fade_out;
        std::snprintf(c.change_into, sizeof c.change_into, "%s", call.arg(2));
        return;
    }
}

void ltc_weapon_name(const load_time_call& call)
{
    const char_record* hero = hero_record();
    const item_proto* weapon = hero ? item_proto_at(char_weapon_item(hero)) : nullptr;
    if (weapon)
        std::snprintf(call.arg(0), k_window_word_size, "%s", weapon->display_name);
}

void ltc_change_element(const load_time_call& call)
{
    char_record* hero = hero_record();
    if (!hero)
        return;
    const int32_t n = markup_int(call.arg(1));
    const int32_t entries = std::min<int32_t>(hero->inv_count, k_inventory_entries);
    for (int32_t i = 0; i < entries; ++i)
        if (hero->inv_location[i] == k_inv_weapon)
            hero->inv_damage_type[i] = n >= 4 && n <= 255 ? uint8_t(n) : 0;
    refresh_hero();
}

void ltc_add_char(const load_time_call& call)
{
    char file[k_window_word_size + 4];
    std::snprintf(file, sizeof file, "%s.chr", call.arg(1));
    const int16_t before = g_char_placements.count;
    add_char_placement(&g_char_placements, file, markup_float(call.arg(2)), markup_float(call.arg(3)),
                       k_placement_value);
    if (g_char_placements.count > before)
        spawn_char_from_placement(&g_char_placements, g_char_placements.count - 1, false);
}

void ltc_char2char(const load_time_call& call)
{
    constexpr uint8_t names = k_name_hero | k_name_serin | k_name_dovan;
    put_hero_key(call.arg(1), names);
    put_hero_key(call.arg(2), names);
    char_record* a = find_char(call.arg(1), false, false);
    char_record* b = find_char(call.arg(2), false, false);
    if (a && b)
        face_each_other(*a, *b);
}

void ltc_hero2clicked(const load_time_call&)
{
    char_record* a = hero_record();
    char_record* b = char_at(g_interface.clicked_char);
    if (a && b)
        face_each_other(*a, *b);
}

void ltc_lookat2(const load_time_call& call)
{
    if (char_record* hero = hero_record())
        face_point(*hero, markup_float(call.arg(1)), markup_float(call.arg(2)));
}

void ltc_lookat3(const load_time_call&)
{
    if (char_record* hero = hero_record())
        face_point(*hero, g_mouse_x, g_mouse_y);
}

void ltc_lookat(const load_time_call& call)
{
    constexpr uint8_t names = k_name_hero | k_name_serin | k_name_dovan;
    put_hero_key(call.arg(1), names);
    put_hero_key(call.arg(2), names);
    char_record* a = find_char(call.arg(1), false, false);
    char_record* b = find_char(call.arg(2), false, false);
    const world_object* ob = b ? world_object_of(*b) : nullptr;
    if (a && ob)
        face_point(*a, ob->x, ob->y);
}

void ltc_center_clicked(const load_time_call&)
{
    if (char_record* c = char_at(g_interface.clicked_char))
        make_centred(*c);
}

void ltc_center_char(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero | k_name_serin | k_name_dovan);
    if (char_record* c = find_char(call.arg(1), false, false))
        make_centred(*c);
}

void ltc_add_char_item(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero | k_name_serin);
    char_record* c = find_char(call.arg(1), false, false);
    if (!c)
        return;
    const int32_t item = find_item_named(call.arg(2));
    if (item < 0) {
        console_log("%s nenasiel", call.arg(2));
        return;
    }
    const int32_t n = markup_int(call.arg(3));
    if (char_take_item(c, int16_t(item), uint32_t(n), -1))
        return;
    drop_ground_item(uint16_t(item), uint16_t(n), -1, -1, true, uint16_t(slot_of(*c)), 0xFFFF);
    log_add_line(&g_message_log, 1, "%s", ui_text(94));
}

void ltc_add_char_weapon(const load_time_call& call)
{
    put_hero_key(call.arg(1), k_name_hero);
    char_record* c = find_char(call.arg(1), false, false);
    if (!c)
        return;
    const int32_t item = find_item_named(call.arg(2));
    if (item < 0)
        console_log("%s nenasiel", call.arg(2));
    else
        char_equip_weapon(c, int16_t(item));
}
