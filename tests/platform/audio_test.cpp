#include "platform/audio.h"
#include "platform/audio_writer.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

class audio_test : public ::testing::Test {
protected:
    void SetUp() override { audio_init_headless(k_audio_rate); }
    void TearDown() override { audio_shutdown(); }

    // Mixes `frames` frames and returns them.
    static std::vector<int16_t> mix(int frames)
    {
        std::vector<int16_t> out(size_t(2 * frames), 1234);
        audio_mix(out.data(), frames);
        return out;
    }

    // Frames mixed until the channel stops, in steps of `step` (at most `limit` frames).
    static int frames_until_inactive(uint32_t channel, int step = 100, int limit = 10 * k_audio_rate)
    {
        int total = 0;
        while (audio_channel_is_active(channel) && total < limit) {
            mix(step);
            total += step;
        }
        return total;
    }

    temp_folder folder_;
};

// A stereo 16-bit file whose every frame is (left, right).
void write_constant_wav(const char* path, int16_t left, int16_t right, size_t frames, int rate = k_audio_rate)
{
    std::vector<int16_t> pcm;
    for (size_t i = 0; i < frames; ++i) {
        pcm.push_back(left);
        pcm.push_back(right);
    }
    ASSERT_TRUE(write_wav_file(path, pcm.data(), 2, rate, frames));
}

void write_sine_ogg(const char* path, float seconds, int rate, int channels)
{
    size_t frames = size_t(seconds * float(rate));
    std::vector<int16_t> pcm;
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            pcm.push_back(int16_t(12000.0 * std::sin(2.0 * M_PI * 440.0 * double(i) / rate)));
    ASSERT_TRUE(write_ogg_file(path, pcm.data(), channels, rate, frames, 0.2f));
}

int peak(const std::vector<int16_t>& samples)
{
    int most = 0;
    for (int16_t s : samples)
        most = std::max(most, std::abs(int(s)));
    return most;
}

} // namespace

TEST_F(audio_test, MixerAppliesVolumeAndPanAsLinearGainsAndClips)
{
    write_constant_wav("flat.wav", 10000, -8000, 1000);
    uint32_t sample = audio_sample_load("flat.wav", 4);
    ASSERT_NE(sample, 0u) << audio_last_error();
    uint32_t a = audio_sample_play(sample);
    ASSERT_NE(a, 0u);

    std::vector<int16_t> out = mix(2);
    EXPECT_EQ(out, (std::vector<int16_t>{10000, -8000, 10000, -8000}));

    ASSERT_TRUE(audio_channel_set_attributes(a, -1, 50, -50));  // half volume, half left
    out = mix(1);
    EXPECT_EQ(out, (std::vector<int16_t>{5000, -2000}));
    ASSERT_TRUE(audio_channel_set_attributes(a, -1, 50, 100));  // hard right
    out = mix(1);
    EXPECT_EQ(out, (std::vector<int16_t>{0, -4000}));

    // Channels add up; the sum is clipped to 16 bits.
    ASSERT_TRUE(audio_channel_set_attributes(a, -1, 100, 0));
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(audio_sample_play(sample), 0u);
    out = mix(1);
    EXPECT_EQ(out, (std::vector<int16_t>{32767, -32000}));

    // Out-of-range values are clamped; the frequency slot takes only -1 ("unchanged").
    ASSERT_TRUE(audio_channel_set_attributes(a, -1, 250, -300));
    int frequency = 0, volume = 0, pan = 0;
    ASSERT_TRUE(audio_channel_get_attributes(a, &frequency, &volume, &pan));
    EXPECT_EQ(std::make_tuple(frequency, volume, pan), std::make_tuple(k_audio_rate, 100, -100));
    EXPECT_FALSE(audio_channel_set_attributes(a, 22050, 10, 0));
    ASSERT_TRUE(audio_channel_get_attributes(a, nullptr, &volume, nullptr));
    EXPECT_EQ(volume, 100);
}

