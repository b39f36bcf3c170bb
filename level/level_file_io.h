// Internal to the level files: finishing a file written through a packed stream.
#pragma once

#include "engine/packed_stream.h"

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
