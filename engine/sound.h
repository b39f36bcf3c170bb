// Sound and music: the two looping music streams that cross-fade in a fight, the named sound
// samples of "data/sound/", the positional sounds whose volume and pan follow the camera, and
// the one-shot narration streams.
//
// Everything does nothing while g_sound_enabled is 0 (functions that return a slot or entry
// return -1). Volumes come from g_settings.snd_musicvolume and snd_soundvolume, held to 0 to 100.
#pragma once

#include <cstdint>

constexpr int k_music_name_size = 256;

enum music_fade : uint8_t {
    k_fade_off = 0,
    k_fade_steady = 1,
    k_fade_in = 2,
    k_fade_out = 3,
};

struct music_manager {
    char map_name[k_music_name_size];     // the file of the map music stream
    char battle_name[k_music_name_size];  // the file of the battle stream
    uint32_t map_stream;                  // 0 = none
    uint32_t battle_stream;               // 0 = none
    uint8_t map_fade;                     // music_fade
    uint8_t battle_fade;
    uint32_t last_tick;                   // g_ticks of the last fade step
};

extern music_manager g_music;

void music_init();
// Starts `path` as the looping map music at the music volume, unless it is already playing
// under that very name. A file that does not play leaves no map stream and the old name.
void play_map_music(const char* path);
// The same for the battle stream.
void play_battle_music(const char* path);
void stop_map_music();
void stop_battle_music();
void stop_all_music();
// Once per frame, at most one step per tick: starts a random battle track "data/music/battle%d.ogg"
// when a fight begins, and fades the battle and map music in and out one volume unit per step.
void update_battle_music();
// Sets the volume of the battle and map streams.
void set_music_volume(int volume);

constexpr int k_sound_slots = 512;
constexpr int k_sound_name_size = 80;
constexpr int k_voice_name_size = 256;
constexpr int k_playing_sounds = 32;

struct sound_manager {
    uint32_t handle[k_sound_slots];                   // sample handles, 0 = empty slot
    char name[k_sound_slots][k_sound_name_size];      // the name the slot was loaded under
    int16_t loaded[k_sound_slots];                    // 1 while the slot holds a sample
    char voice_name[k_voice_name_size];               // the path last given to play_voice
    uint32_t voice_stream;
    uint32_t file_stream;
    // The playing positional sounds, oldest first.
    uint32_t playing_slot[k_playing_sounds];
    float playing_x[k_playing_sounds];
    float playing_y[k_playing_sounds];
    uint32_t playing_channel[k_playing_sounds];
    uint32_t playing_count;
};

extern sound_manager g_sound;

void sound_init();
// The slot holding the sound "data/sound/<name>.wav" (else ".ogg"), loading it into the first
// empty slot when no slot holds that name (a slot keeps 79 characters of it, and a longer name
// is compared by those); -1 when the file is missing or refused, or no slot is free.
int32_t load_sound(const char* name);
// Lowers the slot's use; at 0 its sample is freed and the slot emptied.
void release_sound(int32_t slot);
// Plays a slot's sample at world point (x, y) with the volume and pan of its distance from the
// view centre; the entry in the playing list, or -1 when nothing plays (out of hearing, the same
// sound already at that point, an empty slot, the list full or all playbacks busy).
int32_t play_sound_at(int32_t slot, float x, float y);
// The playing entries of `slot` at exactly (x, y).
int32_t count_sounds_at(int32_t slot, float x, float y);
// Follows entry i's volume and pan to point (x, y); drops it when it is out of hearing or has ended.
void update_playing_sound(int32_t i, float x, float y);
// Once per frame: drops the ended entries (the list keeps its order) and updates the others.
void update_sounds();
// Empties the playing list; the sounds play on to their end at volume 0.
void silence_all_sounds();
// Plays a narration file once at the sound volume, unless it names the last narration (letter
// case ignored).
void play_voice(const char* path);
// Plays a file once at the sound volume on its own stream, restarting it every time.
void play_voice_file(const char* path);
