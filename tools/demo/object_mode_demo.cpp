// The gate level's object for the editing mode's corner handles: a torch laid flat on four
// corner points, a diamond south-east of the entry.
#include "tools/demo/demo_levels.h"

#include "world/world_objects.h"

#include <algorithm>

void add_gate_laid_torch(int32_t torch)
{
    const int32_t i = place(torch, 640.0f, 330.0f, 10, false);
    world_object& o = g_objects[i];
    const float corners[8] = {640.0f, 300.0f, 700.0f, 330.0f, 640.0f, 360.0f, 580.0f, 330.0f};
    std::copy(std::begin(corners), std::end(corners), o.corners);
    o.has_corners = 1;
}
