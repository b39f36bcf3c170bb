// Reads the input as the ground-items section of a level or change file, then writes the table it
// left and reads that back: the second reading must give the same table. Then the records are
// placed by two passes over a small item table (one item without a ground model): a record of an
// item outside the table is freed, every other one lies on an object that links back to it or
// stays dropped for want of a model.
#include "characters/char_table.h"
#include "core/editor_globals.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "tests/fuzz/fuzz_sections.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t k_fuzz_items = 4;

void make_items()
{
    object_proto& model = g_object_protos[k_proto_first_template];
    model.kind = k_proto_sprite;
    model.frame_counts[0] = 2;
    g_item_proto_count = k_fuzz_items;
    for (int32_t i = 0; i < k_fuzz_items; ++i) {
        item_proto& p = g_item_protos[i];
        p = item_proto{};
        std::snprintf(p.display_name, sizeof p.display_name, "Item %d", int(i));
        p.item_class = uint8_t(i == 2 ? k_item_gold : i == 3 ? k_item_trap : k_item_normal);
        p.ground_model = i == 1 ? k_item_no_ground_model : uint16_t(k_proto_first_template);
    }
}

void check_placement()
{
    const int16_t count = g_ground_item_count;
    free_objects();
    if (!reserve_objects(16))
        std::abort();
    g_char_count = 0;
    g_work_mode = k_work_play;
    static uint8_t before[k_ground_item_slots];
    for (int32_t i = 0; i < count; ++i)
        before[i] = g_ground_items[i].state;
    update_ground_items(1);
    update_ground_items(0);
    for (int32_t i = 0; i < count; ++i) {
        const ground_item& g = g_ground_items[i];
        if (before[i] != k_ground_item_dropped || g.state == k_ground_item_free)
            continue;
        if (g.item >= k_fuzz_items)
            std::abort();  // a bad item id is freed
        if (g.item == 1 ? g.state != k_ground_item_dropped : g.state != k_ground_item_lying || !ground_item_object(i))
            std::abort();
    }
    purge_ground_items();
    for (int32_t i = 0; i < count; ++i)
        if (g_ground_items[i].state == k_ground_item_lying)
            std::abort();
    free_objects();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_ground_item_count = 0;
    read_fuzz_section(data, size, load_ground_items);
    if (g_ground_item_count < 0 || g_ground_item_count > k_ground_item_slots)
        std::abort();
    for (int i = 0; i < g_ground_item_count; ++i)
        if (g_ground_items[i].state == k_ground_item_lying || g_ground_items[i].state == k_ground_item_taken)
            std::abort();

    static ground_item first[k_ground_item_slots];
    std::memcpy(first, g_ground_items, sizeof first);
    int16_t count = g_ground_item_count;
    check_section_round_trip(save_ground_items, load_ground_items, [&] {
        return g_ground_item_count == count &&
               std::memcmp(first, g_ground_items, sizeof(ground_item) * size_t(count)) == 0;
    });

    make_items();
    check_placement();
    return 0;
}
