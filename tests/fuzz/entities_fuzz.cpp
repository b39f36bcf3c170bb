// Reads the input as the entities section of a level map file, then looks up every entity's
// object list and writes the table it left and reads that back: the second reading must give the
// same table.
#include "engine/packed_stream.h"
#include "script/entities.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_entities(in);
    stream_close(in);
    if (g_entity_count > k_entity_slots)
        std::abort();
    for (uint32_t i = 0; i < g_entity_count; ++i)
        if (std::strlen(g_entities[i].name) >= k_entity_name_size || entity_objects(&g_entities[i]) != nullptr ||
            g_entities[i].object_count != 0)
            std::abort();

    static entity_record first[k_entity_slots];
    std::memcpy(first, g_entities, sizeof first);
    uint32_t count = g_entity_count;
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = write_entities(out);
    if (stream_close(out) != 0 || !written)
        std::abort();
    in = stream_open(path.c_str(), "rp");
    if (!read_entities(in) || g_entity_count != count || std::memcmp(first, g_entities, sizeof(entity_record) * count) != 0)
        std::abort();
    stream_close(in);
    return 0;
}
