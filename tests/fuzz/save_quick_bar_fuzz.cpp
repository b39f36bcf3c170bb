// A save's quick.ss (packed) from any bytes through the quick-bar block reader: a block is taken
// only from 81 bytes, and it is stored and read back the same.
#include "engine/packed_stream.h"
#include "items/quick_bar_block.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "rp");
    if (!in)
        return 0;
    quick_bar_block block;
    std::memset(&block, 0x5A, sizeof block);
    const quick_bar_block before = block;
    bool read = read_quick_bar_block(in, &block);
    stream_close(in);
    if (!read) {
        if (std::memcmp(&before, &block, sizeof block) != 0)
            std::abort();
        return 0;
    }
    uint8_t bytes[k_quick_bar_block_size];
    encode_quick_bar(block, bytes);
    quick_bar_block again = decode_quick_bar(bytes);
    uint8_t bytes_again[k_quick_bar_block_size];
    encode_quick_bar(again, bytes_again);
    if (std::memcmp(bytes, bytes_again, sizeof bytes) != 0)
        std::abort();
    return 0;
}
