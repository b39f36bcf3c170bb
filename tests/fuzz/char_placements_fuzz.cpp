// Reads the input as the character placements section of a level map file, with two creature
// files present, then checks the cleaned list and writes it and reads it back: the second
// reading must give the same list.
#include "characters/placements.h"
#include "engine/packed_stream.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstring>
#include <sys/stat.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enter_fuzz_folder();
    mkdir("data", 0755);
    mkdir("data/creature", 0755);
    write_fuzz_file("data/creature/a.chr", data, 0);
    write_fuzz_file("data/creature/wolf.chr", data, 0);

    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    read_char_placements(in);
    stream_close(in);
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
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = write_char_placements(out);
    if (stream_close(out) != 0 || !written)
        std::abort();
    in = stream_open(path.c_str(), "rp");
    if (!read_char_placements(in) || g_char_placements.count != count ||
        std::memcmp(first, g_char_placements.entries, sizeof(char_placement) * size_t(count)) != 0)
        std::abort();
    stream_close(in);
    return 0;
}
