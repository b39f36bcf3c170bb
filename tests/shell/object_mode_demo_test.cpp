// The editor on the demo gate map driven by injected input only: editing mode on the torches'
// layer, the crate dragged, the row of torches box-selected and deleted, Ctrl+S; the game's
// loader then finds the crate moved and the torches gone.
#include "shell/shell_fixture.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_user.h"
#include "editor/editor_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/object_mode.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "level/level_map.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/render_device.h"
#include "shell/injected_input.h"
#include "shell/program.h"
#include "tests/shell/editor_demo_support.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr uint8_t k_gate_layer = 10;

// The ordinary objects of the named prototype on the gate's layer.
std::vector<world_object> objects_named(const char* name)
{
    std::vector<world_object> out;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        const object_proto* p = proto_at(o.proto);
        if (o.state != 0 && o.object_class == k_class_ordinary && o.layer == k_gate_layer && o.entity < 0 && p &&
            std::strcmp(p->name, name) == 0)
            out.push_back(o);
    }
    return out;
}

size_t torches_in_row(const std::vector<world_object>& torches)
{
    size_t n = 0;
    for (const world_object& t : torches)
        n += t.y == 200.0f ? 1 : 0;
    return n;
}


void inject_button(int32_t code, bool down)
{
    input_event e{input_event_kind::mouse_button};
    e.code = code;
    e.down = down;
    input_inject(e);
}

// The pointer to the world point, then a frame for it and one more, so that the preview's last
// displacement is zero again.
bool settle_at(float x, float y)
{
    inject_pointer_at_world(x, y);
    return program_frame() && program_frame();
}

} // namespace

TEST_F(shell_test, EditingModeDragsTheCrateAndBoxDeletesTheTorchesOfTheDemoGateAndTheSavedMapKeepsIt)
{
    saved_globals saved;
    saved.keep(g_undo_counter), saved.keep(g_object_mode_latches), saved.keep(g_dragged_object);
    render_use_recording(true);
    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    const std::vector<world_object> crates = objects_named("crate");
    ASSERT_EQ(crates.size(), 1u);
    ASSERT_EQ(torches_in_row(objects_named("torch")), 5u);
    const float crate_x = crates[0].x, crate_y = crates[0].y;

    ASSERT_TRUE(settle_at(crate_x, crate_y));  // keys reach the view only under the mouse
    ASSERT_TRUE(tap_keys({k_key_f2}));
    EXPECT_EQ(g_work_mode, k_work_select);
    ASSERT_TRUE(step_to_layer(k_gate_layer)) << "numpad 2 left the active layer at " << int(g_active_layer);
    // Zoomed out (F9 held) until the whole row of torches is in the view.
    inject_key(k_key_f9, true);
    for (int n = 0; n < 400 && g_zoom > 0.78f; ++n)
        ASSERT_TRUE(program_frame());
    inject_key(k_key_f9, false);
    ASSERT_LE(g_zoom, 0.78f);

    // The crate: pressed on its anchor, dragged by 80, 40 in four steps, let go.
    ASSERT_TRUE(settle_at(crate_x, crate_y));
    inject_button(0, true);
    ASSERT_TRUE(program_frame());
    EXPECT_GE(g_dragged_object, 0);
    for (int step = 1; step <= 4; ++step) {
        inject_pointer_at_world(crate_x + 20.0f * float(step), crate_y + 10.0f * float(step));
        ASSERT_TRUE(program_frame());
    }
    ASSERT_TRUE(program_frame());
    inject_button(0, false);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_dragged_object, -1);

    // The middle button's rectangle over the row of torches, then Delete.
    ASSERT_TRUE(settle_at(100, 190));
    inject_button(2, true);
    ASSERT_TRUE(program_frame());
    inject_pointer_at_world(900, 210);
    ASSERT_TRUE(program_frame());
    inject_button(2, false);
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(tap_keys({k_key_delete}));
    EXPECT_EQ(torches_in_row(objects_named("torch")), 0u);
    ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_s}));
    EXPECT_EQ(g_map_dirty, 0u);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);

    load_level_map("data/levels/brana.sav");
    const std::vector<world_object> moved = objects_named("crate");
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_NEAR(moved[0].x, crate_x + 80.0f, 2.0f);
    EXPECT_NEAR(moved[0].y, crate_y + 40.0f, 2.0f);
    EXPECT_EQ(torches_in_row(objects_named("torch")), 0u);
    EXPECT_FALSE(objects_named("torch").empty());  // the torches outside the rectangle stay
}
