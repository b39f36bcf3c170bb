// A recording device as the program's device, the fixed camera, the view at camera (0, 0) and
// zoom 1, and the editor's marker textures with surfaces, for tests of the editor's overlays:
// what they draw is read back as lines, sprites and filled rectangles in screen pixels.
#pragma once

#include "editor/editor_state.h"
#include "engine/textures.h"
#include "tests/engine/draw_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

struct pixel {
    float x, y;
};

struct drawn_line {
    pixel from, to;
    device_colour colour;  // the material's diffuse colour and alpha
};

// A sprite or filled rectangle: the bounds of its corners.
struct drawn_box {
    pixel low, high;
    device_texture* texture;
    device_colour colour;

    pixel centre() const { return {(low.x + high.x) / 2, (low.y + high.y) / 2}; }
    float width() const { return high.x - low.x; }
};

class overlay_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_camera(dev);
        saved_zoom_ = g_zoom;
        saved_camera_ = {g_camera_x, g_camera_y};
        saved_work_mode_ = g_work_mode;
        std::copy(std::begin(g_fixed_textures), std::end(g_fixed_textures), saved_fixed_);
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
        clear_texture_table();
        select_surface = marker_slot(k_texture_select, "global/select.bmp");
        select3_surface = marker_slot(k_texture_select3, "global/select3.bmp");
    }
    void TearDown() override
    {
        g_zoom = saved_zoom_;
        g_camera_x = saved_camera_.x;
        g_camera_y = saved_camera_.y;
        g_work_mode = saved_work_mode_;
        clear_texture_table();
        std::copy(std::begin(saved_fixed_), std::end(saved_fixed_), g_fixed_textures);
    }

    // Where vertex i of a draw lands in screen pixels. Lines and untextured shapes are in view
    // units around the screen centre (width / 640 × 50.7 pixels a unit), read back exactly;
    // sprites carry their own pixel projection, which the device applies.
    pixel pixel_of(const recorded_draw& draw, uint32_t i) const
    {
        if (draw.texture) {
            float x = 0, y = 0, z = 0;
            EXPECT_TRUE(dev.screen_position(draw, i, x, y, z));
            return {x, y};
        }
        const lit_vertex& v = dev.vertices_of(draw)[i];
        const float k = view_scale(dev.width());
        return {v.x * k + float(dev.width() / 2), -v.y * k + float(dev.height() / 2)};
    }

    // Every line drawn, in order.
    std::vector<drawn_line> lines() const
    {
        std::vector<drawn_line> out;
        for (const recorded_draw& d : dev.draws())
            if (d.type == primitive_type::line_strip)
                out.push_back({pixel_of(d, 0), pixel_of(d, 1), dev.material_of(d).diffuse});
        return out;
    }

    // Every four-corner strip drawn, in order: sprites (textured) and filled rectangles.
    std::vector<drawn_box> boxes() const
    {
        std::vector<drawn_box> out;
        for (const recorded_draw& d : dev.draws()) {
            if (d.type != primitive_type::triangle_strip || d.vertex_count != 4)
                continue;
            drawn_box box{pixel_of(d, 0), pixel_of(d, 0), d.texture, dev.material_of(d).diffuse};
            for (uint32_t i = 1; i < 4; ++i) {
                const pixel p = pixel_of(d, i);
                box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y)};
                box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y)};
            }
            out.push_back(box);
        }
        return out;
    }

    std::vector<drawn_box> sprites_of(const device_texture* texture) const
    {
        std::vector<drawn_box> out;
        for (const drawn_box& box : boxes())
            if (box.texture == texture)
                out.push_back(box);
        return out;
    }

    recording_device dev{1024, 768};
    use_device device{&dev};
    device_texture* select_surface = nullptr;
    device_texture* select3_surface = nullptr;

private:
    // A fixed texture slot with an 8 × 8 surface, as start-up leaves it.
    device_texture* marker_slot(fixed_texture which, const char* name)
    {
        const int32_t slot = append_texture_slot(name);
        texture_record& t = g_textures[slot];
        t.surface = dev.create_texture(8, 8, texture_format::a8r8g8b8, false);
        t.width = t.height = 8;
        t.loaded = 1;
        g_fixed_textures[which] = slot;
        return t.surface;
    }

    float saved_zoom_ = 1.0f;
    pixel saved_camera_ = {};
    uint32_t saved_work_mode_ = 0;
    int32_t saved_fixed_[k_fixed_texture_count] = {};
};

inline void expect_pixel(pixel got, float x, float y, float tolerance = 0.5f)
{
    EXPECT_NEAR(got.x, x, tolerance);
    EXPECT_NEAR(got.y, y, tolerance);
}

inline void expect_colour(const device_colour& c, float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}
