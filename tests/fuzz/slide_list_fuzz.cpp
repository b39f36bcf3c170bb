// Reads the input as a chapter slide list: the record holds at most its 24 entries, the show
// stays stopped and no tile is held.
#include "tests/fuzz/fuzz_scratch.h"

#include "world/slide_timing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    write_fuzz_file("list.txt", data, size);
    slide_timing timing;
    load_slide_timing(&timing, "list.txt");
    if (timing.count < 0 || timing.count > k_slide_list_size || timing.running || timing.index != 0)
        std::abort();
    for (uint16_t slot : tile_slots(timing.current))
        if (slot != k_no_tile)
            std::abort();
    return 0;
}
