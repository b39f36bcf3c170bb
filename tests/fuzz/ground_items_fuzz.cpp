// Reads the input as the ground-items section of a level or change file, then writes the table it
// left and reads that back: the second reading must give the same table.
#include "items/ground_items.h"
#include "tests/fuzz/fuzz_sections.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_ground_item_count = 0;
    read_fuzz_section(data, size, load_ground_items);
    if (g_ground_item_count < 0 || g_ground_item_count > k_ground_item_slots)
        std::abort();
    for (int i = 0; i < g_ground_item_count; ++i)
        if (g_ground_items[i].state == k_ground_item_lying)
            std::abort();

    static ground_item first[k_ground_item_slots];
    std::memcpy(first, g_ground_items, sizeof first);
    int16_t count = g_ground_item_count;
    check_section_round_trip(save_ground_items, load_ground_items, [&] {
        return g_ground_item_count == count &&
               std::memcmp(first, g_ground_items, sizeof(ground_item) * size_t(count)) == 0;
    });
    return 0;
}
