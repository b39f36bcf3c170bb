// The demo sounds and music, synthesised here: tones and noises as ".wav", a narration line,
// the completed quest's fanfare and the music tracks as Ogg Vorbis.
#include "tools/demo/demo_data.h"

#include "platform/audio_writer.h"
#include "platform/files.h"
#include "platform/random.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int k_rate = 22050;
constexpr float k_two_pi = 6.2831853f;

// Mono audio as floats from -1 to 1.
using track = std::vector<float>;

std::vector<int16_t> to_pcm(const track& t)
{
    std::vector<int16_t> pcm(t.size());
    for (size_t i = 0; i < t.size(); ++i)
        pcm[i] = int16_t(std::lround(std::fmax(-1.0f, std::fmin(1.0f, t[i])) * 32000.0f));
    return pcm;
}

// Adds a note of `hz` from `start` seconds for `length` seconds, with a short attack and an
// exponential decay; `harmonic` mixes in the octave.
void add_note(track& t, float start, float length, float hz, float level, float harmonic = 0.0f)
{
    size_t first = size_t(start * k_rate);
    size_t count = size_t(length * k_rate);
    for (size_t i = 0; i < count && first + i < t.size(); ++i) {
        float time = float(i) / k_rate;
        float envelope = std::fmin(1.0f, time * 200.0f) * std::exp(-4.0f * time / length);
        float wave = std::sin(k_two_pi * hz * time) + harmonic * std::sin(2.0f * k_two_pi * hz * time);
        t[first + i] += level * envelope * wave;
    }
}

// Adds a burst of noise, low-passed by `smooth` (0 none, near 1 dull), decaying over `length`.
void add_noise(track& t, float start, float length, float level, float smooth)
{
    size_t first = size_t(start * k_rate);
    size_t count = size_t(length * k_rate);
    float held = 0.0f;
    for (size_t i = 0; i < count && first + i < t.size(); ++i) {
        float white = float(game_rand()) / 16383.5f - 1.0f;
        held = smooth * held + (1.0f - smooth) * white;
        float time = float(i) / k_rate;
        t[first + i] += level * held * std::exp(-6.0f * time / length);
    }
}

void write_wav(const char* path, const track& t)
{
    std::vector<int16_t> pcm = to_pcm(t);
    require(write_wav_file(path, pcm.data(), 1, k_rate, pcm.size()), path);
}

void write_ogg(const char* path, const track& t)
{
    std::vector<int16_t> pcm = to_pcm(t);
    require(write_ogg_file(path, pcm.data(), 1, k_rate, pcm.size(), 0.0f), path);
}

track seconds(float length)
{
    return track(size_t(length * k_rate), 0.0f);
}

void write_sounds()
{
    track bell = seconds(0.8f);
    add_note(bell, 0.0f, 0.8f, 660.0f, 0.5f, 0.3f);
    write_wav("data/sound/bell.wav", bell);

    track chime = seconds(0.6f);
    add_note(chime, 0.0f, 0.3f, 784.0f, 0.4f);
    add_note(chime, 0.15f, 0.45f, 1046.0f, 0.4f);
    write_wav("data/sound/chime.wav", chime);

    track hum = seconds(1.5f);
    add_note(hum, 0.0f, 1.5f, 110.0f, 0.5f, 0.5f);
    write_wav("data/sound/hum.wav", hum);

    track hit = seconds(0.25f);
    add_noise(hit, 0.0f, 0.25f, 0.8f, 0.3f);
    add_note(hit, 0.0f, 0.15f, 140.0f, 0.5f);
    write_wav("data/sound/hit.wav", hit);

    track step = seconds(0.12f);
    add_noise(step, 0.0f, 0.12f, 0.6f, 0.85f);
    write_wav("data/sound/step.wav", step);

    // A narration stand-in: a warbling voice-like tone.
    track voice = seconds(1.6f);
    const float syllables[] = {220.0f, 247.0f, 196.0f, 262.0f, 233.0f};
    for (int i = 0; i < 5; ++i)
        add_note(voice, 0.3f * float(i), 0.3f, syllables[i], 0.45f, 0.6f);
    write_ogg("data/voice/greeting.ogg", voice);

    // A completed quest: three rising notes ending on a held chord.
    track fanfare = seconds(1.4f);
    const float rising[] = {523.0f, 659.0f, 784.0f};
    for (int i = 0; i < 3; ++i)
        add_note(fanfare, 0.15f * float(i), 0.4f, rising[i], 0.3f, 0.3f);
    for (float hz : rising)
        add_note(fanfare, 0.45f, 0.95f, hz, 0.2f, 0.2f);
    write_ogg("data/sound/quest_completed.ogg", fanfare);
}

