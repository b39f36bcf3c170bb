// Reads the input as the map-texts section of a level map file, then writes the table it left
// and reads that back: the second reading must give the same table.
#include "engine/packed_stream.h"
#include "script/map_texts.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_map_texts(in);
    stream_close(in);
    if (g_map_text_count > k_map_text_slots)
        std::abort();
    for (uint32_t i = 0; i < g_map_text_count; ++i)
        if (std::strlen(g_map_texts[i].key) >= k_map_text_key_size || std::strlen(g_map_texts[i].text) >= k_map_text_size)
            std::abort();

    static map_text first[k_map_text_slots];
    std::memcpy(first, g_map_texts, sizeof first);
    uint32_t count = g_map_text_count;
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = write_map_texts(out);
    if (stream_close(out) != 0 || !written)
        std::abort();
    in = stream_open(path.c_str(), "rp");
    if (!read_map_texts(in) || g_map_text_count != count || std::memcmp(first, g_map_texts, sizeof(map_text) * count) != 0)
        std::abort();
    stream_close(in);
    return 0;
}
