// "save/save.dat" from any bytes, beside the save folders "demo" and "a" (each with its game.ss):
// the list keeps at most 199 names, each terminated, a valid save name with its game.ss (names
// match their folders ignoring case, as every file name does), and the rewritten save.dat reads
// back as the same list.
#include "level/save_games.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <strings.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    for (const char* name : {"save/demo", "save/a"}) {
        std::filesystem::create_directories(name);
        write_fuzz_file((std::string(name) + "/game.ss").c_str(), reinterpret_cast<const uint8_t*>("x"), 1);
    }
    write_fuzz_file("save/save.dat", data, size);
    g_save_list.count = 0;
    save_list_read();
    if (g_save_list.count < 0 || g_save_list.count > k_save_slots)
        std::abort();
    for (int i = 0; i < g_save_list.count; ++i) {
        const char* name = g_save_list.names[i];
        if (!is_valid_save_name(name) || (strcasecmp(name, "demo") != 0 && strcasecmp(name, "a") != 0))
            std::abort();
    }
    static save_list before;
    before = g_save_list;
    if (!save_list_write())
        std::abort();
    save_list_read();
    if (g_save_list.count != before.count ||
        std::memcmp(g_save_list.names, before.names, size_t(before.count) * k_save_name_size) != 0)
        std::abort();
    return 0;
}
