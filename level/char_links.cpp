#include "level/char_links.h"

#include "characters/char_animation.h"
#include "characters/char_damage.h"
#include "characters/char_drawing.h"
#include "characters/char_inventory.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_outline.h"
#include "characters/char_spawning.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/monster_spawning.h"
#include "characters/surround.h"
#include "core/frame_timing.h"
#include "engine/localized_names.h"
#include "items/item_looks.h"
#include "engine/math.h"
#include "level/level_links.h"
#include "world/dream_world.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <vector>

namespace {

constexpr uint8_t k_no_interior = 255;
constexpr int32_t k_anim_hit = 4;
constexpr uint8_t k_dream_only_world = 2;
constexpr uint8_t k_dream_attached_layer = 30;

char_record* player()
{
    return char_at(int32_t(g_player_char));
}

// A character in the world after the level change takes its class's world, and gets its
// statistics recomputed, its item effects applied and its equipment rebuilt on the new level.
// A slot out of the world (life 0, or no world object) is left as it is: its slot field may name
// another character, whose owned objects a refresh would remove.
void prepare_crossing_char(char_record* c)
{
    if (c->life == k_life_gone || !world_object_of(*c))
        return;
    c->world = char_monster_proto(c).dreamwalk;
    recompute_char_stats(c, false);
    char_apply_item_effects(c);
    char_refresh_equipment(c);
}

void put_player(float x, float y, int16_t facing)
{
    char_record* c = player();
    if (!c)
        return;
    add_char(c, int32_t(g_player_char), x, y);
    world_object* o = world_object_of(*c);
    if (o && facing != -1)
        o->angle_b = facing;
}

bool player_position(float* x, float* y, int16_t* facing)
{
    const char_record* c = player();
    const world_object* o = c ? world_object_of(*c) : nullptr;
    if (!o)
        return false;
    *x = o->x;
    *y = o->y;
    *facing = int16_t(o->angle_b);
    return true;
}

void link_scene_hero()
{
    g_scene_hero.player_slot = [] { return int16_t(g_player_char); };
    g_scene_hero.player_alive = [] {
        const char_record* c = player();
        return c && c->life == k_life_alive;
    };
    g_scene_hero.put_player = put_player;
    g_scene_hero.player_position = player_position;
    g_scene_hero.reassign_attackers = [] { g_surround.next_update = 0; };
}

void link_dream_hero()
{
    g_dream_hero.mana = [] {
        const char_record* c = player();
        return c ? c->mana : 0;
    };
    g_dream_hero.set_mana = [](int32_t value) {
        if (char_record* c = player())
            c->mana = value;
    };
    g_dream_hero.has_attunement = [](int32_t item) {
        const char_record* c = player();
        return c && char_has_attunement(c, int16_t(item));
    };
}

// An effect attached to a vertex of a character's model (body part and vertex in its first two
// integer parameters) goes where that vertex is now; it takes a dream-world layer for a character
// seen only in the dream world, and the character as its owner. Returns the character object's
// alpha.
float follow_attached_vertex(world_object* o, int32_t slot)
{
    const char_record* c = char_at(slot);
    const world_object* body = c ? world_object_of(*c) : nullptr;
    if (!body)
        return 1.0f;
    float x, y;
    if (char_vertex_position(*c, o->entry_ints[0][0], o->entry_ints[0][1], &x, &y)) {
        o->x = x;
        o->y = y;
    }
    if (c->world == k_dream_only_world)
        o->layer = k_dream_attached_layer;
    o->owner = int16_t(slot);
    return body->alpha;
}

void link_object_chars()
{
    g_object_links.char_object = [](int32_t slot) {
        const char_record* c = char_at(slot);
        return c ? c->object : -1;
    };
    g_object_links.set_char_object = [](int32_t slot, int32_t index) {
        if (char_record* c = char_at(slot))
            c->object = index;
    };
    g_object_links.char_life_state = [](int32_t slot) {
        const char_record* c = char_at(slot);
        return c ? c->life : k_life_gone;
    };
    g_object_links.char_drawn_alpha = [](int32_t slot) {
        const char_record* c = char_at(slot);
        return c ? c->drawn_alpha : 0.0f;
    };
    g_object_links.char_last_position = [](int32_t slot, float* x, float* y) {
        const char_record* c = char_at(slot);
        if (!c)
            return false;
        *x = c->pos_x;
        *y = c->pos_y;
        return true;
    };
    g_object_links.draw_char = draw_char_at_object;
    g_object_links.draw_attached_model = follow_attached_vertex;
}

bool outline_contains(int32_t slot, float x, float y)
{
    const char_record* c = char_at(slot);
    return c && char_outline_contains(c, x, y) != 0;
}

void react_to_hit(int32_t slot, int32_t stun_min, int32_t stun_max)
{
    char_record* c = char_at(slot);
    if (!c || c->state == k_state_stunned || c->kind == k_kind_normal)
        return;
    set_char_anim(c, k_anim_hit, 1, 0);
    c->state = k_state_hit;
    play_char_hit_sound(slot);
    if (stun_max != 0) {
        c->state = k_state_stunned;
        c->pending_target = g_elapsed_ms + 1000u * uint32_t(int32_t(rand_range(float(stun_min), float(stun_max))));
    }
}

void link_object_missiles()
{
    g_object_links.char_count = [] { return g_char_count; };
    g_object_links.char_kind = [](int32_t slot) {
        const char_record* c = char_at(slot);
        return c ? c->kind : uint8_t(k_kind_normal);
    };
    g_object_links.char_world_fade = [](int32_t slot) {
        const char_record* c = char_at(slot);
        return c ? c->world_fade : 0.0f;
    };
    g_object_links.char_outline_contains = outline_contains;
    g_object_links.char_leave_world = [](int32_t slot) {
        if (char_record* c = char_at(slot)) {
            c->life = k_life_gone;
            c->object = -1;
        }
    };
    g_object_links.char_take_hit = [](int32_t slot, int32_t caster, int32_t weapon, int32_t percent,
                                      int32_t attunement) {
        char_record* c = char_at(slot);
        return c ? char_take_hit(c, caster, weapon, 0, percent, attunement) : 0;
    };
    g_object_links.char_hit_reaction = react_to_hit;
}

void link_level_chars()
{
    g_level_links.clear_char_objects = [] {
        for (uint32_t s = 0; s < g_char_count; ++s)
            g_chars[s].object = -1;
    };
    g_level_links.forget_player_object = [] { g_player_object = -1; };
    g_level_links.clear_player_interior = [] {
        if (char_record* c = player())
            c->interior = k_no_interior;
    };
    g_level_links.release_char_models = release_char_models;
    g_level_links.spawn_level_chars = [] { spawn_level_chars(&g_char_placements); };
    g_level_links.spawn_level_chars_full_health = [] { spawn_level_chars_full_health(&g_char_placements); };
    g_level_links.spawn_monsters_at_points = [] { spawn_monsters_at_points(&g_monster_points); };
    g_level_links.set_dream_presence = [] {
        for (uint32_t s = 1; s < g_char_count; ++s)
            set_char_world_presence(&g_chars[s]);
    };
    g_level_links.prepare_crossing_chars = [] {
        prune_foreign_part_models();
        for (uint32_t s = 1; s < g_char_count; ++s)
            prepare_crossing_char(&g_chars[s]);
    };
    g_level_links.load_char_names = [] {
        std::vector<char_name_entry> names;
        for (uint32_t s = 0; s < g_char_count; ++s)
            names.push_back({g_chars[s].display_name, sizeof g_chars[s].display_name});
        load_char_names_into(names);
    };
}

} // namespace

void install_char_links()
{
    link_scene_hero();
    link_dream_hero();
    link_object_chars();
    link_object_missiles();
    link_level_chars();
}
