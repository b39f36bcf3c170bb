// Reads the input as the map-events section of a level map file, then writes the table it left
// and reads that back: the second reading must give the same table.
#include "engine/packed_stream.h"
#include "script/map_events.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_events(in);
    stream_close(in);
    if (g_event_count > k_event_slots)
        std::abort();
    for (uint32_t i = 0; i < g_event_count; ++i)
        if (std::strlen(g_events[i].name) >= k_event_name_size || std::strlen(g_events[i].action_text[4]) >= k_event_text_size)
            std::abort();

    static event_record first[k_event_slots];
    std::memcpy(first, g_events, sizeof first);
    uint32_t count = g_event_count;
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = write_events(out);
    if (stream_close(out) != 0 || !written)
        std::abort();
    in = stream_open(path.c_str(), "rp");
    if (!read_events(in) || g_event_count != count || std::memcmp(first, g_events, sizeof(event_record) * count) != 0)
        std::abort();
    stream_close(in);
    return 0;
}
