// The OpenGL back end under the offscreen video driver: what reaches the pixels.
#include "platform/gl_device.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"

#include "device_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t k_black = 0xFF000000u;

class GlDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string why;
        dev = open_hidden_gl_device(why);
        if (!dev)
            GTEST_SKIP() << "no OpenGL device: " << why;
        use_fixed_camera(*dev);
        dev->clear(k_clear_target | k_clear_depth, k_black);
    }

    void TearDown() override
    {
        dev.reset();
        gl_window_close();
    }

    // Draws a quad of w × h pixels centred on screen pixel (px, py).
    void quad(float px, float py, float w, float h, float z = 0.0f)
    {
        auto q = screen_quad(*dev, px, py, w, h, z);
        ASSERT_TRUE(dev->draw_primitive(primitive_type::triangle_strip, q.data(), 4));
        frame.clear();
    }

    // A pixel of the frame as read at the first call after the last draw.
    uint32_t pixel(int x, int y)
    {
        if (frame.empty()) {
            EXPECT_TRUE(dev->read_frame(frame));
        }
        return frame[static_cast<size_t>(y) * 1024 + x];
    }

    // A texture of two halves, left and right.
    device_texture* texture(uint32_t size, uint32_t left, uint32_t right)
    {
        std::vector<uint32_t> texels(size * size);
        for (uint32_t i = 0; i < size * size; ++i)
            texels[i] = i % size < size / 2 ? left : right; // little-endian: bytes B, G, R, A
        return dev->create_texture(size, size, texture_format::a8r8g8b8, false, texels.data());
    }

    std::unique_ptr<render_device> dev;
    std::vector<uint32_t> frame;
};

TEST_F(GlDevice, ASixtyFourPixelTextureAtScaleOneCoversAboutSixtyFourPixels)
{
    dev->set_texture(texture(64, 0xFFFFFFFFu, 0xFFFFFFFFu));
    dev->set_material(sprite_material(1, 1, 1, 1));
    quad(400, 300, 64, 64); // top-left of the centre: the frame reads top row first
    int left = 1024, right = -1, top = 768, bottom = -1;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            if (pixel(x, y) != k_black) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_GE(right - left + 1, 63);
    EXPECT_LE(right - left + 1, 66);
    EXPECT_GE(bottom - top + 1, 63);
    EXPECT_LE(bottom - top + 1, 66);
    // The projection's scale is 0.4 % above the drawing's pixel constant: 0.5 pixel off here.
    EXPECT_NEAR((left + right) / 2.0, 400.0, 1.0);
    EXPECT_NEAR((top + bottom) / 2.0, 300.0, 1.0);
}

TEST_F(GlDevice, LitColoursMatchTheRecordingDevice)
{
    // The same flat-coloured quads on both back ends: the pixel is the recorded vertex colour.
    recording_device rec(1024, 768);
    use_fixed_camera(rec);
    struct sample {
        float r, g, b, a, ambient;
        uint32_t ambient_state;
    };
    const sample samples[] = {
        {0.25f, 0.5f, 0.75f, 1, 1, 0x00FFFFFF},  // full ambient: exactly the colour argument
        {1, 1, 1, 1, 0.4f, 0x00666666},          // darker ambient
        {0.1f, 0.9f, 0.3f, 1, 0.2f, 0x00333333}, // negative emissive below zero clamps
        {1, 0.5f, 0, 0.5f, 1, 0x00FFFFFF},       // half alpha over black
    };
    int x = 40;
    for (const sample& s : samples) {
        for (render_device* d : {dev.get(), static_cast<render_device*>(&rec)}) {
            d->set_render_state(render_state::ambient, s.ambient_state);
            d->set_material(sprite_material(s.r, s.g, s.b, s.a, s.ambient));
            auto q = screen_quad(*d, static_cast<float>(x), 100, 20, 20);
            d->draw_primitive(primitive_type::triangle_strip, q.data(), 4);
        }
        frame.clear();
        const lit_vertex& v = rec.vertices_of(rec.draws().back())[0];
        const uint32_t a = v.a;
        const uint32_t expected = k_black | (v.r * a + 127) / 255 << 16 | (v.g * a + 127) / 255 << 8 |
                                  (v.b * a + 127) / 255;
        const uint32_t got = pixel(x, 100);
        for (int shift = 0; shift < 24; shift += 8)
            EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF),
                        a == 255 ? 0 : 1)
                << "sample at x " << x << " channel " << shift;
        x += 40;
    }
    const lit_vertex& first = rec.vertices_of(rec.draws()[0])[0];
    EXPECT_EQ(argb_of(first), k_black | byte_of(0.25f) << 16 | byte_of(0.5f) << 8 | byte_of(0.75f));
}

