#include "engine/record_io.h"

#include "engine/packed_stream.h"

#include <algorithm>

bool read_stored_record(packed_stream* stream, uint8_t* buffer, uint32_t size, uint32_t stored_size)
{
    uint32_t taken = std::min(size, stored_size);
    if (stream_read(buffer, int(taken), stream) != int(taken))
        return false;
    uint8_t scratch[4096];
    for (uint32_t left = stored_size - taken; left > 0;) {
        int n = int(std::min<uint32_t>(left, sizeof scratch));
        if (stream_read(scratch, n, stream) != n)
            return false;
        left -= uint32_t(n);
    }
    return true;
}
