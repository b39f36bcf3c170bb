#include "core/globals.h"
#include "engine/model_draw.h"
#include "engine/models.h"
#include "engine/textures.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "support/temp_folder.h"
#include "tests/engine/model_test_support.h"
#include "world/game_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <cstring>

namespace {

class model_drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_screen_width = 1024;
        g_screen_height = 768;
        g_zoom = 1.0f;
        g_camera_x = 0.0f;
        g_camera_y = 0.0f;
        g_wbuffer_switch = 0;
        g_d3d_device = &device;
        init_render_states();
        clear_texture_table();
        make_grid_model(m, 4, 2, 2, 3);
        device.clear_recording();
    }
    void TearDown() override
    {
        g_d3d_device = nullptr;
        clear_texture_table();
    }

    // A plain draw at world (x, y), height 0, scale 1, no rotation, frame 0, skin 0.
    void draw_at(float x, float y, uint32_t depth_test = 1, uint32_t shadow = 0, int32_t frame = 0)
    {
        draw_model(&m, x, y, 0.0f, 1.0f, 0, 0, 0, depth_test, frame, 0, shadow, 0, 1.0f, 1.0f, -1);
    }

    recording_device device{1024, 768};
    temp_folder folder;
    model m;
};

} // namespace

TEST_F(model_drawing, EachMaterialIsOneIndexedCallOverItsRun)
{
    m.mesh->materials[1].colour.diffuse = {0.25f, 0.5f, 0.75f, 1.0f};
    draw_at(100, 100);
    ASSERT_EQ(device.draws().size(), 2u);
    const recorded_draw& second = device.draws()[1];
    EXPECT_EQ(second.type, primitive_type::triangle_list);
    ASSERT_EQ(second.index_count, m.mesh->materials[1].index_count);
    // Only the vertices the run uses are handed over: the second half of the grid.
    EXPECT_LT(second.vertex_count, m.mesh->vertices.size());
    const uint32_t first_run = m.mesh->materials[0].index_count;
    for (uint32_t i = 0; i < second.index_count; ++i) {
        const lit_vertex& drawn = device.vertices_of(second)[device.indices_of(second)[i]];
        const device_vertex& own = m.mesh->vertices[m.mesh->indices[first_run + i]];
        EXPECT_EQ(drawn.x, own.x);
        EXPECT_EQ(drawn.y, own.y);
        EXPECT_EQ(drawn.u, own.u);
    }
    EXPECT_EQ(device.material_of(second).diffuse.b, 0.75f);
    EXPECT_EQ(device.states_of(second).get(texture_stage_state::mip_filter),
              static_cast<uint32_t>(texture_filter::linear));

    // A material without indices draws nothing; a model without a mesh draws nothing.
    device.clear_recording();
    m.mesh->materials[0].index_count = 0;
    m.mesh->indices.erase(m.mesh->indices.begin(), m.mesh->indices.begin() + first_run);
    draw_at(100, 100);
    EXPECT_EQ(device.draws().size(), 1u);
    model empty;
    draw_model(&empty, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, -1);
    EXPECT_EQ(device.draws().size(), 1u);
}

TEST_F(model_drawing, TheDepthTestIsLeftOffAndTheTransformsRestored)
{
    const matrix4 view0 = device.get_transform(transform_kind::view);
    const matrix4 world0 = matrix_translation(1, 2, 3);
    device.set_transform(transform_kind::world, world0);
    struct {
        uint32_t depth_test, wbuffer;
        z_mode during;
    } cases[] = {{1, 0, z_mode::w_buffer}, {1, 1, z_mode::on}, {0, 0, z_mode::off}};
    for (const auto& c : cases) {
        device.set_render_state(render_state::z_enable, z_mode::on);
        g_wbuffer_switch = c.wbuffer;
        device.clear_recording();
        draw_at(0, 0, c.depth_test);
        ASSERT_FALSE(device.draws().empty());
        EXPECT_EQ(device.states_of(device.draws()[0]).get(render_state::z_enable), static_cast<uint32_t>(c.during));
        EXPECT_EQ(device.get_render_state(render_state::z_enable), static_cast<uint32_t>(z_mode::off));
        EXPECT_EQ(std::memcmp(&device.get_transform(transform_kind::view), &view0, sizeof view0), 0);
        EXPECT_EQ(std::memcmp(&device.get_transform(transform_kind::world), &world0, sizeof world0), 0);
    }

    // The shadow pass: flat, without the depth test, squashed; gouraud afterwards.
    device.clear_recording();
    draw_at(0, 0, 1, 1);
    const recorded_states& s = device.states_of(device.draws()[0]);
    EXPECT_EQ(s.get(render_state::shade_mode), static_cast<uint32_t>(shade_mode::flat));
    EXPECT_EQ(s.get(render_state::z_enable), static_cast<uint32_t>(z_mode::off));
    const matrix4& v = s.get(transform_kind::view);
    EXPECT_FLOAT_EQ(v.m[1][1] / v.m[0][0], 0.6f * view0.m[1][1] / view0.m[0][0]);
    EXPECT_EQ(device.get_render_state(render_state::shade_mode), static_cast<uint32_t>(shade_mode::gouraud));
}

