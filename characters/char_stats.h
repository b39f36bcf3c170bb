// Derived statistics, levels and experience.
#pragma once

#include "characters/char_record.h"

#include <algorithm>
#include <cstdint>

constexpr int32_t k_max_player_level = 31;  // the player levels up only below it

// Current skills from the base values, resistances from the equipped items, maximum hit points
// and mana from the level; with `full` hit points and the health ceiling at the maximum. Hit
// points and mana above their limits drop to them.
void recompute_char_stats(char_record* c, bool full);
int32_t char_base_max_hp(const char_record* c);
// The hit points the player is shown (a label, the HUD): a character struck below 0 shows 0.
inline int32_t shown_hit_points(const char_record& c)
{
    return std::max(c.hp, 0);
}
int32_t char_second_pool_max(const char_record* c);
// One level more, its skill points, the pools refilled, the notice and the level-up spell.
void char_level_up(char_record* c);
// The experience needed to be at a level.
int32_t xp_for_level(int32_t level);
// The experience a kill of a character of that level is worth: -1 outside levels 1 to 20.
int32_t level_value(int32_t level);
