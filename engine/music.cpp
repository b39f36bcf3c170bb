#include "engine/sound.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/sound_streams.h"
#include "platform/audio.h"
#include "platform/random.h"

#include <cstdio>
#include <cstring>

music_manager g_music;

namespace {

constexpr int k_battle_tracks = 9;

// Starts `path` looping in `stream` unless that stream already plays it under `name`.
void play_music(const char* path, char* name, uint32_t* stream, uint8_t* fade)
{
    if (!g_sound_enabled || !path)
        return;
    if (*stream && std::strcmp(name, path) == 0)
        return;
    free_stream(stream);
    *stream = start_stream(path, true, music_volume_percent(&g_settings));
    if (!*stream)
        return;
    copy_bounded(name, k_music_name_size, path);
    *fade = k_fade_steady;
}

void stop_music(uint32_t* stream, uint8_t* fade)
{
    if (!g_sound_enabled || !*stream)
        return;
    free_stream(stream);
    *fade = k_fade_off;
}

int stream_volume(uint32_t stream)
{
    int volume = 0;
    audio_channel_get_attributes(stream, nullptr, &volume, nullptr);
    return volume;
}

void set_stream_volume(uint32_t stream, int volume)
{
    audio_channel_set_attributes(stream, -1, volume, -1);
}

// One step toward the music volume; true once it is there.
bool fade_in_step(uint32_t stream)
{
    int volume = stream_volume(stream);
    int target = music_volume_percent(&g_settings);
    if (volume < target)
        set_stream_volume(stream, ++volume);
    return volume >= target;
}

// One step down toward volume 1; true once it is below 2.
bool fade_out_step(uint32_t stream)
{
    int volume = stream_volume(stream);
    if (volume > 1)
        set_stream_volume(stream, --volume);
    return volume < 2;
}

// A fight has begun or goes on: the battle music comes in, the map music goes down.
void enter_fight()
{
    music_manager& m = g_music;
    if (m.battle_fade == k_fade_off) {
        char path[64];
        std::snprintf(path, sizeof path, "data/music/battle%d.ogg", game_rand() % k_battle_tracks + 1);
        if (file_exists(path) != 1)
            return;  // another draw at the next tick
        play_battle_music(path);
        if (!m.battle_stream)
            return;  // a track that does not play is drawn again too
        set_stream_volume(m.battle_stream, 0);
        m.battle_fade = k_fade_in;
        if (m.map_stream)
            m.map_fade = k_fade_out;
        return;
    }
    if (m.battle_stream)
        m.battle_fade = k_fade_in;
    if (m.map_stream)
        m.map_fade = k_fade_out;
}

} // namespace

void music_init()
{
    std::memset(&g_music, 0, sizeof g_music);
}

void play_map_music(const char* path)
{
    play_music(path, g_music.map_name, &g_music.map_stream, &g_music.map_fade);
}

void play_battle_music(const char* path)
{
    play_music(path, g_music.battle_name, &g_music.battle_stream, &g_music.battle_fade);
}

void stop_map_music()
{
    stop_music(&g_music.map_stream, &g_music.map_fade);
}

void stop_battle_music()
{
    stop_music(&g_music.battle_stream, &g_music.battle_fade);
}

void stop_all_music()
{
    stop_map_music();
    stop_battle_music();
}

void update_battle_music()
{
    music_manager& m = g_music;
    if (!g_sound_enabled || m.last_tick >= g_ticks)
        return;
    m.last_tick = g_ticks;
    if (g_in_combat != 0) {
        enter_fight();
    } else if (m.battle_fade != k_fade_off) {
        if (m.battle_stream)
            m.battle_fade = k_fade_out;
        if (m.map_stream)
            m.map_fade = k_fade_in;
    }

    if (m.map_fade == k_fade_in && fade_in_step(m.map_stream))
        m.map_fade = k_fade_steady;
    else if (m.map_fade == k_fade_out && fade_out_step(m.map_stream))
        m.map_fade = k_fade_steady;
    if (m.battle_fade == k_fade_in && fade_in_step(m.battle_stream))
        m.battle_fade = k_fade_steady;
    else if (m.battle_fade == k_fade_out && fade_out_step(m.battle_stream))
        stop_battle_music();
}

void set_music_volume(int volume)
{
    if (!g_sound_enabled)
        return;
    if (g_music.battle_stream)
        set_stream_volume(g_music.battle_stream, volume);
    if (g_music.map_stream)
        set_stream_volume(g_music.map_stream, volume);
}
