// Reads the input as a prototype text file, loads the frames it names and frees them again.
#include "engine/textures.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    clear_texture_table();
    object_proto& p = g_object_protos[0];
    std::memset(&p, 0, sizeof p);
    reset_object_proto(&p);
    load_object_proto(&p, path.c_str());
    if (std::strlen(p.name) >= k_proto_name_size || p.anim_count < 0 || p.anim_count > k_proto_animations)
        std::abort();
    for (int a = 0; a < k_proto_animations; ++a)
        if (p.frame_counts[a] < 0 || p.frame_counts[a] > k_proto_frames)
            std::abort();
    for (const auto& name : p.frame_names)
        if (std::strlen(name) >= k_proto_frame_name_size)
            std::abort();
    load_proto_textures(0, 0);
    test_proto_mask(&p, 1, 1);
    free_object_proto(&p, 0);
    return 0;
}
