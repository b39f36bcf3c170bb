// Reads the input as a sortinfo file over a few objects: whatever it holds, every object keeps
// its own prototype, and the map counts as changed exactly when an object was overwritten; a
// file refused changes no object.
#include "core/editor_globals.h"
#include "level/map_exchange.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder here;
    static const bool started = [] {
        g_object_proto_count = 4;
        for (int32_t p = 0; p < 4; ++p) {
            std::memset(&g_object_protos[p], 0, sizeof g_object_protos[p]);
            std::snprintf(g_object_protos[p].name, sizeof g_object_protos[p].name, "%s", p ? "tree" : "mouse");
        }
        return true;
    }();
    (void)started;
    if (!reserve_objects(6))
        std::abort();
    g_object_count = 6;
    for (uint32_t i = 0; i < 6; ++i) {
        world_object& o = g_objects[i];
        std::memset(&o, 0, sizeof o);
        o.state = 3;
        o.proto = int32_t(i % 4);
        o.depth_sorted = 1;
        o.x = o.y = float(i / 2) * 32.0f;
    }
    const std::vector<world_object> before(g_objects, g_objects + g_object_count);
    g_map_dirty = 0;

    std::string path = fuzz_input_file(data, size);
    const bool accepted = import_sortinfo(path.c_str());
    if (g_object_count != 6)
        std::abort();
    bool changed = false;
    for (uint32_t i = 0; i < 6; ++i) {
        if (g_objects[i].proto != before[i].proto)
            std::abort();
        changed = changed || std::memcmp(&g_objects[i], &before[i], sizeof before[i]) != 0;
    }
    if ((changed && g_map_dirty != 1) || (!accepted && (changed || g_map_dirty != 0)))
        std::abort();
    free_objects();
    return 0;
}
