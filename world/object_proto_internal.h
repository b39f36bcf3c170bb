// Internal to the object prototypes: record decoding, the tile-mask side table and the texture
// table each prototype's frames were taken from.
#pragma once

#include "world/object_protos.h"

#include <cstdint>
#include <vector>

// Per prototype slot, the texture table generation (engine/textures.h) its frames were loaded
// in; 0 when unknown. Frames of an older generation are not given back: that table is gone.
extern uint32_t g_frames_generation[k_proto_slots];

// Terminates the names, empties the frame entries that loading does not fill and clears the
// run-time fields of a record that came from a file. The counts stay as stored: their users
// hold them to the table.
void sanitize_proto_record(object_proto* prototype);

// Reads a record stored with stored_size bytes into out (which the caller cleared) and
// sanitizes it; false when the stream ended first.
bool read_proto_record(packed_stream* stream, uint32_t stored_size, object_proto* out);
