// Reads the input as a mapinfo file over a known movement map and scene header: a refused file
// leaves both as they were and the map unmarked; an accepted one leaves a valid map, 0 x 0 (the
// map of no cells) or of both sides above 0, and a header of sound numbers.
#include "core/editor_globals.h"
#include "level/map_exchange.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/movement_map.h"
#include "world/scene_header.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct map_state {
    int32_t columns, rows, origin_column, origin_row;
    std::vector<uint8_t> cells;
    std::vector<uint8_t> header;

    static map_state take()
    {
        const movement_map& m = g_movement_map;
        map_state s{m.columns, m.rows, m.origin_column, m.origin_row, {}, {}};
        if (m.cells)
            s.cells.assign(m.cells, m.cells + size_t(m.columns) * size_t(m.rows));
        const auto* h = reinterpret_cast<const uint8_t*>(&g_scene_header);
        s.header.assign(h, h + sizeof g_scene_header);
        return s;
    }
    bool operator==(const map_state&) const = default;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    if (!create_movemap(&g_movement_map, 12, 9, 3, 2))
        std::abort();
    for (int32_t i = 0; i < 12 * 9; ++i)
        g_movement_map.cells[i] = uint8_t(i % 3);
    std::memset(&g_scene_header, 0x5A, sizeof g_scene_header);
    g_scene_header.entry_count = 2;
    const map_state before = map_state::take();
    g_map_dirty = 0;

    std::string path = fuzz_input_file(data, size);
    const bool accepted = import_mapinfo(path.c_str());
    if (!accepted && (!(map_state::take() == before) || g_map_dirty != 0))
        std::abort();
    const movement_map& m = g_movement_map;
    const bool sized = (m.columns == 0 && m.rows == 0) || (m.columns > 0 && m.rows > 0);
    if (accepted && (!m.valid || !m.cells || !sized || g_scene_header.entry_count > k_entry_points ||
                     g_map_dirty != 1 || !scene_header_numbers_sound(g_scene_header)))
        std::abort();
    return 0;
}
