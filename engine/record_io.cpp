#include "engine/record_io.h"

#include "engine/packed_stream.h"

#include <algorithm>

bool read_stored_record(packed_stream* stream, uint8_t* buffer, uint32_t size, uint32_t stored_size)
{
    uint32_t taken = std::min(size, stored_size);
    if (stream_read(buffer, int(taken), stream) != int(taken))
        return false;
    return skip_stream_bytes(stream, stored_size - taken);
}

bool skip_stream_bytes(packed_stream* stream, uint64_t n)
{
    uint8_t scratch[4096];
    while (n > 0) {
        int chunk = int(std::min<uint64_t>(n, sizeof scratch));
        if (stream_read(scratch, chunk, stream) != chunk)
            return false;
        n -= uint64_t(chunk);
    }
    return true;
}

bool write_stream_bytes(packed_stream* stream, const void* bytes, uint32_t n)
{
    return stream_write(bytes, int(n), stream) == int(n);
}
