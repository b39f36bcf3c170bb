// The quad family on the recording device: placement in view units, texture coordinates of the
// flip modes, quarter turns, materials and lit colours; sprites in pixels.
#include "engine/texture_fixture.h"

#include "core/globals.h"
#include "engine/quads.h"
#include "engine/textures.h"
#include "shell/device_setup.h"
#include "world/game_clock.h"

#include <cstring>

namespace {

constexpr float k_view = 1024.0f / 640.0f * 50.7f; // 81.12 pixels per view unit

class quad_test : public texture_test {
protected:
    void SetUp() override
    {
        texture_test::SetUp();
        init_render_states();
        write_test_image("t64.tga", 64, 64);
        slot_ = get_texture("t64.tga", 0, 0, 0, 0, 1, 0);
        ASSERT_NE(g_textures[slot_].surface, nullptr);
    }

    const recorded_draw& last() const { return device_->draws().back(); }
    const lit_vertex* verts() const { return device_->vertices_of(last()); }

    // Centre and half sizes of the last draw's axis-aligned quad.
    void extent(float& cx, float& cy, float& hw, float& hh) const
    {
        const lit_vertex* v = verts();
        cx = (v[0].x + v[3].x) / 2;
        cy = (v[0].y + v[3].y) / 2;
        hw = (v[3].x - v[0].x) / 2;
        hh = (v[3].y - v[0].y) / 2;
    }

