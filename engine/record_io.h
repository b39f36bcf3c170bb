// Records that files store whole: little-endian fixed-width values at byte offsets of a buffer,
// and reading a record whose stored size may differ from the program's.
#pragma once

#include "platform/byte_order.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

struct packed_stream;

// Reads a record stored with stored_size bytes into buffer: the first min(stored_size, size)
// bytes land at its start (the rest of buffer is left as it was) and the remainder of a longer
// record is skipped. Returns false when the stream ended before all stored bytes were read.
bool read_stored_record(packed_stream* stream, uint8_t* buffer, uint32_t size, uint32_t stored_size);

// Reads and drops n bytes. Returns false when the stream ended first; `skipped`, when given,
// gets the bytes dropped.
bool skip_stream_bytes(packed_stream* stream, uint64_t n, uint64_t* skipped = nullptr);

// Writes n bytes. Returns false when a byte could not be written.
bool write_stream_bytes(packed_stream* stream, const void* bytes, uint32_t n);

// The head of a file that holds a whole table: i32 count, then u32 record size. False, reported
// damaged (core/data_files.h) with `kept` as what stays, when the head is missing or the count
// lies outside 0 to capacity; the caller then keeps its table as it was.
bool read_table_head(packed_stream* stream, const char* file, const char* kept, int32_t capacity, int32_t* count,
                     uint32_t* stored_size);

// How a data file that cannot be used is reported (core/data_files.h): each time, or only the
// first time in a run (a file read again and again).
enum class file_report { each_time, once };

// Opens a packed data file for reading ("rp"). Null when it is missing or holds no packed head,
// reported (core/data_files.h) with `kept` as what stands in its place; *missing, when given,
// tells a missing file from a damaged one.
packed_stream* open_data_file(const char* file, const char* kept, bool* missing = nullptr,
                              file_report report = file_report::each_time);

// Closes a stream that its reader took to where the file's data should end. When `read` (the
// reader got all it looked for) and bytes still follow, the file holds more than it names: it is
// reported damaged ("<n> bajtov za koncom dat", with `kept` as what stays). Returns the bytes that
// followed: 0 when the data ended there or the reader stopped early (it reports that itself).
int64_t close_read_file(packed_stream* stream, bool read, const char* file, const char* kept = "zaznamy pred nimi",
                        file_report report = file_report::each_time);

// report_damaged_file, or its once-a-run form.
void report_damaged_data_file(const char* file, const char* where, const char* kept, file_report report);

// The two directions of a record codec. A record's layout is written once as a function
// template over the codec, calling e.g. io.f32(offset, record.field) for every field: with a
// record_writer it stores the fields into the bytes, with a record_reader it fills them from them.
struct record_writer {
    uint8_t* p;
    void u8(uint32_t at, uint8_t v) { p[at] = v; }
    void u16(uint32_t at, uint16_t v) { put_le_u16(p + at, v); }
    void i16(uint32_t at, int16_t v) { put_le_u16(p + at, uint16_t(v)); }
    void u32(uint32_t at, uint32_t v) { put_le_u32(p + at, v); }
    void i32(uint32_t at, int32_t v) { put_le_u32(p + at, uint32_t(v)); }
    void f32(uint32_t at, float v) { put_le_f32(p + at, v); }
    void bytes(uint32_t at, const void* v, uint32_t n) { std::memcpy(p + at, v, n); }
    void text(uint32_t at, const char* v, uint32_t n) { std::memcpy(p + at, v, n); }
};

struct record_reader {
    const uint8_t* p;
    void u8(uint32_t at, uint8_t& v) { v = p[at]; }
    void u16(uint32_t at, uint16_t& v) { v = le_u16(p + at); }
    void i16(uint32_t at, int16_t& v) { v = le_i16(p + at); }
    void u32(uint32_t at, uint32_t& v) { v = le_u32(p + at); }
    void i32(uint32_t at, int32_t& v) { v = le_i32(p + at); }
    void f32(uint32_t at, float& v) { v = le_f32(p + at); }
    void bytes(uint32_t at, void* v, uint32_t n) { std::memcpy(v, p + at, n); }
    // A text field of n bytes; its last byte is made NUL, so the text is always terminated.
    void text(uint32_t at, char* v, uint32_t n)
    {
        std::memcpy(v, p + at, n);
        v[n - 1] = 0;
    }
};

// How much of a table section a reader took.
struct table_read {
    uint32_t kept;       // records handed to the table
    bool complete;       // every stored byte of the section was there
    uint64_t whole = 0;  // records the section held whole, those skipped beyond the capacity too
};

// Reads the records of a table section: `count` records stored with `stored_size` bytes each,
// for a table of `capacity` slots. Each of the first min(count, capacity) records is read into a
// Size-byte buffer that starts as a copy of `blank` (zeros when null), with its stored bytes over
// the start and the rest of a longer record skipped, and handed to take(index, bytes). The records
// beyond the capacity are skipped, so the stream ends up after the section. Reading stops at the
// first record the stream does not hold whole.
template <uint32_t Size, class Take>
table_read read_table_records(packed_stream* stream, uint32_t stored_size, uint64_t count,
                              uint32_t capacity, const uint8_t* blank, Take take)
{
    uint64_t wanted = std::min<uint64_t>(count, capacity);
    table_read result{0, true};
    for (uint32_t i = 0; i < wanted; ++i) {
        uint8_t bytes[Size];
        if (blank)
            std::memcpy(bytes, blank, Size);
        else
            std::memset(bytes, 0, Size);
        if (!read_stored_record(stream, bytes, Size, stored_size)) {
            result.complete = false;
            return result;
        }
        take(i, static_cast<const uint8_t*>(bytes));
        result.whole = ++result.kept;
    }
    uint64_t skipped = 0;
    result.complete = skip_stream_bytes(stream, (count - wanted) * uint64_t(stored_size), &skipped);
    result.whole += result.complete ? count - wanted : skipped / std::max<uint64_t>(stored_size, 1);
    return result;
}

// Writes `count` records of Size bytes, each filled by fill(index, bytes) into a zeroed buffer.
// Returns false when a byte could not be written.
template <uint32_t Size, class Fill>
bool write_table_records(packed_stream* stream, uint32_t count, Fill fill)
{
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t bytes[Size] = {};
        fill(i, bytes);
        if (!write_stream_bytes(stream, bytes, Size))
            return false;
    }
    return true;
}