// Footsteps "data/sound/footstep/FS<ground><v>.wav": six takes per ground type, each a short
// burst whose colour tells the ground (dull for earth, ringing for metal, a splash for water).
void write_footsteps()
{
    struct ground {
        const char* name;
        float noise, smooth, tone_hz, tone;
    };
    const ground grounds[] = {
        {"Dirt", 0.6f, 0.9f, 0.0f, 0.0f},    {"dungeon", 0.5f, 0.7f, 180.0f, 0.2f},
        {"grass", 0.4f, 0.5f, 0.0f, 0.0f},   {"metal", 0.3f, 0.3f, 1250.0f, 0.35f},
        {"stone", 0.6f, 0.4f, 320.0f, 0.15f}, {"Wood", 0.3f, 0.8f, 210.0f, 0.45f},
        {"Water", 0.7f, 0.2f, 0.0f, 0.0f},   {"Snow", 0.5f, 0.6f, 0.0f, 0.0f},
        {"Ice", 0.2f, 0.1f, 2100.0f, 0.25f},
    };
    for (const ground& g : grounds) {
        for (int v = 1; v <= 6; ++v) {
            float length = 0.1f + 0.01f * float(v);
            track step = seconds(length);
            add_noise(step, 0.0f, length, g.noise, g.smooth);
            if (g.tone > 0.0f)
                add_note(step, 0.0f, length, g.tone_hz * (0.95f + 0.02f * float(v)), g.tone);
            char path[64];
            std::snprintf(path, sizeof path, "data/sound/footstep/FS%s%d.wav", g.name, v);
            write_wav(path, step);
        }
    }
}

// The dream world's entering and leaving: a rising and a falling glide of soft tones.
void write_dream_sounds()
{
    track in = seconds(1.2f), out = seconds(1.2f);
    const float notes[] = {330.0f, 392.0f, 494.0f, 587.0f};
    for (int i = 0; i < 4; ++i) {
        add_note(in, 0.2f * float(i), 0.6f, notes[i], 0.3f, 0.4f);
        add_note(out, 0.2f * float(i), 0.6f, notes[3 - i], 0.3f, 0.4f);
    }
    write_ogg("data/sound/dream_in.ogg", in);
    write_ogg("data/sound/dream_out.ogg", out);
    // The low-health warning: two low, urgent beats like a heart.
    track warning = seconds(0.9f);
    add_note(warning, 0.0f, 0.18f, 110.0f, 0.5f, 0.3f);
    add_note(warning, 0.25f, 0.18f, 98.0f, 0.45f, 0.3f);
    write_ogg("data/sound/low_health.ogg", warning);
}

