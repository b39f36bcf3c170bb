#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "editor/editor_state.h"
#include "engine/packed_stream.h"
#include "engine/sound.h"
#include "interface/interface_state.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/recording_device.h"
#include "script/script_services.h"
#include "shell/device_setup.h"
#include "support/section_files.h"
#include "support/saved_globals.h"
#include "world/daylight_guard.h"
#include "world/game_clock.h"
#include "world/scene_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct placed_hero {
    float x = -1, y = -1;
    int16_t facing = -2;
    int calls = 0;
};
placed_hero g_placed;
bool g_hero_alive = true;

class scene : public ::testing::Test {
protected:
    void SetUp() override
    {
        kept_.keep(g_scene_header, g_screen_width, g_screen_height, g_zoom, g_zoom_target, g_camera_x, g_camera_y);
        kept_.keep(g_camera_clamp_x, g_camera_clamp_y, g_editor_enabled, g_work_mode, g_ticks, g_game_clock);
        kept_.keep(g_scene_start_suppressed, g_ambient_color, g_in_combat, g_combat_list);
        std::memset(&g_scene_header, 0, sizeof g_scene_header);
        reset_scene_header(&g_scene_header);
        g_placed = {};
        g_hero_alive = true;
        g_scene_hero = {};
        g_scene_hero.player_slot = [] { return int16_t(2); };
        g_scene_hero.player_alive = [] { return g_hero_alive; };
        g_scene_hero.put_player = [](float x, float y, int16_t facing) {
            g_placed = {x, y, facing, g_placed.calls + 1};
        };
        g_scene_hero.player_position = [](float* x, float* y, int16_t* facing) {
            *x = 500.0f;
            *y = 600.0f;
            *facing = 45;
            return true;
        };
        g_screen_width = 1024;
        g_screen_height = 768;
        g_zoom = 1.0f;
        g_editor_enabled = 0;
        g_work_mode = k_work_play;
        g_ticks = 5000;
        g_scene_start_suppressed = 0;
        g_d3d_device = &device;
    }
    void TearDown() override
    {
        g_d3d_device = nullptr;
        g_scene_hero = {};
        kept_.restore();
    }

    // The present header as a section stored with stored_size bytes: cut, or padded with 0xEE.
    static void header_section(uint32_t stored_size, std::vector<uint8_t>& file)
    {
        packed_stream* out = stream_open("full.tmp", "w");
        ASSERT_TRUE(write_scene_header(out));
        ASSERT_EQ(stream_close(out), 0);
        file = read_bytes("full.tmp");
        for (int i = 0; i < 4; ++i)
            file[size_t(i)] = uint8_t(stored_size >> (8 * i));
        file.resize(4 + std::min<uint32_t>(stored_size, 400));
        file.resize(4 + stored_size, 0xEE);
    }

    void roll(int value)
    {
        for (uint32_t seed = 0;; ++seed) {
            game_srand(seed);
            if (game_rand() % 100 == value) {
                game_srand(seed);
                return;
            }
        }
    }

    recording_device device{1024, 768};
    temp_folder folder;
    daylight_guard daylight;

    saved_globals kept_;  // the camera, the screen and the run state a placement changes
};

} // namespace

TEST_F(scene, ResetGivesANewMap)
{
    g_scene_header.entry_count = 3;
    g_scene_header.level_type = 2;
    g_scene_header.reserved140[1] = 9;
    reset_scene_header(&g_scene_header);
    EXPECT_EQ(g_scene_header.entry_count, 0);
    EXPECT_EQ(g_scene_header.camera_min_x, -100000.0f);
    EXPECT_EQ(g_scene_header.camera_max_y, 100000.0f);
    EXPECT_EQ(g_scene_header.level_type, 0);
    EXPECT_EQ(g_scene_header.light_green, 1.0f);
    EXPECT_EQ(g_scene_header.scale, 1.0f);
    EXPECT_EQ(g_scene_header.reserved140[1], 0u);
    EXPECT_STREQ(g_scene_header.display_name, "new map");
}

TEST_F(scene, TheSectionRoundTripsAndSetsTheRunTimeFields)
{
    g_scene_header.entry_count = 2;
    g_scene_header.entry_x[1] = 42.5f;
    g_scene_header.entry_angle[1] = 270;
    g_scene_header.level_type = 1;
    g_scene_header.fog_duration = 12;
    g_scene_header.reserved148 = 77;
    g_scene_header.followed_char = 9;
    std::strcpy(g_scene_header.music_name, "dungeon");
    scene_header saved = g_scene_header;
    ASSERT_TRUE(write_section(write_scene_header));

    reset_scene_header(&g_scene_header);
    ASSERT_TRUE(read_section(read_scene_header));
    EXPECT_EQ(g_scene_header.followed_char, 2);  // the player
    EXPECT_EQ(g_scene_header.reserved148, 0u);
    saved.followed_char = 2;
    saved.reserved148 = 0;
    EXPECT_EQ(std::memcmp(&saved, &g_scene_header, sizeof saved), 0);
}

