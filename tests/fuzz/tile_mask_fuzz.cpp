// Reads the input as the tile mask "maska.dat" of a surface whose size comes from its first two
// bytes, then tests every tile of the surface and beyond it.
#include "engine/textures.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/object_protos.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    write_fuzz_file("maska.dat", data, size);
    clear_texture_table();
    object_proto& p = g_object_protos[7];
    std::memset(&p, 0, sizeof p);
    reset_object_proto(&p);
    p.kind = k_proto_surface;
    const int32_t columns = size > 0 ? data[0] % 24 : 20;
    const int32_t rows = size > 1 ? data[1] % 40 : 2;
    p.anim_count = columns;
    p.frame_counts[0] = rows;
    std::strcpy(p.frame_names[0], ".\\0x0.tga");
    load_proto_textures(7, 1);
    // The record keeps its counts; the mask is held to 16 columns and 32 rows.
    int32_t mask_columns = 0, mask_rows = 0;
    if (p.anim_count != columns || p.frame_counts[0] != rows ||
        (proto_mask(7, &mask_columns, &mask_rows) &&
         (mask_columns > k_proto_animations || mask_rows > k_proto_frames)))
        std::abort();
    for (int c = -1; c <= 17; ++c)
        for (int r = -1; r <= 33; ++r)
            test_proto_mask(&p, c, r);
    free_object_proto(&p, 7);
    return 0;
}
