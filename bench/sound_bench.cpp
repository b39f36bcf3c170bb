// Mixing cost: one second of audio with 32 positional sounds and the map and battle music playing.
#include "core/globals.h"
#include "core/settings.h"
#include "engine/sound.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<int16_t> tone(int rate, int channels, float seconds, float hz)
{
    std::vector<int16_t> pcm;
    for (int i = 0; i < int(seconds * float(rate)); ++i)
        for (int c = 0; c < channels; ++c)
            pcm.push_back(int16_t(9000.0 * std::sin(6.2831853 * hz * (c + 1) * i / rate)));
    return pcm;
}

void write_data()
{
    make_folder("data/sound");
    make_folder("data/music");
    for (int i = 0; i < 8; ++i) {
        std::vector<int16_t> pcm = tone(22050, 1, 5.0f, 200.0f + 50.0f * float(i));
        write_wav_file(("data/sound/s" + std::to_string(i) + ".wav").c_str(), pcm.data(), 1, 22050, pcm.size());
    }
    for (const char* name : {"data/music/map.ogg", "data/music/battle1.ogg"}) {
        std::vector<int16_t> pcm = tone(44100, 2, 10.0f, 220.0f);
        write_ogg_file(name, pcm.data(), 2, 44100, pcm.size() / 2, 0.4f);
    }
}

// Keeps 32 sounds in the playing list, spread around the view centre.
void fill_playing_list(const std::vector<int32_t>& slots)
{
    update_sounds();
    for (int i = 0; g_sound.playing_count < uint32_t(k_playing_sounds) && i < 1000; ++i)
        play_sound_at(slots[size_t(i) % slots.size()], 312.0f + float(i % 400), 384.0f + float(i / 400));
}

} // namespace

static void BM_MixOneSecondOf32SoundsAndTwoMusicStreams(benchmark::State& state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zorv-bench-XXXXXX").string();
    std::filesystem::path folder = mkdtemp(pattern.data());
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    write_data();

    audio_init_headless(k_audio_rate);
    g_sound_enabled = 1;
    g_settings.snd_soundvolume = 80;
    g_settings.snd_musicvolume = 60;
    sound_init();
    music_init();
    std::vector<int32_t> slots;
    for (int i = 0; i < 8; ++i)
        slots.push_back(load_sound(("s" + std::to_string(i)).c_str()));
    play_map_music("data/music/map.ogg");
    play_battle_music("data/music/battle1.ogg");
    if (!g_music.map_stream || !g_music.battle_stream || slots[0] < 0)
        state.SkipWithError("the bench data did not load");

    std::vector<int16_t> out(2 * 1024);
    for (auto _ : state) {
        state.PauseTiming();
        fill_playing_list(slots);
        if (g_sound.playing_count != uint32_t(k_playing_sounds)) {
            state.SkipWithError("fewer than 32 sounds playing");
            break;
        }
        state.ResumeTiming();
        for (int frames = k_audio_rate; frames > 0; frames -= 1024)
            audio_mix(out.data(), std::min(frames, 1024));
        benchmark::DoNotOptimize(out.data());
    }
    // The share of one core that playing in real time takes, in percent.
    state.counters["core_percent"] =
        benchmark::Counter(0.01, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);

    audio_shutdown();
    g_sound_enabled = 0;
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_MixOneSecondOf32SoundsAndTwoMusicStreams)->Unit(benchmark::kMillisecond);
