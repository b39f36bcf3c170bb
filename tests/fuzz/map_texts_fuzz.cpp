// Reads the input as the map-texts section of a level map file, then writes the table it left
// and reads that back: the second reading must give the same table.
#include "script/map_texts.h"
#include "tests/fuzz/fuzz_sections.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, read_map_texts);
    if (g_map_text_count > k_map_text_slots)
        std::abort();
    for (uint32_t i = 0; i < g_map_text_count; ++i)
        if (std::strlen(g_map_texts[i].key) >= k_map_text_key_size || std::strlen(g_map_texts[i].text) >= k_map_text_size)
            std::abort();

    static map_text first[k_map_text_slots];
    std::memcpy(first, g_map_texts, sizeof first);
    uint32_t count = g_map_text_count;
    check_section_round_trip(write_map_texts, read_map_texts, [&] {
        return g_map_text_count == count && std::memcmp(first, g_map_texts, sizeof(map_text) * count) == 0;
    });
    return 0;
}
