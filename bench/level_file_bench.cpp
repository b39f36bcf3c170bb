// Writing and reading a level map file with every table at its limit: 1,000 prototypes, 100
// sectors, events, entities, lights and level effects, 50 map texts, 15,000 world objects (the
// block a level is read into), a movement map of 1,024 x 1,024 cells, 100 containers of 10 x 10
// cells, 256 character placements, 1,000 ground items and 255 monster points.
#include "bench_folder.h"
#include "characters/monster_points.h"
#include "characters/placements.h"
#include "engine/lights.h"
#include "items/containers.h"
#include "items/ground_items.h"
#include "level/level_effects.h"
#include "level/level_map.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

void fill_protos()
{
    g_object_proto_count = k_proto_first_template;
    for (uint32_t s = 0; s < g_object_proto_count; ++s) {
        object_proto& p = g_object_protos[s];
        reset_object_proto(&p);
        std::snprintf(p.name, sizeof p.name, "proto%u", unsigned(s));
        p.kind = int32_t(s % 3);
        p.frame_counts[0] = 4;
        for (int f = 0; f < 4; ++f)
            std::snprintf(p.frame_names[f], sizeof p.frame_names[f], "data\\sprites\\set%u\\frame%02d.tga", unsigned(s), f);
    }
}

void fill_placed_things()
{
    for (int32_t i = 0; i < k_sector_slots; ++i) {
        map_sector& s = g_sectors[i];
        clear_sector(&s);
        for (int k = 0; k < k_sector_max_points; ++k)
            add_sector_point(&s, float(i * 100 + k * 7), float(k * 13));
    }
    g_sector_count = k_sector_slots;
    g_event_count = k_event_slots;
    for (event_record& e : g_events)
        std::snprintf(e.name, sizeof e.name, "event%d", int(&e - g_events));
    g_map_text_count = k_map_text_slots;
    for (map_text& t : g_map_texts)
        std::snprintf(t.text, sizeof t.text, "The text number %d of this level.", int(&t - g_map_texts));
    g_entity_count = k_entity_slots;
    for (entity_record& e : g_entities)
        std::snprintf(e.name, sizeof e.name, "entity%d", int(&e - g_entities));

    reserve_objects(k_object_growth);
    g_object_count = k_object_growth;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        init_object(&g_objects[i], float(i % 400) * 37.5f, float(i / 400) * 41.25f, int32_t(i % 1000), 1.0f,
                    1.0f + float(i % 7) * 0.1f, 0, 0);
        g_objects[i].layer = uint8_t(i % 40);
    }
    for (int32_t i = 0; i < k_light_slots; ++i) {
        light_init(&g_lights[i], k_light_kind_point, float(i) * 50.0f, 20.0f, -2.0f, 6.0f);
        light_set_colour(&g_lights[i], 1.0f, 0.8f, 0.5f);
    }
    g_light_count = k_light_slots;
    g_level_effect_count = k_level_effect_slots;
    for (level_effect& e : g_level_effects) {
        e = level_effect{};
        e.active = 1;
        e.kind = k_effect_light_pulse;
        e.target = int32_t(&e - g_level_effects);
        e.period = 3;
    }
    create_movemap(&g_movement_map, 1024, 1024, 100, 100);
    for (size_t i = 0; i < size_t(1024) * 1024; ++i)
        g_movement_map.cells[i] = (i / 1024 + i % 1024) % 9 == 0 ? k_cell_blocked : k_cell_free;
    reset_scene_header(&g_scene_header);
}

void fill_second_group()
{
    for (int16_t i = 0; i < k_level_container_slots; ++i) {
        container_init(&g_containers[i], "chest", 10, 10, 0);
        for (uint32_t k = 0; k < 100; k += 7)
            g_containers[i].items[k] = uint16_t(k);
    }
    g_level_container_count = k_level_container_slots;
    g_char_placements.count = k_placement_slots;
    for (char_placement& p : g_char_placements.entries) {
        p = char_placement{};
        std::strcpy(p.creature_file, "orc.chr");
        p.char_slot = -1;
        p.x = float(&p - g_char_placements.entries) * 64.0f;
    }
    g_ground_item_count = k_ground_item_slots;
    for (ground_item& g : g_ground_items)
        g = ground_item{k_ground_item_dropped, 0, uint16_t(&g - g_ground_items), 0, 1, 100, 200, 255, 0xFFFF};
    reset_monster_points(&g_monster_points);
    g_monster_points.count = k_monster_point_slots;
}

// The scratch folder with the full level written into it, once.
const char* full_level()
{
    static std::string path;
    if (!path.empty())
        return path.c_str();
    enter_bench_folder();
    make_folder("data/creature");
    write_whole_file("data/creature/orc.chr", "orc", 3);
    fill_protos();
    fill_placed_things();
    fill_second_group();
    path = "data/levels/full.sav";
    make_folder("data/levels");
    if (!write_level_map(path.c_str()))
        std::abort();
    return path.c_str();
}

void BM_WriteFullLevel(benchmark::State& state)
{
    const char* path = full_level();
    for (auto _ : state)
        if (!write_level_map(path))
            state.SkipWithError("write failed");
    state.counters["file_bytes"] = double(file_size(path));
}
BENCHMARK(BM_WriteFullLevel)->Unit(benchmark::kMillisecond);

void BM_ReadFullLevel(benchmark::State& state)
{
    const char* path = full_level();
    for (auto _ : state)
        load_level_map(path);
    if (g_object_count != k_object_growth || g_object_proto_count != uint32_t(k_proto_first_template) ||
        g_char_placements.count != k_placement_slots)
        state.SkipWithError("the level did not read whole");
}
BENCHMARK(BM_ReadFullLevel)->Unit(benchmark::kMillisecond);

} // namespace
