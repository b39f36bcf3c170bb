// Buffered file streams, plain or LZSS-packed.
//
// A plain stream reads or writes a file's bytes as they are. A packed stream passes the
// bytes through an LZSS coder and carries the coded bytes in a plain inner stream that it
// owns. A packed file starts with a four-byte magic: "AGP!" for an LZSS body, "AGP." for a
// stored body; no length, end marker or checksum follows.
//
// Modes for stream_open, letters applied left to right and case-insensitive: 'r' read,
// 'w' write, 'p' packed, '!' stored (clears 'p' and writes "AGP." first); any other
// character is ignored. In use: "rp", "wp", "r", "w".
//
// Failures are told by a null stream, -1 or a short count, with errno set to ENOMEM (12)
// when a coder state cannot be allocated, EFAULT (14) on an I/O error and EDOM (33) when
// "rp" finds no magic. Nothing is logged.
//
// Writing never damages an existing file: "w" and "wp" write into a temporary file beside
// the target (platform/files.h), and stream_close replaces the target by it, synced to disk,
// only when every write and the close succeeded. Otherwise the temporary is removed and the
// old file stays as it was.
//
// A stream is read or written according to its open mode, never both; every call refuses the
// wrong direction (stream_getc and stream_putc with -1) and leaves the stream as it was.
#pragma once

#include <cstdint>

constexpr int STREAM_BUFFER_SIZE = 4096;

// Bits of packed_stream::flags.
constexpr uint32_t STREAM_WRITE = 1;   // open for writing
constexpr uint32_t STREAM_PACKED = 2;  // the LZSS coder is in use
constexpr uint32_t STREAM_EOF = 8;     // end of data reached (raised with the last byte)
constexpr uint32_t STREAM_ERROR = 16;  // an I/O error occurred

// Magic values as read big-endian from the first four bytes of a packed file.
constexpr uint32_t STREAM_MAGIC_PACKED = 0x41475021;  // "AGP!"
constexpr uint32_t STREAM_MAGIC_STORED = 0x4147502E;  // "AGP."

struct packed_stream {
    int32_t handle;          // file descriptor of a plain stream on a file, else -1
    uint32_t flags;          // STREAM_* bits
    uint8_t* cursor;         // next byte to deliver (reading) or to fill (writing)
    int32_t count;           // reading: buffered bytes not yet delivered; writing: bytes pending
    int32_t left;            // reading: source bytes not yet buffered; writing: bytes handed on
    packed_stream* inner;    // plain stream carrying a packed stream's coded bytes
    void* coder;             // lzss_encoder_state (writing) or lzss_decoder_state (reading)
    char* temp_name;         // writing a file: the temporary written in place of the target
    char* target_name;       // writing a file: the file the temporary replaces at close
    char* source_name;       // reading a file: its name as opened
    uint8_t buffer[STREAM_BUFFER_SIZE];
};

// Opens a stream; null on failure (errno as above). "rp" on an "AGP." file returns a plain
// stream positioned after the magic. "r" fails on a missing, empty or non-regular file.
packed_stream* stream_open(const char* name, const char* mode);

// The name a read stream's file was opened with ("" when it is unknown).
const char* stream_name(const packed_stream* stream);

// Hands on pending bytes, closes the inner stream or the file and frees the stream.
// Returns 0 when every operation since the open succeeded, else the error number; 0 for null.
int stream_close(packed_stream* stream);

// Closes a stream opened with "w" or "wp". The file replaces the old one only when `written`
// (every write succeeded) and the close succeeds; otherwise the stream is abandoned and the old
// file stays. True when the file was replaced; false for a null stream.
inline bool finish_written_file(packed_stream* out, bool written)
{
    if (!out)
        return false;
    if (!written)
        out->flags |= STREAM_ERROR;
    return stream_close(out) == 0 && written;
}

// Copies up to n bytes; returns n, or the count copied before the end of data or an error.
int stream_read(void* buffer, int n, packed_stream* stream);

// Writes n bytes; returns n, or the count written before an error.
int stream_write(const void* buffer, int n, packed_stream* stream);

// Size of a regular file in bytes; 0 when it is missing, empty or not a regular file.
uint32_t file_size_of(const char* name);

// Slow paths of stream_getc and stream_putc: refilling and handing on the buffer.
int stream_getc_slow(packed_stream* stream);
int stream_putc_slow(int byte, packed_stream* stream);

// The next byte (0 to 255), or -1 at the end of data or on an error (and ever after).
inline int stream_getc(packed_stream* stream)
{
    if (!(stream->flags & STREAM_WRITE) && stream->count > 1) {
        --stream->count;
        return *stream->cursor++;
    }
    return stream_getc_slow(stream);
}

// Writes one byte; returns it (0 to 255), or -1 on an error.
inline int stream_putc(int byte, packed_stream* stream)
{
    if ((stream->flags & STREAM_WRITE) && stream->count < STREAM_BUFFER_SIZE - 1) {
        ++stream->count;
        *stream->cursor++ = uint8_t(byte);
        return uint8_t(byte);
    }
    return stream_putc_slow(byte, stream);
}

// Fixed-width values. Reads return the value or -1 when a byte is missing; writes return
// the value written or -1 when a byte could not be written.
int stream_read_u16le(packed_stream* stream);
int stream_read_u16be(packed_stream* stream);
int64_t stream_read_u32le(packed_stream* stream);
int64_t stream_read_u32be(packed_stream* stream);
int stream_write_u16le(uint16_t value, packed_stream* stream);
int stream_write_u16be(uint16_t value, packed_stream* stream);
int64_t stream_write_u32le(uint32_t value, packed_stream* stream);
int64_t stream_write_u32be(uint32_t value, packed_stream* stream);
