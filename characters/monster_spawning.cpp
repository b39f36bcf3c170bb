#include "characters/monster_spawning.h"

#include "characters/char_inventory.h"
#include "characters/char_spawning.h"
#include "characters/char_stats.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "engine/math.h"
#include "engine/quads.h"
#include "engine/textures.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "world/game_clock.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

constexpr int32_t k_d20_kinds[20] = {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 5, 5, 6, 6, 7, 8};

constexpr int32_t k_roll_sides = 1000;
constexpr int32_t k_top_tier = 5;  // the roll of 1000
constexpr int32_t k_roll_thresholds[][4] = {
    {400, 750, 950, 980},  // k_weapon_roll
    {400, 550, 850, 920},  // k_treasure_roll
    {300, 500, 750, 870},  // k_treasure_roll_attuned
};

// Item level and rarity by level band (rows) and tier (columns).
constexpr item_grade k_grades[6][6] = {
    {{2, 0}, {2, 0}, {2, 1}, {2, 1}, {2, 1}, {4, 0}},          // below 4
    {{4, 0}, {2, 1}, {4, 1}, {4, 2}, {4, 2}, {6, 0}},          // 4-5
    {{6, 0}, {4, 1}, {6, 1}, {6, 2}, {4, 2}, {8, 0}},          // 6-7
    {{8, 0}, {6, 1}, {8, 1}, {8, 2}, {6, 2}, {12, 0}},         // 8-11
    {{12, 0}, {8, 1}, {12, 1}, {12, 2}, {8, 2}, {12, 2}},      // 12-15
    {{12, 0}, {12, 1}, {16, 1}, {16, 2}, {12, 2}, {16, 2}},    // 16 and more
};

constexpr int32_t k_max_candidates = 31;
constexpr int32_t k_max_spawn_chance = 90;
constexpr int64_t k_minutes_per_percent = 160;
constexpr int32_t k_kind_tries = 4;
constexpr uint8_t k_treasure_location = 1;
constexpr float k_attuned_custom_factor = 1.5f;
constexpr int32_t k_max_gold_level = 32767;
constexpr float k_marker_scale = 2.0f;  // the 8 x 8 marker drawn over 16 x 16 world pixels

int32_t level_band(int32_t level)
{
    if (level < 4)
        return 0;
    if (level < 6)
        return 1;
    if (level < 8)
        return 2;
    if (level < 12)
        return 3;
    if (level < 16)
        return 4;
    return 5;
}

int32_t tier_of(item_roll_table table, int32_t roll)
{
    if (roll >= k_roll_sides)
        return k_top_tier;
    const int32_t* thresholds = k_roll_thresholds[table];
    for (int32_t tier = 0; tier < 4; ++tier)
        if (roll <= thresholds[tier])
            return tier;
    return 4;
}

int32_t weapon_entries(const monster_proto& cls)
{
    return std::min<int32_t>(cls.weapon_count, k_monster_table_entries);
}

int32_t treasure_entries(const monster_proto& cls)
{
    return std::clamp<int32_t>(cls.treasure_count, 0, k_monster_table_entries);
}

// One of the first 31 entries below count that match, at random; -1 (and no roll) when none does.
template <class Matches>
int32_t pick_entry(int32_t count, Matches matches)
{
    int32_t found[k_max_candidates];
    int32_t n = 0;
    for (int32_t i = 0; i < count && n < k_max_candidates; ++i)
        if (matches(i))
            found[n++] = i;
    return n == 0 ? -1 : found[game_rand() % n];
}

int32_t roll_1000()
{
    return game_rand() % k_roll_sides + 1;
}

void give(char_record* c, int16_t item, uint32_t value, uint8_t location)
{
    char_give_item(c, item, value, location, -1);
}

void give_weapon(char_record* c, const monster_proto& cls)
{
    const item_grade grade = item_grade_for_roll(k_weapon_roll, roll_1000(), c->level);
    const int32_t i = pick_entry(weapon_entries(cls), [&](int32_t e) {
        return cls.weapon_level[e] == grade.level && cls.weapon_rarity[e] == grade.rarity;
    });
    if (i >= 0)
        give(c, cls.weapon_item[i], 1, k_inv_weapon);
}

