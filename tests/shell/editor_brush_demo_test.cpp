// The editor on the demo gate map driven by injected input only: inserting mode, the next
// prototype, a click, an undo, a click and Ctrl+S; the game's loader then finds exactly one new
// object, made with the brush.
#include "shell/shell_fixture.h"

#include "shell/editor_demo_support.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_user.h"
#include "editor/editor_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/brush_mode.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "level/level_map.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "shell/injected_input.h"
#include "shell/program.h"
#include "tests/shell/editor_demo_support.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>
#include <vector>

namespace {

using object_key = std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, float, float, float>;

std::vector<object_key> placed_objects()
{
    std::vector<object_key> out;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        // Not the characters' objects nor those the level's effects make from templates.
        if (o.state != 0 && o.object_class == k_class_ordinary && o.proto >= 0 &&
            uint32_t(o.proto) < g_object_proto_count)
            out.emplace_back(o.proto, o.layer, o.angle_a, o.angle_b, o.angle_c, o.scale, o.x, o.y);
    }
    std::sort(out.begin(), out.end());
    return out;
}


} // namespace

TEST_F(shell_test, TheBrushPlacesOneObjectOnTheDemoGateMapThatAnUndoTakesBackAndTheSavedMapKeeps)
{
    saved_globals saved;
    saved.keep(g_undo_counter), saved.keep(g_brush_corner_mode), saved.keep(g_brush_latches);
    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    ASSERT_GT(g_object_proto_count, 2u);
    const std::vector<object_key> before = placed_objects();

    const float view_x = float(g_view_x + 200), view_y = 150.0f;
    inject_pointer(view_x, view_y);
    ASSERT_TRUE(tap_keys({k_key_f1}));
    EXPECT_EQ(g_work_mode, k_work_insert);
    const int32_t first = g_editor.brush_proto;
    ASSERT_TRUE(tap_keys({k_key_next}));
    EXPECT_EQ(g_editor.brush_proto, first + 1);
    ASSERT_TRUE(tap_keys({k_key_a, k_key_e, k_key_d}));  // scale + 0.01, rotations 1 and 1
    ASSERT_TRUE(tap_keys({k_key_numpad2}));               // the next layer

    ASSERT_TRUE(click_at(view_x, view_y));
    EXPECT_EQ(g_undo_counter, 1u);
    EXPECT_EQ(placed_objects().size(), before.size() + 1);
    ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_z}));
    EXPECT_EQ(g_undo_counter, 0u);
    EXPECT_EQ(placed_objects(), before);
    ASSERT_TRUE(click_at(view_x, view_y));
    ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_s}));
    EXPECT_EQ(g_map_dirty, 0u);

    const int32_t proto = g_editor.brush_proto;
    const float scale = g_editor.brush_scale;
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    load_level_map("data/levels/brana.sav");
    const std::vector<object_key> after = placed_objects();
    std::vector<object_key> added;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    ASSERT_EQ(after.size(), before.size() + 1);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(std::get<0>(added[0]), proto);
    EXPECT_EQ(std::get<1>(added[0]), 1);
    EXPECT_EQ(std::get<2>(added[0]), 1);
    EXPECT_EQ(std::get<3>(added[0]), 1);
    EXPECT_EQ(std::get<4>(added[0]), 0);
    EXPECT_EQ(std::get<5>(added[0]), scale);
    EXPECT_NEAR(scale, 1.01f, 1e-6);
}
