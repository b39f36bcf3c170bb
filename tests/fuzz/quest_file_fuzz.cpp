// "global/quest_eng.txt" read from any bytes, beside a valid flag file: the quest table stays
// within its room, every name is terminated, cut of trailing white space and found again, and
// the flags are read; the language check names the table's damage without loading it.
#include "tests/fuzz/fuzz_scratch.h"

#include "script/quests.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    std::filesystem::create_directories("global");
    write_fuzz_file("global/quest_eng.txt", data, size);
    static const char flags[] = "1\nencounter\n";
    write_fuzz_file("global/flag.txt", reinterpret_cast<const uint8_t*>(flags), sizeof flags - 1);
    load_quests();
    if (g_quest_count > k_quest_slots || g_flag_count != 1 || find_flag("ENCOUNTER") != 0)
        std::abort();
    for (int i = 0; i < g_quest_count; ++i) {
        const quest_record& q = g_quests[i];
        const size_t n = strnlen(q.name, sizeof q.name);
        if (n == sizeof q.name || strnlen(q.title, sizeof q.title) == sizeof q.title || q.state || q.assigned ||
            q.completed)
            std::abort();
        if (n && std::isspace(static_cast<unsigned char>(q.name[n - 1])))
            std::abort();
        const int16_t found = find_quest(q.name);
        if (found < 0 || found > i)
            std::abort();
    }
    // The language check reads the same table without loading it: it names the file's damage and
    // leaves the loaded table as it was.
    const uint8_t count = g_quest_count;
    const std::string fault = quest_table_fault("eng");
    if ((!fault.empty() && fault.rfind("global/quest_eng.txt ", 0) != 0) || g_quest_count != count)
        std::abort();
    return 0;
}
