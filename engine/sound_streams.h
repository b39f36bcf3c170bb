// Internal to sound and music: the stream handling both share.
#pragma once

#include <cstdint>

// A new stream of `path` playing (looped or once) at `volume`, which it has from its first
// sample; 0 when it does not play. A file that exists but is refused gets a debug line.
uint32_t start_stream(const char* path, bool loop, int volume);
// Stops and frees the stream, when there is one, and clears the handle.
void free_stream(uint32_t* stream);
