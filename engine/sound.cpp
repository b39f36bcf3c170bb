#include "engine/sound.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "engine/math.h"
#include "engine/sound_streams.h"
#include "platform/audio.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <strings.h>

sound_manager g_sound;

namespace {

constexpr int k_max_playbacks = 4;

// A sound file the audio layer could not open: missing, or damaged with the audio layer's reason.
void log_refused(const char* path)
{
    if (file_exists(path) == 1)
        report_damaged_file(path, audio_last_error(), "ticho");
    else
        report_missing_file(path, "ticho");
}

struct volume_pan {
    int volume;  // negative: out of hearing
    int pan;
};

// The volume and pan of a sound at (x, y) heard from the view centre; a sound starts with the
// pan of `start`, and follows with the other form on every update.
volume_pan volume_pan_at(float x, float y, bool start)
{
    float lx = (float(g_screen_width) / g_zoom) / 2.0f + g_camera_x;
    float ly = (float(g_screen_height) / g_zoom) / 2.0f + g_camera_y;
    float s = float(sound_volume_percent(&g_settings)) / 100.0f;
    float d = distance2d(lx, ly, x, y);
    float dx = x - lx;
    volume_pan result;
    result.volume = int((100.0f - d / 4.0f) * s);
    if (start)
        result.pan = -std::clamp(int(dx / 4.0f), -100, 100);
    else
        result.pan = std::clamp(int(dx / 8.0f), -100, 100);
    return result;
}

void remove_playing(uint32_t i)
{
    sound_manager& s = g_sound;
    for (uint32_t j = i + 1; j < s.playing_count; ++j) {
        s.playing_slot[j - 1] = s.playing_slot[j];
        s.playing_x[j - 1] = s.playing_x[j];
        s.playing_y[j - 1] = s.playing_y[j];
        s.playing_channel[j - 1] = s.playing_channel[j];
    }
    --s.playing_count;
}

// Entry i's update; false when it was removed.
bool follow_playing_sound(uint32_t i, float x, float y)
{
    if (sound_volume_percent(&g_settings) < 3)
        return true;
    volume_pan vp = volume_pan_at(x, y, false);
    uint32_t channel = g_sound.playing_channel[i];
    if (vp.volume < 0 || !audio_channel_is_active(channel)) {
        remove_playing(i);
        return false;
    }
    audio_channel_set_attributes(channel, -1, vp.volume, vp.pan);
    return true;
}

bool valid_slot(int32_t slot)
{
    return slot >= 0 && slot < k_sound_slots;
}

} // namespace

uint32_t start_stream(const char* path, bool loop, int volume)
{
    uint32_t stream = audio_stream_create_file(path, loop);
    if (!stream) {
        log_refused(path);
        return 0;
    }
    audio_channel_set_attributes(stream, -1, volume, -1);
    audio_stream_play(stream);
    return stream;
}

void free_stream(uint32_t* stream)
{
    if (!*stream)
        return;
    audio_channel_stop(*stream);
    audio_stream_free(*stream);
    *stream = 0;
}

void sound_init()
{
    std::memset(&g_sound, 0, sizeof g_sound);
}

int32_t load_sound(const char* name)
{
    if (!g_sound_enabled || !name)
        return -1;
    sound_manager& s = g_sound;
    for (int i = 0; i < k_sound_slots; ++i)
        if (s.loaded[i] > 0 && std::strncmp(s.name[i], name, k_sound_name_size - 1) == 0)
            return i;
    int slot = 0;
    while (slot < k_sound_slots && s.handle[slot] != 0)
        ++slot;
    if (slot == k_sound_slots)
        return -1;

    std::string path = std::string("data/sound/") + name + ".wav";
    const bool ogg = file_exists(path.c_str()) != 1;
    if (ogg) {
        path = std::string("data/sound/") + name + ".ogg";
        if (file_exists(path.c_str()) != 1)
            return -1;
    }
    uint32_t handle = audio_sample_load(path.c_str(), k_max_playbacks);
    if (!handle) {
        log_refused(path.c_str());
        return -1;
    }
    if (ogg)
        console_log("nahral som zvuk %s pre %d", name, slot);
    s.handle[slot] = handle;
    s.loaded[slot] = 1;
    copy_bounded(s.name[slot], k_sound_name_size, name);
    return slot;
}

void release_sound(int32_t slot)
{
    if (!g_sound_enabled || !valid_slot(slot))
        return;
    sound_manager& s = g_sound;
    if (--s.loaded[slot] >= 1)
        return;
    audio_sample_free(s.handle[slot]);
    s.handle[slot] = 0;
    s.name[slot][0] = '\0';
    s.loaded[slot] = 0;
}

int32_t count_sounds_at(int32_t slot, float x, float y)
{
    int32_t count = 0;
    for (uint32_t i = 0; i < g_sound.playing_count; ++i)
        if (int32_t(g_sound.playing_slot[i]) == slot && g_sound.playing_x[i] == x && g_sound.playing_y[i] == y)
            ++count;
    return count;
}

int32_t play_sound_at(int32_t slot, float x, float y)
{
    if (!g_sound_enabled || !valid_slot(slot))
        return -1;
    if (count_sounds_at(slot, x, y) > 0)
        return -1;
    sound_manager& s = g_sound;
    if (s.handle[slot] == 0 || s.playing_count >= k_playing_sounds)
        return -1;
    volume_pan vp = volume_pan_at(x, y, true);
    if (vp.volume < 0)
        return -1;
    uint32_t channel = audio_sample_play(s.handle[slot]);
    if (channel == 0)
        return -1;
    uint32_t i = s.playing_count++;
    s.playing_channel[i] = channel;
    s.playing_slot[i] = uint32_t(slot);
    s.playing_x[i] = x;
    s.playing_y[i] = y;
    audio_channel_set_attributes(channel, -1, vp.volume, vp.pan);
    return int32_t(i);
}

void update_playing_sound(int32_t i, float x, float y)
{
    if (g_sound_enabled && i >= 0 && uint32_t(i) < g_sound.playing_count)
        follow_playing_sound(uint32_t(i), x, y);
}

void update_sounds()
{
    if (!g_sound_enabled)
        return;
    sound_manager& s = g_sound;
    uint32_t i = 0;
    while (i < s.playing_count) {
        if (!audio_channel_is_active(s.playing_channel[i]))
            remove_playing(i);
        else if (follow_playing_sound(i, s.playing_x[i], s.playing_y[i]))
            ++i;
    }
}

void silence_all_sounds()
{
    if (!g_sound_enabled)
        return;
    while (g_sound.playing_count > 0) {
        audio_channel_set_attributes(g_sound.playing_channel[0], -1, 0, 0);
        remove_playing(0);
    }
}

void play_voice(const char* path)
{
    if (!g_sound_enabled || !path || strcasecmp(path, g_sound.voice_name) == 0)
        return;
    copy_bounded(g_sound.voice_name, k_voice_name_size, path);
    free_stream(&g_sound.voice_stream);
    g_sound.voice_stream = start_stream(path, false, sound_volume_percent(&g_settings));
}

void play_voice_file(const char* path)
{
    if (!g_sound_enabled || !path)
        return;
    free_stream(&g_sound.file_stream);
    g_sound.file_stream = start_stream(path, false, sound_volume_percent(&g_settings));
}
