// Reads the input as the per-level change file of a level with a few objects of entities, then
// writes the change file and reads it back: the second reading must give the same counts.
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_saves.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/world_objects.h"

#include <cstdlib>

namespace {

void place_entity_objects()
{
    if (!g_objects && !reserve_objects(4))
        std::abort();
    g_object_count = 4;
    for (uint32_t i = 0; i < 4; ++i) {
        g_objects[i] = world_object{};
        g_objects[i].state = 1;
        g_objects[i].entity = int32_t(i) * 40 - 1;
    }
}

int32_t counts()
{
    return g_char_placements.count + int32_t(g_entity_count) + int32_t(g_event_count) + g_level_container_count +
           g_ground_item_count + g_monster_points.count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file("global/level.sav", data, size);
    place_entity_objects();
    if (load_level_changes("level.sav") != 1)
        return 0;
    if (g_char_placements.count > k_placement_slots || g_entity_count > k_entity_slots ||
        g_event_count > k_event_slots || g_level_container_count > k_level_container_slots ||
        g_ground_item_count > k_ground_item_slots || g_monster_points.count > k_monster_point_slots)
        std::abort();
    int32_t first = counts();
    if (!save_level_changes("copy.sav") || load_level_changes("copy.sav") != 1 || counts() != first)
        std::abort();
    return 0;
}
