#include "platform/recording_device.h"

#include "device_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class RecordingDevice : public ::testing::Test {
protected:
    recording_device dev{1024, 768};

    // Draws one quad at the origin and returns its first lit vertex.
    lit_vertex lit_quad(float half = 0.5f)
    {
        auto q = quad_at(0, 0, half, half);
        EXPECT_TRUE(dev.draw_primitive(primitive_type::triangle_strip, q.data(), 4));
        return dev.vertices_of(dev.draws().back())[0];
    }
};

TEST_F(RecordingDevice, RepeatedSetsAreDroppedAndOnlyChangesRecorded)
{
    dev.set_render_state(render_state::z_enable, z_mode::off);
    dev.set_render_state(render_state::z_enable, z_mode::off);
    dev.set_render_state(render_state::cull_mode, cull_mode::counter_clockwise); // the start value
    dev.set_material(sprite_material(1, 1, 1, 1));
    dev.set_material(sprite_material(1, 1, 1, 1));
    dev.set_texture(nullptr);
    ASSERT_EQ(dev.calls().size(), 2u);
    EXPECT_EQ(dev.calls()[0].kind, device_call::render_state);
    EXPECT_EQ(dev.calls()[0].what, static_cast<uint32_t>(render_state::z_enable));
    EXPECT_EQ(dev.calls()[0].value, static_cast<uint32_t>(z_mode::off));
    EXPECT_EQ(dev.calls()[1].kind, device_call::material);
}

TEST_F(RecordingDevice, GuardsRestoreWhatTheyChange)
{
    const matrix4 view = dev.get_transform(transform_kind::view);
    {
        render_state_guard z(dev, render_state::z_enable, z_mode::off);
        stage_state_guard mip(dev, texture_stage_state::mip_filter, texture_filter::linear);
        transform_guard t(dev, transform_kind::view, matrix_scaling(2, 2, 2));
        EXPECT_EQ(dev.get_render_state(render_state::z_enable), static_cast<uint32_t>(z_mode::off));
        EXPECT_EQ(dev.get_texture_stage_state(texture_stage_state::mip_filter),
                  static_cast<uint32_t>(texture_filter::linear));
        EXPECT_EQ(dev.get_transform(transform_kind::view).m[0][0], 2.0f);
    }
    EXPECT_EQ(dev.get_render_state(render_state::z_enable), static_cast<uint32_t>(z_mode::on));
    EXPECT_EQ(dev.get_texture_stage_state(texture_stage_state::mip_filter), static_cast<uint32_t>(texture_filter::none));
    EXPECT_EQ(dev.get_transform(transform_kind::view).m[0][0], view.m[0][0]);
}

TEST_F(RecordingDevice, DrawsKeepTheStatesTheyWereMadeWith)
{
    use_fixed_camera(dev);
    lit_quad();
    dev.set_render_state(render_state::shade_mode, shade_mode::flat);
    dev.set_material(sprite_material(0.5f, 0.5f, 0.5f, 1));
    lit_quad();
    lit_quad();
    ASSERT_EQ(dev.draws().size(), 3u);
    const auto& d = dev.draws();
    EXPECT_EQ(dev.states_of(d[0]).get(render_state::shade_mode), static_cast<uint32_t>(shade_mode::gouraud));
    EXPECT_EQ(dev.states_of(d[1]).get(render_state::shade_mode), static_cast<uint32_t>(shade_mode::flat));
    EXPECT_EQ(d[1].states, d[2].states); // no change between them: one snapshot
    EXPECT_EQ(d[1].material, d[2].material);
    EXPECT_NE(d[0].material, d[1].material);
    EXPECT_EQ(dev.material_of(d[0]).emissive.r, 0.0f);
    EXPECT_EQ(dev.material_of(d[1]).emissive.r, -0.5f);
    EXPECT_EQ(d[0].type, primitive_type::triangle_strip);

    // A cleared recording starts again from the states and material the device holds.
    dev.clear_recording();
    lit_quad();
    ASSERT_EQ(dev.draws().size(), 1u);
    EXPECT_EQ(dev.material_of(dev.draws()[0]).emissive.r, -0.5f);
    EXPECT_EQ(dev.states_of(dev.draws()[0]).get(render_state::shade_mode), static_cast<uint32_t>(shade_mode::flat));
}