TEST_F(GlDevice, APointLightAddsNothingBeyondItsRange)
{
    dev->set_render_state(render_state::ambient, 0x00404040u);
    dev->set_material(sprite_material(1, 1, 1, 1, 0x40 / 255.0f));
    // The light sits behind the plane at view x = 0; the near quad is in range, the far one not.
    dev->set_light(5, point_light(0, 0, 1, 2.0f, 1, 1, 1));
    dev->light_enable(5, true);
    quad(512, 384, 8, 8);
    quad(512 + 3 * view_scale(1024), 384, 8, 8); // 3 view units to the right: beyond the range
    EXPECT_EQ(pixel(512 + static_cast<int>(3 * view_scale(1024)), 384), 0xFF404040u);
    EXPECT_GT(pixel(512, 384) & 0xFF, 0xF0u);
}

TEST_F(GlDevice, TheAlphaTestDropsTexelsOfAlphaZero)
{
    dev->set_render_state(render_state::alpha_blend, 0u); // so that only the test can drop them
    dev->set_texture(texture(64, 0x00FFFFFFu, 0xFFFFFFFFu));
    dev->set_material(sprite_material(1, 1, 1, 1));
    quad(512, 384, 64, 64, -10.0f);
    // A red quad behind it: it shows where nothing was written, depth included.
    dev->set_texture(nullptr);
    dev->set_material(sprite_material(1, 0, 0, 1));
    quad(512, 384, 64, 64, 10.0f);
    EXPECT_EQ(pixel(512 - 16, 384), 0xFFFF0000u);
    EXPECT_EQ(pixel(512 + 16, 384), 0xFFFFFFFFu);
}

TEST_F(GlDevice, DepthTestOnAndOff)
{
    dev->set_material(sprite_material(1, 0, 0, 1));
    quad(300, 300, 40, 40, -10.0f); // near
    dev->set_material(sprite_material(0, 1, 0, 1));
    quad(300, 300, 40, 40, 10.0f); // far: hidden by the test
    dev->set_render_state(render_state::z_enable, z_mode::off);
    dev->set_material(sprite_material(1, 0, 0, 1));
    quad(600, 300, 40, 40, -10.0f);
    dev->set_material(sprite_material(0, 1, 0, 1));
    quad(600, 300, 40, 40, 10.0f); // drawn over without the test
    dev->set_render_state(render_state::z_enable, z_mode::w_buffer); // an ordinary depth test
    dev->set_material(sprite_material(0, 0, 1, 1));
    quad(300, 300, 40, 40, 20.0f);
    EXPECT_EQ(pixel(300, 300), 0xFFFF0000u);
    EXPECT_EQ(pixel(600, 300), 0xFF00FF00u);
}

TEST_F(GlDevice, CullsTrianglesCounterClockwiseOnTheScreen)
{
    dev->set_material(sprite_material(1, 1, 1, 1));
    auto q = screen_quad(*dev, 200, 200, 60, 60);
    // left-lower, left-upper, right-lower: clockwise as seen on the screen.
    device_vertex clockwise[3] = {q[0], q[1], q[2]};
    device_vertex counter[3] = {q[0], q[2], q[1]};
    ASSERT_TRUE(dev->draw_primitive(primitive_type::triangle_list, clockwise, 3));
    for (auto& v : counter)
        v.x += 200 / view_scale(1024);
    ASSERT_TRUE(dev->draw_primitive(primitive_type::triangle_list, counter, 3));
    dev->set_render_state(render_state::cull_mode, cull_mode::none);
    for (auto& v : counter)
        v.y -= 200 / view_scale(1024);
    ASSERT_TRUE(dev->draw_primitive(primitive_type::triangle_list, counter, 3));
    frame.clear();
    EXPECT_EQ(pixel(180, 210), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(380, 210), k_black);
    EXPECT_EQ(pixel(380, 410), 0xFFFFFFFFu);
}

