// Start-up loads the environment's templates, dream textures and footstep sounds from the demo
// data; the frame and the fades run its updates in their places.
#include "shell/shell_fixture.h"

#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/sound.h"
#include "shell/fades.h"
#include "shell/program.h"
#include "world/blood.h"
#include "world/camera_shake.h"
#include "world/dream_world.h"
#include "world/footsteps.h"
#include "world/scene_header.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

size_t position_of(const std::vector<std::string>& trace, const std::string& step)
{
    return size_t(std::find(trace.begin(), trace.end(), step) - trace.begin());
}

TEST_F(shell_test, StartUpLoadsTheEnvironmentAndTheFrameUpdatesIt)
{
    std::vector<std::string> trace;
    g_shell_trace = &trace;
    ASSERT_TRUE(program_startup("zorv"));

    for (int16_t slot : {g_rain.template_slot, g_snow.template_slot, g_fog.template_slot, g_blood.blood[0],
                         g_blood.bleed[0], g_water_circle.template_slot})
        EXPECT_GE(slot, 1000);
    EXPECT_EQ(g_blood.blood[1], -1);
    for (uint16_t texture : g_dream_world.textures)
        EXPECT_NE(texture, 0xFFFF);
    if (g_sound_enabled) {
        EXPECT_NE(g_footstep_sounds.sounds[8][5], 0xFFFF);  // "footstep/FSIce6"
    }
    EXPECT_EQ(g_dream_world.active, 1u);  // the front end's menu level shows the dream world
    EXPECT_STREQ(g_sound.voice_name, "");  // entered silently
    EXPECT_EQ(g_object_links.offer_weather_member, offer_weather_member);
    EXPECT_NE(g_object_links.dream_alpha, nullptr);

    // A weather roll that must bring rain: its emitters are adopted by the next object pass.
    g_scene_header.rain_chance = 100;
    g_scene_header.rain_duration = 50;
    start_camera_shake(&g_camera_shake, 2.0f, 2.0f, 0);
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_scene_header.weather, k_weather_rain);
    EXPECT_EQ(g_rain.member_count, 32);
    EXPECT_EQ(g_camera_shake.active, 0u);

    size_t weather = position_of(trace, "update_weather");
    const char* order[] = {"update_rain", "update_snow", "update_fog", "update_lightning", "expire_camera_shake",
                           "begin_scene"};
    for (const char* step : order) {
        size_t at = position_of(trace, step);
        EXPECT_LT(weather, at) << step;
        weather = at;
    }

    fade_to_black();
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "rain_and_lightning (pending)"), 0);
    EXPECT_GT(std::count(trace.begin(), trace.end(), "dream_world"), 0);
    g_quit = 1;
    program_shutdown(true);
}

} // namespace
