#include "shell/device_setup.h"
#include "platform/window_services.h"

#include "core/globals.h"
#include "core/settings.h"
#include "platform/files.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "shell/window.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

class DeviceSetup : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.keep(g_console_enabled), saved_.keep(g_editor_enabled), saved_.keep(g_settings);
        saved_.keep(g_screen_width), saved_.keep(g_screen_height), saved_.keep(g_windowed);
        saved_.keep(g_device_table), saved_.keep(g_view_matrix), saved_.keep(g_projection_matrix);
        saved_.keep(g_gamma_ramp), saved_.keep(g_d3d_device), saved_.keep(g_d3dx_context);
        folder_ = std::make_unique<temp_folder>();
        make_folder("global");
        g_console_enabled = 1;
        g_editor_enabled = 0;
        config_set_defaults(&g_settings);
        g_screen_width = 1024;
        g_screen_height = 768;
        render_use_recording(true);
        std::fill(std::begin(g_device_table), std::end(g_device_table), 0u);
    }

    void TearDown() override
    {
        render_fail_window_opens(0, {});
        render_use_recording(false);
        gamma_use_memory(false, false);
        saved_.restore();
        folder_.reset();
    }

    std::string log() { return read_text("global/konzola.log"); }

    saved_globals saved_;
    std::unique_ptr<temp_folder> folder_;
};

// A fake list of devices: `levels` gives each device's level, 0 for one that cannot be described.
std::vector<uint32_t> g_fake_levels;
bool describe_fake(int index, render_device_info& out)
{
    if (g_fake_levels[index] == 0)
        return false;
    out.level = g_fake_levels[index];
    out.max_lights = 8 + index;
    return true;
}

uint32_t choose(std::vector<uint32_t> levels, bool prefer_tl)
{
    g_fake_levels = std::move(levels);
    return choose_render_device(static_cast<int>(g_fake_levels.size()), describe_fake, prefer_tl);
}

TEST_F(DeviceSetup, DeviceChoiceLogsEveryDeviceAndPrefersEntryOne)
{
    EXPECT_EQ(choose({k_device_level_raster, k_device_level_raster}, false), 1u);
    EXPECT_EQ(g_device_table[1], 1u);
    EXPECT_EQ(log(), "num devices = 2\n"
                     "device 0: hwlevel -5 max lights 8\n"
                     "device 1: hwlevel -5 max lights 9\n"
                     "best device = 1\n");

    // One device: entry 1 is never filled and holds 0, so device 0 is used.
    std::fill(std::begin(g_device_table), std::end(g_device_table), 0u);
    EXPECT_EQ(choose({k_device_level_raster}, false), 1u);
    EXPECT_EQ(g_device_table[1], 0u);
}

TEST_F(DeviceSetup, TransformAndLightingDeviceWinsOnlyWhenAsked)
{
    EXPECT_EQ(choose({k_device_level_tl, k_device_level_raster, k_device_level_tl}, false), 1u);
    EXPECT_EQ(choose({k_device_level_tl, k_device_level_raster, k_device_level_tl}, true), 2u);
    // A device that cannot be described is skipped and not logged.
    write_text("global/konzola.log", "");
    EXPECT_EQ(choose({k_device_level_tl, 0}, true), 0u);
    EXPECT_EQ(log().find("device 1:"), std::string::npos);
    // Devices past the table's five entries are logged but neither stored nor chosen.
    g_device_table[4] = 0;
    EXPECT_EQ(choose({1, 1, 1, 1, 1, k_device_level_tl, k_device_level_tl}, true), 4u);
    EXPECT_EQ(g_device_table[4], 4u);
    EXPECT_NE(log().find("device 6: hwlevel -6 max lights 14"), std::string::npos);
}

