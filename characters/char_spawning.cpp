#include "characters/char_spawning.h"

#include "characters/char_inventory.h"
#include "characters/char_models.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/creature_files.h"
#include "characters/monster_points.h"
#include "characters/monster_protos.h"
#include "characters/monster_spawning.h"
#include "core/console_log.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <strings.h>

namespace {

constexpr const char* k_companion_key = "serin";  // lives in the global slots, never placed

bool in_list(const char_placement_list* list, int32_t index)
{
    return list && index >= 0 && index < std::clamp<int32_t>(list->count, 0, k_placement_slots);
}

int32_t inventory_count(uint8_t count)
{
    return std::min<int32_t>(count, k_inventory_entries);
}

// The placement's overrides, in their fixed order.
void apply_overrides(const char_placement& p, char_record* c, world_object* o, int32_t slot)
{
    if (std::strlen(p.display_name) > 2)
        copy_bounded(c->display_name, sizeof c->display_name, p.display_name);
    if (p.hp != k_placement_keep_points)
        c->hp = p.hp;
    if (p.mana != k_placement_keep_points)
        c->mana = p.mana;
    if (p.key_name[0] && std::strcmp(p.key_name, "noname") != 0)
        copy_bounded(c->name, sizeof c->name, p.key_name);
    if (p.inv_count != 0) {
        const int32_t n = inventory_count(p.inv_count);
        c->inv_count = uint8_t(n);
        std::copy_n(p.inv_location, n, c->inv_location);
        std::copy_n(p.inv_item, n, c->inv_item);
        std::copy_n(p.inv_damage_type, n, c->inv_damage_type);
        std::copy_n(p.inv_value, n, c->inv_value);
    }
    if (p.run_speed != k_placement_keep_speeds) {
        c->run_speed = uint32_t(p.run_speed);
        c->walk_speed = p.walk_speed;
    }
    if (p.exp != 0)
        c->exp = p.exp;
    if (o)
        o->alpha = p.object_alpha;
    c->scale_x = c->scale_y = p.scale;
    c->home_sector = p.home_sector;
    c->action_sector = p.action_sector;
    c->world = p.world;
    if (o) {
        o->angle_a = p.angle;
        o->angle_b = p.angle2;
        o->angle_c = p.angle3;
        o->red = p.colour[0];
        o->green = p.colour[1];
        o->blue = p.colour[2];
    }
    c->random_move = p.random_move;
    c->ai_distance = p.ai_distance;
    c->monster_class = p.monster_class;
    c->level = p.level;
    if (p.hp_ceiling != k_placement_keep_points)
        c->hp_ceiling = p.hp_ceiling;
    c->monster_point = int16_t(p.monster_point - 1);
    if (monster_point* point = monster_point_at(&g_monster_points, c->monster_point))
        point->slots[1] = int16_t(slot);
    const monster_proto& cls = char_monster_proto(c);
    c->melee_base = monster_class_skill(cls, k_skill_melee);
    c->ranged_base = monster_class_skill(cls, k_skill_ranged);
    c->magic_base = monster_class_skill(cls, k_skill_magic);
    c->speed_base = monster_class_skill(cls, k_skill_speed);
    c->world = cls.dreamwalk;
    std::copy(std::begin(p.script_flags), std::end(p.script_flags), c->script_flags);
}

} // namespace

void add_char_placement(char_placement_list* list, const char* file, float x, float y, int16_t angle2)
{
    if (!list || list->count < 0 || list->count >= k_placement_slots)
        return;
    char_placement& p = list->entries[list->count++];
    p = char_placement{};
    copy_bounded(p.creature_file, sizeof p.creature_file, file);
    p.x = x;
    p.y = y;
    p.object_alpha = 1.0f;
    p.scale = 1.35f;
    p.colour[0] = p.colour[1] = p.colour[2] = 1.0f;
    p.angle = 45;
    p.angle2 = angle2;
    p.char_slot = -1;
    p.hp = p.mana = p.hp_ceiling = k_placement_keep_points;
    std::fill(std::begin(p.skills), std::end(p.skills), uint8_t(1));
    p.ai_distance = 700;
    p.level = 1;
    p.run_speed = k_placement_keep_speeds;  // a speed of 0 would hold the character where it stands
}

namespace {

// Spawns the placement; with treasure the class's random treasure is rolled before the
// equipment is prepared.
int32_t spawn_placement(char_placement_list* list, int32_t index, bool apply_kind, bool treasure)
{
    if (!in_list(list, index))
        return -1;
    char_placement& p = list->entries[index];
    if (strcasecmp(p.key_name, k_companion_key) == 0)
        return -1;
    const std::string path = creature_file_path(p.creature_file);
    if (path.empty() || !creature_file_found(path.c_str()))
        return p.char_slot;

    const int32_t slot = load_char_into_free_slot(path.c_str());
    if (slot < 0)
        return p.char_slot;
    p.char_slot = int16_t(slot);
    char_record* c = &g_chars[slot];
    add_char(c, slot, p.x, p.y);
    c->level_char = 1;
    if (apply_kind)
        c->kind = p.kind;
    apply_overrides(p, c, world_object_of(*c), slot);
    if (treasure)
        roll_monster_treasure(slot);
    char_apply_item_effects(c);
    char_refresh_equipment(c);
    set_char_anim(c, c->anim_action, 1, 1);
    return p.char_slot;
}

} // namespace

