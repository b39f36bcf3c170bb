#include "engine/world_inputs.h"

__attribute__((weak)) ambient_colour g_ambient_color = {1.0f, 1.0f, 1.0f};
__attribute__((weak)) char g_map_path[256] = {};
