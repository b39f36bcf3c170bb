// Sound files of any content: loaded whole as a sample and opened as a looped stream, then played.
#include "platform/audio.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = (audio_init_headless(k_audio_rate), true);
    (void)started;
    const std::string path = fuzz_input_file(data, size);

    std::vector<int16_t> out(2 * 4096);
    if (uint32_t sample = audio_sample_load(path.c_str(), 4)) {
        audio_sample_play(sample);
        audio_mix(out.data(), 4096);
        audio_sample_free(sample);
    }
    if (uint32_t stream = audio_stream_create_file(path.c_str(), true)) {
        audio_stream_play(stream);
        for (int i = 0; i < 16 && audio_channel_is_active(stream); ++i)
            audio_mix(out.data(), 4096);
        audio_stream_free(stream);
    }
    return 0;
}
