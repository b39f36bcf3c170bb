#include "engine/packed_stream.h"

#include "engine/lzss.h"
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static_assert(ENOMEM == 12 && EFAULT == 14 && EDOM == 33, "error numbers callers compare with");

namespace {

packed_stream* new_stream(uint32_t flags)
{
    auto* stream = static_cast<packed_stream*>(std::calloc(1, sizeof(packed_stream)));
    if (stream == nullptr) {
        errno = ENOMEM;
        return nullptr;
    }
    stream->handle = -1;
    stream->flags = flags;
    stream->cursor = stream->buffer;
    return stream;
}

void free_stream(packed_stream* stream)
{
    std::free(stream->coder);
    std::free(stream->temp_name);
    std::free(stream->target_name);
    std::free(stream->source_name);
    std::free(stream);
}

char* copy_name(const std::string& name)
{
    char* copy = static_cast<char*>(std::malloc(name.size() + 1));
    if (copy != nullptr)
        std::memcpy(copy, name.c_str(), name.size() + 1);
    return copy;
}

// read(2) until n bytes arrived; fewer only at the end of the file or on an error.
int read_all(int handle, uint8_t* out, int n)
{
    int done = 0;
    while (done < n) {
        ssize_t got = read(handle, out + done, size_t(n - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += int(got);
    }
    return done;
}

bool write_all(int handle, const uint8_t* bytes, int n)
{
    int done = 0;
    while (done < n) {
        ssize_t put = write(handle, bytes + done, size_t(n - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += int(put);
    }
    return true;
}

// A failed read or write: the stream keeps failing from now on.
int fail_stream(packed_stream* stream)
{
    errno = EFAULT;
    stream->flags |= STREAM_ERROR;
    if (stream->flags & STREAM_WRITE) {
        // A full buffer sends every later byte to the slow path, which refuses it.
        stream->count = STREAM_BUFFER_SIZE - 1;
        stream->cursor = stream->buffer + stream->count;
    } else {
        stream->count = 0;
    }
    return -1;
}

// Opens the temporary file that a write stream fills in place of its target.
bool open_write_file(packed_stream* stream, const char* name)
{
    if (name[0] == '\0') {
        errno = ENOENT;
        return false;
    }
    if (is_folder(name)) {
        errno = EISDIR;
        return false;
    }
    std::string target = resolve_path(name);
    std::string temp = new_temporary_name(target.c_str());
    int handle = open_file_write(temp.c_str());
    if (handle < 0) {
        int error = errno;
        discard_temporary(temp);
        errno = error;
        return false;
    }
    stream->handle = handle;
    stream->temp_name = copy_name(temp);
    stream->target_name = copy_name(target);
    if (stream->temp_name == nullptr || stream->target_name == nullptr) {
        close(handle);
        discard_temporary(temp);
        errno = ENOMEM;
        return false;
    }
    return true;
}

bool open_read_file(packed_stream* stream, const char* name)
{
    uint32_t size = file_size_of(name);
    if (size == 0) {
        if (is_folder(name))
            errno = EISDIR;
        else if (!is_readable_file(name))
            errno = ENOENT;
        return false;
    }
    int handle = open_file_read(name);
    if (handle < 0)
        return false;
    stream->handle = handle;
    stream->left = int32_t(std::min<uint32_t>(size, INT32_MAX));
    stream->source_name = copy_name(name);  // null when out of memory: the name is then unknown
    return true;
}

// Hands on the pending bytes (to the encoder or the file); final ends the coded data.
int stream_flush(packed_stream* stream, bool final)
{
    if (stream->flags & STREAM_ERROR)
        return -1;
    int n = stream->count;
    if (stream->flags & STREAM_PACKED) {
        if ((n > 0 || final) &&
            lzss_encode(stream->inner, static_cast<lzss_encoder_state*>(stream->coder), n,
                        stream->buffer, final) < 0)
            return fail_stream(stream);
    } else if (n > 0 && !write_all(stream->handle, stream->buffer, n)) {
        return fail_stream(stream);
    }
    stream->left += n;
    stream->cursor = stream->buffer;
    stream->count = 0;
    return 0;
}

// Decodes up to `want` bytes of a packed read stream into `dest`: the count (0 when the coded
// data ended), or -1 on an error of the inner stream.
int decode_packed(packed_stream* stream, int want, uint8_t* dest)
{
    auto* decoder = static_cast<lzss_decoder_state*>(stream->coder);
    int got = lzss_decode(stream->inner, decoder, want, dest);
    if (stream->inner->flags & STREAM_ERROR)
        return fail_stream(stream);
    if ((stream->inner->flags & STREAM_EOF) && decoder->step != 2)
        stream->left = 0;
    return got;
}

// Refills the empty buffer of a read stream; returns the count obtained, or -1 at the end
// of data or on an error.
int stream_fill(packed_stream* stream)
{
    stream->count = 0;
    stream->cursor = stream->buffer;
    if (stream->flags & (STREAM_ERROR | STREAM_WRITE))
        return -1;
    if ((stream->flags & STREAM_EOF) || stream->left < 1) {
        stream->flags |= STREAM_EOF;
        return -1;
    }
    int want = std::min(stream->left, STREAM_BUFFER_SIZE);
    int got;
    if (stream->flags & STREAM_PACKED) {
        got = decode_packed(stream, want, stream->buffer);
        if (got < 0)
            return -1;
    } else {
        got = read_all(stream->handle, stream->buffer, want);
        if (got != want)
            return fail_stream(stream);
        stream->left -= got;
    }
    if (got == 0) {
        stream->flags |= STREAM_EOF;
        return -1;
    }
    stream->count = got;
    return got;
}

}  // namespace

uint32_t file_size_of(const char* name)
{
    return file_size(name);
}

packed_stream* stream_open(const char* name, const char* mode)
{
    errno = 0;
    uint32_t flags = 0;
    bool stored_magic = false;
    for (const char* m = mode; m != nullptr && *m != '\0'; m++) {
        switch (*m) {
        case 'r': case 'R': flags &= ~STREAM_WRITE; break;
        case 'w': case 'W': flags |= STREAM_WRITE; break;
        case 'p': case 'P': flags |= STREAM_PACKED; break;
        case '!': flags &= ~STREAM_PACKED; stored_magic = true; break;
        default: break;
        }
    }
    if (name == nullptr) {
        errno = ENOENT;
        return nullptr;
    }
    packed_stream* stream = new_stream(flags);
    if (stream == nullptr)
        return nullptr;

    if ((flags & STREAM_WRITE) && (flags & STREAM_PACKED)) {
        auto* encoder = static_cast<lzss_encoder_state*>(std::calloc(1, sizeof(lzss_encoder_state)));
        if (encoder == nullptr) {
            free_stream(stream);
            errno = ENOMEM;
            return nullptr;
        }
        stream->coder = encoder;
        stream->inner = stream_open(name, "w");
        if (stream->inner == nullptr) {
            free_stream(stream);
            return nullptr;
        }
        stream_write_u32be(STREAM_MAGIC_PACKED, stream->inner);
        stream->left = 4;
    } else if (flags & STREAM_WRITE) {
        if (!open_write_file(stream, name)) {
            free_stream(stream);
            return nullptr;
        }
    } else if (flags & STREAM_PACKED) {
        auto* decoder = static_cast<lzss_decoder_state*>(std::calloc(1, sizeof(lzss_decoder_state)));
        if (decoder == nullptr) {
            free_stream(stream);
            errno = ENOMEM;
            return nullptr;
        }
        stream->coder = decoder;
        stream->inner = stream_open(name, "r");
        if (stream->inner == nullptr) {
            free_stream(stream);
            if (errno == 0)
                errno = EDOM;  // an empty file holds no magic
            return nullptr;
        }
        int64_t magic = stream_read_u32be(stream->inner);
        if (magic == STREAM_MAGIC_STORED) {
            packed_stream* plain = stream->inner;
            free_stream(stream);
            errno = 0;
            return plain;
        }
        if (magic != STREAM_MAGIC_PACKED) {
            int read_error = errno;
            stream_close(stream->inner);
            free_stream(stream);
            errno = read_error != 0 ? read_error : EDOM;
            return nullptr;
        }
        stream->left = INT32_MAX;
    } else {
        if (!open_read_file(stream, name)) {
            free_stream(stream);
            return nullptr;
        }
    }

    if ((flags & STREAM_WRITE) && stored_magic)
        stream_write_u32be(STREAM_MAGIC_STORED, stream);
    errno = 0;
    return stream;
}

const char* stream_name(const packed_stream* stream)
{
    for (; stream != nullptr; stream = stream->inner)
        if (stream->source_name != nullptr)
            return stream->source_name;
    return "";
}

int stream_close(packed_stream* stream)
{
    if (stream == nullptr)
        return 0;
    bool write = (stream->flags & STREAM_WRITE) != 0;
    bool failed = write && stream_flush(stream, true) < 0;
    failed = failed || (stream->flags & STREAM_ERROR) != 0;
    if (stream->inner != nullptr) {
        if (failed)
            stream->inner->flags |= STREAM_ERROR;  // the inner stream keeps the old file
        if (stream_close(stream->inner) != 0)
            failed = true;
    } else if (stream->handle >= 0) {
        if (close(stream->handle) != 0 && write)
            failed = true;
        if (stream->temp_name != nullptr) {
            if (failed)
                discard_temporary(stream->temp_name);
            else if (!commit_temporary(stream->temp_name, stream->target_name))
                failed = true;
        }
    }
    free_stream(stream);
    if (!failed)
        return 0;
    errno = EFAULT;
    return errno;
}

int stream_getc_slow(packed_stream* stream)
{
    if (stream->flags & STREAM_WRITE)
        return -1;
    stream->count--;  // the byte asked for; below 0 when the buffer was empty
    if (stream->count < 0 && stream_fill(stream) < 0)
        return -1;
    if (stream->count > 0)
        stream->count--;
    if (stream->count == 0 && stream->left < 1)
        stream->flags |= STREAM_EOF;
    return *stream->cursor++;
}

int stream_putc_slow(int byte, packed_stream* stream)
{
    if (!(stream->flags & STREAM_WRITE) || stream_flush(stream, false) < 0)
        return -1;
    stream->buffer[0] = uint8_t(byte);
    stream->cursor = stream->buffer + 1;
    stream->count = 1;
    return uint8_t(byte);
}

int stream_read(void* buffer, int n, packed_stream* stream)
{
    if (stream == nullptr || n <= 0 || (stream->flags & STREAM_WRITE))
        return 0;
    auto* out = static_cast<uint8_t*>(buffer);
    int done = 0;
    while (done < n) {
        // A packed stream decodes a request of a buffer or more straight into the caller's bytes.
        if (stream->count <= 0 && (stream->flags & STREAM_PACKED) && n - done >= STREAM_BUFFER_SIZE &&
            !(stream->flags & (STREAM_ERROR | STREAM_EOF)) && stream->left >= 1) {
            int got = decode_packed(stream, std::min(stream->left, n - done), out + done);
            if (got <= 0) {
                if (got == 0)
                    stream->flags |= STREAM_EOF;
                break;
            }
            done += got;
            if (stream->left < 1)
                stream->flags |= STREAM_EOF;
            continue;
        }
        if (stream->count <= 0 && stream_fill(stream) < 0)
            break;
        int take = std::min(stream->count, n - done);
        std::memcpy(out + done, stream->cursor, size_t(take));
        stream->cursor += take;
        stream->count -= take;
        done += take;
        if (stream->count == 0 && stream->left < 1)
            stream->flags |= STREAM_EOF;
    }
    return done;
}

int stream_write(const void* buffer, int n, packed_stream* stream)
{
    if (stream == nullptr || n <= 0 || !(stream->flags & STREAM_WRITE))
        return 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    int done = 0;
    while (done < n) {
        int room = STREAM_BUFFER_SIZE - 1 - stream->count;
        if (room <= 0) {  // the next byte hands the pending ones on
            if (stream_putc(in[done], stream) < 0)
                break;
            done++;
            continue;
        }
        int take = std::min(room, n - done);
        std::memcpy(stream->cursor, in + done, size_t(take));
        stream->cursor += take;
        stream->count += take;
        done += take;
    }
    return done;
}

int stream_read_u16le(packed_stream* stream)
{
    int lo = stream_getc(stream);
    if (lo < 0)
        return -1;
    int hi = stream_getc(stream);
    if (hi < 0)
        return -1;
    return lo | hi << 8;
}

int stream_read_u16be(packed_stream* stream)
{
    int hi = stream_getc(stream);
    if (hi < 0)
        return -1;
    int lo = stream_getc(stream);
    if (lo < 0)
        return -1;
    return lo | hi << 8;
}

int64_t stream_read_u32le(packed_stream* stream)
{
    int lo = stream_read_u16le(stream);
    if (lo < 0)
        return -1;
    int hi = stream_read_u16le(stream);
    if (hi < 0)
        return -1;
    return int64_t(uint32_t(lo) | uint32_t(hi) << 16);
}

int64_t stream_read_u32be(packed_stream* stream)
{
    int hi = stream_read_u16be(stream);
    if (hi < 0)
        return -1;
    int lo = stream_read_u16be(stream);
    if (lo < 0)
        return -1;
    return int64_t(uint32_t(lo) | uint32_t(hi) << 16);
}

int stream_write_u16le(uint16_t value, packed_stream* stream)
{
    if (stream_putc(value & 0xFF, stream) < 0 || stream_putc(value >> 8, stream) < 0)
        return -1;
    return value;
}

int stream_write_u16be(uint16_t value, packed_stream* stream)
{
    if (stream_putc(value >> 8, stream) < 0 || stream_putc(value & 0xFF, stream) < 0)
        return -1;
    return value;
}

int64_t stream_write_u32le(uint32_t value, packed_stream* stream)
{
    if (stream_write_u16le(uint16_t(value), stream) < 0 ||
        stream_write_u16le(uint16_t(value >> 16), stream) < 0)
        return -1;
    return value;
}

int64_t stream_write_u32be(uint32_t value, packed_stream* stream)
{
    if (stream_write_u16be(uint16_t(value >> 16), stream) < 0 ||
        stream_write_u16be(uint16_t(value), stream) < 0)
        return -1;
    return value;
}
