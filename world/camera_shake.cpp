#include "world/camera_shake.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/math.h"

camera_shake g_camera_shake = {};

void reset_camera_shake(camera_shake* shake)
{
    shake->active = 0;
    shake->end_tick = 0;
}

void start_camera_shake(camera_shake* shake, float amplitude_x, float amplitude_y, uint32_t duration)
{
    shake->active = 1;
    shake->amplitude_x = amplitude_x;
    shake->amplitude_y = amplitude_y;
    shake->end_tick = g_ticks + duration;
}

void stop_camera_shake(camera_shake* shake)
{
    shake->active = 0;
}

void expire_camera_shake(camera_shake* shake)
{
    if (shake->active && g_ticks >= shake->end_tick)
        shake->active = 0;
}

void apply_camera_shake(const camera_shake* shake)
{
    if (!shake->active)
        return;
    g_camera_x += rand_range(-shake->amplitude_x, shake->amplitude_x);
    g_camera_y += rand_range(-shake->amplitude_y, shake->amplitude_y);
}
