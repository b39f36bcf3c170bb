// Internal to the audio layer: a sound file read piece by piece as 16-bit stereo frames at the
// output rate.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct audio_source_state;

class audio_source {
public:
    // Opens a ".wav" file (decoded whole by SDL's loader, then handed out piecewise) or an Ogg
    // Vorbis file (decoded as it is read). Null with `error` set when the file is missing,
    // unknown, damaged (an Ogg file also when cut short: it must end with the page that closes
    // its stream) or of an unplayable rate or channel count.
    static std::unique_ptr<audio_source> open(const char* path, int output_rate, bool loop,
                                              std::string* error);
    ~audio_source();
    audio_source(const audio_source&) = delete;
    audio_source& operator=(const audio_source&) = delete;

    // Writes up to `frames` frames (2 values each) to `out` and returns how many; fewer only at
    // the end. A looped source ends only when its file cannot be read again or holds no audio.
    int read(int16_t* out, int frames);
    // The data went bad while decoding (the source then ends early).
    bool failed() const;

private:
    explicit audio_source(std::unique_ptr<audio_source_state> state);
    std::unique_ptr<audio_source_state> state_;
};

// The largest sample decoded whole, in frames at the output rate (about six minutes).
constexpr size_t k_max_sample_frames = size_t(16) << 20;

// Decodes a whole file into interleaved stereo frames; false with `error` set when it is refused,
// goes bad while decoding, holds no audio or is longer than k_max_sample_frames.
bool decode_whole_file(const char* path, int output_rate, std::vector<int16_t>* frames,
                       std::string* error);