TEST_F(RecordingDevice, RefusesShortDrawsAndIndicesOutOfRange)
{
    device_vertex v[3] = {};
    const uint16_t good[3] = {0, 1, 2};
    const uint16_t bad[3] = {0, 1, 3};
    EXPECT_FALSE(dev.draw_primitive(primitive_type::triangle_list, v, 2));
    EXPECT_FALSE(dev.draw_primitive(primitive_type::line_strip, v, 1));
    EXPECT_FALSE(dev.draw_primitive(primitive_type::point_list, nullptr, 1));
    EXPECT_FALSE(dev.draw_indexed_primitive(primitive_type::triangle_list, v, 3, bad, 3));
    EXPECT_TRUE(dev.draw_primitive(primitive_type::point_list, v, 1));
    EXPECT_TRUE(dev.draw_indexed_primitive(primitive_type::triangle_list, v, 3, good, 3));
    ASSERT_EQ(dev.draws().size(), 2u);
    EXPECT_EQ(dev.draws()[1].index_count, 3u);
    EXPECT_EQ(dev.indices_of(dev.draws()[1])[2], 2u);
}

TEST_F(RecordingDevice, FixedCameraPutsASixtyFourPixelImageOnAboutSixtyFourPixels)
{
    use_fixed_camera(dev);
    auto q = screen_quad(dev, 512, 384, 64, 64);
    dev.draw_primitive(primitive_type::triangle_strip, q.data(), 4);
    const recorded_draw& d = dev.draws()[0];
    float x0, y0, z0, x3, y3, z3;
    ASSERT_TRUE(dev.screen_position(d, 0, x0, y0, z0)); // left-lower
    ASSERT_TRUE(dev.screen_position(d, 3, x3, y3, z3)); // right-upper
    EXPECT_NEAR(x3 - x0, 64.0f, 0.5f);
    EXPECT_NEAR(y0 - y3, 64.0f, 0.5f);
    EXPECT_NEAR((x0 + x3) / 2, 512.0f, 0.01f);
    EXPECT_NEAR((y0 + y3) / 2, 384.0f, 0.01f);
    EXPECT_GT(z0, 0.0f);
    EXPECT_LT(z0, 1.0f);
}

TEST_F(RecordingDevice, FullAmbientShowsTheColourArgumentExactly)
{
    use_fixed_camera(dev);
    dev.set_material(sprite_material(0.2f, 0.6f, 1.0f, 0.5f));
    lit_vertex v = lit_quad();
    EXPECT_EQ(v.r, byte_of(0.2f));
    EXPECT_EQ(v.g, byte_of(0.6f));
    EXPECT_EQ(v.b, 255u);
    EXPECT_EQ(v.a, byte_of(0.5f));

    // A darker ambient darkens it; lights brighten it by at most what the ambient lacks.
    dev.set_render_state(render_state::ambient, 0x00808080u);
    dev.set_material(sprite_material(1, 1, 1, 1, 128 / 255.0f));
    dev.set_light(3, point_light(0, 0, 10, 100, 1, 1, 1)); // behind the plane, along the normal
    EXPECT_EQ(lit_quad(0.001f).r, 128u);
    dev.light_enable(3, true);
    EXPECT_EQ(lit_quad(0.001f).r, 255u);
}

TEST_F(RecordingDevice, TheSumIsFormedBeforeTheClamp)
{
    use_fixed_camera(dev);
    device_material m{};
    m.ambient = {1, 1, 1, 1};
    m.diffuse = {0, 0, 0, 2};          // alpha clamps to 1
    m.emissive = {-1.5f, -0.25f, 2, 0}; // negative emissive pulls below what the ambient gives
    dev.set_material(m);
    lit_vertex v = lit_quad();
    EXPECT_EQ(v.r, 0u);
    EXPECT_EQ(v.g, byte_of(0.75f));
    EXPECT_EQ(v.b, 255u);
    EXPECT_EQ(v.a, 255u);

    dev.set_render_state(render_state::lighting, 0u);
    v = lit_quad();
    EXPECT_EQ(argb_of(v), 0xFFFFFFFFu);
    EXPECT_EQ(v.a, 255u);
}

