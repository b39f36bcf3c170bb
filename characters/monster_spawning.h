// Monsters appearing at the level's monster points, and the random weapons, treasure and gold
// that monster classes hand out.
//
// A random item is graded by a roll r from 1 to 1000: its tier is 0 to 4 by the roll table's four
// rising thresholds, 5 for r = 1000. The tier and the character's level band (below 4, 4-5, 6-7,
// 8-11, 12-15, 16 and more) give the item level and rarity (0 common, 1 uncommon, 2 rare) that
// the class's table entries are chosen from: one of at most 31 matching entries at random, none
// when no entry matches. Tables are read up to their 64 entries whatever their counts say.
#pragma once

#include "characters/monster_points.h"

#include <cstdint>

constexpr int16_t k_gold_item = 308;
constexpr int16_t k_treasure_finder_attunement = 151;  // the player's better odds of treasure
constexpr uint8_t k_rarity_custom = 3;  // a treasure entry rolled on its own chance

// The thresholds of a roll's tiers 0 to 3.
enum item_roll_table : uint8_t {
    k_weapon_roll,            // 400, 750, 950, 980: weapons and the treasure of placed characters
    k_treasure_roll,          // 400, 550, 850, 920: the main treasure at monster points
    k_treasure_roll_attuned,  // 300, 500, 750, 870: the same while the player holds attunement 151
};

struct item_grade {
    uint8_t level;
    uint8_t rarity;
};

// The kind (0 to 8) a d20 roll of 1 to 20 picks: 1-3 kind 0, 4-6 kind 1, 7-9 kind 2, 10-12 kind 3,
// 13-14 kind 4, 15-16 kind 5, 17-18 kind 6, 19 kind 7, 20 kind 8; -1 outside 1 to 20.
int32_t monster_kind_for_d20(int32_t roll);

// The grade of roll r (1 to 1000) on the table for a character of that level.
item_grade item_grade_for_roll(item_roll_table table, int32_t roll, int32_t char_level);

// The gold range of a rarity at a level L: 0 from 2L - 2 to (2L - 2) x 10, 1 from 8L - 8 to
// (2L - 2) x 40, 2 from (2L - 2) x 10 to (2L - 2) x 100. False for other rarities.
bool monster_gold_range(uint8_t rarity, int32_t level, int32_t* low, int32_t* high);

// Appends a point at (x, y) that has never lost a monster and holds none. False, nothing added,
// when the block holds 255 points.
bool add_monster_point(monster_point_block* block, float x, float y);

// At level entry, after the placements: each point below the count (held to 255) with no live
// monster may spawn one of the level's nine kinds into g_char_placements.
//
// A point never stamped is stamped with the game time in minutes and spawns nothing yet. Else
// the chance is 1 % per 160 game minutes since its stamp, at most 90 %. A d20 picks the kind, up to
// four times while the kind's class conflicts: some character from slot 4 up, alive and in the
// world, has a class whose genus is neither the kind's class's genus nor SPIRIT. An empty kind,
// a class outside the table, a creature file name that does not fit a placement, a full
// placement list or a missing creature file spawns nothing (the unused placement is removed).
//
// The spawned monster is an ENEMY of the kind's level with the class's skills, world and full
// statistics, linked to its point; it gets a weapon roll, the main treasure (the attuned table and
// the custom chances x 1.5 while the player holds attunement 151), the custom treasure entries, a
// reseeded generator (the clock's milliseconds) and its gold, then its equipment. Last, every live
// character is copied back into the placements.
void spawn_monsters_at_points(monster_point_block* block);

// The random treasure of a character placed on a first visit (nothing in editor mode): the main
// treasure on the weapon roll table when a d100 is at most the class's main chance, the custom
// entries and the gold, without the attunement's odds and without reseeding.
void roll_monster_treasure(int32_t slot);

// In editor mode and the monster-point work mode: a 16 x 16 world-pixel marker (scaled with the
// zoom) centred on each point below the count.
void draw_monster_points(const monster_point_block* block);
