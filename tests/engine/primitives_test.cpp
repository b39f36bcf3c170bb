#include "engine/primitives.h"
#include "world/world_objects.h"

#include "editor/editor_state.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "shell/window.h"

#include "draw_test_support.h"
#include "support/saved_globals.h"

#include <gtest/gtest.h>

#include <tuple>


namespace {

constexpr float k_units = 1024 / 640.0f * 50.7f; // pixels per view unit on a 1024-pixel screen

struct view_xy {
    float x, y;
};

view_xy screen_view(float x, float y)
{
    return {(x - 512) / k_units, -(y - 384) / k_units};
}

class Primitives : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_camera(dev);
        saved_zoom = g_zoom;
        saved_camera[0] = g_camera_x;
        saved_camera[1] = g_camera_y;
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
    }
    void TearDown() override
    {
        g_zoom = saved_zoom;
        g_camera_x = saved_camera[0];
        g_camera_y = saved_camera[1];
        g_cursor_grid = 0;
        g_mouse_x = g_mouse_y = 0.0f;
        clear_texture_table();
        g_interface.text_background_texture = -1;
    }

    // Vertex i of draw n in view units.
    view_xy at(size_t n, uint32_t i) const
    {
        const lit_vertex& v = dev.vertices_of(dev.draws().at(n))[i];
        return {v.x, v.y};
    }

    void expect_at(size_t n, uint32_t i, view_xy want) const
    {
        const view_xy got = at(n, i);
        EXPECT_NEAR(got.x, want.x, 1e-4) << "draw " << n << " vertex " << i;
        EXPECT_NEAR(got.y, want.y, 1e-4) << "draw " << n << " vertex " << i;
    }

    // A texture slot with a surface of its own.
    int32_t slot_with_surface(const char* name)
    {
        const int32_t slot = append_texture_slot(name);
        g_textures[slot].surface = dev.create_texture(64, 64, texture_format::a8r8g8b8, false);
        g_textures[slot].loaded = 1;
        return slot;
    }

    recording_device dev{1024, 768};
    use_device device{&dev};
    float saved_zoom = 1.0f, saved_camera[2] = {};
};

TEST_F(Primitives, ScreenLinesAreUntexturedLitMaterialsInViewUnits)
{
    dev.set_texture(dev.create_texture(8, 8, texture_format::a8r8g8b8, false));
    draw_screen_line(100, 50, 612, 434, 0.25f, 0.5f, 0.75f, 0.6f);
    ASSERT_EQ(dev.draws().size(), 1u);
    const recorded_draw& draw = dev.draws()[0];
    EXPECT_EQ(draw.type, primitive_type::line_strip);
    EXPECT_EQ(draw.vertex_count, 2u);
    EXPECT_EQ(draw.texture, nullptr);
    EXPECT_EQ(dev.material_of(draw).diffuse.g, 0.5f);
    EXPECT_EQ(dev.material_of(draw).ambient.b, 0.75f);
    EXPECT_EQ(dev.material_of(draw).diffuse.a, 0.6f);
    EXPECT_EQ(dev.material_of(draw).emissive.r, 0.0f);
    EXPECT_EQ(dev.material_of(draw).specular.r, 0.0f);
    expect_at(0, 0, screen_view(100, 50));
    expect_at(0, 1, screen_view(612, 434));
    // Full ambient light gives the colour itself.
    EXPECT_EQ(argb_of(dev.vertices_of(draw)[0]), 0xFF000000u | byte_of(0.25f) << 16 | byte_of(0.5f) << 8 | byte_of(0.75f));
    float x = 0, y = 0, z = 0;
    ASSERT_TRUE(dev.screen_position(draw, 1, x, y, z));
    EXPECT_NEAR(x, 612, 1.0);
    EXPECT_NEAR(y, 434, 1.0);
}