TEST_F(audio_test, SamplePlaysOnceToItsEndAndItsChannelIsThenGone)
{
    write_constant_wav("short.wav", 1000, 1000, 250);
    uint32_t sample = audio_sample_load("short.wav", 4);
    uint32_t channel = audio_sample_play(sample);
    ASSERT_TRUE(audio_channel_is_active(channel));

    // 250 frames mixed in blocks of 100: the last 50 of the third block are silent.
    std::vector<int16_t> all;
    for (int i = 0; i < 3; ++i) {
        std::vector<int16_t> block = mix(100);
        all.insert(all.end(), block.begin(), block.end());
    }
    EXPECT_EQ(all[2 * 249], 1000);
    EXPECT_EQ(all[2 * 250], 0);
    EXPECT_FALSE(audio_channel_is_active(channel));
    EXPECT_FALSE(audio_channel_set_attributes(channel, -1, 50, 0));
    EXPECT_EQ(peak(mix(100)), 0);
}

TEST_F(audio_test, AFifthSimultaneousPlaybackOfOneSampleFails)
{
    write_constant_wav("tone.wav", 100, 100, 5000);
    uint32_t sample = audio_sample_load("tone.wav", 4);
    std::vector<uint32_t> channels;
    for (int i = 0; i < 4; ++i)
        channels.push_back(audio_sample_play(sample));
    for (uint32_t c : channels)
        EXPECT_NE(c, 0u);
    EXPECT_EQ(audio_sample_play(sample), 0u);

    // A stopped channel is gone and frees its playback.
    ASSERT_TRUE(audio_channel_stop(channels[1]));
    EXPECT_FALSE(audio_channel_is_active(channels[1]));
    uint32_t again = audio_sample_play(sample);
    EXPECT_NE(again, 0u);
    EXPECT_NE(again, channels[1]);  // the old handle does not name the new channel

    // Freeing the sample stops its channels and forgets its handle.
    audio_sample_free(sample);
    for (uint32_t c : channels)
        EXPECT_FALSE(audio_channel_is_active(c));
    EXPECT_EQ(audio_sample_play(sample), 0u);
    EXPECT_EQ(peak(mix(64)), 0);
}

TEST_F(audio_test, FilesAreConvertedToTheOutputRateOnce)
{
    // 11025 Hz, 1000 frames: about 4000 frames at the output rate.
    write_constant_wav("slow.wav", 6000, 6000, 1000, 11025);
    uint32_t sample = audio_sample_load("slow.wav", 1);
    ASSERT_NE(sample, 0u) << audio_last_error();
    int frames = frames_until_inactive(audio_sample_play(sample), 10);
    EXPECT_NEAR(frames, 4000, 20);

    // A mono Ogg file, decoded whole, plays on both sides.
    write_sine_ogg("sine.ogg", 0.5f, 22050, 1);
    sample = audio_sample_load("sine.ogg", 1);
    ASSERT_NE(sample, 0u) << audio_last_error();
    uint32_t channel = audio_sample_play(sample);
    std::vector<int16_t> out = mix(2000);
    EXPECT_GT(peak(out), 8000);
    EXPECT_NEAR(out[1000], out[1001], 1);
    EXPECT_NEAR(frames_until_inactive(channel) + 2000, k_audio_rate / 2, 150);
}

TEST_F(audio_test, StreamsWaitForPlayEndOnceOrLoop)
{
    write_sine_ogg("music.ogg", 0.25f, 44100, 2);
    uint32_t once = audio_stream_create_file("music.ogg", false);
    ASSERT_NE(once, 0u) << audio_last_error();
    EXPECT_FALSE(audio_channel_is_active(once));
    EXPECT_EQ(peak(mix(500)), 0);  // created stopped

    ASSERT_TRUE(audio_stream_play(once));
    EXPECT_GT(peak(mix(500)), 8000);
    int frames = 500 + frames_until_inactive(once);
    EXPECT_NEAR(frames, k_audio_rate / 4, 150);
    // An ended stream stays until freed.
    EXPECT_TRUE(audio_channel_get_attributes(once, nullptr, nullptr, nullptr));
    audio_stream_free(once);
    EXPECT_FALSE(audio_channel_get_attributes(once, nullptr, nullptr, nullptr));

    uint32_t looped = audio_stream_create_file("MUSIC.OGG", true);  // names ignore case
    ASSERT_NE(looped, 0u) << audio_last_error();
    audio_stream_play(looped);
    for (int i = 0; i < 4; ++i)
        mix(k_audio_rate / 4);
    EXPECT_TRUE(audio_channel_is_active(looped));
    EXPECT_GT(peak(mix(1000)), 8000);

    // Stopping keeps the stream; playing goes on from where it stood.
    ASSERT_TRUE(audio_channel_stop(looped));
    EXPECT_EQ(peak(mix(100)), 0);
    ASSERT_TRUE(audio_stream_play(looped));
    EXPECT_TRUE(audio_channel_is_active(looped));

    // A wave file streams too.
    write_constant_wav("voice.wav", 300, 300, 650);
    uint32_t wave = audio_stream_create_file("voice.wav", false);
    ASSERT_NE(wave, 0u);
    audio_stream_free(looped);
    audio_stream_play(wave);
    EXPECT_EQ(frames_until_inactive(wave, 100), 700);
}