TEST_F(RecordingDevice, PointLightFollowsRangeNormalAndAttenuation)
{
    use_fixed_camera(dev);
    device_material m{};
    m.diffuse = {1, 0.5f, 0.25f, 1};
    dev.set_material(m);
    // The quad's normal is (0, 0, 1): a light at positive z faces it.
    dev.set_light(0, point_light(0, 0, 5, 5.0f, 1, 1, 1));
    dev.light_enable(0, true);
    lit_vertex v = lit_quad(0.0f); // all four vertices at the origin, distance 5 = range
    EXPECT_EQ(v.r, 255u);
    EXPECT_EQ(v.g, byte_of(0.5f));
    EXPECT_EQ(v.b, byte_of(0.25f));

    dev.set_light(0, point_light(0, 0, 5.01f, 5.0f, 1, 1, 1)); // just beyond the range
    EXPECT_EQ(lit_quad(0.0f).r, 0u);

    dev.set_light(0, point_light(0, 0, -5, 50.0f, 1, 1, 1)); // in front: behind the normal
    EXPECT_EQ(lit_quad(0.0f).r, 0u);

    device_light l = point_light(3, 0, 4, 50.0f, 1, 1, 1); // N·L = 4 / 5
    l.attenuation1 = 0.2f;                                 // 1 / (1 + 0.2 × 5) = 0.5
    dev.set_light(0, l);
    EXPECT_EQ(lit_quad(0.0f).r, byte_of(0.4f));

    dev.light_enable(0, false);
    EXPECT_EQ(lit_quad(0.0f).r, 0u);
}

TEST_F(RecordingDevice, SpotLightConeAndFalloff)
{
    use_fixed_camera(dev);
    device_material m{};
    m.diffuse = {1, 1, 1, 1};
    dev.set_material(m);
    device_light l{};
    l.type = k_light_spot;
    l.diffuse = {1, 1, 1, 0};
    l.range = 100;
    l.attenuation0 = 1;
    l.falloff = 1;
    l.theta = 1.0f; // inner half-angle 0.5 rad
    l.phi = 2.0f;   // outer half-angle 1.0 rad
    l.direction = {0, 0, -1};
    auto at_angle = [&](float angle) { // the light sits off the normal by `angle`, aimed at the origin
        l.position = {10 * std::sin(angle), 0, 10 * std::cos(angle)};
        l.direction = {-std::sin(angle), 0, -std::cos(angle)};
        dev.set_light(7, l);
        return lit_quad(0.0f).r;
    };
    dev.light_enable(7, true);
    EXPECT_EQ(at_angle(0.0f), 255u); // on the axis: full N·L = 1

    // Aimed off the vertex: the vertex lies at `off` radians from the spot's axis.
    auto off_axis = [&](float off) {
        l.position = {0, 0, 10};
        l.direction = {std::sin(off), 0, -std::cos(off)};
        dev.set_light(7, l);
        return lit_quad(0.0f).r;
    };
    EXPECT_EQ(off_axis(0.4f), 255u);  // inside the inner cone
    EXPECT_EQ(off_axis(1.05f), 0u);   // outside the outer cone
    const float rho = std::cos(0.75f);
    const float expected = (rho - std::cos(1.0f)) / (std::cos(0.5f) - std::cos(1.0f));
    EXPECT_NEAR(off_axis(0.75f), expected * 255.0f, 1.0f);
}

