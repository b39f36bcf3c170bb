// Reads the input as "global/cont.dat" over two character containers (see fuzz_char_containers.h).
#include "tests/fuzz/fuzz_char_containers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_char_container_file(
        data, size, k_char_containers_file, [](const char*) { return load_char_containers(); },
        [](const char*) { return save_char_containers(); });
}