TEST_F(scene, StoredSizesAndEntryCountsAreHeldToTheRecord)
{
    // A longer record: its first 400 bytes are read and the rest skipped.
    g_scene_header.entry_count = 200;
    g_scene_header.scale = 2.0f;
    std::vector<uint8_t> section;
    header_section(450, section);
    reset_scene_header(&g_scene_header);
    raw_read got = read_raw_section(section, read_scene_header);
    ASSERT_TRUE(got.complete);
    EXPECT_TRUE(got.aligned);
    EXPECT_EQ(g_scene_header.entry_count, 8);
    EXPECT_EQ(g_scene_header.scale, 2.0f);

    // A shorter record fills the start of the header; the rest keeps its values.
    g_scene_header.scale = 3.0f;
    header_section(100, section);
    g_scene_header.scale = 5.0f;
    g_scene_header.entry_x[0] = -1.0f;
    ASSERT_TRUE(read_last_section(section, read_scene_header));
    EXPECT_EQ(g_scene_header.scale, 5.0f);
    EXPECT_EQ(g_scene_header.entry_x[0], 0.0f);

    // Without a size the header stays, with no entry points; the attackers are reassigned all the
    // same.
    static int reassigned = 0;
    reassigned = 0;
    g_scene_hero.reassign_attackers = [] { ++reassigned; };
    EXPECT_FALSE(read_last_section({1, 2}, read_scene_header));
    EXPECT_EQ(reassigned, 1);
    EXPECT_EQ(g_scene_header.entry_count, 0);
    EXPECT_EQ(g_scene_header.scale, 5.0f);
    EXPECT_FALSE(read_scene_header(nullptr));
}

TEST_F(scene, OneWeatherRollServesRisingThresholds)
{
    g_scene_header.rain_chance = 30;
    g_scene_header.snow_chance = 50;
    g_scene_header.fog_chance = 0;
    g_scene_header.snow_duration = 7;
    roll(40);
    update_weather(&g_scene_header);
    EXPECT_EQ(g_scene_header.weather, k_weather_snow);
    EXPECT_EQ(g_scene_header.next_weather_tick, 5000u + 700u);

    update_weather(&g_scene_header);  // not due yet
    EXPECT_EQ(g_scene_header.weather, k_weather_snow);

    g_ticks = 5700;
    roll(60);
    update_weather(&g_scene_header);
    EXPECT_EQ(g_scene_header.weather, k_weather_none);
    EXPECT_EQ(g_scene_header.next_weather_tick, 6700u);

    g_ticks = 7000;
    g_editor_enabled = 1;
    update_weather(&g_scene_header);
    EXPECT_EQ(g_scene_header.next_weather_tick, 6700u);
}

TEST_F(scene, TheAmbientLightFollowsTheLevelTypeAndThePlayersLife)
{
    g_scene_header.light_red = 0.25f;
    g_scene_header.light_green = 0.5f;
    g_scene_header.light_blue = 0.75f;
    g_scene_header.level_type = k_level_inside;
    apply_ambient_light(&g_scene_header);
    EXPECT_EQ(g_ambient_color.green, 0.5f);
    EXPECT_EQ(device.get_render_state(render_state::ambient), 0xFF3F7FBFu);

    g_hero_alive = false;
    for (uint8_t type : {k_level_outside, k_level_inside}) {
        g_scene_header.level_type = type;
        apply_ambient_light(&g_scene_header);
        EXPECT_EQ(g_ambient_color.red, 1.0f);
        EXPECT_EQ(g_ambient_color.green, 0.0f);
        EXPECT_EQ(device.get_render_state(render_state::ambient), 0xFFFF0000u);
    }
    g_scene_header.level_type = k_level_gui;
    apply_ambient_light(&g_scene_header);
    EXPECT_EQ(g_ambient_color.blue, 0.75f);

    g_hero_alive = true;
    g_scene_header.level_type = k_level_outside;
    init_game_clock(&g_game_clock);
    g_game_clock.hour = 22;
    apply_ambient_light(&g_scene_header);
    EXPECT_EQ(g_ambient_color.red, 0.2f);
    EXPECT_EQ(g_ambient_color.blue, 0.5f);
}

