// Test helpers for the sections of level files: writing a section into a packed file and reading
// it back, and reading hand-built section bytes followed by a marker that shows where the reader
// left the stream. Used inside a temp_folder.
#pragma once

#include "engine/packed_stream.h"
#include "support/temp_folder.h"

#include <cstdint>
#include <vector>

constexpr uint32_t k_section_marker = 0x5EC7E0D5;

// Writes a section into the packed file "section.dat" through write(stream); true when the
// writer and the close succeeded.
template <class Write>
bool write_section(Write write)
{
    packed_stream* out = stream_open("section.dat", "wp");
    bool written = write(out);
    return stream_close(out) == 0 && written;
}

// Reads "section.dat" as written by write_section; returns the reader's result.
template <class Read>
bool read_section(Read read)
{
    packed_stream* in = stream_open("section.dat", "rp");
    bool complete = read(in);
    stream_close(in);
    return complete;
}

struct raw_read {
    bool complete;  // the reader's result
    bool aligned;   // the marker after the section was read next
};

// Reads section bytes, followed by the marker, through read(stream) from a plain file.
template <class Read>
raw_read read_raw_section(std::vector<uint8_t> bytes, Read read)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(uint8_t(k_section_marker >> (8 * i)));
    write_bytes("raw.dat", bytes);
    packed_stream* in = stream_open("raw.dat", "r");
    raw_read result{read(in), false};
    result.aligned = stream_read_u32le(in) == k_section_marker;
    stream_close(in);
    return result;
}

// Reads section bytes that end the file through read(stream) from a plain file; returns the
// reader's result.
template <class Read>
bool read_last_section(const std::vector<uint8_t>& bytes, Read read)
{
    write_bytes("raw.dat", bytes);
    packed_stream* in = stream_open("raw.dat", "r");
    bool complete = read(in);
    stream_close(in);
    return complete;
}

// Little-endian section bytes built field by field.
struct section_bytes {
    std::vector<uint8_t> bytes;

    section_bytes& u8(uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    section_bytes& u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
    section_bytes& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
    section_bytes& fill(size_t n, uint8_t v)
    {
        bytes.insert(bytes.end(), n, v);
        return *this;
    }
    section_bytes& raw(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
        return *this;
    }
};

// Fills a record's bytes with a pattern that differs by seed, for field-for-field comparisons.
template <class Record>
void fill_pattern(Record* record, uint32_t seed)
{
    uint8_t* p = reinterpret_cast<uint8_t*>(record);
    uint32_t v = seed * 2654435761u + 1;
    for (size_t i = 0; i < sizeof(Record); ++i) {
        v = v * 1103515245u + 12345u;
        p[i] = uint8_t(v >> 16);
    }
}
