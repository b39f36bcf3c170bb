// Reads the input as the containers' state blocks of a per-level change file over a level of
// three containers, then checks the level count and the grids it left.
#include "items/containers.h"
#include "tests/fuzz/fuzz_sections.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (int i = 0; i < 3; ++i)
        container_init(&g_containers[i], "chest", 4, 3, 0);
    g_level_container_count = 3;
    read_fuzz_section(data, size, load_level_container_states);
    if (g_level_container_count < 0 || g_level_container_count > k_level_container_slots)
        std::abort();
    for (int i = g_level_container_count; i < k_level_container_slots; ++i)
        if (g_containers[i].items)
            std::abort();
    free_level_containers();
    return 0;
}
