// Helpers for tests of drawing code: the program's device pointer aimed at a test device, and a
// snapshot of every device state for before-and-after comparisons.
#pragma once

#include "core/globals.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "tests/platform/device_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

// Points g_d3d_device at `device` for the lifetime of the object, with a 1024 × 768 screen.
class use_device {
public:
    explicit use_device(render_device* device) : saved_(g_d3d_device), width_(g_screen_width), height_(g_screen_height)
    {
        g_d3d_device = device;
        g_screen_width = 1024;
        g_screen_height = 768;
    }
    ~use_device()
    {
        g_d3d_device = saved_;
        g_screen_width = width_;
        g_screen_height = height_;
    }
    use_device(const use_device&) = delete;
    use_device& operator=(const use_device&) = delete;

private:
    render_device* saved_;
    int32_t width_, height_;
};

// Everything a draw leaves behind on the device.
struct device_snapshot {
    uint32_t render[static_cast<int>(render_state::count)];
    uint32_t stage[static_cast<int>(texture_stage_state::count)];
    matrix4 transforms[static_cast<int>(transform_kind::count)];
    device_material material;
    device_viewport viewport;
    device_texture* texture;

    explicit device_snapshot(const render_device& d)
    {
        for (int i = 0; i < static_cast<int>(render_state::count); ++i)
            render[i] = d.get_render_state(static_cast<render_state>(i));
        for (int i = 0; i < static_cast<int>(texture_stage_state::count); ++i)
            stage[i] = d.get_texture_stage_state(static_cast<texture_stage_state>(i));
        for (int i = 0; i < static_cast<int>(transform_kind::count); ++i)
            transforms[i] = d.get_transform(static_cast<transform_kind>(i));
        material = d.get_material();
        viewport = d.get_viewport();
        texture = d.get_texture();
    }
};

inline void expect_same_device_state(const device_snapshot& a, const device_snapshot& b)
{
    for (int i = 0; i < static_cast<int>(render_state::count); ++i)
        EXPECT_EQ(a.render[i], b.render[i]) << "render state " << i;
    for (int i = 0; i < static_cast<int>(texture_stage_state::count); ++i)
        EXPECT_EQ(a.stage[i], b.stage[i]) << "stage state " << i;
    EXPECT_EQ(std::memcmp(a.transforms, b.transforms, sizeof a.transforms), 0) << "transforms";
    EXPECT_EQ(std::memcmp(&a.material, &b.material, sizeof a.material), 0) << "material";
    EXPECT_EQ(std::memcmp(&a.viewport, &b.viewport, sizeof a.viewport), 0) << "viewport";
    EXPECT_EQ(a.texture, b.texture) << "texture";
}

// A test on the OpenGL device as the program's device, the fixed camera set and the frame
// cleared to black; skipped where no OpenGL context can be had.
class gl_draw_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        dev = open_hidden_gl_device(why);
        if (!dev)
            GTEST_SKIP() << "no OpenGL device: " << why;
        device = std::make_unique<use_device>(dev.get());
        use_fixed_camera(*dev);
        dev->clear(k_clear_target | k_clear_depth, 0xFF000000u);
    }
    void TearDown() override
    {
        device.reset();
        dev.reset();
        gl_window_close();
    }

    std::unique_ptr<render_device> dev;
    std::unique_ptr<use_device> device;
};
