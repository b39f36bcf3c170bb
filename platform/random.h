// The program's random generator: 15-bit values, x = x * 214013 + 2531011, (x >> 16) & 0x7FFF.
//
// Every dice roll and odd in the game depends on this exact range and sequence, so the C
// library's rand() is never used.
#pragma once

#include <cstdint>

constexpr int k_rand_max = 0x7FFF;

// The next value, 0 to 32767.
int game_rand();

// Restarts the sequence; the state after start-up is as after game_srand(1).
void game_srand(uint32_t seed);
