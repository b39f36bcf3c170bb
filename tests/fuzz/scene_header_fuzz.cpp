// Reads the input as the scene-header section of a level map file, then places the hero and
// starts the scene with what it left.
#include "engine/packed_stream.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/scene_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_scene_header(in);
    stream_close(in);
    if (g_scene_header.entry_count > k_entry_points)
        std::abort();
    for (int n = -1; n <= g_scene_header.entry_count; ++n)
        place_hero_at_entry(&g_scene_header, n);
    play_scene_music(&g_scene_header);
    apply_ambient_light(&g_scene_header);
    add_entry_point(&g_scene_header);
    remove_entry_point(&g_scene_header, 0);
    return 0;
}
