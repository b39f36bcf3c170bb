// Reads the input as the level containers section of a level map file, then checks every grid it
// left, writes the containers and reads them back: the second reading must give the same grids.
#include "items/containers.h"
#include "tests/fuzz/fuzz_sections.h"

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> grids_of_level()
{
    std::vector<uint8_t> all;
    for (int i = 0; i < g_level_container_count; ++i) {
        const container& c = g_containers[i];
        uint32_t n = container_cells(&c);
        if (!c.items || std::strlen(c.name) >= k_container_name_size)
            std::abort();
        all.insert(all.end(), c.name, c.name + std::strlen(c.name) + 1);
        all.push_back(c.width);
        all.push_back(c.height);
        all.insert(all.end(), reinterpret_cast<const uint8_t*>(c.items), reinterpret_cast<const uint8_t*>(c.items + n));
        all.insert(all.end(), reinterpret_cast<const uint8_t*>(c.prices), reinterpret_cast<const uint8_t*>(c.prices + n));
        all.insert(all.end(), c.flags, c.flags + n);
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
