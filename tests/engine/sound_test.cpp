#include "engine/sound.h"

#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/settings.h"
#include "items/items.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/random.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr float k_centre_x = 512.0f;  // the view centre at 1024 x 768, zoom 1, camera (0, 0)
constexpr float k_centre_y = 384.0f;

class sound_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(make_folder("global"));
        ASSERT_TRUE(make_folder("data/sound"));
        ASSERT_TRUE(make_folder("data/music"));
        audio_init_headless(k_audio_rate);
        g_sound_enabled = 1;
        g_console_enabled = 1;
        g_console_history_count = 0;
        std::memset(g_console_history, 0, sizeof g_console_history);
        saved_settings_ = g_settings;
        g_settings.snd_soundvolume = 80;
        g_settings.snd_musicvolume = 10;
        g_screen_width = 1024;
        g_screen_height = 768;
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
        g_in_combat = 0;
        sound_init();
        music_init();
        clock_use_manual(true);
        clock_set_manual(5000);
        stamp_start_time();
        update_frame_timing();
    }

    void TearDown() override
    {
        audio_shutdown();
        g_sound_enabled = 0;
        g_console_enabled = 0;
        g_console_history_count = 0;
        g_in_combat = 0;
        g_settings = saved_settings_;
        clock_use_manual(false);
    }

    // One frame a tick later: the clock moves 16 ms, the music steps, the mixer plays the 16 ms.
    static void next_tick()
    {
        clock_advance_manual(16);
        update_frame_timing();
        update_battle_music();
        std::vector<int16_t> out(2 * 706);
        audio_mix(out.data(), 706);
    }

    static int volume_of(uint32_t channel)
    {
        int volume = -1;
        audio_channel_get_attributes(channel, nullptr, &volume, nullptr);
        return volume;
    }

    static int pan_of(uint32_t channel)
    {
        int pan = -999;
        audio_channel_get_attributes(channel, nullptr, nullptr, &pan);
        return pan;
    }

    temp_folder folder_;
    game_settings saved_settings_{};
};

void write_tone(const std::string& path, size_t frames)
{
    std::vector<int16_t> pcm(2 * frames, 5000);
    ASSERT_TRUE(write_wav_file(path.c_str(), pcm.data(), 2, k_audio_rate, frames));
}

void write_music(const std::string& path)
{
    std::vector<int16_t> pcm;
    for (int i = 0; i < 11025; ++i)
        pcm.push_back(int16_t(8000.0 * std::sin(i * 0.05)));
    ASSERT_TRUE(write_ogg_file(path.c_str(), pcm.data(), 1, 22050, pcm.size(), 0.0f));
}

void write_battle_tracks()
{
    for (int n = 1; n <= 9; ++n)
        write_music("data/music/battle" + std::to_string(n) + ".ogg");
}

std::vector<float> playing_xs()
{
    return std::vector<float>(g_sound.playing_x, g_sound.playing_x + g_sound.playing_count);
}

} // namespace

TEST_F(sound_test, VolumeAndPanFollowTheDistanceFromTheViewCentre)
{
    write_tone("data/sound/tone.wav", k_audio_rate);
    int32_t slot = load_sound("tone");
    ASSERT_GE(slot, 0);

    // At the centre: the full sound volume, centred.
    int32_t centre = play_sound_at(slot, k_centre_x, k_centre_y);
    ASSERT_EQ(centre, 0);
    EXPECT_EQ(volume_of(g_sound.playing_channel[0]), 80);
    EXPECT_EQ(pan_of(g_sound.playing_channel[0]), 0);

    // 200 units to the right: (100 - 50) x 0.8; the start pan is -(200 / 4), the update's 200 / 8.
    int32_t right = play_sound_at(slot, k_centre_x + 200.0f, k_centre_y);
    ASSERT_EQ(right, 1);
    EXPECT_EQ(volume_of(g_sound.playing_channel[1]), 40);
    EXPECT_EQ(pan_of(g_sound.playing_channel[1]), -50);
    update_sounds();
    EXPECT_EQ(volume_of(g_sound.playing_channel[1]), 40);
    EXPECT_EQ(pan_of(g_sound.playing_channel[1]), 25);

    // 500 units away (and beyond): not played.
    EXPECT_EQ(play_sound_at(slot, k_centre_x, k_centre_y + 500.0f), -1);
    EXPECT_EQ(play_sound_at(slot, k_centre_x - 3000.0f, k_centre_y), -1);
    EXPECT_EQ(g_sound.playing_count, 2u);

    // The camera moves away: the sounds out of hearing leave the list on the next update.
    g_camera_x = 488.0f;
    update_sounds();
    ASSERT_EQ(g_sound.playing_count, 1u);
    EXPECT_EQ(g_sound.playing_x[0], k_centre_x + 200.0f);

    // The view centre accounts for the zoom: at zoom 2 it lies at a quarter of the screen.
    g_camera_x = 0.0f;
    g_zoom = 2.0f;
    int32_t zoomed = play_sound_at(slot, 256.0f, 192.0f);
    ASSERT_GE(zoomed, 0);
    EXPECT_EQ(volume_of(g_sound.playing_channel[zoomed]), 80);
    EXPECT_EQ(pan_of(g_sound.playing_channel[zoomed]), 0);
}