TEST_F(DeviceSetup, ContextFollowsTheWindowSettings)
{
    g_settings.gr_runwindowed = 0;
    ASSERT_EQ(create_device_context(), 1);
    EXPECT_EQ(g_windowed, 0u);
    ASSERT_NE(g_d3d_device, nullptr);
    EXPECT_EQ(g_d3dx_context, g_d3d_device);
    EXPECT_EQ(g_d3d_device->width(), 1024u);
    EXPECT_EQ(g_d3d_device->height(), 768u);
    EXPECT_EQ(log(), "num devices = 1\n"
                     "device 0: hwlevel -6 max lights 100\n"
                     "best device = 1\n");

    // The editor's window covers the desktop, the view being a part of it.
    g_editor_enabled = 1;
    g_screen_width = 600;
    ASSERT_EQ(create_device_context(), 1);
    EXPECT_EQ(g_windowed, 1u);
    int32_t desktop_width = 0, desktop_height = 0;
    desktop_size(&desktop_width, &desktop_height);
    EXPECT_EQ(g_d3d_device->width(), uint32_t(desktop_width));
    EXPECT_EQ(g_d3d_device->height(), uint32_t(desktop_height));

    g_editor_enabled = 0;
    g_screen_width = 0; // no size: the reason is logged
    EXPECT_EQ(create_device_context(), -1);
    EXPECT_EQ(g_d3d_device, nullptr);
    EXPECT_NE(log().find("no display size\n"), std::string::npos);
}

// A window refused for a moment (a display that resets after its last client left) is tried
// again, each retry logged; one refused at every attempt ends the set-up with the reason.
TEST_F(DeviceSetup, AWindowRefusedForAMomentIsTriedAgain)
{
    render_fail_window_opens(2, "x11 not available");
    ASSERT_EQ(create_device_context(), 1);
    EXPECT_NE(g_d3d_device, nullptr);
    EXPECT_EQ(log(), "num devices = 1\n"
                     "device 0: hwlevel -6 max lights 100\n"
                     "best device = 1\n"
                     "okno sa neotvorilo (x11 not available), skusam znova o 100 ms\n"
                     "okno sa neotvorilo (x11 not available), skusam znova o 200 ms\n");

    render_fail_window_opens(k_window_attempts, "x11 not available");
    EXPECT_EQ(create_device_context(), -1);
    EXPECT_EQ(g_d3d_device, nullptr);
    EXPECT_STREQ(device_context_error(), "x11 not available");
    EXPECT_NE(log().find("skusam znova o 800 ms\nx11 not available\n"), std::string::npos);
}

TEST_F(DeviceSetup, RenderStatesAtStart)
{
    ASSERT_EQ(create_device_context(), 1);
    init_render_states();
    const render_device& d = *g_d3d_device;
    auto state = [&](render_state s) { return d.get_render_state(s); };
    auto stage = [&](texture_stage_state s) { return d.get_texture_stage_state(s); };
    EXPECT_EQ(state(render_state::lighting), 1u);
    EXPECT_EQ(state(render_state::ambient), 0x00FFFFFFu);
    EXPECT_EQ(state(render_state::z_enable), static_cast<uint32_t>(z_mode::on));
    EXPECT_EQ(state(render_state::shade_mode), static_cast<uint32_t>(shade_mode::gouraud));
    EXPECT_EQ(state(render_state::alpha_ref), 1u);
    EXPECT_EQ(state(render_state::alpha_test), 1u);
    EXPECT_EQ(state(render_state::alpha_func), static_cast<uint32_t>(compare_func::greater_equal));
    EXPECT_EQ(state(render_state::alpha_blend), 1u);
    EXPECT_EQ(state(render_state::src_blend), static_cast<uint32_t>(blend_factor::src_alpha));
    EXPECT_EQ(state(render_state::dest_blend), static_cast<uint32_t>(blend_factor::inv_src_alpha));
    EXPECT_EQ(state(render_state::cull_mode), static_cast<uint32_t>(cull_mode::counter_clockwise));
    EXPECT_EQ(state(render_state::dither), 1u);
    EXPECT_EQ(stage(texture_stage_state::colour_op), static_cast<uint32_t>(texture_op::modulate));
    EXPECT_EQ(stage(texture_stage_state::alpha_op), static_cast<uint32_t>(texture_op::modulate));
    EXPECT_EQ(stage(texture_stage_state::colour_arg1), static_cast<uint32_t>(texture_arg::texture));
    EXPECT_EQ(stage(texture_stage_state::colour_arg2), static_cast<uint32_t>(texture_arg::diffuse));
    EXPECT_EQ(stage(texture_stage_state::min_filter), static_cast<uint32_t>(texture_filter::linear));
    EXPECT_EQ(stage(texture_stage_state::mag_filter), static_cast<uint32_t>(texture_filter::linear));
    EXPECT_EQ(stage(texture_stage_state::mip_filter), static_cast<uint32_t>(texture_filter::none));
    EXPECT_EQ(stage(texture_stage_state::max_anisotropy), 4u);

    const device_viewport& vp = d.get_viewport();
    EXPECT_EQ(vp.width, 1024u);
    EXPECT_EQ(vp.height, 768u);
    EXPECT_EQ(vp.max_z, 1.0f);

    // The view looks along +z from 465 units in front of the plane z = 0.
    EXPECT_FLOAT_EQ(g_view_matrix.m[3][2], 465.0f);
    EXPECT_FLOAT_EQ(g_view_matrix.m[0][0], 1.0f);
    const float cot = 1.0f / std::tan(3.14159265f / 310.0f);
    EXPECT_NEAR(g_projection_matrix.m[0][0], 0.75f * cot, 1e-3f);
    EXPECT_NEAR(g_projection_matrix.m[1][1], cot, 1e-3f);
    EXPECT_EQ(std::memcmp(&d.get_transform(transform_kind::view), &g_view_matrix, sizeof(matrix4)), 0);
    EXPECT_EQ(std::memcmp(&d.get_transform(transform_kind::projection), &g_projection_matrix, sizeof(matrix4)), 0);
    EXPECT_EQ(d.get_transform(transform_kind::world).m[3][0], 0.0f);
    EXPECT_EQ(restore_lost_surfaces(), 0);
}