TEST_F(RecordingDevice, LightsAreTakenToViewSpaceWithTheScene)
{
    use_fixed_camera(dev);
    device_material m{};
    m.diffuse = {1, 1, 1, 1};
    dev.set_material(m);
    dev.set_light(1, point_light(0, 0, 4, 5.0f, 1, 1, 1));
    dev.light_enable(1, true);
    const uint8_t before = lit_quad(0.0f).r;
    // Moving the world moves the vertices but not the light: out of range.
    dev.set_transform(transform_kind::world, matrix_translation(10, 0, 0));
    EXPECT_EQ(lit_quad(0.0f).r, 0u);
    // Moving the view moves both together: the same light again.
    dev.set_transform(transform_kind::world, matrix_identity());
    matrix4 view = dev.get_transform(transform_kind::view);
    dev.set_transform(transform_kind::view, matrix_multiply(matrix_translation(10, 0, 0), view));
    EXPECT_EQ(lit_quad(0.0f).r, before);
}

TEST_F(RecordingDevice, HundredLightSlotsAddressedByIndex)
{
    device_light l = point_light(0, 0, 1, 10, 1, 1, 1);
    EXPECT_TRUE(dev.set_light(99, l));
    EXPECT_TRUE(dev.light_enable(99, true));
    EXPECT_TRUE(dev.is_light_enabled(99));
    EXPECT_FALSE(dev.set_light(100, l));
    EXPECT_FALSE(dev.light_enable(100, true));
    EXPECT_FALSE(dev.is_light_enabled(100));
    device_light out{};
    ASSERT_TRUE(dev.get_light(99, out));
    EXPECT_EQ(out.position.z, 1.0f);

    use_fixed_camera(dev);
    device_material m{};
    m.diffuse = {0.01f, 0, 0, 1};
    dev.set_material(m);
    for (uint32_t i = 0; i < k_device_light_slots; ++i) {
        dev.set_light(i, l);
        dev.light_enable(i, true);
    }
    EXPECT_EQ(lit_quad(0.0f).r, 255u); // a hundred lights of 0.01 each
}

TEST_F(RecordingDevice, TexturesLockUnlockAndRelease)
{
    device_texture* t = dev.create_texture(3, 2, texture_format::a4r4g4b4, false);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(dev.create_texture(0, 2, texture_format::a8r8g8b8, false), nullptr);
    EXPECT_EQ(dev.create_texture(2, 2, static_cast<texture_format>(7), false), nullptr);
    texture_lock lock;
    ASSERT_TRUE(dev.lock_texture(t, lock));
    EXPECT_EQ(lock.pitch, 6u);
    EXPECT_EQ(lock.rows, 2u);
    texture_lock again;
    EXPECT_FALSE(dev.lock_texture(t, again));
    lock.bits[0] = 0x34;
    lock.bits[1] = 0xF2; // alpha 15, red 2, green 3, blue 4
    dev.unlock_texture(t);
    ASSERT_TRUE(dev.lock_texture(t, again));
    EXPECT_EQ(again.bits[1], 0xF2);
    dev.unlock_texture(t, false);
    std::vector<uint32_t> argb;
    texture_to_argb(*t, argb);
    EXPECT_EQ(argb[0], 0xFF223344u);

    dev.set_texture(t);
    dev.release_texture(t);
    EXPECT_EQ(dev.get_texture(), nullptr);
}

