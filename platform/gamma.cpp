#include "platform/gamma.h"

#include "platform/gl_window.h"

#include <SDL.h>

namespace {

bool g_memory = false;
bool g_memory_available = false;
gamma_ramp g_memory_ramp;

} // namespace

bool gamma_read(gamma_ramp& out)
{
    if (g_memory) {
        if (g_memory_available)
            out = g_memory_ramp;
        return g_memory_available;
    }
    SDL_Window* window = gl_window_handle();
    gamma_ramp ramp;
    if (!window || SDL_GetWindowGammaRamp(window, ramp.red, ramp.green, ramp.blue) != 0)
        return false;
    // A driver without gamma control still reports an identity ramp; only one that takes the
    // ramp back has a gamma control.
    if (SDL_SetWindowGammaRamp(window, ramp.red, ramp.green, ramp.blue) != 0)
        return false;
    out = ramp;
    return true;
}

bool gamma_write(const gamma_ramp& ramp)
{
    if (g_memory) {
        if (g_memory_available)
            g_memory_ramp = ramp;
        return g_memory_available;
    }
    SDL_Window* window = gl_window_handle();
    return window && SDL_SetWindowGammaRamp(window, ramp.red, ramp.green, ramp.blue) == 0;
}

void gamma_use_memory(bool on, bool available)
{
    g_memory = on;
    g_memory_available = available;
    for (int i = 0; i < 256; ++i)
        g_memory_ramp.red[i] = g_memory_ramp.green[i] = g_memory_ramp.blue[i] = static_cast<uint16_t>(i * 257);
}
