// Reads the input as the sectors section of a level map file, then tests points against every
// sector it left.
#include "engine/packed_stream.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "world/sectors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_sectors(in);
    stream_close(in);
    if (g_sector_count < 0 || g_sector_count > k_sector_slots)
        std::abort();
    for (int n = 0; n < g_sector_count; ++n) {
        if (g_sectors[n].count < 0 || g_sectors[n].count > k_sector_points)
            std::abort();
        point_in_sector(g_sectors[n].x[0], g_sectors[n].y[0], n);
        add_sector_point(&g_sectors[n], 1.0f, 2.0f);
        point_in_polygon(5.0f, 5.0f, &g_sectors[n], 0.5f);
    }
    return 0;
}
