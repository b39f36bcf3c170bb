// Pops the input as the newest undo snapshot: a snapshot that is not sound must leave the
// objects, lights, movement map and dirty flag as they were and be deleted; a sound one is read
// and deleted, and what it left stays within its tables.
#include "core/editor_globals.h"
#include "editor/store/undo_snapshots.h"
#include "engine/lights.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/movement_map.h"
#include "world/world_objects.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

std::vector<uint8_t> tables()
{
    std::vector<uint8_t> out;
    auto add = [&](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    };
    add(&g_object_count, sizeof g_object_count);
    if (g_objects)
        add(g_objects, size_t(g_object_count) * sizeof(world_object));
    add(g_lights, sizeof g_lights);
    const movement_map& m = g_movement_map;
    add(&m.columns, sizeof m.columns);
    add(&m.rows, sizeof m.rows);
    if (m.cells && m.columns > 0 && m.rows > 0)
        add(m.cells, size_t(m.columns) * size_t(m.rows));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    static bool started = create_movemap(&g_movement_map, 20, 20, 5, 5);
    (void)started;
    make_folder(k_undo_folder);
    write_fuzz_file(undo_snapshot_path(4).c_str(), data, size);
    g_undo_counter = 4;
    g_map_dirty = 0;
    const bool sound = undo_snapshot_is_sound(data, size);
    const std::vector<uint8_t> before = tables();
    pop_undo_snapshot();
    if (g_undo_counter != 3 || std::filesystem::exists(undo_snapshot_path(4)))
        std::abort();
    if (!sound && (g_map_dirty != 0 || tables() != before))
        std::abort();
    if (sound && (g_map_dirty != 1 || g_object_count > g_object_capacity))
        std::abort();
    return 0;
}
