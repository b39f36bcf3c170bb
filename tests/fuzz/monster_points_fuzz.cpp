// Reads the input as the monster-points section of a level map file, then writes the block it
// left and reads it back: the second reading must give the same block.
#include "characters/monster_points.h"
#include "engine/packed_stream.h"
#include "tests/fuzz/fuzz_sections.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, read_monster_points);
    if (g_monster_points.count < 0 || g_monster_points.count > k_monster_point_slots)
        std::abort();

    monster_point_block first = g_monster_points;
    check_section_round_trip([](packed_stream* s) { return write_monster_points(s, false); }, read_monster_points, [&] {
        return std::memcmp(&first, &g_monster_points, sizeof first) == 0;
    });
    return 0;
}
