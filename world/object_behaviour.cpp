#include "world/object_behaviour.h"

#include "core/frame_timing.h"
#include "engine/lights.h"
#include "world/world_objects.h"

#include <algorithm>

void update_missile_object(world_object* o, int32_t)
{
    if (g_ticks <= o->next_behaviour_tick)
        return;
    o->next_behaviour_tick = g_ticks + 2;
    if (o->lifetime == -1)
        return;
    if (o->lifetime > 0)
        --o->lifetime;
    if (o->lifetime >= 1)
        return;
    int32_t entries = std::clamp(o->entry_count, 0, 5);
    for (int32_t e = 0; e < entries; ++e) {
        int32_t light = o->entry_ints[e][0];
        if (o->entry_kinds[e] == k_entry_light_follow && light >= 0 && light < k_light_slots)
            light_fade_out(&g_lights[light]);
    }
    if (entries > 0 && o->entry_kinds[0] == k_entry_fade_out)
        return;
    reset_object(o);
}
