// Reads the input as "global/characters.dat" over a known table: a refused file must leave the
// table as it was; a read one must hold sound records, and writing and reading it again must give
// the same records.
#include "characters/char_table.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_chars.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static char_record before[k_char_slots];
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file(k_characters_file, data, size);
    std::memset(g_chars, 0x5A, sizeof g_chars);
    g_char_count = 7;
    std::memcpy(before, g_chars, sizeof before);

    if (!read_characters(true)) {
        if (g_char_count != 7 || std::memcmp(before, g_chars, sizeof before) != 0)
            std::abort();
        return 0;
    }
    if (g_char_count > uint32_t(k_char_slots))
        std::abort();
    for (uint32_t i = 0; i < g_char_count; ++i) {
        check_read_char(g_chars[i]);
        g_chars[i].kind = k_kind_player;  // every record is written back
    }
    const uint32_t count = g_char_count;
    std::memcpy(before, g_chars, sizeof before);
    if (!write_characters() || !read_characters(true) || g_char_count != count ||
        std::memcmp(before, g_chars, sizeof(char_record) * count) != 0)
        std::abort();
    return 0;
}