TEST_F(Primitives, WorldShapesApplyCameraAndZoom)
{
    g_zoom = 2.0f;
    g_camera_x = 100.0f;
    g_camera_y = 50.0f;
    // World (150, 100) is screen pixel ((150 - 100) × 2, (100 - 50) × 2).
    draw_world_line(150, 100, 150, 100, 1, 1, 1, 1); // a point to itself: two equal vertices
    draw_world_point(150, 100, 1, 1, 1, 1);
    draw_world_filled_rect(100, 50, 150, 100, 1, 0, 0, 0.5f);
    ASSERT_EQ(dev.draws().size(), 3u);
    expect_at(0, 0, screen_view(100, 100));
    expect_at(0, 1, screen_view(100, 100));
    EXPECT_EQ(dev.draws()[1].type, primitive_type::point_list);
    EXPECT_EQ(dev.draws()[1].vertex_count, 1u);
    expect_at(1, 0, screen_view(100, 100));
    const recorded_draw& rect = dev.draws()[2];
    EXPECT_EQ(rect.type, primitive_type::triangle_strip);
    EXPECT_EQ(rect.texture, nullptr);
    EXPECT_EQ(dev.material_of(rect).diffuse.a, 0.5f);
    const view_xy corners[4] = {screen_view(0, 0), screen_view(100, 0), screen_view(0, 100), screen_view(100, 100)};
    for (uint32_t i = 0; i < 4; ++i)
        expect_at(2, i, corners[i]);
}

TEST_F(Primitives, OutlinesAreFourLinesInTheirOrder)
{
    draw_screen_rect_outline(10, 20, 30, 40, 1, 1, 1, 1);
    g_camera_x = -10.0f;
    draw_world_rect_outline(0, 20, 20, 40, 1, 1, 1, 1); // the same pixels through the camera
    ASSERT_EQ(dev.draws().size(), 8u);
    const float ends[4][4] = {{10, 20, 10, 40}, {30, 20, 30, 40}, {10, 20, 30, 20}, {10, 40, 30, 40}};
    for (size_t n = 0; n < 8; ++n) {
        const float* e = ends[n % 4];
        expect_at(n, 0, screen_view(e[0], e[1]));
        expect_at(n, 1, screen_view(e[2], e[3]));
    }
}

TEST_F(Primitives, ShapesDarkenWithTheAmbientLight)
{
    dev.set_render_state(render_state::ambient, 0x00404040u);
    draw_screen_line(0, 0, 10, 10, 1, 1, 1, 1);
    draw_colored_rect(0, 0, 10, 10, 1, 0.5f, 1, 1, k_rect_plain);
    EXPECT_EQ(argb_of(dev.vertices_of(dev.draws()[0])[0]), 0xFF404040u);
    EXPECT_EQ(argb_of(dev.vertices_of(dev.draws()[1])[0]), 0xFF402040u);
}

TEST_F(Primitives, ColouredRectanglesChooseTextureAndMaterialByMode)
{
    const char* names[] = {"black", "red", "green", "blue"};
    const fixed_texture which[] = {k_texture_black, k_texture_red, k_texture_green, k_texture_blue};
    for (int i = 0; i < 4; ++i)
        g_fixed_textures[which[i]] = slot_with_surface(names[i]);

    draw_colored_rect(10, 20, 110, 70, 0.1f, 0.2f, 0.3f, 0.6f, k_rect_plain);
    ASSERT_EQ(dev.draws().size(), 1u);
    EXPECT_EQ(dev.draws()[0].texture, nullptr);
    EXPECT_EQ(dev.material_of(dev.draws()[0]).ambient.g, 0.2f);
    const view_xy corners[4] = {screen_view(10, 20), screen_view(110, 20), screen_view(10, 70), screen_view(110, 70)};
    for (uint32_t i = 0; i < 4; ++i)
        expect_at(0, i, corners[i]);

    const int16_t modes[] = {k_rect_black, k_rect_green, k_rect_red, k_rect_blue};
    const fixed_texture textures[] = {k_texture_black, k_texture_green, k_texture_red, k_texture_blue};
    for (int i = 0; i < 4; ++i) {
        draw_colored_rect(0, 0, 1024, 768, 0.1f, 0.2f, 0.3f, 0.4f, modes[i]);
        const recorded_draw& draw = dev.draws().back();
        EXPECT_EQ(draw.texture, g_textures[g_fixed_textures[textures[i]]].surface) << "mode " << modes[i];
        EXPECT_EQ(dev.material_of(draw).diffuse.r, 1.0f);
        EXPECT_EQ(dev.material_of(draw).ambient.g, 1.0f);
        EXPECT_EQ(dev.material_of(draw).diffuse.a, 0.4f);
    }

    // Another mode keeps what the device holds.
    device_texture* held = dev.get_texture();
    const device_material material = dev.get_material();
    draw_colored_rect(0, 0, 5, 5, 0, 0, 0, 0.1f, 9);
    EXPECT_EQ(dev.draws().back().texture, held);
    EXPECT_EQ(dev.material_of(dev.draws().back()).diffuse.a, material.diffuse.a);

    // A colour texture that failed to load draws untextured, white at the alpha.
    g_fixed_textures[k_texture_red] = -1;
    draw_colored_rect(0, 0, 5, 5, 0, 0, 0, 0.3f, k_rect_red);
    EXPECT_EQ(dev.draws().back().texture, nullptr);
}

