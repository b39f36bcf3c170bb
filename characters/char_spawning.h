// Placements becoming live characters, and live characters copied back into their placements,
// so that the level's change file and map file keep the characters as they are.
#pragma once

#include "characters/placements.h"

#include <cstdint>

// Appends a placement with the defaults (alpha 1, scale 1.35, white, angle 45, no live slot,
// skills 1, AI distance 700, level 1, the creature file's hit points, health ceiling, mana and
// speeds) while the list holds fewer than 256; otherwise nothing.
void add_char_placement(char_placement_list* list, const char* file, float x, float y, int16_t angle2);

// Creates the live character of one placement from its creature file and applies the
// placement's overrides; with apply_kind the placement's kind too. Its class gives its base
// skills and its world, and on a first visit (the list's change file not read) its random
// treasure. Returns the placement's live slot: -1 for an index outside the list or the
// companion "serin"; the slot it held when the creature file is missing (named once in a run).
int32_t spawn_char_from_placement(char_placement_list* list, int32_t index, bool apply_kind);
// The same without the placement's kind and without a first visit's treasure: the spawn of a
// monster point, which rolls its monster's own.
int32_t spawn_monster_from_placement(char_placement_list* list, int32_t index);
// The same as spawn_char_from_placement, then the statistics recomputed with the placement's
// level and class, and hit points and the health ceiling at that maximum.
int32_t spawn_char_from_placement_full_health(char_placement_list* list, int32_t index, bool apply_kind);

// Every placement in order, with their kinds ("inserting char %d from %d"); a count above 255 is
// taken as 0.
void spawn_level_chars(char_placement_list* list);
void spawn_level_chars_full_health(char_placement_list* list);

// Recomputes the statistics of the slot's character (not full), then copies it into every
// placement that names it, while it has a world object; update_all_placements does so for every
// slot in use. A placement that keeps its creature file's speeds (run speed -1) keeps doing so
// while the character's speeds are the file's.
void update_placement_from_char(char_placement_list* list, int32_t slot);
void update_all_placements(char_placement_list* list);

// Removes the last placement whose live slot is `slot`; nothing when none is.
void remove_char_placement(char_placement_list* list, int32_t slot);
