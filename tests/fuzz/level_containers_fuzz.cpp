// Reads the input as the level containers section of a level map file, then checks every grid it
// left, writes the containers and reads them back: the second reading must give the same grids.
#include "engine/packed_stream.h"
#include "items/containers.h"
#include "tests/fuzz/fuzz_scratch.h"

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
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    load_level_containers(in);
    stream_close(in);
    if (g_level_container_count < 0 || g_level_container_count > k_level_container_slots)
        std::abort();
    for (int i = g_level_container_count; i < k_level_container_slots; ++i)
        if (g_containers[i].items)
            std::abort();

    std::vector<uint8_t> first = grids_of_level();
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = save_level_containers(out);
    if (stream_close(out) != 0 || !written)
        std::abort();
    in = stream_open(path.c_str(), "rp");
    if (!load_level_containers(in) || grids_of_level() != first)
        std::abort();
    stream_close(in);
    free_level_containers();
    return 0;
}
