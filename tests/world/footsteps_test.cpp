// Footsteps by ground type, and the camera shake.
#include "world/environment_fixture.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "editor/editor_state.h"
#include "engine/sound.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "world/camera_shake.h"
#include "world/footsteps.h"
#include "world/scene_header.h"
#include "world/sectors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A closed square sector with the ground type as its parameter.
void make_square(int32_t n, float x0, float y0, float x1, float y1, int32_t ground)
{
    map_sector& s = g_sectors[n];
    begin_sector(&s, 0, x0, y0);
    add_sector_point(&s, x1, y0);
    add_sector_point(&s, x1, y1);
    add_sector_point(&s, x0, y1);
    add_sector_point(&s, x0, y0);
    s.parameter = ground;
    g_sector_count = int16_t(std::max<int32_t>(g_sector_count, n + 1));
}

class footsteps_test : public environment_test {
protected:
    void SetUp() override
    {
        environment_test::SetUp();
        make_folder("data/sound/footstep");
        std::vector<int16_t> pcm(400, 1000);
        for (const char* name : {"grass", "stone", "Water"})
            for (int v = 1; v <= 6; ++v)
                ASSERT_TRUE(write_wav_file(("data/sound/footstep/FS" + std::string(name) + std::to_string(v) + ".wav").c_str(),
                                           pcm.data(), 1, 22050, pcm.size()));
        load_footstep_sounds(&g_footstep_sounds);
        g_work_mode = k_work_play;
        g_camera_x = g_camera_y = 0.0f;
    }

    // The ground whose sounds hold the slot of the last sound played, -1 when none played.
    static int ground_of_last_sound()
    {
        if (g_sound.playing_count == 0)
            return -1;
        uint32_t slot = g_sound.playing_slot[g_sound.playing_count - 1];
        for (int g = 0; g < k_ground_types; ++g)
            for (int v = 0; v < k_footstep_variants; ++v)
                if (g_footstep_sounds.sounds[g][v] == slot)
                    return g;
        return -2;
    }
};

TEST_F(footsteps_test, LoadingLogsEveryNameAndLeavesMissingSoundsEmpty)
{
    std::string log = log_text();
    EXPECT_NE(log.find("footstep/FSDirt1\n"), std::string::npos);
    EXPECT_NE(log.find("footstep/FSIce6\n"), std::string::npos);
    EXPECT_EQ(g_footstep_sounds.sounds[0][0], 0xFFFF);  // no dirt files
    for (int v = 0; v < k_footstep_variants; ++v)
        EXPECT_NE(g_footstep_sounds.sounds[2][v], 0xFFFF);  // grass
    EXPECT_EQ(g_footstep_sounds.sounds[2][6], 0xFFFF);  // the row's spare slots
}

TEST_F(footsteps_test, TheLaterOfTwoCoveringSectorsGivesTheGround)
{
    g_scene_header.ground_type = 2;
    EXPECT_EQ(footstep_ground(50.0f, 50.0f), 2);  // no sector: the level's default
    make_square(0, 0, 0, 100, 100, 4);
    make_square(3, 40, 40, 200, 200, 6);
    make_square(5, 0, 0, 300, 300, -1);  // no ground of its own
    EXPECT_EQ(footstep_ground(20.0f, 20.0f), 4);
    EXPECT_EQ(footstep_ground(60.0f, 60.0f), 6);
    EXPECT_EQ(footstep_ground(150.0f, 150.0f), 6);
    EXPECT_EQ(footstep_ground(250.0f, 250.0f), 2);

    // A freed slot below the count keeps its outline and ground, but is no sector.
    make_square(6, 0, 0, 300, 300, 7);
    g_sectors[6].active = 0;
    EXPECT_EQ(footstep_ground(250.0f, 250.0f), 2);
    EXPECT_EQ(footstep_ground(20.0f, 20.0f), 4);
}

TEST_F(footsteps_test, AStepPlaysASoundOfTheGroundAtTheCharacter)
{
    g_scene_header.ground_type = 2;
    make_square(0, 0, 0, 100, 100, 4);
    make_square(1, 40, 40, 200, 200, 6);
    place_hero(512.0f, 384.0f, 0);
    play_footstep(&g_footstep_sounds, 0);
    EXPECT_EQ(ground_of_last_sound(), 2);
    silence_all_sounds();
    g_objects[s_hero_object].x = g_objects[s_hero_object].y = 60.0f;
    g_camera_x = 60.0f - 512.0f;  // the step at the view centre, well within hearing
    g_camera_y = 60.0f - 384.0f;
    play_footstep(&g_footstep_sounds, 0);
    EXPECT_EQ(ground_of_last_sound(), 6);
    silence_all_sounds();

    // Nothing for a dead character, one without a world object, outside play, a ground without
    // sounds, or a ground number outside the nine types.
    s_hero_life = 1;
    play_footstep(&g_footstep_sounds, 0);
    s_hero_life = 2;
    play_footstep(&g_footstep_sounds, 1);
    g_work_mode = k_work_insert;
    play_footstep(&g_footstep_sounds, 0);
    g_work_mode = k_work_play;
    g_sectors[1].parameter = 0;  // dirt has no sounds
    play_footstep(&g_footstep_sounds, 0);
    for (int32_t ground : {9, 57, -3}) {
        g_sectors[1].parameter = ground;
        play_footstep(&g_footstep_sounds, 0);
    }
    EXPECT_EQ(g_sound.playing_count, 0u);
}

TEST_F(footsteps_test, TheCameraShakesWithinItsAmplitudesUntilItsEnd)
{
    g_ticks = 1000;
    start_camera_shake(&g_camera_shake, 4.0f, 2.0f, 400);
    EXPECT_EQ(g_camera_shake.active, 1u);
    EXPECT_EQ(g_camera_shake.end_tick, 1400u);
    bool moved = false;
    for (int i = 0; i < 50; ++i) {
        g_camera_x = g_camera_y = 100.0f;
        apply_camera_shake(&g_camera_shake);
        EXPECT_LE(std::fabs(g_camera_x - 100.0f), 4.0f);
        EXPECT_LE(std::fabs(g_camera_y - 100.0f), 2.0f);
        moved = moved || g_camera_x != 100.0f;
    }
    EXPECT_TRUE(moved);

    // A shake of 400 ticks runs from tick 1000 to 1399 and ends at its end tick.
    g_ticks = 1399;
    expire_camera_shake(&g_camera_shake);
    EXPECT_EQ(g_camera_shake.active, 1u);
    g_ticks = 1400;
    expire_camera_shake(&g_camera_shake);
    EXPECT_EQ(g_camera_shake.active, 0u);
    g_camera_x = 100.0f;
    apply_camera_shake(&g_camera_shake);
    EXPECT_EQ(g_camera_x, 100.0f);

    start_camera_shake(&g_camera_shake, 1.0f, 1.0f, 10);
    stop_camera_shake(&g_camera_shake);
    EXPECT_EQ(g_camera_shake.active, 0u);
    reset_camera_shake(&g_camera_shake);
    EXPECT_EQ(g_camera_shake.end_tick, 0u);
}

} // namespace
