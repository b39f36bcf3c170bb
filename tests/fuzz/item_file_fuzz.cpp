// Reads the input as "global/items.dat" with an item names file beside it, checks the table
// (a refused file leaves it empty), then saves it and loads it again: the second loading must
// give the same table.
#include "engine/textures.h"
#include "items/items.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

namespace {

bool terminated(const char* text, size_t size)
{
    return std::memchr(text, 0, size) != nullptr;
}

void check_table()
{
    if (g_item_proto_count < 0 || g_item_proto_count > k_item_slots)
        std::abort();
    for (int32_t i = 0; i < g_item_proto_count; ++i) {
        const item_proto& item = g_item_protos[i];
        if (item.requirement_count < 0 || item.requirement_count > k_item_list_entries || item.efect_count < 0 ||
            item.efect_count > k_item_list_entries || item.requirements_word != 0 || item.efects_word != 0 ||
            !terminated(item.key_name, sizeof item.key_name) || !terminated(item.display_name, sizeof item.display_name) ||
            !terminated(item.image_name, sizeof item.image_name) || !terminated(item.model_name, sizeof item.model_name) ||
            (item.item_class == k_item_attunement && item.damage != 0))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    clear_texture_table();  // the icons of the previous input
    make_folder("global");
    write_fuzz_file("global/items.dat", data, size);
    static const char names[] = "0;mec;Sword\r\n1;stit;Shield\r\n";
    write_fuzz_file("global/itemnames_eng.txt", reinterpret_cast<const uint8_t*>(names), sizeof names - 1);
    g_item_proto_count = 0;
    load_items();
    check_table();

    static item_proto first[k_item_slots];
    static item_lists first_lists[k_item_slots];
    std::memcpy(first, g_item_protos, sizeof first);
    std::memcpy(first_lists, g_item_lists, sizeof first_lists);
    int32_t count = g_item_proto_count;
    if (!save_items())
        std::abort();
    g_item_proto_count = 0;
    load_items();
    if (g_item_proto_count != count ||
        std::memcmp(first, g_item_protos, sizeof(item_proto) * size_t(count)) != 0)
        std::abort();
    for (int32_t i = 0; i < count; ++i)
        if (std::memcmp(first_lists[i].requirements, g_item_lists[i].requirements,
                        sizeof(item_property) * size_t(first[i].requirement_count)) != 0 ||
            std::memcmp(first_lists[i].efects, g_item_lists[i].efects,
                        sizeof(item_property) * size_t(first[i].efect_count)) != 0)
            std::abort();
    return 0;
}
