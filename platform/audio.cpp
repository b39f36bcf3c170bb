#include "platform/audio.h"

#include "platform/audio_source.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int k_max_samples = 1024;
constexpr int k_max_channels = 256;
constexpr int k_mix_block = 1024;  // frames mixed per pass
constexpr uint32_t k_sample_tag = 0x80000000u;

struct sample_slot {
    bool used = false;
    uint16_t generation = 0;
    int max_playbacks = 1;
    std::vector<int16_t> frames;  // stereo, at the output rate
};

struct channel_slot {
    bool used = false;
    uint16_t generation = 0;
    bool playing = false;
    int sample = -1;  // the sample played, or -1 for a stream
    size_t position = 0;
    int volume = 100;
    int pan = 0;
    std::unique_ptr<audio_source> stream;
};

// Everything the device's thread reads, guarded by `lock`; the only state shared by two threads.
struct mixer_state {
    std::mutex lock;
    bool running = false;
    int rate = k_audio_rate;
    std::array<sample_slot, k_max_samples> samples;
    std::array<channel_slot, k_max_channels> channels;
    std::array<float, 2 * k_mix_block> sum;
    std::array<int16_t, 2 * k_mix_block> scratch;
};

mixer_state g_mixer;
SDL_AudioDeviceID g_device = 0;
std::string g_last_error;

uint16_t next_generation(uint16_t generation)
{
    return uint16_t(generation % 0x7FFF + 1);  // 1 to 0x7FFF
}

uint32_t make_handle(uint32_t tag, int index, uint16_t generation)
{
    return tag | uint32_t(generation) << 16 | uint32_t(index + 1);
}

// The slot a handle names, or -1 when it names nothing alive.
template <typename Slots>
int find_slot(const Slots& slots, uint32_t tag, uint32_t handle)
{
    if ((handle & k_sample_tag) != tag)
        return -1;
    int index = int(handle & 0xFFFF) - 1;
    if (index < 0 || index >= int(slots.size()))
        return -1;
    const auto& slot = slots[size_t(index)];
    if (!slot.used || slot.generation != uint16_t((handle >> 16) & 0x7FFF))
        return -1;
    return index;
}

channel_slot* find_channel(uint32_t handle)
{
    int index = find_slot(g_mixer.channels, 0, handle);
    return index < 0 ? nullptr : &g_mixer.channels[size_t(index)];
}

// A free slot made live under a new generation; -1 when all are taken.
template <typename Slots>
int claim_slot(Slots& slots)
{
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i].used) {
            slots[i].used = true;
            slots[i].generation = next_generation(slots[i].generation);
            return int(i);
        }
    }
    return -1;
}

void release_channel(channel_slot& channel)
{
    channel.used = false;
    channel.playing = false;
    channel.sample = -1;
}

void add_scaled(float* sum, const int16_t* frames, int count, float left, float right)
{
    for (int i = 0; i < count; ++i) {
        sum[2 * i] += float(frames[2 * i]) * left;
        sum[2 * i + 1] += float(frames[2 * i + 1]) * right;
    }
}

// Mixes one block of at most k_mix_block frames; the lock is held.
void mix_block(int16_t* out, int frames)
{
    float* sum = g_mixer.sum.data();
    std::fill(sum, sum + 2 * frames, 0.0f);
    for (channel_slot& c : g_mixer.channels) {
        if (!c.used || !c.playing)
            continue;
        float gain = float(c.volume) / 100.0f;
        float left = gain * (c.pan > 0 ? 1.0f - float(c.pan) / 100.0f : 1.0f);
        float right = gain * (c.pan < 0 ? 1.0f + float(c.pan) / 100.0f : 1.0f);
        if (c.sample >= 0) {
            const std::vector<int16_t>& data = g_mixer.samples[size_t(c.sample)].frames;
            size_t total = data.size() / 2;
            int n = int(std::min<size_t>(size_t(frames), total - c.position));
            add_scaled(sum, data.data() + 2 * c.position, n, left, right);
            c.position += size_t(n);
            if (c.position >= total)
                release_channel(c);
        } else {
            int n = c.stream->read(g_mixer.scratch.data(), frames);
            add_scaled(sum, g_mixer.scratch.data(), n, left, right);
            if (n < frames)
                c.playing = false;
        }
    }
    for (int i = 0; i < 2 * frames; ++i)
        out[i] = int16_t(std::clamp(std::lrint(sum[i]), -32768L, 32767L));
}

void SDLCALL device_callback(void*, Uint8* stream, int bytes)
{
    audio_mix(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

// Releases every sample and stream; the objects are destroyed outside the lock.
void clear_tables()
{
    std::vector<std::unique_ptr<audio_source>> streams;
    std::vector<std::vector<int16_t>> frames;
    {
        std::lock_guard<std::mutex> guard(g_mixer.lock);
        g_mixer.running = false;
        for (channel_slot& c : g_mixer.channels) {
            if (c.stream)
                streams.push_back(std::move(c.stream));
            release_channel(c);
        }
        for (sample_slot& s : g_mixer.samples) {
            frames.push_back(std::move(s.frames));
            s.used = false;
        }
    }
}

void start(int frequency)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    g_mixer.rate = frequency;
    g_mixer.running = true;
}

} // namespace

