// Box selection: which objects a released rectangle selects or unselects, the drag's corners,
// the rectangle drawn unlit with every light restored; and the editor markers' textures.
#include "world/object_fixture.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/view/box_selection.h"
#include "editor/view/object_markers.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "platform/key_codes.h"
#include "support/saved_globals.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

class BoxSelection : public object_test {
protected:
    void SetUp() override
    {
        object_test::SetUp();
        saved_.keep(g_key_state), saved_.keep(g_mouse_middle), saved_.keep(g_mouse_x), saved_.keep(g_mouse_y);
        saved_.keep(g_box_active), saved_.keep(g_box_start), saved_.keep(g_box_end), saved_.keep(g_active_layer);
        saved_.keep(g_lights), saved_.keep(g_ambient_color), saved_.keep(g_zoom), saved_.keep(g_camera_x);
        saved_.keep(g_camera_y), saved_.keep(g_fixed_textures);
        sprite = add_test_proto("crate", 1, k_proto_sprite);
        mesh = add_test_proto("barrel", 1, k_proto_mesh);
        surface = add_test_proto("floor", 1, k_proto_surface);
        g_box_active = 0;
        g_box_start = g_box_end = {};
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
        std::memset(g_lights, 0, sizeof g_lights);
    }
    void TearDown() override
    {
        saved_.restore();
        object_test::TearDown();
    }
    static int32_t place(int32_t proto, float x, float y, int layer = 0)
    {
        const int32_t i = add_object(x, y, proto, 1.0f, 1.0f, 0, 0);
        g_objects[i].layer = uint8_t(layer);
        return i;
    }
    static void frame(float x, float y, bool middle, std::initializer_list<uint8_t> keys = {})
    {
        std::memset(g_key_state, 0, sizeof g_key_state);
        for (uint8_t k : keys)
            g_key_state[k] = k_key_down_bit;
        g_mouse_x = x, g_mouse_y = y, g_mouse_middle = middle ? 1 : 0;
        select_objects_in_box();
    }
    // A drag from (x0, y0) over (x1, y1), released at (x2, y2) with the keys held.
    static void drag(float x0, float y0, float x1, float y1, float x2, float y2, std::initializer_list<uint8_t> keys = {})
    {
        frame(x0, y0, true);
        frame(x1, y1, true);
        frame(x2, y2, false, keys);
    }
    static uint32_t selected(int32_t i) { return g_objects[i].highlight; }

    int32_t sprite = 0, mesh = 0, surface = 0;
    saved_globals saved_;
};

} // namespace

TEST_F(BoxSelection, TheReleaseSelectsTheActiveLayerOrEveryLayerAndAltUnselects)
{
    const int32_t in = place(sprite, 50, 50), out = place(sprite, 150, 50), other = place(sprite, 60, 60, 2);
    const int32_t hero = place(sprite, 70, 70);
    g_objects[hero].proto = -2;
    // The end corner is the mouse at the release, not the last dragged frame's.
    drag(0, 0, 20, 20, 100, 100);
    EXPECT_EQ(selected(in), 1u);
    EXPECT_EQ(selected(out), 0u);
    EXPECT_EQ(selected(other), 0u);
    EXPECT_EQ(selected(hero), 0u);
    EXPECT_EQ(g_box_active, 0u);
    EXPECT_EQ(g_box_start.x, 100.0f);

    drag(100, 100, 0, 0, 0, 0, {k_key_lcontrol});  // from the other corner, every layer
    EXPECT_EQ(selected(other), 1u);
    EXPECT_EQ(selected(in), 1u);
    g_objects[out].highlight = 1;
    drag(0, 0, 100, 100, 100, 100, {k_key_lmenu});  // Alt takes from the selection only
    EXPECT_EQ(selected(in), 0u);
    EXPECT_EQ(selected(other), 1u);
    EXPECT_EQ(selected(out), 1u);

    // Without a drag the button's being up does nothing.
    frame(50, 50, false);
    EXPECT_EQ(selected(in), 0u);
}

