// Reads the input as the sectors section of a level map file, then tests points against every
// sector it left.
#include "tests/fuzz/fuzz_sections.h"
#include "world/sectors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, read_sectors);
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
