#include "platform/clock.h"

#include <SDL.h>

namespace {
bool g_manual = false;
uint32_t g_manual_ms = 0;
uint32_t g_manual_step = 0;
}

uint32_t clock_ms()
{
    if (g_manual) {
        uint32_t now = g_manual_ms;
        g_manual_ms += g_manual_step;
        return now;
    }
    return SDL_GetTicks();
}

void clock_sleep(uint32_t ms)
{
    if (g_manual)
        g_manual_ms += ms;
    else
        SDL_Delay(ms);
}

void clock_use_manual(bool manual)
{
    g_manual = manual;
}

void clock_set_manual(uint32_t ms)
{
    g_manual_ms = ms;
}

void clock_advance_manual(uint32_t ms)
{
    g_manual_ms += ms;
}

void clock_set_manual_step(uint32_t ms)
{
    g_manual_step = ms;
}
