// The eight melee attack places around the player. Melee enemies take a place, walk to it and
// strike from it; an enemy without one waits. Ranged enemies add themselves to the count every
// frame while they are engaged.
#pragma once

#include <cstdint>

constexpr int k_surround_slots = 8;
constexpr float k_surround_empty = 10000.0f;  // the distance of an empty place

struct surround {
    uint32_t next_update;              // g_ticks due time of the next assignment
    float distance[k_surround_slots];  // the occupant's distance to its place
    uint32_t usable[k_surround_slots]; // 1 when the place lies on a walkable cell
    float x[k_surround_slots];         // the places, world coordinates
    float y[k_surround_slots];
    int16_t occupant[k_surround_slots];  // character slot, -1 empty
    uint8_t count;                       // occupied places, plus the engaged ranged enemies
};

extern surround g_surround;

// Once per frame with the target's slot (the player's), while the AI is on and the target has a
// world object. Every 10 ticks: the target's home sector becomes the last type-3 sector in use
// that contains it (it keeps its value when none does); the places are emptied and, while the
// target lives, laid out around it (80 x scale on the axes, 64 x scale on both axes on the
// diagonals, clockwise from below) and filled with the visible, living melee enemies (reach
// below 200, 110 unarmed), in table order, by place_in_surround. An enemy of another home sector
// is left out unless it has none (0, or a value that is not a sector), or the count is below 4
// with a target or below 3 without one; a stunned enemy is left out. While the target neither
// walks a leg nor follows the cursor, an occupant more than 10 and less than 48 from its place
// is put onto it, idle, with its next decision due now. Every frame the count becomes the
// number of occupied places and the combat list their occupants (the engaged ranged enemies join
// it in their own frames); without the AI or a target in the world the combat list is empty.
void assign_surround_slots(surround* s, int32_t target);

// Puts the character into the nearest usable place it may take, displacing a farther occupant,
// which is placed again by the same rule. A place is out of the character's reach when it is at
// least its sight distance / zoom away and the character is unhurt; while the count is 0 only a
// character with a route of at most 2 points to the player's cell takes a place. The character's own route is left as it is. False when it took none.
bool place_in_surround(surround* s, int32_t slot);

// The place the character occupies, or -1.
int32_t surround_slot_of(const surround& s, int32_t slot);
