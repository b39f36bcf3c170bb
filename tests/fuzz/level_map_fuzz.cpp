// Reads the input as a level map file (its tag not compared) with every section, steps the level
// effects over what it left, then writes the level and reads it back: the second reading must
// give the same tables. The dry read, taken first, must find the file whole exactly when the
// reading does.
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "core/frame_timing.h"
#include "engine/lights.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_effects.h"
#include "level/level_map.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstdlib>

namespace {

struct table_counts {
    uint32_t protos, events, texts, entities, objects, effects;
    int32_t sectors, lights, containers, placements, ground_items, monster_points;

    static table_counts take()
    {
        return {g_object_proto_count, g_event_count, g_map_text_count, g_entity_count, g_object_count,
                g_level_effect_count, g_sector_count, g_light_count, g_level_container_count,
                g_char_placements.count, g_ground_item_count, g_monster_points.count};
    }
    bool operator==(const table_counts&) const = default;
};

void check_bounds()
{
    table_counts c = table_counts::take();
    if (c.protos > uint32_t(k_proto_first_template) || c.events > uint32_t(k_event_slots) ||
        c.texts > uint32_t(k_map_text_slots) || c.entities > uint32_t(k_entity_slots) ||
        c.objects > g_object_capacity || c.effects > uint32_t(k_level_effect_slots) ||
        c.sectors > k_sector_slots || c.lights > k_light_slots || c.containers > k_level_container_slots ||
        c.placements > k_placement_slots || c.ground_items > k_ground_item_slots ||
        c.monster_points > k_monster_point_slots || g_scene_header.entry_count > k_entry_points)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    static const bool started = [] {
        reset_scene_header(&g_scene_header);  // as the start-up leaves it, before any level
        return true;
    }();
    (void)started;
    write_fuzz_file("level.sav", data, size);
    const bool dry_whole = level_map_damage("level.sav").empty();
    const map_read read = read_level_map_file("level.sav", "level.sav");
    if (read == map_read::unread)
        return 0;
    if (dry_whole != (read == map_read::whole))
        std::abort();
    check_bounds();
    for (int frame = 0; frame < 3; ++frame) {
        g_ticks += 7;
        update_level_effects();
    }

    table_counts first = table_counts::take();
    if (!write_level_map("copy.sav"))
        std::abort();
    if (read_level_map_file("copy.sav", "copy.sav") != map_read::whole || !(table_counts::take() == first))
        std::abort();
    return 0;
}