TEST_F(DeviceSetup, GammaOffsetsTheKeptRamp)
{
    gamma_use_memory(true, true); // starts as the identity ramp i × 257
    save_gamma_ramp();
    EXPECT_EQ(g_gamma_ramp.green[255], 65535u);

    set_gamma(0);
    gamma_ramp r;
    ASSERT_TRUE(gamma_read(r));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(r.red[i], i * 257);

    set_gamma(300); // an entry that would pass 65534 keeps what the display has
    ASSERT_TRUE(gamma_read(r));
    EXPECT_EQ(r.blue[0], 300u);
    EXPECT_EQ(r.blue[253], 253 * 257 + 300);
    EXPECT_EQ(r.blue[254], 254 * 257); // 65278 + 300 > 65534
    EXPECT_EQ(r.blue[255], 65535u);    // entry 255 is never set

    set_gamma(-600); // negative results keep the current entry too
    ASSERT_TRUE(gamma_read(r));
    EXPECT_EQ(r.red[0], 300u);
    EXPECT_EQ(r.red[3], 3 * 257 - 600);
    EXPECT_EQ(r.red[253], 253 * 257 - 600);
}

TEST_F(DeviceSetup, WithoutGammaControlNothingHappens)
{
    gamma_use_memory(true, false);
    g_gamma_ramp.red[10] = 1234;
    save_gamma_ramp();
    EXPECT_EQ(g_gamma_ramp.red[10], 1234u);
    set_gamma(100);
    EXPECT_EQ(g_gamma_ramp.red[10], 1234u);
    gamma_ramp r;
    EXPECT_FALSE(gamma_read(r));
}

TEST_F(DeviceSetup, OpenGlDeviceInAWindow)
{
    render_use_recording(false);
    g_settings.gr_runwindowed = 1;
    if (create_device_context() != 1)
        GTEST_SKIP() << "no OpenGL device: " << log();
    EXPECT_EQ(dynamic_cast<recording_device*>(g_d3d_device), nullptr);
    init_render_states();
    g_d3d_device->clear(k_clear_target | k_clear_depth, 0xFF336699u);
    std::vector<uint32_t> frame;
    ASSERT_TRUE(g_d3d_device->read_frame(frame));
    ASSERT_EQ(frame.size(), 1024u * 768u);
    EXPECT_EQ(frame[12345], 0xFF336699u);
    EXPECT_TRUE(g_d3d_device->present());
    // The display's own gamma: kept and offset where the driver has a control (the ramp put
    // back after), untouched where it has none, as on the offscreen driver.
    gamma_use_memory(false, false);
    g_gamma_ramp.red[10] = 1234;
    gamma_ramp display, after;
    if (gamma_read(display)) {
        save_gamma_ramp();
        EXPECT_EQ(std::memcmp(&g_gamma_ramp, &display, sizeof display), 0);
        set_gamma(100);
        ASSERT_TRUE(gamma_read(after));
        EXPECT_EQ(after.green[0], display.green[0] + 100);
        EXPECT_TRUE(gamma_write(display));
    } else {
        save_gamma_ramp();
        EXPECT_EQ(g_gamma_ramp.red[10], 1234u);
        set_gamma(100);
        EXPECT_FALSE(gamma_read(after));
    }
    gl_window_close();
}

} // namespace