TEST_F(sound_test, VolumeSettingsAboveOneHundredCountAsOneHundred)
{
    write_tone("data/sound/tone.wav", k_audio_rate);
    write_battle_tracks();
    g_settings.snd_soundvolume = 400;
    g_settings.snd_musicvolume = 150;

    int32_t right = play_sound_at(load_sound("tone"), k_centre_x + 200.0f, k_centre_y);
    ASSERT_GE(right, 0);
    EXPECT_EQ(volume_of(g_sound.playing_channel[right]), 50);
    update_sounds();
    EXPECT_EQ(volume_of(g_sound.playing_channel[right]), 50);

    // The battle music's fade-in ends at the full volume, one step per tick.
    g_in_combat = 1;
    for (int tick = 1; tick <= 100; ++tick)
        next_tick();
    EXPECT_EQ(volume_of(g_music.battle_stream), 100);
    EXPECT_EQ(g_music.battle_fade, k_fade_steady);
}

TEST_F(sound_test, ANameLongerThanItsSlotFindsTheSlotItWasLoadedInto)
{
    const std::string name(85, 'n');
    write_tone("data/sound/" + name + ".wav", 1000);
    const int32_t slot = load_sound(name.c_str());
    ASSERT_GE(slot, 0);
    EXPECT_EQ(load_sound(name.c_str()), slot);
    EXPECT_EQ(load_sound(name.c_str()), slot);
}

TEST_F(sound_test, TheSameSoundAtTheSamePointIsRefused)
{
    write_tone("data/sound/tone.wav", k_audio_rate);
    write_tone("data/sound/other.wav", k_audio_rate);
    int32_t tone = load_sound("tone");
    int32_t other = load_sound("other");
    ASSERT_GE(play_sound_at(tone, 600.0f, 400.0f), 0);
    EXPECT_EQ(play_sound_at(tone, 600.0f, 400.0f), -1);
    EXPECT_EQ(count_sounds_at(tone, 600.0f, 400.0f), 1);
    EXPECT_GE(play_sound_at(other, 600.0f, 400.0f), 0);
    EXPECT_GE(play_sound_at(tone, 600.5f, 400.0f), 0);
    EXPECT_EQ(count_sounds_at(tone, 600.0f, 400.0f), 1);

    // A fifth playback of one sample fails: each holds at most four at once.
    EXPECT_GE(play_sound_at(tone, 601.0f, 400.0f), 0);
    EXPECT_GE(play_sound_at(tone, 602.0f, 400.0f), 0);
    EXPECT_EQ(play_sound_at(tone, 603.0f, 400.0f), -1);
    EXPECT_EQ(g_sound.playing_count, 5u);

}

TEST_F(sound_test, AFullPlayingListRefusesTheNextSound)
{
    std::vector<int32_t> slots;
    for (int i = 0; i < 9; ++i) {
        std::string name = "many" + std::to_string(i);
        write_tone("data/sound/" + name + ".wav", 1000);
        slots.push_back(load_sound(name.c_str()));
        ASSERT_GE(slots.back(), 0);
    }
    for (int i = 0; i < k_playing_sounds; ++i)
        ASSERT_EQ(play_sound_at(slots[size_t(i / 4)], 500.0f + float(i), 400.0f), i);
    EXPECT_EQ(play_sound_at(slots[8], 450.0f, 400.0f), -1);
    EXPECT_EQ(g_sound.playing_count, uint32_t(k_playing_sounds));
    EXPECT_EQ(g_sound.playing_x[31], 531.0f);
}

