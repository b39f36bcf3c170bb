// Draws of pre-coloured vertices and the scissor rectangle, on both back ends.
#include "platform/recording_device.h"

#include "tests/engine/draw_test_support.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// Pixel edges to clip space: the pixel whose top-left corner is (x, y) spans x..x + 1, y..y + 1.
matrix4 pixel_edges(const render_device& d)
{
    matrix4 m = matrix_identity();
    m.m[0][0] = 2.0f / float(d.width());
    m.m[1][1] = -2.0f / float(d.height());
    m.m[3][0] = -1.0f - 1.0f / float(d.width());
    m.m[3][1] = 1.0f + 1.0f / float(d.height());
    return m;
}

// Two triangles covering x0..x1, y0..y1 in one colour.
std::array<lit_vertex, 4> coloured_rect(float x0, float y0, float x1, float y1, uint8_t r, uint8_t g, uint8_t b)
{
    return {{{x0, y0, 0, 0, 0, r, g, b, 255},
             {x1, y0, 0, 0, 0, r, g, b, 255},
             {x0, y1, 0, 0, 0, r, g, b, 255},
             {x1, y1, 0, 0, 0, r, g, b, 255}}};
}

constexpr uint16_t k_rect_indices[6] = {0, 1, 2, 1, 3, 2};

void prepare(render_device& d)
{
    d.set_transform(transform_kind::view, matrix_identity());
    d.set_transform(transform_kind::projection, pixel_edges(d));
    d.set_render_state(render_state::z_enable, z_mode::off);
    d.set_render_state(render_state::cull_mode, cull_mode::none);
    d.set_render_state(render_state::ambient, 0u); // lit, every vertex would be black
    d.set_texture_stage_state(texture_stage_state::colour_op, texture_op::select_arg2);
    d.set_texture_stage_state(texture_stage_state::alpha_op, texture_op::select_arg2);
}

TEST(ColouredDraw, TheRecordingDeviceKeepsTheColoursAndTheScissorOfEachDraw)
{
    recording_device d(640, 480);
    prepare(d);
    const auto quad = coloured_rect(10, 10, 50, 30, 200, 100, 50);
    const device_rect clip{5, 6, 70, 80};
    d.set_scissor(&clip);
    d.set_scissor(&clip); // no change, not recorded again
    ASSERT_TRUE(d.draw_coloured_primitive(primitive_type::triangle_list, quad.data(), 4, k_rect_indices, 6));
    d.set_scissor(nullptr);
    ASSERT_TRUE(d.draw_coloured_primitive(primitive_type::triangle_strip, quad.data(), 4));

    ASSERT_EQ(d.draws().size(), 2u);
    const lit_vertex* v = d.vertices_of(d.draws()[0]);
    EXPECT_EQ(v[3].r, 200);
    EXPECT_EQ(v[3].g, 100);
    EXPECT_EQ(v[3].b, 50);
    EXPECT_EQ(v[3].a, 255);
    const recorded_states& first = d.states_of(d.draws()[0]);
    EXPECT_TRUE(first.scissor_on);
    EXPECT_EQ(first.scissor.x, 5);
    EXPECT_EQ(first.scissor.height, 80);
    EXPECT_FALSE(d.states_of(d.draws()[1]).scissor_on);
    int scissor_calls = 0;
    for (const recorded_call& c : d.calls())
        scissor_calls += c.kind == device_call::scissor;
    EXPECT_EQ(scissor_calls, 2);

    // Refused as the other draws are: too few vertices or indices, an index out of range, no data.
    const uint16_t bad[3] = {0, 1, 4};
    EXPECT_FALSE(d.draw_coloured_primitive(primitive_type::triangle_list, quad.data(), 4, bad, 3));
    EXPECT_FALSE(d.draw_coloured_primitive(primitive_type::triangle_list, quad.data(), 2));
    EXPECT_FALSE(d.draw_coloured_primitive(primitive_type::triangle_list, quad.data(), 4, k_rect_indices, 2));
    EXPECT_FALSE(d.draw_coloured_primitive(primitive_type::triangle_list, nullptr, 4));
    EXPECT_EQ(d.draws().size(), 2u);
}

class ColouredGlDraw : public gl_draw_test {
protected:
    void SetUp() override
    {
        gl_draw_test::SetUp();
        if (dev)
            prepare(*dev);
    }
    uint32_t pixel(int x, int y)
    {
        if (frame.empty()) {
            EXPECT_TRUE(dev->read_frame(frame));
        }
        return frame[size_t(y) * dev->width() + size_t(x)];
    }
    void draw_rect(float x0, float y0, float x1, float y1, uint8_t r, uint8_t g, uint8_t b)
    {
        const auto quad = coloured_rect(x0, y0, x1, y1, r, g, b);
        ASSERT_TRUE(dev->draw_coloured_primitive(primitive_type::triangle_list, quad.data(), 4, k_rect_indices, 6));
        frame.clear();
    }

    std::vector<uint32_t> frame;
};

TEST_F(ColouredGlDraw, PixelEdgesCoverWholePixelsInTheVertexColours)
{
    dev->clear(k_clear_target, 0xFF000000u);
    draw_rect(100, 100, 300, 200, 255, 0, 0);
    EXPECT_EQ(pixel(100, 100), 0xFFFF0000u);
    EXPECT_EQ(pixel(299, 199), 0xFFFF0000u);
    EXPECT_EQ(pixel(99, 150), 0xFF000000u);
    EXPECT_EQ(pixel(300, 150), 0xFF000000u);
    EXPECT_EQ(pixel(200, 200), 0xFF000000u);
}

TEST_F(ColouredGlDraw, TheScissorLimitsDrawsButNotClearsAndOutlivesAClear)
{
    const device_rect clip{150, 120, 50, 40};
    dev->set_scissor(&clip);
    dev->clear(k_clear_target, 0xFF0000FFu);
    EXPECT_EQ(pixel(10, 10), 0xFF0000FFu);

    draw_rect(0, 0, 640, 480, 0, 255, 0);
    EXPECT_EQ(pixel(150, 120), 0xFF00FF00u);
    EXPECT_EQ(pixel(199, 159), 0xFF00FF00u);
    EXPECT_EQ(pixel(149, 130), 0xFF0000FFu);
    EXPECT_EQ(pixel(200, 130), 0xFF0000FFu);
    EXPECT_EQ(pixel(160, 160), 0xFF0000FFu);

    dev->set_scissor(nullptr);
    draw_rect(0, 0, 20, 20, 255, 255, 255);
    EXPECT_EQ(pixel(10, 10), 0xFFFFFFFFu);
}

} // namespace
