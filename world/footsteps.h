// The hero's footsteps: six sounds for each ground type, played at the character's step frames.
// The ground under a character is that of the map sectors covering it, else the level's default.
#pragma once

#include <cstdint>

constexpr int k_ground_types = 9;      // dirt, dungeon, grass, metal, stone, wood, water, snow, ice
constexpr int k_footstep_variants = 6;
constexpr int k_footstep_row = 10;     // sound slots kept per ground type

struct footstep_table {
    uint16_t sounds[k_ground_types][k_footstep_row];  // sound slots, 0xFFFF when missing
};

extern footstep_table g_footstep_sounds;

// Loads "footstep/FS<ground><v>" for every ground (names "Dirt", "dungeon", "grass", "metal",
// "stone", "Wood", "Water", "Snow", "Ice") and v = 1 to 6, logging each name.
void load_footstep_sounds(footstep_table* table);

// The ground type at a world point: the parameter of the last active sector, in sector order,
// that contains the point and whose parameter is not -1; otherwise the scene header's default.
int32_t footstep_ground(float x, float y);

// While playing, for a living character (life state 2) with a world object: one of the six
// sounds of the ground under it, at random, positioned at the character. A ground outside 0 to 8
// plays nothing.
void play_footstep(footstep_table* table, int32_t slot);