TEST_F(audio_test, DamagedMissingOrForeignFilesAreRefused)
{
    write_constant_wav("good.wav", 500, 500, 400);
    write_sine_ogg("good.ogg", 0.3f, 22050, 1);
    std::vector<uint8_t> wav = read_bytes("good.wav");
    std::vector<uint8_t> ogg = read_bytes("good.ogg");

    auto refused = [](const char* path) {
        uint32_t sample = audio_sample_load(path, 4);
        uint32_t stream = audio_stream_create_file(path, true);
        bool ok = sample == 0 && stream == 0 && audio_last_error()[0] != '\0';
        audio_sample_free(sample);
        audio_stream_free(stream);
        return ok;
    };
    EXPECT_TRUE(refused("missing.wav"));
    EXPECT_TRUE(refused("."));
    write_text("text.wav", "not a sound at all");
    EXPECT_TRUE(refused("text.wav"));

    // Cut inside the data chunk, and inside the header.
    write_bytes("cut.wav", std::vector<uint8_t>(wav.begin(), wav.end() - 100));
    EXPECT_TRUE(refused("cut.wav"));
    write_bytes("cut_header.wav", std::vector<uint8_t>(wav.begin(), wav.begin() + 30));
    EXPECT_TRUE(refused("cut_header.wav"));
    write_bytes("cut_header.ogg", std::vector<uint8_t>(ogg.begin(), ogg.begin() + 60));
    EXPECT_TRUE(refused("cut_header.ogg"));

    // A sample rate of 1 Hz would blow each frame up 44,100 times.
    std::vector<uint8_t> slow = wav;
    slow[24] = 1;
    slow[25] = slow[26] = slow[27] = 0;
    write_bytes("slow.wav", slow);
    EXPECT_TRUE(refused("slow.wav"));

    // A data chunk claiming far more than the file holds.
    std::vector<uint8_t> huge = wav;
    huge[40] = huge[41] = huge[42] = 0xFF;
    huge[43] = 0x7F;
    write_bytes("huge.wav", huge);
    EXPECT_TRUE(refused("huge.wav"));

    // The good files still load afterwards.
    EXPECT_NE(audio_sample_load("good.wav", 4), 0u);
    EXPECT_STREQ(audio_last_error(), "");
    EXPECT_NE(audio_stream_create_file("good.ogg", false), 0u);
}

TEST_F(audio_test, NothingWorksWhileTheLayerIsOff)
{
    write_constant_wav("flat.wav", 100, 100, 100);
    uint32_t sample = audio_sample_load("flat.wav", 4);
    uint32_t channel = audio_sample_play(sample);
    audio_shutdown();
    EXPECT_FALSE(audio_running());
    EXPECT_FALSE(audio_channel_is_active(channel));
    EXPECT_EQ(audio_sample_play(sample), 0u);
    EXPECT_EQ(audio_sample_load("flat.wav", 4), 0u);
    EXPECT_EQ(audio_stream_create_file("flat.wav", false), 0u);
    EXPECT_EQ(mix(10), std::vector<int16_t>(20, 0));
}

TEST_F(audio_test, TheDeviceOpensOnTheDummyDriverAndFailsWithoutOne)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(audio_init(k_audio_rate));
    EXPECT_FALSE(audio_running());

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(audio_init(k_audio_rate));
    write_constant_wav("flat.wav", 100, 100, 100);
    uint32_t sample = audio_sample_load("flat.wav", 4);
    ASSERT_NE(sample, 0u);
    // The device's thread plays the 100 frames to their end.
    uint32_t channel = audio_sample_play(sample);
    for (int i = 0; i < 200 && audio_channel_is_active(channel); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(audio_channel_is_active(channel));
}
