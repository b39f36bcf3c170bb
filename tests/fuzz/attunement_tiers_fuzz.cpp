// Reads the input as "global/attunements.txt" over a small item table and checks that the
// thresholds stay 16-bit and no item takes a tier outside 0 to 2.
#include "core/utilities.h"
#include "items/items.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file("global/attunements.txt", data, size);
    const char* names[] = {"Blade focus", "First choice", "Dream walker", "blade FOCUS"};
    g_item_proto_count = 4;
    for (int i = 0; i < 4; ++i) {
        g_item_protos[i] = item_proto{};
        copy_bounded(g_item_protos[i].display_name, sizeof g_item_protos[i].display_name, names[i]);
        g_item_protos[i].item_class = k_item_attunement;
    }
    read_attunement_tiers("global/attunements.txt");
    for (int32_t threshold : g_attunement_thresholds)
        if (threshold < 0 || threshold > 32767)
            std::abort();
    for (int i = 0; i < 4; ++i)
        if (g_item_protos[i].size > 2)
            std::abort();
    if (g_item_protos[0].size != g_item_protos[3].size)  // names match ignoring case
        std::abort();
    return 0;
}