TEST_F(scene, PlacingTheHeroCentresAndClampsTheCamera)
{
    g_scene_header.entry_count = 1;
    g_scene_header.entry_x[0] = 1000.0f;
    g_scene_header.entry_y[0] = 2000.0f;
    g_scene_header.entry_angle[0] = 90;
    g_scene_header.followed_char = 0;
    g_zoom = 2.0f;
    place_hero_at_entry(&g_scene_header, 0);
    EXPECT_EQ(g_placed.x, 1000.0f);
    EXPECT_EQ(g_placed.facing, 90);
    EXPECT_EQ(g_camera_x, 1000.0f - 256.0f);
    EXPECT_EQ(g_camera_y, 2000.0f - 192.0f);
    EXPECT_EQ(g_camera_clamp_x, 0u);
    EXPECT_EQ(g_scene_header.followed_char, 2);

    place_hero_at_entry(&g_scene_header, -1);  // the stored position
    EXPECT_EQ(g_placed.y, 600.0f);
    EXPECT_EQ(g_placed.facing, 45);

    g_zoom = 1.0f;
    place_hero_at_entry(&g_scene_header, 1);  // equal to the entry count: (0, 0)
    EXPECT_EQ(g_placed.x, 0.0f);
    EXPECT_EQ(g_placed.y, 0.0f);
    EXPECT_EQ(g_placed.facing, -1);
    EXPECT_EQ(g_camera_x, -512.0f);
    EXPECT_EQ(g_camera_y, -384.0f);

    // Bounds smaller than the view: the maximum clamps first, the minimum wins.
    g_scene_header.entry_y[0] = 4800.0f;
    g_scene_header.camera_min_x = 0.0f;
    g_scene_header.camera_max_x = 600.0f;
    g_scene_header.camera_min_y = 100.0f;
    g_scene_header.camera_max_y = 5000.0f;
    place_hero_at_entry(&g_scene_header, 0);
    EXPECT_EQ(g_camera_x, 0.0f);
    EXPECT_EQ(g_camera_y, 5000.0f - 768.0f);
    EXPECT_EQ(g_camera_clamp_x, 1u);
    EXPECT_EQ(g_camera_clamp_y, 1u);
    g_scene_header.camera_max_y = 100000.0f;
    place_hero_at_entry(&g_scene_header, 0);
    EXPECT_EQ(g_camera_clamp_y, 0u);
}

TEST_F(scene, EntryPointsAreAddedUpToEightAndRemovedInOrder)
{
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(add_entry_point(&g_scene_header));
    EXPECT_FALSE(add_entry_point(&g_scene_header));
    EXPECT_EQ(g_scene_header.entry_count, 8);
    EXPECT_EQ(g_scene_header.entry_angle[7], 45);
    g_scene_header.entry_x[2] = 2.0f;
    g_scene_header.entry_x[3] = 3.0f;
    remove_entry_point(&g_scene_header, 2);
    EXPECT_EQ(g_scene_header.entry_count, 7);
    EXPECT_EQ(g_scene_header.entry_x[2], 3.0f);
    remove_entry_point(&g_scene_header, 7);
    remove_entry_point(&g_scene_header, -1);
    EXPECT_EQ(g_scene_header.entry_count, 7);

    g_scene_hero = {};
    EXPECT_FALSE(add_entry_point(&g_scene_header));  // no hero to take the position from
}

TEST_F(scene, TheSceneStartResetsZoomWeatherTheCombatListAndTheFixedLight)
{
    saved_globals kept;
    kept.keep(g_combat_list), kept.keep(g_in_combat);
    std::fill(std::begin(g_combat_list), std::end(g_combat_list), int16_t(5));
    g_in_combat = 8;
    g_scene_header.level_type = k_level_inside;
    g_scene_header.light_red = 0.5f;
    g_scene_header.weather = k_weather_fog;
    g_scene_header.next_weather_tick = 99999;
    g_scene_header.reserved148 = 4;
    g_scene_header.followed_char = 7;
    std::memset(g_scene_header.music_name, 'a', sizeof g_scene_header.music_name);  // no terminator
    g_zoom = 1.7f;

    g_scene_start_suppressed = 1;
    play_scene_music(&g_scene_header);
    EXPECT_EQ(g_zoom, 1.7f);
    EXPECT_EQ(g_combat_list[7], 5);

    g_scene_start_suppressed = 0;
    g_screen_width = 800;
    play_scene_music(&g_scene_header);
    EXPECT_EQ(g_zoom, 800.0f / 1024.0f);
    EXPECT_EQ(g_zoom_target, g_zoom);
    EXPECT_EQ(g_scene_header.weather, k_weather_none);
    EXPECT_EQ(g_scene_header.next_weather_tick, 0u);
    EXPECT_EQ(g_scene_header.reserved148, 0u);
    EXPECT_EQ(g_scene_header.followed_char, 2);
    for (int16_t slot : g_combat_list)
        EXPECT_EQ(slot, -1);
    EXPECT_EQ(g_in_combat, 0);
    EXPECT_EQ(g_ambient_color.red, 0.5f);
}

TEST_F(scene, TheSceneStartPlaysTheLevelsMusicAndTheEndStopsIt)
{
    temp_folder folder;
    ASSERT_TRUE(make_folder("data/music"));
    std::vector<int16_t> tone(2 * 4410);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = int16_t((i / 2) % 50 * 200);
    ASSERT_TRUE(write_ogg_file("data/music/town.ogg", tone.data(), 2, 44100, tone.size() / 2, 0.4f));
    audio_init_headless(44100);
    g_sound_enabled = 1;
    music_init();

    std::strcpy(g_scene_header.music_name, "town");
    play_scene_music(&g_scene_header);
    EXPECT_NE(g_music.map_stream, 0u);
    EXPECT_STREQ(g_music.map_name, "data/music/town.ogg");
    stop_scene_music();
    EXPECT_EQ(g_music.map_stream, 0u);

    // A level whose music file is missing starts none.
    std::strcpy(g_scene_header.music_name, "none");
    play_scene_music(&g_scene_header);
    EXPECT_EQ(g_music.map_stream, 0u);

    g_sound_enabled = 0;
    audio_shutdown();
}