TEST_F(Primitives, TexturedRectanglesUseTheTextBackgroundWithMipFiltering)
{
    g_interface.text_background_texture = slot_with_surface("data/interface/text/pozadie.tga");
    draw_screen_rect_textured(5, 6, 50, 60, 0.1f, 0.1f, 0.1f, 0.8f);
    const recorded_draw& draw = dev.draws().back();
    EXPECT_EQ(draw.texture, g_textures[g_interface.text_background_texture].surface);
    EXPECT_EQ(dev.material_of(draw).diffuse.r, 0.1f);
    EXPECT_EQ(dev.material_of(draw).diffuse.a, 0.8f);
    EXPECT_EQ(dev.states_of(draw).get(texture_stage_state::mip_filter), static_cast<uint32_t>(texture_filter::linear));
    EXPECT_EQ(dev.get_texture_stage_state(texture_stage_state::mip_filter), static_cast<uint32_t>(texture_filter::linear));
    expect_at(dev.draws().size() - 1, 3, screen_view(50, 60));
}

TEST_F(Primitives, NothingIsDrawnWithoutADevice)
{
    use_device none(nullptr);
    draw_screen_line(0, 0, 1, 1, 1, 1, 1, 1);
    draw_colored_rect(0, 0, 1, 1, 1, 1, 1, 1, k_rect_plain);
    draw_world_point(0, 0, 1, 1, 1, 1);
    g_cursor_grid = 1;
    draw_cursor_marker();
    EXPECT_TRUE(dev.draws().empty());
}

TEST(CursorGrid, SnapsToTheLastLatticePointWithinFourUnits)
{
    const float sx = 1024, sy = 768;
    float x = 0, y = 0;
    // Far from every lattice point: the mouse position stays.
    snap_to_cursor_grid(100.0f, 48.0f, sx, sy, &x, &y);
    EXPECT_EQ(x, 100.0f);
    EXPECT_EQ(y, 48.0f);
    // Near a corner of the 16 × 32 lattice.
    snap_to_cursor_grid(98.5f, 62.0f, sx, sy, &x, &y);
    EXPECT_EQ(x, 96.0f);
    EXPECT_EQ(y, 64.0f);
    // Near a cell centre (8 and 16 off the corners).
    snap_to_cursor_grid(107.0f, 81.5f, sx, sy, &x, &y);
    EXPECT_EQ(x, 104.0f);
    EXPECT_EQ(y, 80.0f);
    // Exactly 4 units away is not near enough.
    snap_to_cursor_grid(100.0f, 64.0f, sx, sy, &x, &y);
    EXPECT_EQ(x, 100.0f);
    // Negative positions divide toward zero and still find their point.
    snap_to_cursor_grid(-97.0f, -63.0f, sx, sy, &x, &y);
    EXPECT_EQ(x, -96.0f);
    EXPECT_EQ(y, -64.0f);
}