int32_t spawn_char_from_placement(char_placement_list* list, int32_t index, bool apply_kind)
{
    return spawn_placement(list, index, apply_kind, list && list->change_file_read == 0);
}

int32_t spawn_monster_from_placement(char_placement_list* list, int32_t index)
{
    return spawn_placement(list, index, false, false);
}

int32_t spawn_char_from_placement_full_health(char_placement_list* list, int32_t index, bool apply_kind)
{
    const int32_t slot = spawn_char_from_placement(list, index, apply_kind);
    // The maximum is recomputed after the placement's level and class: a placement of another
    // level than its creature file's starts at the full health of its own level.
    if (char_record* c = char_at(slot))
        recompute_char_stats(c, true);
    return slot;
}

namespace {

void spawn_all(char_placement_list* list, int32_t (*spawn)(char_placement_list*, int32_t, bool))
{
    if (list->count > 255)
        list->count = 0;
    for (int32_t i = 0; i < list->count; ++i) {
        console_log("inserting char %d from %d", int(i), int(list->count));
        spawn(list, i, true);
    }
}

} // namespace

void spawn_level_chars(char_placement_list* list)
{
    spawn_all(list, spawn_char_from_placement);
}

void spawn_level_chars_full_health(char_placement_list* list)
{
    spawn_all(list, spawn_char_from_placement_full_health);
}

namespace {

// A placement that keeps its creature file's speeds goes on keeping them while the character runs
// and walks at them.
bool keeps_file_speeds(const char_placement& p, const char_record& c)
{
    if (p.run_speed != k_placement_keep_speeds || !is_plain_file_name(p.creature_file))
        return false;
    char path[64];
    std::snprintf(path, sizeof path, "%s%s", k_creature_folder, p.creature_file);
    char_record file{};
    return read_char_file_record(path, &file) && file.run_speed == c.run_speed && file.walk_speed == c.walk_speed;
}

} // namespace

void update_placement_from_char(char_placement_list* list, int32_t slot)
{
    char_record* c = char_at(slot);
    if (!list || !c)
        return;
    recompute_char_stats(c, false);
    const world_object* o = world_object_of(*c);
    if (!o)
        return;
    for (int32_t i = 0; i < std::clamp<int32_t>(list->count, 0, k_placement_slots); ++i) {
        char_placement& p = list->entries[i];
        if (p.char_slot != slot)
            continue;
        copy_bounded(p.display_name, sizeof p.display_name, c->display_name);
        p.kind = c->kind;
        p.x = o->x;
        p.y = o->y;
        p.object_alpha = o->alpha;
        p.angle = int16_t(o->angle_a);
        p.angle2 = int16_t(o->angle_b);
        p.angle3 = int16_t(o->angle_c);
        p.scale = c->scale_x;
        p.colour[0] = o->red;
        p.colour[1] = o->green;
        p.colour[2] = o->blue;
        p.hp = int16_t(std::clamp(c->hp, -32768, 32767));
        p.mana = int16_t(std::clamp(c->mana, -32768, 32767));
        p.home_sector = int16_t(c->home_sector);
        p.action_sector = c->action_sector;
        p.world = c->world;
        p.skills[0] = c->melee_base;
        p.skills[1] = c->ranged_base;
        p.skills[2] = c->magic_base;
        p.skills[3] = c->speed_base;
        const int32_t n = std::min<int32_t>(inventory_count(c->inv_count), k_placement_inventory);
        p.inv_count = uint8_t(n);
        std::copy_n(c->inv_location, n, p.inv_location);
        std::copy_n(c->inv_item, n, p.inv_item);
        std::copy_n(c->inv_damage_type, n, p.inv_damage_type);
        std::copy_n(c->inv_value, n, p.inv_value);
        if (!keeps_file_speeds(p, *c)) {
            p.run_speed = int32_t(c->run_speed);
            p.walk_speed = c->walk_speed;
        }
        p.random_move = c->random_move;
        p.ai_distance = c->ai_distance;
        copy_bounded(p.key_name, sizeof p.key_name, c->name);
        p.exp = c->exp;
        p.monster_class = c->monster_class;
        p.level = int16_t(std::clamp(c->level, -32768, 32767));
        p.hp_ceiling = c->hp_ceiling;
        p.monster_point = int16_t(c->monster_point + 1);
        std::copy(std::begin(c->script_flags), std::end(c->script_flags), p.script_flags);
    }
}

void update_all_placements(char_placement_list* list)
{
    console_log("num_chars to update %d", int(g_char_count));
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s)
        update_placement_from_char(list, int32_t(s));
}

void remove_char_placement(char_placement_list* list, int32_t slot)
{
    if (!list)
        return;
    for (int32_t i = std::clamp<int32_t>(list->count, 0, k_placement_slots) - 1; i >= 0; --i) {
        if (list->entries[i].char_slot == slot) {
            remove_char_placement_at(list, i);
            return;
        }
    }
}
