#include "world/footsteps.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "engine/sound.h"
#include "platform/random.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstdio>

footstep_table g_footstep_sounds = {};

namespace {

constexpr const char* k_ground_names[k_ground_types] = {"Dirt",  "dungeon", "grass", "metal", "stone",
                                                        "Wood",  "Water",   "Snow",  "Ice"};

} // namespace

void load_footstep_sounds(footstep_table* table)
{
    for (int g = 0; g < k_ground_types; ++g) {
        for (int v = 0; v < k_footstep_row; ++v)
            table->sounds[g][v] = 0xFFFF;
        for (int v = 1; v <= k_footstep_variants; ++v) {
            char name[32];
            std::snprintf(name, sizeof name, "footstep/FS%s%d", k_ground_names[g], v);
            console_log("%s", name);
            int32_t slot = load_sound(name);
            if (slot >= 0 && slot < 0xFFFF)
                table->sounds[g][v - 1] = uint16_t(slot);
        }
    }
}

int32_t footstep_ground(float x, float y)
{
    int32_t ground = g_scene_header.ground_type;
    int32_t count = g_sector_count < k_sector_slots ? g_sector_count : k_sector_slots;
    for (int32_t n = 0; n < count; ++n)
        if (g_sectors[n].active && g_sectors[n].parameter != -1 && point_in_sector(x, y, n))
            ground = g_sectors[n].parameter;
    return ground;
}

void play_footstep(footstep_table* table, int32_t slot)
{
    if (g_work_mode != k_work_play || !g_object_links.char_object || !g_object_links.char_life_state)
        return;
    int32_t index = g_object_links.char_object(slot);
    if (index < 0 || uint32_t(index) >= g_object_count || g_objects[index].state == 0 ||
        g_object_links.char_life_state(slot) != k_link_life_alive)
        return;
    float x = g_objects[index].x, y = g_objects[index].y;
    int32_t ground = footstep_ground(x, y);
    if (ground < 0 || ground >= k_ground_types)
        return;
    uint16_t sound = table->sounds[ground][game_rand() % k_footstep_variants];
    if (sound != 0xFFFF)
        play_sound_at(sound, x, y);
}