bool audio_init(int frequency)
{
    static bool registered = false;
    if (!registered) {
        // The device's thread must stop before the tables it reads are destroyed at exit.
        std::atexit(audio_shutdown);
        registered = true;
    }
    audio_shutdown();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec want{};
    want.freq = frequency;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = k_mix_block;
    want.callback = device_callback;
    SDL_AudioSpec have{};
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (g_device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    start(frequency);
    SDL_PauseAudioDevice(g_device, 0);
    return true;
}

void audio_init_headless(int frequency)
{
    audio_shutdown();
    start(frequency);
}

void audio_shutdown()
{
    if (g_device) {
        SDL_CloseAudioDevice(g_device);  // waits for the callback to return
        g_device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    clear_tables();
}

bool audio_running()
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    return g_mixer.running;
}

void audio_mix(int16_t* out, int frames)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    while (frames > 0) {
        int n = std::min(frames, k_mix_block);
        if (g_mixer.running)
            mix_block(out, n);
        else
            std::fill(out, out + 2 * n, int16_t(0));
        out += 2 * n;
        frames -= n;
    }
}

const char* audio_last_error()
{
    return g_last_error.c_str();
}

uint32_t audio_sample_load(const char* path, int max_playbacks)
{
    if (!audio_running()) {
        g_last_error = "audio is off";
        return 0;
    }
    std::vector<int16_t> frames;
    if (!decode_whole_file(path, g_mixer.rate, &frames, &g_last_error))
        return 0;
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    int index = claim_slot(g_mixer.samples);
    if (index < 0) {
        g_last_error = "no free sample slot";
        return 0;
    }
    sample_slot& s = g_mixer.samples[size_t(index)];
    s.frames = std::move(frames);
    s.max_playbacks = std::clamp(max_playbacks, 1, k_max_channels);
    g_last_error.clear();
    return make_handle(k_sample_tag, index, s.generation);
}

void audio_sample_free(uint32_t sample)
{
    std::vector<int16_t> frames;
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    int index = find_slot(g_mixer.samples, k_sample_tag, sample);
    if (index < 0)
        return;
    for (channel_slot& c : g_mixer.channels)
        if (c.used && c.sample == index)
            release_channel(c);
    sample_slot& s = g_mixer.samples[size_t(index)];
    frames = std::move(s.frames);
    s.used = false;
}

uint32_t audio_sample_play(uint32_t sample)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    int index = find_slot(g_mixer.samples, k_sample_tag, sample);
    if (index < 0)
        return 0;
    int playing = int(std::count_if(g_mixer.channels.begin(), g_mixer.channels.end(),
                                    [index](const channel_slot& c) { return c.used && c.sample == index; }));
    if (playing >= g_mixer.samples[size_t(index)].max_playbacks)
        return 0;
    int slot = claim_slot(g_mixer.channels);
    if (slot < 0)
        return 0;
    channel_slot& c = g_mixer.channels[size_t(slot)];
    c.sample = index;
    c.position = 0;
    c.volume = 100;
    c.pan = 0;
    c.playing = true;
    return make_handle(0, slot, c.generation);
}

uint32_t audio_stream_create_file(const char* path, bool loop)
{
    if (!audio_running()) {
        g_last_error = "audio is off";
        return 0;
    }
    std::unique_ptr<audio_source> source = audio_source::open(path, g_mixer.rate, loop, &g_last_error);
    if (!source)
        return 0;
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    int slot = claim_slot(g_mixer.channels);
    if (slot < 0) {
        g_last_error = "no free channel";
        return 0;  // the source is closed after the lock is released
    }
    channel_slot& c = g_mixer.channels[size_t(slot)];
    c.stream = std::move(source);
    c.sample = -1;
    c.volume = 100;
    c.pan = 0;
    c.playing = false;
    g_last_error.clear();
    return make_handle(0, slot, c.generation);
}

bool audio_stream_play(uint32_t stream)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    channel_slot* c = find_channel(stream);
    if (!c || !c->stream)
        return false;
    c->playing = true;
    return true;
}

void audio_stream_free(uint32_t stream)
{
    std::unique_ptr<audio_source> source;
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    channel_slot* c = find_channel(stream);
    if (!c || !c->stream)
        return;
    source = std::move(c->stream);
    release_channel(*c);
}

bool audio_channel_stop(uint32_t channel)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    channel_slot* c = find_channel(channel);
    if (!c)
        return false;
    if (c->stream)
        c->playing = false;
    else
        release_channel(*c);
    return true;
}

bool audio_channel_set_attributes(uint32_t channel, int frequency, int volume, int pan)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    channel_slot* c = find_channel(channel);
    if (!c || frequency != -1)
        return false;
    c->volume = std::clamp(volume, 0, 100);
    c->pan = std::clamp(pan, -100, 100);
    return true;
}

bool audio_channel_get_attributes(uint32_t channel, int* frequency, int* volume, int* pan)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    channel_slot* c = find_channel(channel);
    if (!c)
        return false;
    if (frequency)
        *frequency = g_mixer.rate;
    if (volume)
        *volume = c->volume;
    if (pan)
        *pan = c->pan;
    return true;
}

bool audio_channel_is_active(uint32_t channel)
{
    std::lock_guard<std::mutex> guard(g_mixer.lock);
    channel_slot* c = find_channel(channel);
    return c && c->playing;
}