TEST_F(GlDevice, FlatShadingTakesTheFirstVertexAndWireframeLeavesTheInside)
{
    device_material m{};
    m.diffuse = {1, 1, 1, 1};
    dev->set_render_state(render_state::ambient, 0u);
    dev->set_material(m);
    // Only the first vertex is within the light's range.
    auto q = screen_quad(*dev, 300, 300, 100, 100);
    dev->set_light(0, point_light(q[0].x, q[0].y, 0.5f, 1.0f, 1, 1, 1));
    dev->light_enable(0, true);
    dev->set_render_state(render_state::shade_mode, shade_mode::flat);
    ASSERT_TRUE(dev->draw_primitive(primitive_type::triangle_list, q.data(), 3));
    EXPECT_EQ(pixel(270, 320), 0xFFFFFFFFu);
    frame.clear();

    dev->light_enable(0, false);
    dev->set_render_state(render_state::ambient, 0x00FFFFFFu);
    dev->set_material(sprite_material(0, 1, 0, 1));
    dev->set_render_state(render_state::fill_mode, fill_mode::wireframe);
    quad(700, 300, 100, 100);
    EXPECT_EQ(pixel(720, 270), k_black); // inside, off the diagonal
    int edge = 0;
    for (int y = 240; y < 360; ++y)
        edge += pixel(650, y) == 0xFF00FF00u || pixel(649, y) == 0xFF00FF00u || pixel(651, y) == 0xFF00FF00u;
    EXPECT_GT(edge, 90);
}

TEST_F(GlDevice, EveryTextureFormatDrawsAsStored)
{
    dev->set_material(sprite_material(1, 1, 1, 1));
    dev->set_texture_stage_state(texture_stage_state::min_filter, texture_filter::point);
    dev->set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::point);
    struct format_case {
        texture_format format;
        uint8_t bytes[16];
        uint32_t expected;
    };
    const format_case cases[] = {
        {texture_format::a4r4g4b4, {0x9C, 0xF3}, 0xFF3399CCu},
        {texture_format::r5g6b5, {0xE0, 0x07}, 0xFF00FF00u},
        // DXT3: opaque, every texel colour 0 = pure blue.
        {texture_format::dxt3,
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F, 0x00, 0x1F, 0x00, 0, 0, 0, 0},
         0xFF0000FFu},
    };
    int x = 100;
    for (const format_case& c : cases) {
        device_texture* t = dev->create_texture(4, 4, c.format, true);
        texture_lock lock;
        ASSERT_TRUE(dev->lock_texture(t, lock));
        if (c.format == texture_format::dxt3)
            std::copy(std::begin(c.bytes), std::end(c.bytes), lock.bits);
        else
            for (uint32_t i = 0; i < lock.pitch * lock.rows; i += 2)
                lock.bits[i] = c.bytes[0], lock.bits[i + 1] = c.bytes[1];
        dev->unlock_texture(t);
        dev->set_texture(t);
        dev->set_texture_stage_state(texture_stage_state::mip_filter,
                                     x == 100 ? texture_filter::linear : texture_filter::none);
        quad(static_cast<float>(x), 500, 32, 32);
        EXPECT_EQ(pixel(x, 500), c.expected) << "format " << static_cast<int>(c.format);
        frame.clear();
        x += 100;
    }
}

