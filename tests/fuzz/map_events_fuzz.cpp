// Reads the input as the map-events section of a level map file, then writes the table it left
// and reads that back: the second reading must give the same table.
#include "script/map_events.h"
#include "tests/fuzz/fuzz_sections.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, read_events);
    if (g_event_count > k_event_slots)
        std::abort();
    for (uint32_t i = 0; i < g_event_count; ++i)
        if (std::strlen(g_events[i].name) >= k_event_name_size || std::strlen(g_events[i].action_text[4]) >= k_event_text_size)
            std::abort();

    static event_record first[k_event_slots];
    std::memcpy(first, g_events, sizeof first);
    uint32_t count = g_event_count;
    check_section_round_trip(write_events, read_events, [&] {
        return g_event_count == count && std::memcmp(first, g_events, sizeof(event_record) * count) == 0;
    });
    return 0;
}