TEST_F(Primitives, TheCursorGridDrawsUnlitDotsAcrossTheView)
{
    draw_cursor_marker(); // grid off: nothing
    EXPECT_TRUE(dev.draws().empty());

    g_cursor_grid = 1;
    g_zoom = 2.0f;
    g_mouse_x = 70.0f;
    g_mouse_y = 130.0f;
    draw_cursor_marker();
    // Span 512 × 384: i below 512 / 32 + 2, j below 384 / 32, two dots each.
    ASSERT_EQ(dev.draws().size(), 2u * 18u * 12u);
    for (const recorded_draw& draw : dev.draws()) {
        EXPECT_EQ(draw.type, primitive_type::point_list);
        EXPECT_EQ(dev.states_of(draw).get(render_state::lighting), 0u);
        EXPECT_EQ(argb_of(dev.vertices_of(draw)[0]), 0xFFFFFFFFu);
    }
    EXPECT_EQ(dev.get_render_state(render_state::lighting), 1u);
    // The first dots: one cell left of and above the mouse's cell (2, 2), then its centre.
    const float k = k_units;
    const auto world_view = [k](float x, float y) { return view_xy{(x * 2 - 512) / k, -(y * 2 - 384) / k}; };
    expect_at(0, 0, world_view(32, 64));
    expect_at(1, 0, world_view(48, 96));

    dev.clear_recording();
    g_zoom = 0.0f; // no span: nothing, and no endless loop
    draw_cursor_marker();
    EXPECT_TRUE(dev.draws().empty());
}

class PrimitivesOnGl : public gl_draw_test {
protected:
    // The world at the screen's origin: camera (0, 0), zoom 1, 1024 x 768.
    void SetUp() override
    {
        saved.keep(g_zoom), saved.keep(g_camera_x), saved.keep(g_camera_y);
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
        gl_draw_test::SetUp();
        if (dev)
            dev->set_render_state(render_state::z_enable, z_mode::off);
    }

    saved_globals saved;
};

TEST_F(PrimitivesOnGl, RectanglesLinesAndPointsReachTheirPixels)
{
    draw_colored_rect(100, 100, 200, 150, 1, 0, 0, 1, k_rect_plain);
    draw_screen_line(300, 400, 600, 400, 0, 1, 0, 1);
    draw_world_point(800, 600, 0, 0, 1, 1);
    std::vector<uint32_t> frame;
    ASSERT_TRUE(dev->read_frame(frame));
    const auto px = [&](int x, int y) { return frame[static_cast<size_t>(y) * 1024 + x]; };
    EXPECT_EQ(px(150, 125), 0xFFFF0000u);
    EXPECT_EQ(px(95, 125), 0xFF000000u);
    EXPECT_EQ(px(150, 155), 0xFF000000u);
    // The line and the point land within a pixel or two of their place (the projection's scale
    // is 0.4 % above the pixel constant).
    int line_pixels = 0;
    for (int y = 397; y <= 403; ++y)
        for (int x = 300; x <= 600; ++x)
            line_pixels += px(x, y) == 0xFF00FF00u;
    EXPECT_GE(line_pixels, 295);
    int point_pixels = 0;
    for (int y = 595; y <= 605; ++y)
        for (int x = 795; x <= 805; ++x)
            point_pixels += px(x, y) == 0xFF0000FFu;
    EXPECT_GE(point_pixels, 1);
}

} // namespace

TEST_F(Primitives, TheCursorMarkerPutsTheBrushPreviewUnderTheMouseOrOnTheLattice)
{
    reset_object(&g_brush_preview);
    g_brush_preview.cursor = 1;
    g_mouse_x = 98.5f;
    g_mouse_y = 62.0f;
    g_cursor_grid = 0;
    draw_cursor_marker();
    EXPECT_EQ(g_brush_preview.x, 98.5f);
    EXPECT_EQ(g_brush_preview.y, 62.0f);

    g_cursor_grid = 1;
    draw_cursor_marker();
    EXPECT_EQ(g_brush_preview.x, 96.0f);
    EXPECT_EQ(g_brush_preview.y, 64.0f);

    // Far from every lattice point the preview stays exactly under the mouse.
    g_mouse_x = 100.0f;
    g_mouse_y = 48.0f;
    draw_cursor_marker();
    EXPECT_EQ(g_brush_preview.x, 100.0f);
    EXPECT_EQ(g_brush_preview.y, 48.0f);
}
