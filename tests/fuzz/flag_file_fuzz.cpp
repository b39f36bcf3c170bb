// "global/flag.txt" read from any bytes, beside a valid quest file: the flag table stays within
// its room, every name is terminated and found again, and every value is 0.
#include "tests/fuzz/fuzz_scratch.h"

#include "script/quests.h"

#include <cstring>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    std::filesystem::create_directories("global");
    static const char quests[] = "1\nwatersupply\nWater for the village\n150\n";
    write_fuzz_file("global/quest_eng.txt", reinterpret_cast<const uint8_t*>(quests), sizeof quests - 1);
    write_fuzz_file("global/flag.txt", data, size);
    load_quests();
    if (g_quest_count != 1 || g_flag_count < 0 || g_flag_count > k_flag_slots)
        std::abort();
    for (int i = 0; i < g_flag_count; ++i) {
        if (strnlen(g_flags[i].name, sizeof g_flags[i].name) >= 30 || g_flags[i].value != 0)
            std::abort();
        const int16_t found = find_flag(g_flags[i].name);
        if (found < 0 || found > i)
            std::abort();
    }
    return 0;
}
