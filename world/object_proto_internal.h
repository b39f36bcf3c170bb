// Internal to the object prototypes: record decoding and the tile-mask side table.
#pragma once

#include "world/object_protos.h"

#include <vector>

// Terminates the names, empties the frame entries that loading does not fill and clears the
// run-time fields of a record that came from a file. The counts stay as stored: their users
// hold them to the table.
void sanitize_proto_record(object_proto* prototype);

// Reads a record stored with stored_size bytes into out (which the caller cleared) and
// sanitizes it; false when the stream ended first.
bool read_proto_record(packed_stream* stream, uint32_t stored_size, object_proto* out);