TEST_F(sound_test, UpdateDropsEndedSoundsKeepingTheOrderAndSilenceEmptiesTheList)
{
    write_tone("data/sound/long.wav", k_audio_rate);
    write_tone("data/sound/short.wav", 100);
    int32_t long_slot = load_sound("long");
    int32_t short_slot = load_sound("short");
    play_sound_at(long_slot, 510.0f, 384.0f);
    play_sound_at(short_slot, 511.0f, 384.0f);
    play_sound_at(long_slot, 512.0f, 384.0f);
    play_sound_at(short_slot, 513.0f, 384.0f);
    play_sound_at(long_slot, 514.0f, 384.0f);
    ASSERT_EQ(g_sound.playing_count, 5u);

    std::vector<int16_t> out(2 * 200);
    audio_mix(out.data(), 200);
    update_sounds();
    EXPECT_EQ(playing_xs(), (std::vector<float>{510.0f, 512.0f, 514.0f}));
    for (uint32_t i = 0; i < g_sound.playing_count; ++i)
        EXPECT_EQ(g_sound.playing_slot[i], uint32_t(long_slot));

    // Silencing empties the list; the sounds play on at volume 0.
    std::vector<uint32_t> channels(g_sound.playing_channel, g_sound.playing_channel + 3);
    silence_all_sounds();
    EXPECT_EQ(g_sound.playing_count, 0u);
    for (uint32_t channel : channels) {
        EXPECT_TRUE(audio_channel_is_active(channel));
        EXPECT_EQ(volume_of(channel), 0);
        EXPECT_EQ(pan_of(channel), 0);
    }
}

TEST_F(sound_test, LoadSoundPrefersWaveFallsBackToOggAndRefusesBadFiles)
{
    write_tone("data/sound/both.wav", 100);
    write_music("data/sound/both.ogg");
    write_music("data/sound/Wind.ogg");
    write_text("data/sound/broken.wav", "RIFF but nothing more");

    int32_t both = load_sound("both");
    ASSERT_EQ(both, 0);
    EXPECT_EQ(load_sound("both"), both);  // loaded once, found by name
    EXPECT_EQ(g_console_history_count, 0);

    int32_t wind = load_sound("wind");  // file names ignore case
    ASSERT_EQ(wind, 1);
    EXPECT_STREQ(g_console_history[0], "nahral som zvuk wind pre 1");
    EXPECT_STREQ(g_sound.name[wind], "wind");

    EXPECT_EQ(load_sound("missing"), -1);
    EXPECT_EQ(load_sound("broken"), -1);
    EXPECT_NE(std::string(g_console_history[0]).find("data/sound/broken.wav: poskodeny subor ("), std::string::npos);
    EXPECT_EQ(g_console_history_count, 2);  // refused once, not once per free slot
    EXPECT_EQ(g_sound.handle[2], 0u);

    // A long name is stored cut to 79 characters.
    std::string long_name(120, 'n');
    write_tone("data/sound/" + long_name + ".wav", 100);
    int32_t slot = load_sound(long_name.c_str());
    ASSERT_EQ(slot, 2);
    EXPECT_EQ(std::string(g_sound.name[slot]), long_name.substr(0, 79));

    // Released, the slot is empty and its sample gone; the next load takes it again.
    uint32_t handle = g_sound.handle[both];
    release_sound(both);
    EXPECT_EQ(g_sound.handle[both], 0u);
    EXPECT_EQ(g_sound.loaded[both], 0);
    EXPECT_STREQ(g_sound.name[both], "");
    EXPECT_EQ(audio_sample_play(handle), 0u);
    EXPECT_EQ(play_sound_at(both, k_centre_x, k_centre_y), -1);
    release_sound(-1);
    release_sound(k_sound_slots);
    EXPECT_EQ(load_sound("both"), both);
}

