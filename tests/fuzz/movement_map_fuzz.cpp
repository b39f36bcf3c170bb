// Reads the input as the movement-map section of a level map file, then searches routes and
// fills on whatever map is left. That map is valid with its cells allocated, and either 0 x 0 (the
// map of no cells a 0 x 0 section makes) or of both sides above 0.
#include "tests/fuzz/fuzz_sections.h"
#include "world/movement_map.h"
#include "world/path_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = create_movemap(&g_movement_map, 20, 20, 5, 5);
    (void)started;
    read_fuzz_section(data, size, read_movemap);

    const movement_map& map = g_movement_map;
    const bool empty = map.columns == 0 && map.rows == 0;
    if (!map.valid || !map.cells || !(empty || (map.columns > 0 && map.rows > 0)))
        std::abort();
    if (empty)
        return 0;  // no corner to route between, no cell to fill
    char_route route{};
    int corner_column = map.columns - 1 - map.origin_column, corner_row = map.rows - 1 - map.origin_row;
    for (int mode = 0; mode < 2; ++mode) {
        find_path(&route, &map, -map.origin_column, -map.origin_row, corner_column, corner_row, mode);
        if (route.route_count < 0 || route.route_count > k_route_max_points)
            std::abort();
    }
    if (size_t(map.columns) * size_t(map.rows) <= 1 << 16)
        flood_fill_movemap(&g_movement_map, 0, 0, 2);
    return 0;
}
