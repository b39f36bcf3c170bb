// Takes the input as world-object records (as a level's objects section holds them) and runs
// the per-frame passes over them, then reads it as a sort-information file over those objects.
#include "core/frame_timing.h"
#include "engine/record_io.h"
#include "engine/textures.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cstring>

namespace {

// One prototype of every kind, with a few frames and no files.
void make_protos()
{
    g_object_proto_count = 5;
    for (int32_t kind = 0; kind < 5; ++kind) {
        object_proto& p = g_object_protos[kind];
        std::memset(&p, 0, sizeof p);
        reset_object_proto(&p);
        std::snprintf(p.name, sizeof p.name, "k%d", int(kind));
        p.kind = kind;
        p.anim_count = kind == k_proto_surface ? 3 : 2;
        p.frame_counts[0] = 3;
        p.frame_counts[1] = 2;
        p.spawn_spread[0] = p.spawn_spread[1] = 20;
        p.emit_interval = 0;
        p.frames_loaded = 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    clear_texture_table();
    make_protos();
    uint32_t count = uint32_t(size / k_world_object_size);
    if (!reserve_objects(count))
        return 0;
    for (uint32_t i = 0; i < count; ++i)
        decode_world_object(data + size_t(i) * k_world_object_size, &g_objects[i]);
    g_object_count = count;
    for (int frame = 0; frame < 4; ++frame) {
        g_ticks += 3;
        follow_owner_objects();
        draw_objects();
    }
    sort_and_trim_objects();
    if (g_object_count > 0)
        swap_object_in_layer(0, false);
    read_objects(path.c_str());
    free_objects();
    return 0;
}
