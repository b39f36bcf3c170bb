// The camera shake of critical hits, spells, monster attacks and the console's quake: while it
// runs, the character update moves the camera by a random offset every frame.
#pragma once

#include <cstddef>
#include <cstdint>

struct camera_shake {
    uint32_t active;
    float amplitude_x;
    float amplitude_y;
    uint32_t end_tick;
};
static_assert(sizeof(camera_shake) == 16);
static_assert(offsetof(camera_shake, end_tick) == 12);

extern camera_shake g_camera_shake;

// Clears the shake and its end tick (start-up).
void reset_camera_shake(camera_shake* shake);
// Shakes by up to the amplitudes for `duration` ticks from now.
void start_camera_shake(camera_shake* shake, float amplitude_x, float amplitude_y, uint32_t duration);
void stop_camera_shake(camera_shake* shake);
// Once per frame: the shake stops at its end tick, so that it runs for its duration in ticks.
void expire_camera_shake(camera_shake* shake);
// While the shake runs: adds a random offset within the amplitudes to the camera (the character
// update, before the camera is held to the scene's bounds).
void apply_camera_shake(const camera_shake* shake);