// Rolls the main treasure's grade and, when the d100 passes the class's main chance (below it,
// or at most it), gives an entry of that grade; returns the grade.
item_grade give_main_treasure(char_record* c, const monster_proto& cls, item_roll_table table, bool at_most)
{
    const item_grade grade = item_grade_for_roll(table, roll_1000(), c->level);
    const int32_t d100 = game_rand() % 100;
    if (at_most ? d100 <= cls.treasure_chance_main : d100 < cls.treasure_chance_main) {
        const int32_t i = pick_entry(treasure_entries(cls), [&](int32_t e) {
            return cls.treasure_level[e] == grade.level && cls.treasure_rarity[e] == grade.rarity;
        });
        if (i >= 0)
            give(c, cls.treasure_item[i], 1, k_treasure_location);
    }
    return grade;
}

// Each custom entry on its own chance: its steps of 5 % times the factor, truncated.
void give_custom_treasure(char_record* c, const monster_proto& cls, float factor)
{
    for (int32_t i = 0; i < treasure_entries(cls); ++i) {
        if (cls.treasure_rarity[i] != k_rarity_custom)
            continue;
        const int32_t chance = int32_t(float(cls.treasure_chance[i]) * 5.0f * factor);
        if (game_rand() % 100 < chance)
            give(c, cls.treasure_item[i], 1, k_treasure_location);
    }
}

void give_gold(char_record* c, const monster_proto& cls, uint8_t rarity)
{
    if (game_rand() % 100 >= cls.treasure_chance_main || !cls.carries_gold)
        return;
    int32_t low = 0, high = 0;
    if (!monster_gold_range(rarity, c->level, &low, &high))
        return;
    const int32_t amount = int32_t(rand_range(float(low), float(high))) + 1;
    give(c, k_gold_item, uint32_t(amount), k_treasure_location);
}

bool player_has_treasure_finder()
{
    const char_record* player = char_at(int32_t(g_player_char));
    return player && char_has_attunement(player, k_treasure_finder_attunement);
}

bool class_in_table(int32_t id)
{
    return id >= 0 && id < std::clamp<int32_t>(g_monster_proto_count, 0, k_monster_proto_slots);
}

// Some character from slot 4 up, alive and in the world, has a class whose genus is neither
// this one nor SPIRIT.
bool genus_conflicts(uint8_t genus)
{
    const uint32_t end = std::min<uint32_t>(g_char_count, k_char_slots);
    for (uint32_t s = k_global_char_slots; s < end; ++s) {
        const char_record& c = g_chars[s];
        if (c.life != k_life_alive || !world_object_of(c))
            continue;
        const uint8_t other = char_monster_proto(&c).genus;
        if (other != genus && other != k_genus_spirit)
            return true;
    }
    return false;
}

// The kind a d20 picks, tried up to four times while its class conflicts; -1 for an empty kind,
// a class outside the table or a conflict on every try.
int32_t choose_kind(const monster_point_block& block)
{
    for (int32_t attempt = 0; attempt < k_kind_tries; ++attempt) {
        const int32_t kind = monster_kind_for_d20(game_rand() % 20 + 1);
        const int16_t id = block.kind_class[kind];
        if (id == -1)
            return -1;
        if (!class_in_table(id)) {
            console_log("monster kind %d names class %d, which is not in the table", int(kind), int(id));
            return -1;
        }
        if (!genus_conflicts(g_monster_protos[id].genus))
            return kind;
    }
    return -1;
}

int32_t spawn_chance(uint32_t now, uint32_t stamp)
{
    const int64_t elapsed = std::max<int64_t>(0, int64_t(now) - int64_t(stamp));
    return int32_t(std::min<int64_t>(elapsed / k_minutes_per_percent, k_max_spawn_chance));
}

