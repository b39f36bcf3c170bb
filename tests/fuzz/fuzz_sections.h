// Fuzz targets of level-file sections: the input read as a section, and a round trip of what
// the reader left through the section's writer and reader.
#pragma once

#include "engine/packed_stream.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// Reads the input as a plain file through read(stream); returns the reader's result.
template <class Read>
bool read_fuzz_section(const uint8_t* data, size_t size, Read read)
{
    std::string path = fuzz_input_file(data, size);
    packed_stream* in = stream_open(path.c_str(), "r");
    bool complete = read(in);
    stream_close(in);
    return complete;
}

// Writes the section through write into a packed scratch file and reads it back through read;
// aborts unless the write, the close and the reading succeed and same() holds afterwards.
template <class Write, class Read, class Same>
void check_section_round_trip(Write write, Read read, Same same)
{
    const std::string path = fuzz_scratch_path("copy.dat");
    packed_stream* out = stream_open(path.c_str(), "wp");
    bool written = write(out);
    if (stream_close(out) != 0 || !written)
        std::abort();
    packed_stream* in = stream_open(path.c_str(), "rp");
    bool complete = read(in);
    stream_close(in);
    if (!complete || !same())
        std::abort();
}
