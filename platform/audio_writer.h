// Writers of sound files from 16-bit PCM, for the tools that make sound data.
#pragma once

#include <cstddef>
#include <cstdint>

// `samples` holds `frames` frames of `channels` interleaved values. Each writer replaces the
// file only after a complete write and returns false when it could not write it.

// A PCM ".wav" file.
bool write_wav_file(const char* path, const int16_t* samples, int channels, int rate, size_t frames);
// An Ogg Vorbis file at a quality from -0.1 (smallest) to 1.0 (best).
bool write_ogg_file(const char* path, const int16_t* samples, int channels, int rate, size_t frames,
                    float quality);