TEST_F(sound_test, AnOggFileCutShortIsRefusedByNameAndNeverLoggedAsLoaded)
{
    write_music("data/sound/whole.ogg");
    const std::vector<uint8_t> ogg = read_bytes("data/sound/whole.ogg");
    for (size_t cut : {ogg.size() - 1, ogg.size() / 2})
        write_bytes("data/sound/cut" + std::to_string(cut) + ".ogg",
                    std::vector<uint8_t>(ogg.begin(), ogg.begin() + long(cut)));
    EXPECT_EQ(load_sound("whole"), 0);
    EXPECT_STREQ(g_console_history[0], "nahral som zvuk whole pre 0");
    for (size_t cut : {ogg.size() - 1, ogg.size() / 2}) {
        const std::string name = "cut" + std::to_string(cut);
        g_console_history_count = 0;
        EXPECT_EQ(load_sound(name.c_str()), -1);
        EXPECT_EQ(g_console_history_count, 1);
        EXPECT_EQ(std::string(g_console_history[0]),
                  "data/sound/" + name + ".ogg: poskodeny subor (ogg vorbis file cut short), ostava ticho");
    }

    // Music too: the track does not start, and says why.
    write_bytes("data/music/cut.ogg", std::vector<uint8_t>(ogg.begin(), ogg.end() - 200));
    play_map_music("data/music/cut.ogg");
    EXPECT_EQ(g_music.map_stream, 0u);
    EXPECT_EQ(std::string(g_console_history[0]),
              "data/music/cut.ogg: poskodeny subor (ogg vorbis file cut short), ostava ticho");
}

TEST_F(sound_test, NarrationIgnoresCaseAndIsNotRestarted)
{
    ASSERT_TRUE(make_folder("data/voice"));
    write_music("data/voice/hello.ogg");
    write_music("data/voice/bye.ogg");

    play_voice("data/voice/hello.ogg");
    uint32_t first = g_sound.voice_stream;
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(audio_channel_is_active(first));
    EXPECT_EQ(volume_of(first), 80);

    play_voice("DATA/Voice/HELLO.ogg");  // the same narration in other letters
    EXPECT_EQ(g_sound.voice_stream, first);
    play_voice("data/voice/hello.OGG");
    EXPECT_EQ(g_sound.voice_stream, first);

    play_voice("data/voice/bye.ogg");
    EXPECT_NE(g_sound.voice_stream, first);
    EXPECT_FALSE(audio_channel_is_active(first));
    EXPECT_STREQ(g_sound.voice_name, "data/voice/bye.ogg");

    // A missing narration leaves no stream, and is not retried under the same name.
    play_voice("data/voice/none.ogg");
    EXPECT_EQ(g_sound.voice_stream, 0u);
    EXPECT_STREQ(g_sound.voice_name, "data/voice/none.ogg");

    // The warning file restarts every time.
    play_voice_file("data/voice/hello.ogg");
    uint32_t warning = g_sound.file_stream;
    ASSERT_NE(warning, 0u);
    play_voice_file("data/voice/hello.ogg");
    EXPECT_NE(g_sound.file_stream, warning);
    EXPECT_FALSE(audio_channel_is_active(warning));
    EXPECT_TRUE(audio_channel_is_active(g_sound.file_stream));
}

TEST_F(sound_test, MapMusicGoesOnUnderItsNameAndAMissingFileKeepsTheOldName)
{
    write_music("data/music/town.ogg");
    play_map_music("data/music/town.ogg");
    uint32_t town = g_music.map_stream;
    ASSERT_NE(town, 0u);
    EXPECT_EQ(g_music.map_fade, k_fade_steady);
    EXPECT_EQ(volume_of(town), 10);
    play_map_music("data/music/town.ogg");
    EXPECT_EQ(g_music.map_stream, town);

    play_map_music("data/music/gone.ogg");
    EXPECT_EQ(g_music.map_stream, 0u);
    EXPECT_FALSE(audio_channel_is_active(town));
    EXPECT_STREQ(g_music.map_name, "data/music/town.ogg");

    play_map_music("data/music/town.ogg");
    ASSERT_NE(g_music.map_stream, 0u);
    set_music_volume(55);
    EXPECT_EQ(volume_of(g_music.map_stream), 55);
    stop_all_music();
    EXPECT_EQ(g_music.map_stream, 0u);
    EXPECT_EQ(g_music.map_fade, k_fade_off);
}