void write_music()
{
    // The map music: a slow arpeggio over a low drone.
    const float notes[] = {262.0f, 330.0f, 392.0f, 494.0f, 440.0f, 392.0f, 330.0f, 294.0f};
    track town = seconds(8.0f);
    add_note(town, 0.0f, 8.0f, 65.5f, 0.2f, 0.4f);
    for (int i = 0; i < 16; ++i)
        add_note(town, 0.5f * float(i), 0.9f, notes[i % 8], 0.25f, 0.2f);
    write_ogg("data/music/town.ogg", town);

    // Three battle tracks: drums and a driving bass line in three keys.
    const float roots[] = {82.4f, 98.0f, 73.4f};
    for (int n = 0; n < 3; ++n) {
        track battle = seconds(4.0f);
        for (int beat = 0; beat < 16; ++beat) {
            float at = 0.25f * float(beat);
            add_noise(battle, at, beat % 4 == 0 ? 0.2f : 0.08f, beat % 4 == 0 ? 0.5f : 0.25f,
                      beat % 4 == 0 ? 0.9f : 0.2f);
            add_note(battle, at, 0.24f, roots[n] * (beat % 8 < 6 ? 1.0f : 1.5f), 0.35f, 0.5f);
        }
        char path[64];
        std::snprintf(path, sizeof path, "data/music/battle%d.ogg", n + 1);
        write_ogg(path, battle);
    }
}

// A voice-like line: syllables of gliding pitch around `pitch`, each with a vowel's two
// formant tones and a soft consonant of noise before it, and short gaps between words.
track voice_line(float pitch, int syllables, uint32_t seed)
{
    game_srand(seed);
    const float syllable = 0.22f;
    track t = seconds(0.2f + syllable * float(syllables));
    float at = 0.1f;
    for (int i = 0; i < syllables; ++i) {
        const float hz = pitch * (0.9f + 0.25f * float(game_rand() % 100) / 100.0f);
        add_noise(t, at, 0.04f, 0.15f, 0.5f);
        add_note(t, at + 0.03f, syllable, hz, 0.35f, 0.5f);
        add_note(t, at + 0.03f, syllable * 0.8f, hz * 3.1f, 0.08f);
        at += syllable + (i % 3 == 2 ? 0.08f : 0.0f);
    }
    return t;
}

// The slide shows' narrations "data/sound/slide/eng/": the intro's m1 and m2, the chapter
// parts 1.1, 1.2 and 2.1, the epilogue's e1.1 and the nine narrations of the ending; and the
// chapter music "data/slides/1.ogg",
// slow chords that loop.
void write_slide_sounds()
{
    struct line {
        const char* name;
        float pitch;
        int syllables;
    };
    const line lines[] = {{"m1", 150.0f, 6}, {"m2", 140.0f, 5}, {"1.1", 160.0f, 5},
                          {"1.2", 150.0f, 4}, {"2.1", 170.0f, 5}, {"e1.1", 130.0f, 6},
                          {"benevolant", 150.0f, 5}, {"mercenary", 140.0f, 5}, {"defender", 160.0f, 4},
                          {"betrayer", 130.0f, 4}, {"warrior", 150.0f, 3}, {"adept", 160.0f, 3},
                          {"archmage", 150.0f, 4}, {"legend", 140.0f, 3}, {"immortal", 170.0f, 4}};
    uint32_t seed = 11;
    for (const line& l : lines) {
        const std::string path = std::string("data/sound/slide/eng/") + l.name + ".ogg";
        write_ogg(path.c_str(), voice_line(l.pitch, l.syllables, seed++));
    }

    const float chords[][3] = {{220.0f, 277.0f, 330.0f}, {196.0f, 247.0f, 294.0f}};
    track music = seconds(4.0f);
    for (int i = 0; i < 2; ++i)
        for (float hz : chords[i])
            add_note(music, 2.0f * float(i), 2.0f, hz, 0.15f, 0.3f);
    write_ogg("data/slides/1.ogg", music);
}

} // namespace

void write_sound_demo_data()
{
    for (const char* folder : {"data/sound", "data/sound/footstep", "data/voice", "data/music", "data/sound/slide/eng",
                               "data/slides"})
        require(make_folder(folder), folder);
    game_srand(7);
    write_sounds();
    write_music();
    write_footsteps();
    write_dream_sounds();
    write_slide_sounds();
}
