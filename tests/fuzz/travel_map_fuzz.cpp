// The travel map over damaged map data: the input's first bytes choose the known locations,
// the locations whose area covers the pointer, the pointer, and the entity of each of 48 world
// objects; the rest is read as the map level's entities section. The object pass links the
// objects to their entities, then travel-map passes run (the button up): no marker may leave
// the range 0 to 1 and no object outside the table may be touched.
#include "core/frame_timing.h"
#include "core/input_state.h"
#include "script/entities.h"
#include "shell/travel_map.h"
#include "tests/fuzz/fuzz_sections.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <cstring>

namespace {

constexpr uint32_t k_objects = 48;
constexpr size_t k_header = 8 + 4 * k_objects;

uint32_t word(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < k_header)
        return 0;
    const uint32_t known = word(data), covering = word(data + 4);
    for (int32_t i = 0; i < k_map_locations; ++i) {
        g_map_locations_open[i] = known >> i & 1;
        clear_sector(&g_sectors[i]);
        if (covering >> i & 1)
            for (auto [x, y] : {std::pair{-1.0f, -1.0f}, {2000.0f, -1.0f}, {2000.0f, 2000.0f}, {-1.0f, 2000.0f}, {-1.0f, -1.0f}})
                add_sector_point(&g_sectors[i], x, y);
    }
    g_sector_count = k_map_locations;
    g_mouse_x = float(data[4] % 200);
    g_mouse_y = float(data[5] % 200);
    g_mouse_left = 0;

    read_fuzz_section(data + k_header, size - k_header, read_entities);
    if (!reserve_objects(k_objects))
        return 0;
    for (uint32_t i = 0; i < k_objects; ++i) {
        int32_t o = add_object(0.0f, 0.0f, -1, float(data[8 + 4 * i] % 3) * 0.5f, 1.0f, 0, 0);
        g_objects[o].entity = int32_t(word(data + 8 + 4 * i));
    }
    clear_entity_object_counts();
    for (uint32_t i = 0; i < g_object_count; ++i)
        add_entity_object(g_objects[i].entity, int32_t(i));

    for (uint32_t pass = 0; pass < 12; ++pass) {
        g_ticks = 3 * (pass + 1);
        travel_map_frame();
    }
    for (uint32_t i = 0; i < g_object_count; ++i)
        if (!(g_objects[i].alpha >= 0.0f && g_objects[i].alpha <= 1.0f))
            std::abort();
    for (const entity_record& e : g_entities)
        if (e.object_count > k_entity_max_objects)
            std::abort();
    return 0;
}
