// Inserting mode: the brush's prototype steps and bounds, the keys that tune it, and the placing
// of exactly one object per press with its undo snapshot, effect entry and corner kind.
#include "world/object_fixture.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/input_state.h"
#include "editor/editor_frame.h"
#include "editor/editor_links.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "editor/windows/mode_tabs.h"
#include "platform/key_codes.h"
#include "support/saved_globals.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <tuple>

namespace {

int g_proto_editor_steps;

class BrushMode : public object_test {
protected:
    void SetUp() override
    {
        object_test::SetUp();
        saved_.keep(g_editor), saved_.keep(g_work_mode), saved_.keep(g_key_state), saved_.keep(g_mouse_left);
        saved_.keep(g_wheel_up), saved_.keep(g_wheel_down), saved_.keep(g_mouse_x), saved_.keep(g_mouse_y);
        saved_.keep(g_brush_preview), saved_.keep(g_brush_corner_mode), saved_.keep(g_brush_latches);
        saved_.keep(g_undo_counter), saved_.keep(g_map_dirty), saved_.keep(g_editor_links), saved_.keep(g_tab_window);
        saved_.keep(*g_mode_tab_pages[1].window), saved_.keep(g_stored_corners), saved_.keep(g_active_layer);
        saved_.keep(g_marker_dx), saved_.keep(g_marker_dy), saved_.keep(g_global_settings_window);
        g_global_settings_window = 0;
        for (const char* stem : {"marker", "tree", "rock", "well"})
            add_test_proto(stem, 1);
        g_mouse_x = 300.0f;
        g_mouse_y = 200.0f;
        g_undo_counter = 0;
        g_mouse_left = g_wheel_up = g_wheel_down = 0;
        std::memset(g_key_state, 0, sizeof g_key_state);
        reset_editor_brush(g_editor);
        g_proto_editor_steps = 0;
    }
    void TearDown() override
    {
        reset_object(&g_brush_preview);
        saved_.restore();
        object_test::TearDown();
    }
    // One frame with exactly these keys down.
    static void frame(std::initializer_list<uint8_t> keys = {}, bool click = false)
    {
        std::memset(g_key_state, 0, sizeof g_key_state);
        for (uint8_t k : keys)
            g_key_state[k] = k_key_down_bit;
        g_mouse_left = click ? 1 : 0;
        run_brush_mode(g_editor);
    }
    static void press(uint8_t key)
    {
        frame({key});
        frame();
    }
    static uint32_t used_objects()
    {
        return uint32_t(std::count_if(g_objects, g_objects + g_object_count, [](const world_object& o) { return o.state != 0; }));
    }
    // The last object with this prototype, or null.
    static const world_object* placed(int32_t proto)
    {
        const world_object* found = nullptr;
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (g_objects[i].state != 0 && g_objects[i].proto == proto)
                found = &g_objects[i];
        return found;
    }
    saved_globals saved_;
};

} // namespace

TEST_F(BrushMode, PageKeysAndTheWheelStepTheBrushBetweenOneAndTheLastPrototypeAndRebuildThePreview)
{
    EXPECT_EQ(g_editor.brush_proto, 0);
    press(k_key_next);
    EXPECT_EQ(g_editor.brush_proto, 1);
    g_brush_preview.x = -50.0f;
    press(k_key_prior);
    EXPECT_EQ(g_editor.brush_proto, 1);
    EXPECT_EQ(g_brush_preview.x, 300.0f);  // rebuilt at the mouse all the same
    frame({k_key_next});
    frame({k_key_next});  // held: one step
    EXPECT_EQ(g_editor.brush_proto, 2);
    for (int i = 0; i < 3; ++i)
        press(k_key_next);
    EXPECT_EQ(g_editor.brush_proto, 3);
    EXPECT_EQ(g_brush_preview.proto, 3);
    g_wheel_up = 1;
    frame();
    frame();  // the wheel steps in every frame it moved
    g_wheel_up = 0;
    EXPECT_EQ(g_editor.brush_proto, 1);

    // With the prototype editor shown the keys and the wheel move its list instead.
    g_editor_links.select_next_proto = [] { ++g_proto_editor_steps; };
    g_editor_links.select_prev_proto = [] { g_proto_editor_steps += 100; };
    *g_mode_tab_pages[1].window = 77;
    g_tab_window = 77;
    press(k_key_next);
    press(k_key_prior);
    g_wheel_down = 1;
    frame();
    g_wheel_down = 0;
    EXPECT_EQ(g_proto_editor_steps, 102);
    EXPECT_EQ(g_editor.brush_proto, 1);
}

