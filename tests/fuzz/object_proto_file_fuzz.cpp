// Reads the input as a packed ".pr" file into a template slot and as the prototypes section of
// a level map file, then loads and unloads the frames of what was read.
#include "engine/packed_stream.h"
#include "engine/textures.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"


namespace {

// The run-time fields are clear and the frame entries that loading does not fill are empty, so
// unloading releases nothing the prototype does not hold.
void check(const object_proto& p)
{
    if (p.frames_loaded > 1 || p.mask_slot != 0 || p.name[k_proto_name_size - 1] != '\0')
        std::abort();
    const int32_t first_empty = p.kind >= k_proto_sprite && p.kind <= k_proto_mesh ? 1
                                : p.kind == k_proto_surface                         ? k_proto_animations
                                                                                    : 0;
    for (int32_t a = first_empty; a < k_proto_animations; ++a)
        for (int32_t frame : p.frames[a])
            if (frame != -1)
                std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    clear_texture_table();

    packed_stream* in = stream_open(path.c_str(), "rp");
    if (in && read_object_proto(1000, in, 0))
        check(g_object_protos[1000]);
    stream_close(in);
    free_object_proto(&g_object_protos[1000], 1000);

    in = stream_open(path.c_str(), "r");
    read_object_protos(in, 0);
    stream_close(in);
    if (g_object_proto_count > uint32_t(k_proto_first_template))
        std::abort();
    for (uint32_t s = 0; s < g_object_proto_count && s < 8; ++s) {
        check(g_object_protos[s]);
        load_proto_textures(int32_t(s), 1);
    }
    for (uint32_t s = 0; s < g_object_proto_count; ++s)
        unload_object_proto(int32_t(s), false);
    g_object_proto_count = 0;
    return 0;
}
