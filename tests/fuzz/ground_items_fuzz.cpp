// Reads the input as the ground-items section of a level or change file, then writes the table it
// left and reads that back: the second reading must give the same table.
#include "engine/packed_stream.h"
#include "items/ground_items.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_ground_item_count = 0;
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    load_ground_items(in);
    stream_close(in);
    if (g_ground_item_count < 0 || g_ground_item_count > k_ground_item_slots)
        std::abort();
    for (int i = 0; i < g_ground_item_count; ++i)
        if (g_ground_items[i].state == k_ground_item_lying)
            std::abort();

    static ground_item first[k_ground_item_slots];
    std::memcpy(first, g_ground_items, sizeof first);
    int16_t count = g_ground_item_count;
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = save_ground_items(out);
    if (stream_close(out) != 0 || !written)
        std::abort();
    in = stream_open(path.c_str(), "rp");
    if (!load_ground_items(in) || g_ground_item_count != count ||
        std::memcmp(first, g_ground_items, sizeof(ground_item) * size_t(count)) != 0)
        std::abort();
    stream_close(in);
    return 0;
}