TEST(TextureFormats, PitchRowsAndConversionOfEveryFormat)
{
    EXPECT_EQ(texture_pitch(texture_format::a8r8g8b8, 5), 20u);
    EXPECT_EQ(texture_pitch(texture_format::r5g6b5, 5), 10u);
    EXPECT_EQ(texture_pitch(texture_format::dxt3, 5), 32u);
    EXPECT_EQ(texture_rows(texture_format::dxt3, 5), 2u);
    EXPECT_EQ(texture_rows(texture_format::a4r4g4b4, 5), 5u);
    EXPECT_FALSE(texture_format_known(0));

    device_texture t;
    t.width = 1;
    t.height = 1;
    t.format = texture_format::r5g6b5;
    t.pitch = 2;
    t.rows = 1;
    t.pixels = {0x1F, 0xF8}; // red 31, green 0, blue 31
    std::vector<uint32_t> out;
    texture_to_argb(t, out);
    EXPECT_EQ(out[0], 0xFFFF00FFu);

    t.format = texture_format::a8r8g8b8;
    t.pitch = 4;
    t.pixels = {0x11, 0x22, 0x33, 0x44};
    texture_to_argb(t, out);
    EXPECT_EQ(out[0], 0x44332211u);

    // DXT3: a 5 × 5 image is 2 × 2 blocks; the first block gives texel 1 alpha 0xF and index 2.
    t.format = texture_format::dxt3;
    t.width = t.height = 5;
    t.pitch = 32;
    t.rows = 2;
    t.pixels.assign(64, 0);
    t.pixels[0] = 0xF0;                 // texel 0 alpha 0, texel 1 alpha 15
    t.pixels[8] = 0x00, t.pixels[9] = 0xF8;   // colour 0: pure red
    t.pixels[10] = 0x1F, t.pixels[11] = 0x00; // colour 1: pure blue
    t.pixels[12] = 0x08;                // texel 0 index 0, texel 1 index 2
    texture_to_argb(t, out);
    ASSERT_EQ(out.size(), 25u);
    EXPECT_EQ(out[0], 0x00FF0000u);
    EXPECT_EQ(out[1], 0xFFAA0055u); // (2 red + blue) / 3
}

TEST(Matrices, CameraAndProjectionOfTheFixedView)
{
    matrix4 view;
    ASSERT_TRUE(matrix_look_at_lh({0, 0, -465}, {0, 0, 0}, {0, 0, 0}, view));
    const matrix4 expected_view = matrix_translation(0, 0, 465);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_FLOAT_EQ(view.m[i][j], expected_view.m[i][j]) << i << j;

    matrix4 p;
    ASSERT_TRUE(matrix_perspective_fov_lh(3.14159265f / 155.0f, 0.75f, 1, 2000, p));
    const float cot = 1.0f / std::tan(3.14159265f / 310.0f);
    EXPECT_FLOAT_EQ(p.m[0][0], 0.75f * cot);
    EXPECT_FLOAT_EQ(p.m[1][1], cot);
    EXPECT_FLOAT_EQ(p.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(p.m[3][2], -2000.0f / 1999.0f);
    float out[4];
    matrix_transform_point(p, {0, 0, 2000}, out);
    EXPECT_FLOAT_EQ(out[2] / out[3], 1.0f);

    matrix4 unchanged = matrix_identity();
    EXPECT_FALSE(matrix_perspective_fov_lh(0.01f, 1, 1, 2000, unchanged));
    EXPECT_FALSE(matrix_perspective_fov_lh(1, 1, 1, 1.001f, unchanged));
    EXPECT_EQ(unchanged.m[0][0], 1.0f);
    EXPECT_FALSE(matrix_look_at_lh({1, 2, 3}, {1, 2, 3}, {0, 1, 0}, view));

    // Row vectors: rotate about z by a quarter turn, then move.
    const matrix4 m = matrix_multiply(matrix_rotation_z(3.14159265f / 2), matrix_translation(10, 0, 0));
    matrix_transform_point(m, {1, 0, 0}, out);
    EXPECT_NEAR(out[0], 10.0f, 1e-5f);
    EXPECT_NEAR(out[1], 1.0f, 1e-5f);
}

TEST(Vec3, CrossLengthAndNormalize)
{
    vec3 c = vec3_cross({1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.0f);
    EXPECT_EQ(c.z, 1.0f);
    EXPECT_FLOAT_EQ(vec3_length({3, 4, 12}), 13.0f);
    vec3 n = vec3_normalize({0, 0, -5});
    EXPECT_FLOAT_EQ(n.z, -1.0f);
    vec3 zero = vec3_normalize({0, 0, 0});
    EXPECT_EQ(zero.x, 0.0f);
    vec3 v{1, 2, 3};
    vec3_at_mut(v, 2) = 9;
    EXPECT_EQ(vec3_at(v, 2), 9.0f);
}

} // namespace
