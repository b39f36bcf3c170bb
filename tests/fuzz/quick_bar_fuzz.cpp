// Reads the input as "global/quick.dat" with a small item and spell table: the quick bar is
// either left as it was or holds only empty slots and ids of the tables, and writing it back and
// reading that again gives the same bar.
#include "core/game_globals.h"
#include "interface/equipment_slots.h"
#include "items/items.h"
#include "items/spells.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

namespace {

bool same_bar(const game_interface& a, const game_interface& b)
{
    return std::memcmp(a.quick_ids, b.quick_ids, sizeof a.quick_ids) == 0 &&
           std::memcmp(a.quick_icons, b.quick_icons, sizeof a.quick_icons) == 0 &&
           std::memcmp(a.quick_kinds, b.quick_kinds, sizeof a.quick_kinds) == 0 && a.quick_selected == b.quick_selected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file("global/quick.dat", data, size);
    g_item_proto_count = 12;
    g_spell_proto_count = 5;
    for (int i = 0; i < k_quick_slots; ++i) {
        g_interface.quick_ids[i] = int16_t(i);
        g_interface.quick_icons[i] = uint16_t(7 * i);
        g_interface.quick_kinds[i] = 2;
    }
    g_interface.quick_selected = 3;
    const game_interface before = g_interface;
    read_quick_bar();
    if (same_bar(before, g_interface))
        return 0;
    for (int i = 0; i < k_quick_slots; ++i) {
        const int16_t id = g_interface.quick_ids[i];
        switch (g_interface.quick_kinds[i]) {
        case 0: break;
        case 1:
        case 2:
            if (id < 0 || id >= g_item_proto_count)
                std::abort();
            break;
        case 3:
            if (id < 0 || id >= k_spell_slots)
                std::abort();
            break;
        default: std::abort();
        }
    }
    const game_interface read = g_interface;
    if (!write_quick_bar())
        std::abort();
    read_quick_bar();
    if (!same_bar(read, g_interface))
        std::abort();
    return 0;
}