TEST_F(model_drawing, AFrameOutsideTheModelKeepsTheCurrentOne)
{
    draw_at(0, 0, 1, 0, 2);
    EXPECT_EQ(m.current_frame, 2);
    EXPECT_EQ(m.mesh->vertices[0].x, m.frames[2][0]);
    for (int32_t frame : {-1, 3, 40}) {
        draw_at(0, 0, 1, 0, frame);
        EXPECT_EQ(m.current_frame, 2) << frame;
        EXPECT_EQ(m.mesh->vertices[0].x, m.frames[2][0]) << frame;
    }
    draw_at(0, 0, 1, 0, 1);
    EXPECT_EQ(m.mesh->vertices[0].y, m.frames[1][1]);
}

TEST_F(model_drawing, TheOriginLandsUnderItsWorldPosition)
{
    // Vertex 0 sits at the origin of frame 0.
    struct {
        float x, y, zoom, cx, cy;
    } cases[] = {{300, 200, 1, 0, 0}, {300, 200, 1, 100, 50}, {700, 500, 2, 300, 250}, {512, 384, 0.5f, -200, 0}};
    for (const auto& c : cases) {
        g_zoom = c.zoom;
        g_camera_x = c.cx;
        g_camera_y = c.cy;
        device.clear_recording();
        draw_at(c.x, c.y);
        float sx, sy, sz;
        ASSERT_TRUE(device.screen_position(device.draws()[0], 0, sx, sy, sz));
        // The view scale of 50.7 pixels per unit at 640 pixels is the sprites' too; it is within
        // half a percent of the camera's own, measured from the screen centre.
        const float ex = (c.x - c.cx) * c.zoom, ey = (c.y - c.cy) * c.zoom;
        EXPECT_NEAR(sx, ex, 0.2f + 0.006f * std::fabs(ex - 512.0f)) << c.x;
        EXPECT_NEAR(sy, ey, 0.2f + 0.006f * std::fabs(ey - 384.0f)) << c.y;
    }
}

TEST_F(model_drawing, VertexWorldPositionsFollowThePlacement)
{
    g_zoom = 2.0f;
    g_camera_x = 40.0f;
    g_camera_y = -30.0f;
    float out[4];
    EXPECT_EQ(get_model_vertex_world_pos(&m, 10, 20, 0, 1, 0, 0, 0, 15, out), nullptr);
    model empty;
    EXPECT_EQ(get_model_vertex_world_pos(&empty, 10, 20, 0, 1, 0, 0, 0, 0, out), nullptr);

    // The origin vertex gives the placement itself, at any height.
    for (float z : {0.0f, 30.0f, -50.0f}) {
        ASSERT_EQ(get_model_vertex_world_pos(&m, 250, 120, z, 1.5f, 0, 0, 0, 0, out), out);
        EXPECT_NEAR(out[0], 250.0f, 1e-3f);
        EXPECT_NEAR(out[1], 120.0f, 1e-3f);
        EXPECT_NEAR(out[2], z, 1e-4f);
        EXPECT_EQ(out[3], 1.0f);
    }

    // Vertex 3 is (3, 0, 0): a quarter turn about z takes it to view +y, which is world -y,
    // one view unit being (1024 / 640 × 50.7) × scale × zoom × 1.35 / zoom world pixels.
    ASSERT_NE(get_model_vertex_world_pos(&m, 250, 120, 0, 1.5f, 0, 0, 90, 3, out), nullptr);
    const float unit = 1024.0f / 640.0f * 50.7f * 1.5f * 2.0f * 1.35f / 2.0f;
    EXPECT_NEAR(out[0], 250.0f, 1e-2f);
    EXPECT_NEAR(out[1], 120.0f - 3.0f * unit, 1e-2f);
    EXPECT_EQ(std::memcmp(&device.get_transform(transform_kind::view), &g_view_matrix, sizeof g_view_matrix), 0);
}

TEST_F(model_drawing, RotationsTurnAboutZThenYThenX)
{
    // Vertex 3 is (3, 0, 0), placed at the view's centre; quarter turns about two or three axes,
    // made about z first, then y, then x. Any other order ends elsewhere: for the first, x then y then z gives depth -3.
    struct turn {
        int32_t x, y, z;
        float view_y, depth;
    } turns[] = {{90, 90, 90, 0, 3}, {90, 0, 90, 0, 3}, {90, 90, 0, 3, 0}, {0, 90, 90, 3, 0}};
    const float unit = 1024.0f / 640.0f * 50.7f * 1.35f;  // world pixels per view unit here
    float out[4];
    for (const turn& t : turns) {
        ASSERT_NE(get_model_vertex_world_pos(&m, 512, 384, 0, 1, t.x, t.y, t.z, 3, out), nullptr);
        EXPECT_NEAR(out[0], 512.0f, 1e-2f) << t.x << " " << t.y << " " << t.z;
        EXPECT_NEAR(out[1], 384.0f - t.view_y * unit, 1e-2f) << t.x << " " << t.y << " " << t.z;
        EXPECT_NEAR(out[2], t.depth, 1e-5f) << t.x << " " << t.y << " " << t.z;
    }
}

