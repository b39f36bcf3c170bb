// Reads the input as the scene-header section of a level map file over a new map's header, then
// places the hero and starts the scene with what it left: the header holds sound numbers whether
// the section was taken or refused.
#include "tests/fuzz/fuzz_sections.h"
#include "world/scene_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    reset_scene_header(&g_scene_header);
    read_fuzz_section(data, size, read_scene_header);
    if (g_scene_header.entry_count > k_entry_points || !scene_header_numbers_sound(g_scene_header))
        std::abort();
    for (int n = -1; n <= g_scene_header.entry_count; ++n)
        place_hero_at_entry(&g_scene_header, n);
    play_scene_music(&g_scene_header);
    apply_ambient_light(&g_scene_header);
    add_entry_point(&g_scene_header);
    remove_entry_point(&g_scene_header, 0);
    return 0;
}