TEST_F(GlDevice, ClearFillsTheViewportAndReadBackRunsTopDown)
{
    dev->clear(k_clear_target, 0xFF102030u);
    dev->set_viewport({0, 0, 1024, 100, 0.0f, 1.0f});
    dev->clear(k_clear_target, 0x00FFFFFFu);
    EXPECT_EQ(pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(5, 99), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(5, 100), 0xFF102030u);
    EXPECT_EQ(pixel(1000, 700), 0xFF102030u);
    EXPECT_TRUE(dev->present());
}

TEST_F(GlDevice, ALineFromAPointToItselfDrawsThePoint)
{
    dev->set_material(sprite_material(1, 0, 0, 1));
    const float k = view_scale(1024);
    const device_vertex at = {(300 - 512) / k, -(200 - 384) / k, 0, 0, 0, 1, 0, 0};
    const device_vertex line[2] = {at, at};
    ASSERT_TRUE(dev->draw_primitive(primitive_type::line_strip, line, 2));
    int red = 0;
    for (int y = 197; y <= 203; ++y)
        for (int x = 297; x <= 303; ++x)
            red += pixel(x, y) == 0xFFFF0000u;
    EXPECT_GE(red, 1);
    EXPECT_LE(red, 4);
}

TEST_F(GlDevice, BatchedQuadsDrawTheSamePixelsAsQuadsDrawnOneByOne)
{
    // 60 overlapping quads at fractional places, filtered linearly, of four textures five in a
    // row, each drawn twice at the same corners with the depth test off: opaque ones with the
    // next texture on top (the first covered), half-transparent ones twice over; a texture with
    // transparent texels and quads that repeat their texture. Batched (from atlas pages, opaque quads unblended, covered ones left
    // out) they give the pixels of indexed strips drawn one by one, up to the rounding of
    // texture coordinates on a page.
    dev->set_render_state(render_state::z_enable, z_mode::off);
    dev->set_texture_stage_state(texture_stage_state::min_filter, texture_filter::linear);
    dev->set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::linear);
    std::vector<uint16_t> checker(20 * 12);
    for (size_t i = 0; i < checker.size(); ++i)
        checker[i] = static_cast<uint16_t>((i / 20 + i % 20) % 3 == 0 ? 0x0FFFu : 0xF000u | (i * 37 % 0x1000));
    device_texture* textures[4] = {
        texture(16, 0xFFFF8040u, 0xFF40FF80u), texture(16, 0xFF2040FFu, 0xFFFFFFFFu),
        dev->create_texture(20, 12, texture_format::a4r4g4b4, false, checker.data()),
        texture(8, 0xFF808080u, 0xFF10E010u)};
    const uint16_t strip[4] = {0, 1, 2, 3};
    auto scene = [&](bool batched) {
        dev->clear(k_clear_target | k_clear_depth, 0xFF203040u);
        auto draw = [&](device_texture* t, std::array<device_vertex, 4> q, float alpha, int i) {
            dev->set_texture(t);
            dev->set_material(sprite_material(0.5f + 0.008f * float(i), 1, 0.3f, alpha));
            if (batched)
                dev->draw_primitive(primitive_type::triangle_strip, q.data(), 4);
            else
                dev->draw_indexed_primitive(primitive_type::triangle_strip, q.data(), 4, strip, 4);
        };
        for (int i = 0; i < 60; ++i) {
            auto q = screen_quad(*dev, 100.3f + 11.1f * float(i), 200.6f + 3.0f * float(i % 7), 40, 40);
            if (i % 10 == 9)
                for (device_vertex& v : q)
                    v.u *= 2, v.v *= 2;
            const float alpha = i % 3 == 2 ? 0.6f : 1.0f;
            draw(textures[i / 5 % 4], q, alpha, i);
            draw(textures[(i / 5 + (alpha == 1.0f ? 1 : 0)) % 4], q, alpha, i);
        }
        std::vector<uint32_t> pixels;
        EXPECT_TRUE(dev->read_frame(pixels));
        return pixels;
    };
    const std::vector<uint32_t> batched = scene(true);
    const std::vector<uint32_t> single = scene(false);
    int drawn = 0, differing = 0, largest = 0;
    for (size_t i = 0; i < batched.size(); ++i) {
        drawn += single[i] != 0xFF203040u;
        differing += batched[i] != single[i];
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest, std::abs(int((batched[i] >> shift) & 0xFF) - int((single[i] >> shift) & 0xFF)));
    }
    EXPECT_GT(drawn, 60 * 40 * 5);
    EXPECT_LE(largest, 2);
    EXPECT_LT(differing, drawn / 100);

    // Opaque quads drawn unblended keep what blending shows: over red, a transparent texel
    // leaves red and a half-transparent quad of opaque texels mixes with it.
    dev->clear(k_clear_target, 0xFFFF0000u);
    dev->set_texture_stage_state(texture_stage_state::min_filter, texture_filter::point);
    dev->set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::point);
    dev->set_texture(textures[2]);
    dev->set_material(sprite_material(1, 1, 1, 1));
    quad(512, 600, 80, 48); // four pixels a texel
    dev->set_texture(textures[0]);
    dev->set_material(sprite_material(1, 1, 1, 0.5f));
    quad(512, 680, 32, 32);
    EXPECT_EQ(pixel(474, 578), 0xFFFF0000u); // texel (0, 0): alpha 0
    EXPECT_EQ(pixel(478, 578), 0xFF002255u); // texel (1, 0): 0xF025
    EXPECT_EQ(pixel(500, 680), 0xFFFF4020u); // (FF, 80, 40) half over red

    // A state the GL draws with ends a batch; the ambient light, lit into the vertices, does not.
    const uint64_t calls = dev->draw_call_count();
    auto q = screen_quad(*dev, 500, 500, 20, 20);
    for (uint32_t ambient : {0x00FFFFFFu, 0x00808080u}) {
        dev->set_render_state(render_state::ambient, ambient);
        dev->draw_primitive(primitive_type::triangle_strip, q.data(), 4);
    }
    dev->set_render_state(render_state::alpha_test, dev->get_render_state(render_state::alpha_test) ? 0u : 1u);
    dev->draw_primitive(primitive_type::triangle_strip, q.data(), 4);
    EXPECT_EQ(dev->draw_call_count() - calls, 2u);
}