// The monster of one kind at point index: placed, made the kind's ENEMY and equipped.
void spawn_point_monster(monster_point_block* block, int32_t index, int32_t kind)
{
    monster_point& point = block->points[index];
    const int16_t id = block->kind_class[kind];
    const monster_proto& cls = g_monster_protos[id];
    char file[k_placement_file_size];
    if (std::snprintf(file, sizeof file, "%.*s.chr", int(sizeof cls.chr_name), cls.chr_name) >= int(sizeof file)) {
        console_log("monster class %d: creature file name \"%s.chr\" is too long", int(id), cls.chr_name);
        return;
    }
    char_placement_list* list = &g_char_placements;
    const int32_t at = list->count;
    add_char_placement(list, file, point.x, point.y, 0);
    if (list->count != at + 1)
        return;
    char_record* c = char_at(spawn_monster_from_placement(list, at));
    if (!c) {
        remove_char_placement_at(list, at);
        return;
    }
    point.slots[1] = c->slot;

    c->level = block->kind_level[kind];
    c->melee_base = c->melee = monster_class_skill(cls, k_skill_melee);
    c->ranged_base = c->ranged = monster_class_skill(cls, k_skill_ranged);
    c->magic_base = c->magic = monster_class_skill(cls, k_skill_magic);
    c->speed_base = c->speed = monster_class_skill(cls, k_skill_speed);
    c->monster_class = id;
    recompute_char_stats(c, true);
    c->monster_point = int16_t(index);
    c->kind = k_kind_enemy;
    c->world = cls.dreamwalk;

    give_weapon(c, cls);
    const bool attuned = player_has_treasure_finder();
    const item_grade main =
        give_main_treasure(c, cls, attuned ? k_treasure_roll_attuned : k_treasure_roll, false);
    give_custom_treasure(c, cls, attuned ? k_attuned_custom_factor : 1.0f);
    game_srand(clock_ms());
    give_gold(c, cls, main.rarity);
    char_refresh_equipment(c);
    char_apply_item_effects(c);
}

} // namespace

int32_t monster_kind_for_d20(int32_t roll)
{
    return roll >= 1 && roll <= 20 ? k_d20_kinds[roll - 1] : -1;
}

item_grade item_grade_for_roll(item_roll_table table, int32_t roll, int32_t char_level)
{
    return k_grades[level_band(char_level)][tier_of(table, roll)];
}

bool monster_gold_range(uint8_t rarity, int32_t level, int32_t* low, int32_t* high)
{
    const int32_t l = std::clamp(level, 1, k_max_gold_level);
    const int32_t base = 2 * l - 2;
    switch (rarity) {
    case 0:
        *low = base;
        *high = base * 10;
        return true;
    case 1:
        *low = 8 * l - 8;
        *high = base * 40;
        return true;
    case 2:
        *low = base * 10;
        *high = base * 100;
        return true;
    default:
        return false;
    }
}

bool add_monster_point(monster_point_block* block, float x, float y)
{
    if (!block || block->count < 0 || block->count >= k_monster_point_slots)
        return false;
    monster_point& point = block->points[block->count++];
    point = monster_point{};
    point.x = x;
    point.y = y;
    std::fill(std::begin(point.slots), std::end(point.slots), int16_t(-1));
    point.move_sector = -1;
    return true;
}

void spawn_monsters_at_points(monster_point_block* block)
{
    if (!block)
        return;
    const uint32_t now = get_clock_minutes(&g_game_clock);
    const int32_t count = std::clamp<int32_t>(block->count, 0, k_monster_point_slots);
    for (int32_t i = 0; i < count; ++i) {
        monster_point& point = block->points[i];
        if (point.slots[1] != -1)
            continue;
        if (point.stamp == 0) {
            point.stamp = now;
            continue;
        }
        const int32_t chance = spawn_chance(now, point.stamp);
        console_log("Chance to upload a monster is %d", int(chance));
        if (game_rand() % 100 > chance)
            continue;
        const int32_t kind = choose_kind(*block);
        if (kind >= 0)
            spawn_point_monster(block, i, kind);
    }
    update_all_placements(&g_char_placements);
}

void roll_monster_treasure(int32_t slot)
{
    char_record* c = char_at(slot);
    if (!c || g_editor_enabled)
        return;
    const monster_proto& cls = char_monster_proto(c);
    const item_grade main = give_main_treasure(c, cls, k_weapon_roll, true);
    give_custom_treasure(c, cls, 1.0f);
    give_gold(c, cls, main.rarity);
}

void draw_monster_points(const monster_point_block* block)
{
    if (!block || !g_editor_enabled || g_work_mode != k_work_monster_points)
        return;
    static const sprite_rect k_marker = {0, 0, 8, 8};
    const int32_t count = std::clamp<int32_t>(block->count, 0, k_monster_point_slots);
    for (int32_t i = 0; i < count; ++i)
        draw_sprite_world(g_fixed_textures[k_texture_select], block->points[i].x, block->points[i].y, 1.0f,
                          k_marker_scale, 0, &k_marker);
}
