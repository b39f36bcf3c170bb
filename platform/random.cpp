#include "platform/random.h"

namespace {
uint32_t g_rand_state = 1;
}

int game_rand()
{
    g_rand_state = g_rand_state * 214013u + 2531011u;
    return int((g_rand_state >> 16) & 0x7FFF);
}

void game_srand(uint32_t seed)
{
    g_rand_state = seed;
}
