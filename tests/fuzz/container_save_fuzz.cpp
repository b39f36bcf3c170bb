// Reads the input as a save game's "container.ss" over two character containers (see
// fuzz_char_containers.h).
#include "tests/fuzz/fuzz_char_containers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_char_container_file(data, size, "container.ss", load_char_containers_from, save_char_containers_to);
}