TEST_F(model_drawing, MaterialTints)
{
    g_ambient_color = {0.25f, 0.5f, 1.0f};
    set_model_colour(&m, 0.2f, 0.4f, 0.6f, 0.7f);
    const device_material& c = m.mesh->materials[1].colour;
    EXPECT_FLOAT_EQ(c.diffuse.r, 0.75f);
    EXPECT_FLOAT_EQ(c.diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(c.diffuse.b, 0.0f);
    EXPECT_FLOAT_EQ(c.diffuse.a, 0.7f);
    EXPECT_FLOAT_EQ(c.ambient.r, 1.0f);
    EXPECT_FLOAT_EQ(c.ambient.a, 0.7f);
    EXPECT_FLOAT_EQ(c.emissive.r, -0.8f);
    EXPECT_FLOAT_EQ(c.emissive.b, -0.4f);
    EXPECT_EQ(c.specular.r, 0.0f);
    EXPECT_EQ(c.power, 0.0f);

    set_model_rgba(&m, 0, 0, 0, 0.5f);
    EXPECT_EQ(c.diffuse.r, 0.0f);
    EXPECT_EQ(c.ambient.a, 0.5f);
    EXPECT_EQ(c.emissive.r, 0.0f);
    model empty;
    set_model_colour(&empty, 1, 1, 1, 1); // nothing to tint
    set_model_rgba(&empty, 1, 1, 1, 1);
}

TEST_F(model_drawing, SkinTexturesAreBoundAndReleasedOnesReadAgain)
{
    write_text("m.sk", "2 a0.tga a1.tga b0.tga b1.tga");
    load_model_skins(&m, "m.sk");
    const int32_t b1 = m.skin_textures[1 + 32 + 1];
    ASSERT_GE(b1, 0);
    device_texture* surface = device.create_texture(4, 4, texture_format::a8r8g8b8, false);
    g_textures[b1].surface = surface;
    draw_model(&m, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, -1);
    ASSERT_EQ(device.draws().size(), 2u);
    EXPECT_EQ(device.draws()[1].texture, surface);
    EXPECT_EQ(m.material_textures[1], b1);
    g_textures[b1].surface = nullptr;

    // A released slot makes the draw read the skin file again: the names get slots anew.
    const int32_t a0 = m.skin_textures[1];
    free_texture(a0);
    ASSERT_STREQ(g_textures[a0].name, "");
    draw_model(&m, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, -1);
    EXPECT_STREQ(g_textures[m.skin_textures[1]].name, "a0.tga");
    device.release_texture(surface);
}

TEST_F(model_drawing, TheDemoCrateLoadsWithItsSkinsAndShowsItsTop)
{
    ASSERT_EQ(std::system((std::string(ZORV_DEMO_TOOL) + " " + folder.path().string()).c_str()), 0);
    model crate;
    load_model(&crate, "3d\\demo\\crate.3d");
    ASSERT_NE(crate.mesh, nullptr);
    EXPECT_EQ(crate.frame_count, 4);
    EXPECT_EQ(crate.skin_count, 2);
    ASSERT_EQ(crate.mesh->material_count, 2u);
    EXPECT_EQ(crate.variant_count, 1);
    const uint16_t top_corner = crate.mesh->indices[crate.mesh->materials[0].index_count];
    EXPECT_EQ(crate.mesh->vertices[top_corner].nz, 1.0f); // the top's normal points up once read

    device.clear_recording();
    draw_model(&crate, 512, 384, 0, 3.0f, 0, 0, 0, 1, 3, 0, 0, 1, 1, 1, -1);
    ASSERT_EQ(device.draws().size(), 2u);
    for (const recorded_draw& d : device.draws())
        ASSERT_NE(d.texture, nullptr);
    EXPECT_STREQ(g_textures[crate.material_textures[1]].name, "3d\\demo\\crate_top2.tga");

    // The top (material 1's first two triangles) turns clockwise on the screen, so the
    // device's default culling of counter-clockwise triangles keeps it.
    const recorded_draw& top = device.draws()[1];
    for (int t = 0; t < 2; ++t) {
        float p[3][2], z;
        for (int c = 0; c < 3; ++c)
            ASSERT_TRUE(device.screen_position(top, device.indices_of(top)[3 * t + c], p[c][0], p[c][1], z));
        const float cross = (p[1][0] - p[0][0]) * (p[2][1] - p[0][1]) - (p[1][1] - p[0][1]) * (p[2][0] - p[0][0]);
        EXPECT_GT(cross, 0.0f) << t;
    }
    free_model(&crate);
}