    int32_t slot_ = -1;
};

TEST_F(quad_test, ScreenAndWorldFormsPlaceTheImageInViewUnits)
{
    ASSERT_EQ(draw_texture_screen(slot_, 400, 300, 1, 1, 0, 0, 0, 0, 1, 1, 1), 0);
    float cx, cy, hw, hh;
    extent(cx, cy, hw, hh);
    EXPECT_FLOAT_EQ(cx, (400 - 512) / k_view);
    EXPECT_FLOAT_EQ(cy, -(300 - 384) / k_view);
    EXPECT_FLOAT_EQ(hw, 32 / k_view);
    EXPECT_FLOAT_EQ(hh, 32 / k_view);
    EXPECT_EQ(last().type, primitive_type::triangle_strip);
    EXPECT_EQ(last().vertex_count, 4u);
    EXPECT_EQ(last().texture, g_textures[slot_].surface);
    // Left-lower, left-upper, right-lower, right-upper.
    EXPECT_LT(verts()[0].y, verts()[1].y);
    EXPECT_LT(verts()[1].x, verts()[2].x);

    // Zoom 2: the world point at camera + (100, 50) lands on screen pixel (200, 100), twice the
    // size; the odd screen height is halved as an integer.
    g_zoom = 2.0f;
    g_camera_x = 10.0f;
    g_camera_y = -20.0f;
    ASSERT_EQ(draw_texture_world(slot_, 110, 30, 1, 0.5f, 0, 0, 0, 0, 1, 1, 1), 0);
    float wx, wy, whw, whh;
    extent(wx, wy, whw, whh);
    draw_texture_screen(slot_, 200, 100, 1, 1, 0, 0, 0, 0, 1, 1, 1);
    extent(cx, cy, hw, hh);
    EXPECT_NEAR(wx, cx, 1e-5);
    EXPECT_NEAR(wy, cy, 1e-5);
    EXPECT_NEAR(whw, hw, 1e-6); // scale 0.5 at zoom 2
    g_screen_height = 767;
    draw_texture_screen(slot_, 0, 383, 1, 1, 0, 0, 0, 0, 1, 1, 1);
    extent(cx, cy, hw, hh);
    EXPECT_FLOAT_EQ(cy, 0.0f);

    // The scaled form at a depth, always upright.
    g_zoom = 1.0f;
    g_camera_x = g_camera_y = 0;
    draw_texture_scaled_world(slot_, 512, 384, 5, 1, 1, 1, 1, 2, 3, 0, 0, 0);
    extent(cx, cy, hw, hh);
    EXPECT_FLOAT_EQ(hw, 64 / k_view);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(verts()[i].z, 5.0f);
    EXPECT_EQ(verts()[0].v, 1.0f); // upright although 3 was passed
}

TEST_F(quad_test, FlipModesInsetAndOffsetsSetTheTextureCoordinates)
{
    struct expected {
        int32_t flip;
        float ul, ur, vl, vu;
    };
    const float f = 0.125f;
    const expected cases[] = {{0, f, 1 - f, 1 - f, f}, {1, f, 1 - f, f, 1 - f}, {2, 1 - f, f, 1 - f, f},
                              {3, 1 - f, f, f, 1 - f}, {4, f, 1 - f, 1 - f, f}, {-1, f, 1 - f, 1 - f, f}};
    for (const expected& e : cases) {
        draw_texture_screen(slot_, 100, 100, 1, 1, e.flip, 0.5f, 0.25f, f, 1, 1, 1);
        const lit_vertex* v = verts();
        EXPECT_FLOAT_EQ(v[0].u, e.ul + 0.5f) << e.flip; // left-lower
        EXPECT_FLOAT_EQ(v[0].v, e.vl + 0.25f) << e.flip;
        EXPECT_FLOAT_EQ(v[1].v, e.vu + 0.25f) << e.flip; // left-upper
        EXPECT_FLOAT_EQ(v[3].u, e.ur + 0.5f) << e.flip;  // right-upper
    }
    // The direct form shows the whole image upright.
    draw_texture_direct_screen(slot_, 100, 100, 1, 1, 1, 1, 1);
    EXPECT_EQ(verts()[0].u, 0.0f);
    EXPECT_EQ(verts()[0].v, 1.0f);
    EXPECT_EQ(verts()[3].u, 1.0f);
    EXPECT_EQ(verts()[3].v, 0.0f);
    // The gauge shows the lower quarter.
    draw_texture_gauge_screen(slot_, 512, 384, 1, 1, 0.25f, 1, 1, 1);
    EXPECT_FLOAT_EQ(verts()[1].y, -0.5f * 32 / k_view);
    EXPECT_FLOAT_EQ(verts()[1].v, 0.75f);
    EXPECT_FLOAT_EQ(verts()[0].v, 1.0f);
}

TEST_F(quad_test, FreeQuadsTurnTheirCornersAndDrawSilhouettes)
{
    // Corners bottom-left, top-left, top-right, bottom-right of the upright image.
    const float x[4] = {0, 0, 64, 64}, y[4] = {64, 0, 0, 64};
    auto view_of = [](float px, float py) { return std::pair((px - 512) / k_view, -(py - 384) / k_view); };
    for (int turns : {0, 1, 2, 5}) {
        draw_quad_world(slot_, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], 1, 0, 0, 0, 0, 0, turns, 1, 1, 1, 0, 0);
        const lit_vertex* v = verts();
        const int shift = turns < 4 ? turns : 0;
        // The strip runs corner 0, 1, 3, 2; corner 0 holds the image's bottom-left texel.
        const int strip_corner[4] = {0, 1, 3, 2};
        for (int i = 0; i < 4; ++i) {
            const int given = (strip_corner[i] - shift + 4) % 4;
            auto [vx, vy] = view_of(x[given], y[given]);
            EXPECT_FLOAT_EQ(v[i].x, vx) << turns << " " << i;
            EXPECT_FLOAT_EQ(v[i].y, vy) << turns << " " << i;
        }
        EXPECT_EQ(v[0].u, 0.0f);
        EXPECT_EQ(v[0].v, 1.0f);
    }
    // no_turn keeps the corners.
    draw_quad_world(slot_, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], 1, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0);
    EXPECT_FLOAT_EQ(verts()[0].x, view_of(0, 64).first);

    // Black: a silhouette of the alpha; opaque: alpha 1 and the colour.
    draw_quad_screen(slot_, 0, 64, 0, 0, 64, 0, 64, 64, 0.4f, 0, 0, 1, 0, 0, 2, 0.5f, 0.5f, 0.5f);
    const device_material& black = device_->material_of(last());
    EXPECT_EQ(black.diffuse.r, 0.0f);
    EXPECT_EQ(black.ambient.g, 0.0f);
    EXPECT_EQ(black.emissive.b, 0.0f);
    EXPECT_EQ(black.diffuse.a, 0.4f);
    EXPECT_EQ(verts()[0].r, 0);
    EXPECT_EQ(verts()[0].a, 102);
    EXPECT_EQ(verts()[0].u, 1.0f); // flip 2: mirrored
    draw_quad_screen(slot_, 0, 64, 0, 0, 64, 0, 64, 64, 0.4f, 0, 0, 1, 0, 1, 0, 0.5f, 0.25f, 1);
    const device_material& opaque = device_->material_of(last());
    EXPECT_EQ(opaque.diffuse.a, 1.0f);
    EXPECT_EQ(opaque.ambient.r, 0.5f);
    EXPECT_EQ(opaque.emissive.g, -0.75f);
}

