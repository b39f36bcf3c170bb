// "global/monsters.dat" read from any bytes: a refused file leaves the table as it was; an accepted
// one holds at most 256 classes with terminated names, and writing and reading them again gives
// the same classes.
#include "tests/fuzz/fuzz_scratch.h"

#include "characters/monster_protos.h"
#include "platform/files.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file(k_monster_protos_file, data, size);
    g_monster_proto_count = 1;
    g_monster_protos[0] = monster_proto{};
    g_monster_protos[0].genus = 200;
    if (!load_monster_protos()) {
        if (g_monster_proto_count != 1 || g_monster_protos[0].genus != 200)
            std::abort();
        return 0;
    }
    if (g_monster_proto_count < 0 || g_monster_proto_count > k_monster_proto_slots)
        std::abort();
    for (int i = 0; i < g_monster_proto_count; ++i)
        if (!std::memchr(g_monster_protos[i].name, 0, sizeof g_monster_protos[i].name) ||
            !std::memchr(g_monster_protos[i].chr_name, 0, sizeof g_monster_protos[i].chr_name))
            std::abort();
    std::vector<monster_proto> first(g_monster_protos, g_monster_protos + g_monster_proto_count);
    if (!save_monster_protos())
        std::abort();
    std::memset(g_monster_protos, 0, sizeof g_monster_protos);
    if (!load_monster_protos() || g_monster_proto_count != int16_t(first.size()) ||
        (!first.empty() && std::memcmp(first.data(), g_monster_protos, first.size() * sizeof(monster_proto)) != 0))
        std::abort();
    return 0;
}
