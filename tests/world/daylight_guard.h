// For tests that read the daylight: while a guard lives no dream overlay shows and no lightning
// flashes; afterwards both are as they were.
#pragma once

#include "world/dream_world.h"
#include "world/weather.h"

class daylight_guard {
public:
    daylight_guard() : dream_(g_dream_world), lightning_(g_lightning)
    {
        g_dream_world.active = 0;
        g_dream_world.overlay_alpha = 0.0f;
        g_lightning = {};
    }
    ~daylight_guard()
    {
        g_dream_world = dream_;
        g_lightning = lightning_;
    }
    daylight_guard(const daylight_guard&) = delete;
    daylight_guard& operator=(const daylight_guard&) = delete;

private:
    dream_world dream_;
    lightning_state lightning_;
};
