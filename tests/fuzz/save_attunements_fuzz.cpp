// A save's attune.ss (packed) from any bytes beside a table of 400 items, all attunements but the
// first: every taken entry lies within the item slots, one that fits the table names one of the
// attunements, and the entries are stored and read back the same.
#include "items/items.h"
#include "level/save_files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_item_proto_count = 400;
    for (int i = 0; i < 400; ++i)
        g_item_protos[i].item_class = i == 0 ? 0 : k_item_attunement;
    std::string path = fuzz_input_file(data, size);
    std::vector<uint8_t> bytes;
    saved_attunements read{-7, {}};
    if (!read_packed_file(path.c_str(), &bytes) || !parse_attunements(bytes, &read)) {
        if (read.count != -7 || !read.entries.empty())
            std::abort();
        return 0;
    }
    if (read.count != int16_t(read.entries.size()))
        std::abort();
    for (const saved_attunement& e : read.entries)
        if (e.item < 0 || e.item >= k_item_slots)
            std::abort();
    if (attunements_fit_items(read))
        for (const saved_attunement& e : read.entries)
            if (e.item < 1 || e.item >= 400)
                std::abort();
    saved_attunements again;
    if (!parse_attunements(encode_attunements(read), &again) || encode_attunements(again) != bytes)
        std::abort();
    return 0;
}
