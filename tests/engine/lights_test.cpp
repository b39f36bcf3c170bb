#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/lights.h"
#include "engine/packed_stream.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "support/section_files.h"
#include "tests/engine/overlay_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class lights : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(g_lights, 0, sizeof g_lights);
        g_light_count = 0;
        g_ticks = 0;
        g_zoom = 1.0f;
        g_camera_x = 0.0f;
        g_camera_y = 0.0f;
        g_screen_width = 1024;
        g_screen_height = 768;
        g_d3d_device = &device;
    }
    void TearDown() override { g_d3d_device = nullptr; }

    // Runs the per-frame pass once per tick until the light is free; returns the ticks taken.
    int ticks_until_free(int slot)
    {
        int ticks = 0;
        while (g_lights[slot].state != k_light_free && ticks < 1000) {
            ++g_ticks;
            ++ticks;
            apply_lights();
        }
        return ticks;
    }

    recording_device device{1024, 768};
    temp_folder folder;
};

} // namespace

TEST_F(lights, AFreedSlotBelowTheCountIsReusedFirstAndIsTheDeviceIndex)
{
    EXPECT_EQ(create_light(k_light_kind_point, 0, 0, 10, 1, 1, 1), 0);
    EXPECT_EQ(create_light(k_light_kind_point, 0, 0, 10, 1, 1, 1), 1);
    EXPECT_EQ(create_light(k_light_kind_spot, 0, 0, 10, 1, 1, 1), 2);
    light_switch_off(&g_lights[1]);
    device.light_enable(1, false);

    int32_t slot = create_light(k_light_kind_point, 40, 50, 7, 0.5f, 0.25f, 1);
    EXPECT_EQ(slot, 1);
    EXPECT_EQ(g_light_count, 3);
    EXPECT_TRUE(device.is_light_enabled(1));
    device_light on_device{};
    ASSERT_TRUE(device.get_light(1, on_device));
    EXPECT_EQ(on_device.range, 10.0f);
    EXPECT_EQ(on_device.attenuation0, 1.0f);
    EXPECT_EQ(on_device.type, k_light_point);

    while (g_light_count < k_light_slots)
        ASSERT_GE(create_light(k_light_kind_point, 0, 0, 0, 1, 1, 1), 0);
    EXPECT_EQ(create_light(k_light_kind_point, 0, 0, 0, 1, 1, 1), -1);
}

TEST_F(lights, ASpotLightStartsWithItsConesAndATargetToTheRight)
{
    light_record light{};
    light_init(&light, k_light_kind_spot, 100, 200, 30, 55);
    EXPECT_EQ(light.state, k_light_on);
    EXPECT_EQ(light.device.type, k_light_spot);
    EXPECT_EQ(light.device.falloff, 1.0f);
    EXPECT_EQ(light.theta, 1.0f);
    EXPECT_EQ(light.device.phi, 2.0f);
    EXPECT_EQ(light.target_x, 120.0f);
    EXPECT_EQ(light.target_y, 200.0f);
    EXPECT_EQ(light.device.direction.x, 120.0f);
    EXPECT_EQ(light.device.range, 55.0f);
}

TEST_F(lights, TheDevicePartFollowsCameraZoomAndScreen)
{
    int32_t slot = create_light(k_light_kind_spot, 612, 484, 25, 0.5f, 0.25f, 0.1f);
    light_record& light = g_lights[slot];
    light.range = 300.0f;
    g_camera_x = 100.0f;
    g_camera_y = 100.0f;
    apply_lights();
    // (612 - 100, 484 - 100) is the centre of a 1024 x 768 screen at zoom 1.
    EXPECT_FLOAT_EQ(light.device.position.x, 0.0f);
    EXPECT_FLOAT_EQ(light.device.position.y, 0.0f);
    EXPECT_EQ(light.device.position.z, 25.0f);
    EXPECT_FLOAT_EQ(light.device.range, 300.0f);
    EXPECT_FLOAT_EQ(light.device.direction.x, 20.0f / (1024.0f / 640.0f * 50.7f));
    EXPECT_EQ(light.device.direction.z, 25.0f);
    EXPECT_FLOAT_EQ(light.device.diffuse.r, 0.5f);
    device_light on_device{};
    ASSERT_TRUE(device.get_light(uint32_t(slot), on_device));
    EXPECT_EQ(std::memcmp(&on_device, &light.device, sizeof on_device), 0);

    g_zoom = 1.4f;
    apply_lights();
    EXPECT_NEAR(light.device.range, 300.0f / 0.66f, 1e-3);
    EXPECT_FLOAT_EQ(light.device.diffuse.g, 0.25f * 1.4f);

    g_zoom = 1.0f;
    g_screen_width = 800;
    apply_lights();
    EXPECT_FLOAT_EQ(light.device.diffuse.r, 0.75f);
    g_screen_width = 640;
    apply_lights();
    EXPECT_FLOAT_EQ(light.device.diffuse.r, 1.0f);
}