TEST_F(sound_test, BattleMusicFadesInAndOutOneStepPerTick)
{
    write_battle_tracks();
    write_music("data/music/town.ogg");
    play_map_music("data/music/town.ogg");
    uint32_t map = g_music.map_stream;

    g_in_combat = 2;
    next_tick();
    uint32_t battle = g_music.battle_stream;
    ASSERT_NE(battle, 0u);
    EXPECT_EQ(g_music.battle_fade, k_fade_in);
    EXPECT_EQ(volume_of(battle), 1);
    EXPECT_EQ(volume_of(map), 9);

    // A second frame in the same tick takes no step.
    update_battle_music();
    EXPECT_EQ(volume_of(battle), 1);

    for (int tick = 2; tick <= 12; ++tick) {
        next_tick();
        EXPECT_EQ(volume_of(battle), std::min(tick, 10)) << tick;
        EXPECT_EQ(volume_of(map), std::max(10 - tick, 1)) << tick;
    }
    EXPECT_EQ(g_music.battle_fade, k_fade_steady);
    EXPECT_EQ(g_music.map_fade, k_fade_steady);
    EXPECT_TRUE(audio_channel_is_active(map));  // on at volume 1 through the fight
    EXPECT_EQ(g_music.battle_stream, battle);   // the track goes on while the fight lasts

    g_in_combat = 0;
    for (int tick = 1; tick <= 8; ++tick) {
        next_tick();
        EXPECT_EQ(volume_of(battle), 10 - tick) << tick;
        EXPECT_EQ(volume_of(map), 1 + tick) << tick;
    }
    next_tick();  // below 2: the battle track ends
    EXPECT_EQ(g_music.battle_stream, 0u);
    EXPECT_EQ(g_music.battle_fade, k_fade_off);
    EXPECT_FALSE(audio_channel_is_active(battle));
    EXPECT_EQ(volume_of(map), 10);
    EXPECT_EQ(g_music.map_fade, k_fade_steady);
}

TEST_F(sound_test, AFightEndingDuringTheFadeInFadesOutFromTheVolumeReached)
{
    write_battle_tracks();
    g_in_combat = 1;
    for (int tick = 0; tick < 4; ++tick)
        next_tick();
    uint32_t battle = g_music.battle_stream;
    ASSERT_EQ(volume_of(battle), 4);
    EXPECT_EQ(g_music.map_fade, k_fade_off);  // no map music, nothing to fade

    g_in_combat = 0;
    next_tick();
    EXPECT_EQ(volume_of(battle), 3);
    next_tick();
    next_tick();
    EXPECT_EQ(g_music.battle_stream, 0u);

    // With a music volume of 0 the fade in ends at once.
    g_settings.snd_musicvolume = 0;
    g_in_combat = 1;
    next_tick();
    ASSERT_NE(g_music.battle_stream, 0u);
    EXPECT_EQ(g_music.battle_fade, k_fade_steady);
    EXPECT_EQ(volume_of(g_music.battle_stream), 0);
}

TEST_F(sound_test, AMissingOrBrokenBattleTrackIsDrawnAgainAtTheNextTick)
{
    write_music("data/music/battle7.ogg");
    write_text("data/music/battle3.ogg", "OggS and then nothing");
    // A seed whose draws give the broken track before the good one.
    uint32_t seed = 0;
    size_t first = 0;
    for (bool found = false; !found;) {
        game_srand(++seed);
        bool broken_drawn = false;
        for (first = 0; first < 40; ++first) {
            int n = game_rand() % 9 + 1;
            broken_drawn = broken_drawn || n == 3;
            if (n == 7)
                break;
        }
        found = broken_drawn && first < 40;
    }
    game_srand(seed);

    g_in_combat = 1;
    for (size_t tick = 0; tick < first; ++tick) {
        next_tick();
        EXPECT_EQ(g_music.battle_stream, 0u);
        EXPECT_EQ(g_music.battle_fade, k_fade_off);
    }
    next_tick();
    ASSERT_NE(g_music.battle_stream, 0u);
    EXPECT_STREQ(g_music.battle_name, "data/music/battle7.ogg");
    EXPECT_NE(std::string(g_console_history[0]).find("data/music/battle3.ogg: poskodeny subor"),
              std::string::npos);
}

TEST_F(sound_test, NothingHappensWhileSoundIsOff)
{
    write_tone("data/sound/tone.wav", 100);
    write_battle_tracks();
    int32_t slot = load_sound("tone");
    g_sound_enabled = 0;
    EXPECT_EQ(load_sound("tone"), -1);
    EXPECT_EQ(play_sound_at(slot, k_centre_x, k_centre_y), -1);
    g_in_combat = 1;
    next_tick();
    EXPECT_EQ(g_music.battle_stream, 0u);
    play_voice("data/music/battle1.ogg");
    EXPECT_STREQ(g_sound.voice_name, "");
    release_sound(slot);
    EXPECT_EQ(g_sound.loaded[slot], 1);
}
