// World state that the engine reads: the scene's ambient colour (the sprite material) and the
// path of the map whose texture pack the level textures come from. The world owns both; the
// definitions in world_inputs.cpp stand in (as weak symbols) while its modules are absent.
#pragma once

#include <cstdint>

#if __has_include("world/game_clock.h")
#include "world/game_clock.h"
#else
struct ambient_colour {
    float red, green, blue; // 0 to 1
};

// The scene's ambient colour; the device's ambient light follows it.
extern ambient_colour g_ambient_color;
#endif

// The path of the map last read or written (256 bytes).
extern char g_map_path[256];
