// Reads the input as the monster-points section of a level map file, then writes the block it
// left and reads it back: the second reading must give the same block.
#include "characters/monster_points.h"
#include "engine/packed_stream.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_monster_points(in);
    stream_close(in);
    if (g_monster_points.count < 0 || g_monster_points.count > k_monster_point_slots)
        std::abort();

    monster_point_block first = g_monster_points;
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = write_monster_points(out, false);
    if (stream_close(out) != 0 || !written)
        std::abort();
    in = stream_open(path.c_str(), "rp");
    if (!read_monster_points(in) || std::memcmp(&first, &g_monster_points, sizeof first) != 0)
        std::abort();
    stream_close(in);
    return 0;
}
