// Reads the input as the entities section of a level map file, then looks up every entity's
// object list and writes the table it left and reads that back: the second reading must give the
// same table.
#include "script/entities.h"
#include "tests/fuzz/fuzz_sections.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    read_fuzz_section(data, size, read_entities);
    if (g_entity_count > k_entity_slots)
        std::abort();
    for (uint32_t i = 0; i < g_entity_count; ++i)
        if (std::strlen(g_entities[i].name) >= k_entity_name_size || entity_objects(&g_entities[i]) != nullptr ||
            g_entities[i].object_count != 0)
            std::abort();

    static entity_record first[k_entity_slots];
    std::memcpy(first, g_entities, sizeof first);
    uint32_t count = g_entity_count;
    check_section_round_trip(write_entities, read_entities, [&] {
        return g_entity_count == count && std::memcmp(first, g_entities, sizeof(entity_record) * count) == 0;
    });
    return 0;
}