TEST_F(quad_test, TheSpriteMaterialFollowsTheAmbientColour)
{
    // Full ambient and white: the texture unchanged in the world forms.
    draw_texture_world(slot_, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1);
    EXPECT_EQ(verts()[0].r, 255);
    EXPECT_EQ(verts()[0].b, 255);
    EXPECT_EQ(verts()[0].a, 255);
    draw_texture_world(slot_, 0, 0, 0.5f, 1, 0, 0, 0, 0, 1, 0.5f, 0.25f);
    EXPECT_EQ(verts()[0].g, 128);
    EXPECT_EQ(verts()[0].b, 64);
    EXPECT_EQ(verts()[0].a, 128);

    // A darker scene darkens the sprite; the material lets lights fill what the ambient lacks.
    g_ambient_color = {0.5f, 0.25f, 1.0f};
    g_d3d_device->set_render_state(render_state::ambient, 0x008040FFu);
    draw_texture_world(slot_, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1);
    const device_material& m = device_->material_of(last());
    EXPECT_FLOAT_EQ(m.diffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.75f);
    EXPECT_FLOAT_EQ(m.diffuse.b, 0.0f);
    EXPECT_EQ(m.ambient.r, 1.0f);
    EXPECT_NEAR(verts()[0].r, 128, 1);
    EXPECT_NEAR(verts()[0].g, 64, 1);
    EXPECT_EQ(verts()[0].b, 255);

    // The screen forms take the colour as the material's ambient.
    g_ambient_color = {1, 1, 1};
    g_d3d_device->set_render_state(render_state::ambient, 0x00FFFFFFu);
    draw_texture_screen(slot_, 0, 0, 1, 1, 0, 0, 0, 0, 0.75f, 1, 0.5f);
    EXPECT_EQ(device_->material_of(last()).ambient.r, 0.75f);
    EXPECT_EQ(verts()[0].r, 128); // 0.75 - 1 + 0.75
    EXPECT_EQ(verts()[0].b, 0);
}

TEST_F(quad_test, SpritesArePixelExactAndLeaveTheTransforms)
{
    write_test_image("wide.tga", 64, 32);
    const int32_t wide = get_texture("wide.tga", 0, 0, 0, 0, 1, 0);
    const matrix4 view = g_d3d_device->get_transform(transform_kind::view);
    ASSERT_EQ(draw_sprite_screen(wide, 100, 50, nullptr), 0);
    float x, y, z;
    const float expected[4][2] = {{68, 66}, {68, 34}, {132, 66}, {132, 34}};
    for (uint32_t i = 0; i < 4; ++i) {
        ASSERT_TRUE(device_->screen_position(last(), i, x, y, z));
        EXPECT_NEAR(x, expected[i][0], 1e-3);
        EXPECT_NEAR(y, expected[i][1], 1e-3);
        EXPECT_EQ(verts()[i].r, 255);
    }
    EXPECT_EQ(std::memcmp(&view, &g_d3d_device->get_transform(transform_kind::view), sizeof view), 0);

    // World sprites: camera and zoom, a quarter turn clockwise, a source rectangle.
    g_camera_x = 50;
    g_zoom = 2;
    const sprite_rect half{0, 0, 32, 32};
    ASSERT_EQ(draw_sprite_world(wide, 100, 40, 0.5f, 1, 90, &half), 0);
    ASSERT_TRUE(device_->screen_position(last(), 1, x, y, z)); // the image's top-left corner
    EXPECT_NEAR(x, 100 + 32, 1e-3);
    EXPECT_NEAR(y, 80 - 32, 1e-3);
    EXPECT_EQ(verts()[3].u, 0.5f);
    EXPECT_EQ(verts()[0].a, 128);

    const float corners[8] = {10, 10, 20, 10, 20, 30, 10, 30};
    ASSERT_EQ(draw_sprite_quad_screen(wide, corners, 1, nullptr), 0);
    ASSERT_TRUE(device_->screen_position(last(), 0, x, y, z)); // bottom-left
    EXPECT_NEAR(x, 10, 1e-3);
    EXPECT_NEAR(y, 30, 1e-3);
}

TEST_F(quad_test, TheDirectFormNeverMakesADeferredSurface)
{
    write_test_image("later.tga", 8, 8);
    const int32_t later = get_texture("later.tga", 0, 0, 0, 0, 0, 1);
    const size_t draws = device_->draws().size();
    EXPECT_EQ(draw_texture_direct_screen(later, 10, 10, 1, 1, 1, 1, 1), -1);
    EXPECT_EQ(g_textures[later].surface, nullptr);
    EXPECT_EQ(device_->draws().size(), draws);
    EXPECT_EQ(draw_texture_screen(later, 10, 10, 1, 1, 0, 0, 0, 0, 1, 1, 1), 0);
    EXPECT_EQ(draw_texture_direct_screen(later, 10, 10, 1, 1, 1, 1, 1), 0);
}

} // namespace
