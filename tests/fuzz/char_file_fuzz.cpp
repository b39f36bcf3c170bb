// Reads the input as a single character file into a slot of known bytes: a refused file must
// leave the slot as it was; a read record must be sound, and writing it and reading it into
// another slot must give the same record.
#include "characters/char_table.h"
#include "tests/fuzz/fuzz_chars.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    std::memset(&g_chars[3], 0xA5, sizeof g_chars[3]);
    const char_record before = g_chars[3];
    if (!read_char_file(3, path.c_str())) {
        if (std::memcmp(&before, &g_chars[3], sizeof before) != 0)
            std::abort();
        return 0;
    }
    check_read_char(g_chars[3]);
    std::string copy = fuzz_scratch_path("copy.chr");
    if (!write_char_file(3, copy.c_str()) || !read_char_file(4, copy.c_str()) ||
        std::memcmp(&g_chars[3], &g_chars[4], sizeof g_chars[3]) != 0)
        std::abort();
    return 0;
}
