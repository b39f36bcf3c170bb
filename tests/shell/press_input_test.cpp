// Presses as the window delivers them, through the main loop: each of several presses of one key
// between two frames counts, a tap shorter than a frame counts, and a mouse button let go outside
// the editor's view is released.
#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/view/object_mode.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "shell/injected_input.h"
#include "shell/program.h"
#include "tests/shell/editor_demo_support.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr uint8_t k_gate_layer = 10;

// Each key pressed and let go, all before the next frame, then frames enough to show them.
bool presses_within_a_frame(std::initializer_list<uint8_t> keys)
{
    for (uint8_t k : keys) {
        inject_key(k, true);
        inject_key(k, false);
    }
    for (size_t i = 0; i < 2 * keys.size() + 1; ++i)
        if (!program_frame())
            return false;
    return true;
}

} // namespace

TEST_F(shell_test, EachOfSeveralPressesBetweenTwoFramesTypesOnce)
{
    ASSERT_TRUE(program_startup("zorv console"));
    ASSERT_TRUE(tap_keys({k_key_grave}));
    ASSERT_EQ(g_console_shown, 1u);
    ASSERT_TRUE(type_keys("hello"));
    ASSERT_STREQ(g_console_line, "hello_");

    // Three Backspaces 12 ms apart, all between two frames: three characters go.
    ASSERT_TRUE(presses_within_a_frame({k_key_back, k_key_back, k_key_back}));
    EXPECT_STREQ(g_console_line, "he_");
    // Keys tapped faster than a frame each type their character, in order.
    ASSERT_TRUE(presses_within_a_frame({k_key_l, k_key_p}));
    EXPECT_STREQ(g_console_line, "help_");
    program_shutdown(true);
}

TEST_F(shell_test, AnObjectLetGoOutsideTheEditorsViewIsNoLongerDragged)
{
    saved_globals saved;
    saved.keep(g_object_mode_latches), saved.keep(g_dragged_object);
    render_use_recording(true);
    ASSERT_TRUE(open_editor_on_map("data/levels/brana.sav"));
    auto crate = [] {
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (const object_proto* p = proto_at(g_objects[i].proto);
                p && g_objects[i].state != 0 && std::strcmp(p->name, "crate") == 0)
                return &g_objects[i];
        return static_cast<world_object*>(nullptr);
    };
    ASSERT_NE(crate(), nullptr);
    const float x = crate()->x, y = crate()->y;

    inject_pointer_at_world(x, y);
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(tap_keys({k_key_f2}));  // the objects are sorted by layer
    ASSERT_TRUE(step_to_layer(k_gate_layer)) << "numpad 2 left the active layer at " << int(g_active_layer);
    inject_left_button(true);
    ASSERT_TRUE(program_frame());
    ASSERT_GE(g_dragged_object, 0);
    inject_pointer_at_world(x + 16.0f, y);
    ASSERT_TRUE(program_frame());

    // Let go over the command window, left of the view.
    inject_pointer(float(g_view_x) - 150.0f, 40.0f);
    ASSERT_TRUE(program_frame());
    inject_left_button(false);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_mouse_left, 0u);
    EXPECT_EQ(g_dragged_object, -1);

    // Back over the view the object stays where it was let go.
    const float left_at = crate()->x;
    inject_pointer_at_world(x + 200.0f, y + 100.0f);
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(crate()->x, left_at);
    program_shutdown(true);
    render_use_recording(false);
}