TEST_F(BoxSelection, CornersMeshesAndSurfacesAreTestedByTheirOwnPoints)
{
    // A cornered sprite with only its corner 2 inside; its anchor lies outside.
    const int32_t quad = place(sprite, 300, 300);
    const float corners[8] = {200, 200, 260, 200, 90, 90, 200, 260};
    std::memcpy(g_objects[quad].corners, corners, sizeof corners);
    g_objects[quad].has_corners = 1;
    // A mesh whose corner points lie inside but its anchor outside.
    const int32_t barrel = place(mesh, 300, 300);
    std::memcpy(g_objects[barrel].corners, corners, sizeof corners);
    std::fill(std::begin(g_objects[barrel].corners), std::end(g_objects[barrel].corners), 50.0f);
    g_objects[barrel].has_corners = 1;
    // A surface at (200, 100) of scale 0.5 is tested at (100, 50).
    const int32_t floor = place(surface, 200, 100);
    g_objects[floor].scale = 0.5f;
    drag(0, 0, 120, 120, 120, 120);
    EXPECT_EQ(selected(quad), 1u);
    EXPECT_EQ(selected(barrel), 0u);
    EXPECT_EQ(selected(floor), 1u);
}

TEST_F(BoxSelection, TheDraggedRectangleIsDrawnUnlitAndEveryLightIsRestored)
{
    recording_device& dev = *device_;
    for (int slot : {3, 70}) {
        g_lights[slot].state = k_light_on;
        dev.light_enable(uint32_t(slot), true);
    }
    g_lights[5].state = k_light_free;
    g_ambient_color = {0.5f, 0.25f, 1.0f};
    dev.clear_recording();
    frame(10, 10, true);
    EXPECT_TRUE(dev.calls().empty());  // nothing drawn in the first frame
    dev.clear_recording();
    frame(40, 30, true);

    std::vector<recorded_call> calls;
    int lines = 0;
    bool lit[k_light_slots] = {};
    lit[3] = lit[70] = true;
    for (const recorded_call& c : dev.calls()) {
        if (c.kind == device_call::light_enable && c.what < uint32_t(k_light_slots))
            lit[c.what] = c.value != 0;
        if (c.kind == device_call::draw) {
            ++lines;
            EXPECT_EQ(dev.draws()[c.value].type, primitive_type::line_strip);
            EXPECT_FALSE(lit[3] || lit[70]);
            EXPECT_EQ(dev.states_of(dev.draws()[c.value]).get(render_state::ambient), 0xFFFFFFFFu);
        }
        if (c.kind == device_call::light_enable || (c.kind == device_call::render_state && c.what == uint32_t(render_state::ambient)))
            calls.push_back(c);
    }
    EXPECT_EQ(lines, 4);
    EXPECT_TRUE(dev.is_light_enabled(3) && dev.is_light_enabled(70));
    EXPECT_FALSE(dev.is_light_enabled(5));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, device_call::render_state);
    EXPECT_EQ(calls.back().value, 0xFF7F3FFFu);
    EXPECT_EQ(g_box_end.x, 40.0f);
}

TEST_F(BoxSelection, MarkersShowPlainHighlightedAndDepthKindsInTheirModes)
{
    load_test_font_and_fixed_textures();
    g_object_links.draw_object_marker = draw_object_marker;
    auto surface_of = [](int which) { return g_textures[g_fixed_textures[which]].surface; };
    auto count = [&](int which) {
        int n = 0;
        for (const recorded_draw& d : device_->draws())
            n += d.texture == surface_of(which) ? 1 : 0;
        return n;
    };
    place(sprite, 50, 50);
    const int32_t quad = place(sprite, 100, 100);
    g_objects[quad].has_corners = 1;
    g_objects[quad].highlight = 1;
    const int32_t sorted = place(sprite, 150, 150);
    g_objects[sorted].depth_sorted = 1;
    place(sprite, 60, 60, 4);
    const int32_t hero = place(sprite, 70, 70);
    g_objects[hero].proto = -2;

    g_work_mode = k_work_select;
    device_->clear_recording();
    run_frame();
    EXPECT_EQ(count(k_texture_select), 3);  // the character's object in the layer too
    EXPECT_EQ(count(k_texture_select2), 4);
    EXPECT_EQ(count(k_texture_select4), 1);

    g_work_mode = k_work_characters;
    device_->clear_recording();
    run_frame();
    EXPECT_EQ(count(k_texture_select), 1);
    EXPECT_EQ(count(k_texture_select2) + count(k_texture_select4), 0);

    // An unknown marker kind draws nothing.
    device_->clear_recording();
    draw_object_marker(0, 0, 9);
    EXPECT_TRUE(device_->draws().empty());
}