TEST_F(GlDevice, ATextureDrawsThePixelsItHasNowWhereverItIsKept)
{
    // A small texture is drawn from an atlas page, then changed once (the page follows), changed
    // again (it keeps a texture of its own from then on); a texture made after another is
    // released takes its place. Quads and an indexed mesh of the same texture agree.
    dev->set_material(sprite_material(1, 1, 1, 1));
    device_texture* t = texture(16, 0xFF102030u, 0xFF102030u);
    auto fill = [&](device_texture* target, uint32_t argb) {
        texture_lock lock;
        ASSERT_TRUE(dev->lock_texture(target, lock));
        for (uint32_t i = 0; i < lock.pitch * lock.rows; i += 4)
            std::memcpy(lock.bits + i, &argb, 4);
        dev->unlock_texture(target);
    };
    const uint16_t strip[4] = {0, 1, 2, 3};
    auto expect_drawn = [&](uint32_t argb, const char* when) {
        dev->set_texture(t);
        quad(200, 200, 16, 16);
        auto q = screen_quad(*dev, 260, 200, 16, 16);
        dev->draw_indexed_primitive(primitive_type::triangle_strip, q.data(), 4, strip, 4);
        frame.clear();
        EXPECT_EQ(pixel(200, 200), argb) << when;
        EXPECT_EQ(pixel(260, 200), argb) << when;
    };
    expect_drawn(0xFF102030u, "as made");
    fill(t, 0xFF405060u);
    expect_drawn(0xFF405060u, "changed once");
    fill(t, 0xFF708090u);
    expect_drawn(0xFF708090u, "changed twice");
    dev->release_texture(t);
    t = texture(16, 0xFFA0B0C0u, 0xFFA0B0C0u);
    expect_drawn(0xFFA0B0C0u, "made after a release");
}

} // namespace
