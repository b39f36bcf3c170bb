// Reads the input as the level containers section of a level map file, then checks every grid it
// left, writes the containers and reads them back: the second reading must give the same grids.
#include "items/containers.h"
#include "tests/fuzz/fuzz_containers.h"
#include "tests/fuzz/fuzz_sections.h"

#include <vector>

namespace {

std::vector<uint8_t> grids_of_level()
{
    std::vector<uint8_t> all;
    for (int i = 0; i < g_level_container_count; ++i) {
        if (!g_containers[i].items)
            std::abort();
        append_container_bytes(all, g_containers[i]);
    }
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, load_level_containers);
    if (g_level_container_count < 0 || g_level_container_count > k_level_container_slots)
        std::abort();
    for (int i = g_level_container_count; i < k_level_container_slots; ++i)
        if (g_containers[i].items)
            std::abort();

    std::vector<uint8_t> first = grids_of_level();
    check_section_round_trip(save_level_containers, load_level_containers, [&] {
        return grids_of_level() == first;
    });
    free_level_containers();
    return 0;
}
