// Reads the input as a file through "rp" and "r", and writes it back through "wp" and "rp",
// which must give the same bytes.
#include "engine/packed_stream.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void write_plain(const char* name, const uint8_t* data, size_t size)
{
    packed_stream* out = stream_open(name, "w");
    if (out == nullptr || stream_write(data, int(size), out) != int(size) || stream_close(out) != 0)
        std::abort();
}

// Reads everything, alternating single bytes and blocks of varying size.
std::vector<uint8_t> read_everything(packed_stream* in)
{
    std::vector<uint8_t> out;
    uint8_t block[5000];
    for (int round = 0;; round++) {
        if (round % 2 == 0) {
            int c = stream_getc(in);
            if (c < 0)
                break;
            out.push_back(uint8_t(c));
        } else {
            int want = 1 + (round * 977) % int(sizeof block);
            int got = stream_read(block, want, in);
            out.insert(out.end(), block, block + got);
            if (got < want)
                break;
        }
    }
    if (stream_getc(in) != -1)  // the end stays the end
        std::abort();
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = fuzz_scratch_path("input.dat");
    write_plain(input.c_str(), data, size);

    if (packed_stream* in = stream_open(input.c_str(), "rp")) {
        read_everything(in);
        stream_close(in);
    }
    if (packed_stream* in = stream_open(input.c_str(), "r")) {
        std::vector<uint8_t> raw = read_everything(in);
        stream_close(in);
        if (raw.size() != size || (size > 0 && std::memcmp(raw.data(), data, size) != 0))
            std::abort();
    }

    const std::string packed = fuzz_scratch_path("packed.dat");
    packed_stream* out = stream_open(packed.c_str(), "wp");
    if (out == nullptr || stream_write(data, int(size), out) != int(size) || stream_close(out) != 0)
        std::abort();
    packed_stream* in = stream_open(packed.c_str(), "rp");
    if (in == nullptr)
        std::abort();
    std::vector<uint8_t> back = read_everything(in);
    stream_close(in);
    if (back.size() != size || (size > 0 && std::memcmp(back.data(), data, size) != 0))
        std::abort();
    return 0;
}