TEST_F(BrushMode, AlfaStopsAtItsBoundsCtrlKeysLeaveTheScaleAndBackspaceCycles)
{
    for (int i = 0; i < 150; ++i)
        frame({k_key_x});
    EXPECT_LE(g_editor.brush_alfa, 0.01f);
    EXPECT_GT(g_editor.brush_alfa, 0.0f);
    for (int i = 0; i < 150; ++i)
        frame({k_key_s});
    EXPECT_GE(g_editor.brush_alfa, 1.0f);
    EXPECT_LT(g_editor.brush_alfa, 1.02f);
    frame({k_key_lcontrol, k_key_z});  // Ctrl+Z and Ctrl+S belong to the frame
    frame({k_key_lcontrol, k_key_s, k_key_v});
    EXPECT_EQ(g_editor.brush_scale, 1.0f);
    EXPECT_EQ(g_brush_preview.angle_c, -1);  // copied each frame

    g_editor.brush_rot1 = 7;
    press(k_key_back);
    EXPECT_EQ(g_editor.brush_rot1, 0);
    g_editor.brush_rot1 = -3;
    frame({k_key_back});
    frame({k_key_back});  // held: one step
    EXPECT_EQ(g_editor.brush_rot1, -2);
}

TEST_F(BrushMode, OnePressPlacesOneObjectWithOneSnapshotTheBrushValuesAndTheCornerKind)
{
    g_editor.brush_proto = 2;
    g_editor.brush_scale = 1.5f, g_editor.brush_alfa = 0.5f;
    g_editor.brush_rot1 = 3, g_editor.brush_rot2 = 2, g_editor.brush_rot3 = 1;
    g_editor.brush_efect_type = 0x107;
    for (int i = 0; i < 5; ++i) {
        g_editor.brush_efect_float[i] = float(i) + 0.5f;
        g_editor.brush_efect_int[i] = 10 + i;
    }
    g_active_layer = 6;
    rebuild_brush_preview(g_editor);
    const uint32_t before = used_objects();

    // The button held over frames, then Space pressed while it is still held: one object.
    frame({}, true);
    frame({}, true);
    frame({k_key_space}, true);
    frame({k_key_space});
    EXPECT_EQ(used_objects(), before + 1);
    EXPECT_EQ(g_undo_counter, 1u);
    EXPECT_EQ(g_map_dirty, 1u);
    const world_object* o = placed(2);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(std::make_tuple(o->layer, o->x, o->scale, o->alpha, o->angle_a, o->angle_b, o->angle_c, o->has_corners),
              std::make_tuple(uint8_t(6), 300.0f, 1.5f, 0.5f, 3, 2, 1, 0u));
    ASSERT_EQ(o->entry_count, 1);
    EXPECT_EQ(o->entry_kinds[0], 0x07);
    EXPECT_EQ(o->entry_floats[0][4], 4.5f);
    EXPECT_EQ(o->entry_ints[0][4], 14);

    // Corner kind 2 in the preview at once; the object takes its quad and the light flag.
    frame({k_key_3});
    EXPECT_EQ(g_brush_preview.has_corners, 1u);
    g_editor.brush_proto = 3;
    g_editor.brush_efect_type = -1;
    frame();
    press(k_key_space);
    o = placed(3);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->has_corners, 1u);
    EXPECT_EQ(o->light, 1u);
    EXPECT_EQ(o->entry_count, 0);
    EXPECT_TRUE(std::equal(std::begin(o->corners), std::end(o->corners), std::begin(g_brush_preview.corners)));
    EXPECT_FLOAT_EQ(g_brush_preview.corners[1], 200.0f - 16.0f);

    // Back to kind 0: no corners even though the preview had them a frame ago.
    frame({k_key_1});
    EXPECT_EQ(g_brush_preview.has_corners, 0u);
    g_editor.brush_proto = 1;
    press(k_key_space);
    o = placed(1);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->has_corners + o->light, 0u);
    EXPECT_EQ(g_undo_counter, 3u);

    // A brush outside the level's prototypes places nothing and pushes nothing; no brush at all
    // neither.
    const uint32_t placed_so_far = used_objects();
    g_editor.brush_proto = 9;
    press(k_key_space);
    EXPECT_NE(std::strstr(g_console_history[0], "nie je v leveli"), nullptr);
    g_editor.brush_proto = -1;
    press(k_key_space);
    EXPECT_EQ(used_objects(), placed_so_far);
    EXPECT_EQ(g_undo_counter, 3u);
}
