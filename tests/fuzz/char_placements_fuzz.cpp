// Reads the input as the character placements section of a level map file, with two creature
// files present, then checks the cleaned list and writes it and reads it back: the second
// reading must give the same list.
#include "characters/placements.h"
#include "tests/fuzz/fuzz_sections.h"

#include <cstring>
#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    mkdir("data", 0755);
    mkdir("data/creature", 0755);
    write_fuzz_file("data/creature/a.chr", data, 0);
    write_fuzz_file("data/creature/wolf.chr", data, 0);

    read_fuzz_section(data, size, read_char_placements);
    int16_t count = g_char_placements.count;
    if (count < 0 || count > k_placement_slots)
        std::abort();
    for (int i = 0; i < count; ++i) {
        const char_placement& p = g_char_placements.entries[i];
        if (std::strlen(p.creature_file) >= k_placement_file_size || std::strlen(p.display_name) >= k_placement_display_size ||
            p.inv_count > k_placement_inventory)
            std::abort();
        for (int j = i + 1; j < count; ++j)
            if (p.char_slot >= 0 && p.char_slot == g_char_placements.entries[j].char_slot)
                std::abort();
    }

    static char_placement first[k_placement_slots];
    std::memcpy(first, g_char_placements.entries, sizeof first);
    check_section_round_trip(write_char_placements, read_char_placements, [&] {
        return g_char_placements.count == count &&
               std::memcmp(first, g_char_placements.entries, sizeof(char_placement) * size_t(count)) == 0;
    });
    return 0;
}