TEST_F(lights, AFadeStepsAtMostEveryThreeTicksAndFreesTheSlot)
{
    int32_t slot = create_light(k_light_kind_point, 0, 0, 0, 1.0f, 0.03f, 0.0f);
    light_fade_out(&g_lights[slot]);
    ++g_ticks;
    apply_lights();
    EXPECT_FLOAT_EQ(g_lights[slot].g, -0.02f);  // lowered once more while above 0
    EXPECT_EQ(g_lights[slot].b, 0.0f);           // channels at 0 stay
    EXPECT_EQ(g_lights[slot].next_fade_tick, 3u);
    g_ticks = 3;
    apply_lights();  // equal is not enough
    EXPECT_FLOAT_EQ(g_lights[slot].r, 0.95f);

    int ticks = ticks_until_free(slot);
    EXPECT_NEAR(ticks + 3, 60, 3);  // 20 steps from full colour, about 0.96 s
    EXPECT_FALSE(device.is_light_enabled(uint32_t(slot)));

    int32_t black = create_light(k_light_kind_point, 0, 0, 0, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(black, slot);
    light_fade_out(&g_lights[black]);
    EXPECT_EQ(ticks_until_free(black), 1);
}

TEST_F(lights, RaisingAndLoweringMovesEveryLitLightOnTheDevice)
{
    int32_t point = create_light(k_light_kind_point, 0, 0, 10, 1, 1, 1);
    int32_t spot = create_light(k_light_kind_spot, 0, 0, 10, 1, 1, 1);
    int32_t off = create_light(k_light_kind_point, 0, 0, 10, 1, 1, 1);
    light_switch_off(&g_lights[off]);
    raise_lights_z(30.0f, 2.0f);
    EXPECT_EQ(g_lights[point].device.position.z, 25.0f);
    EXPECT_EQ(g_lights[spot].device.direction.z, 25.0f);
    EXPECT_EQ(g_lights[off].device.position.z, 10.0f);
    device_light on_device{};
    ASSERT_TRUE(device.get_light(uint32_t(spot), on_device));
    EXPECT_EQ(on_device.position.z, 25.0f);
    lower_lights_z(30.0f, 2.0f);
    EXPECT_EQ(g_lights[point].device.position.z, 10.0f);
}

TEST_F(lights, TheTableRoundTripsAndLitLightsComeBackOn)
{
    create_light(k_light_kind_point, 1, 2, 3, 0.1f, 0.2f, 0.3f);
    int32_t spot = create_light(k_light_kind_spot, 10, 20, 30, 1, 1, 1);
    g_lights[spot].target_x = -5.0f;
    g_lights[spot].theta = 0.25f;
    g_lights[spot].next_fade_tick = 999;
    int32_t fading = create_light(k_light_kind_point, 0, 0, 0, 1, 1, 1);
    light_fade_out(&g_lights[fading]);

    packed_stream* out = stream_open("lights.dat", "w");
    ASSERT_TRUE(write_lights(out));
    ASSERT_EQ(stream_close(out), 0);
    EXPECT_EQ(read_bytes("lights.dat").size(), 4u + 100u * 180u);

    std::memset(g_lights, 0, sizeof g_lights);
    g_light_count = 0;
    create_light(k_light_kind_point, 0, 0, 0, 1, 1, 1);
    packed_stream* in = stream_open("lights.dat", "r");
    ASSERT_TRUE(read_lights(in));
    stream_close(in);

    EXPECT_EQ(g_light_count, 2);  // one past the highest light that is on
    EXPECT_EQ(g_lights[spot].target_x, -5.0f);
    EXPECT_EQ(g_lights[spot].theta, 0.25f);
    EXPECT_EQ(g_lights[spot].next_fade_tick, 0u);
    EXPECT_EQ(g_lights[0].b, 0.3f);
    EXPECT_EQ(g_lights[fading].state, k_light_fading);
    EXPECT_TRUE(device.is_light_enabled(uint32_t(spot)));
}

TEST_F(lights, ReadingATableSwitchesOffEveryLightItDoesNotTurnOn)
{
    create_light(k_light_kind_point, 0, 0, 0, 1, 1, 1);
    int32_t fading = create_light(k_light_kind_point, 0, 0, 0, 1, 1, 1);
    light_fade_out(&g_lights[fading]);
    apply_lights();
    ASSERT_TRUE(device.is_light_enabled(uint32_t(fading)));

    // The new level's table has no light at all.
    std::vector<uint8_t> file = {180, 0, 0, 0};
    file.resize(4 + 100 * 180, 0);
    EXPECT_TRUE(read_last_section(file, read_lights));
    EXPECT_EQ(g_light_count, 0);
    EXPECT_FALSE(device.is_light_enabled(0));
    EXPECT_FALSE(device.is_light_enabled(uint32_t(fading)));
}

TEST_F(lights, StoredRecordsOfOtherSizesAndCutTablesLoadWhatTheyHold)
{
    // Records stored with 120 bytes: each fills the start of its slot.
    std::vector<uint8_t> file = {120, 0, 0, 0};
    for (int i = 0; i < 100; ++i) {
        std::vector<uint8_t> record(120, 0);
        if (i == 4) {
            record[104] = k_light_on;
            float x = 77.0f;
            std::memcpy(&record[108], &x, 4);
        }
        file.insert(file.end(), record.begin(), record.end());
    }
    EXPECT_TRUE(read_last_section(file, read_lights));
    EXPECT_EQ(g_light_count, 5);
    EXPECT_EQ(g_lights[4].x, 77.0f);
    EXPECT_EQ(g_lights[4].kind, 0);

    // A table cut inside the sixth record keeps five records and frees the rest.
    file.assign({180, 0, 0, 0});
    for (int i = 0; i < 5; ++i) {
        std::vector<uint8_t> record(180, 0);
        record[104] = k_light_on;
        file.insert(file.end(), record.begin(), record.end());
    }
    file.resize(file.size() + 90, 1);
    EXPECT_FALSE(read_last_section(file, read_lights));
    EXPECT_EQ(g_light_count, 5);
    EXPECT_EQ(g_lights[5].state, k_light_free);

    // Without even the record size the table stays as it is.
    EXPECT_FALSE(read_last_section({1, 2}, read_lights));
    EXPECT_EQ(g_light_count, 5);
    EXPECT_FALSE(read_lights(nullptr));
}

namespace {

class light_markers : public overlay_test {
protected:
    void SetUp() override
    {
        overlay_test::SetUp();
        std::memset(g_lights, 0, sizeof g_lights);
        g_light_count = 0;
    }
    void TearDown() override
    {
        std::memset(g_lights, 0, sizeof g_lights);
        g_light_count = 0;
        overlay_test::TearDown();
    }
};

} // namespace

TEST_F(light_markers, LightModeMarksEachLitLightAndASpotLightsTarget)
{
    g_camera_x = g_camera_y = 50.0f;
    g_zoom = 2.0f;  // world (x, y) is pixel ((x - 50) × 2, (y - 50) × 2)
    create_light(k_light_kind_point, 100, 200, 10, 1, 1, 1);
    int32_t spot = create_light(k_light_kind_spot, 300, 100, 10, 1, 1, 1);  // target (320, 100)
    int32_t off = create_light(k_light_kind_point, 400, 400, 10, 1, 1, 1);
    light_switch_off(&g_lights[off]);
    g_work_mode = k_work_light;
    apply_lights();

    auto select = sprites_of(select_surface);
    ASSERT_EQ(select.size(), 2u);
    expect_pixel(select[0].centre(), 100, 300);
    expect_pixel(select[1].centre(), 500, 100);
    EXPECT_NEAR(select[0].width(), 8 * 1.5f * 2, 0.5f);  // 8 × 8 at scale 1.5, zoomed
    auto target = sprites_of(select3_surface);
    ASSERT_EQ(target.size(), 1u);
    expect_pixel(target[0].centre(), 540, 100);

    // A fading light keeps its marker while it fades.
    dev.clear_recording();
    light_fade_out(&g_lights[spot]);
    apply_lights();
    EXPECT_EQ(sprites_of(select_surface).size(), 2u);
    EXPECT_EQ(sprites_of(select3_surface).size(), 1u);
}

TEST_F(light_markers, NoOtherModeDrawsMarkers)
{
    create_light(k_light_kind_spot, 300, 100, 10, 1, 1, 1);
    for (uint32_t mode : {k_work_insert, k_work_select, k_work_sectors, k_work_play, k_work_characters,
                          k_work_ground_items, k_work_monster_points}) {
        g_work_mode = mode;
        apply_lights();
    }
    EXPECT_TRUE(boxes().empty());
}
