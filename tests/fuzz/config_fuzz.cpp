// config.cfg read back from any bytes.
#include "tests/fuzz/fuzz_scratch.h"

#include "core/settings.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    write_fuzz_file("config.cfg", data, size);
    game_settings settings;
    config_read(&settings);
    if (std::strlen(g_language) >= sizeof g_language)
        std::abort();
    return 0;
}
