// Reads the input as the scene-header section of a level map file, then places the hero and
// starts the scene with what it left.
#include "tests/fuzz/fuzz_sections.h"
#include "world/scene_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, read_scene_header);
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
