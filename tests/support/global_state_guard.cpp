// Fails any test that leaves the render device pointer or the world's character links set: the
// device and the fakes they point at lived with that test, and the next test to use them would
// reach a dead object or another test's world. A mouse button left held fails too: the next
// game frame would take it for a press; so does a dialogue left running, which holds the HUD's
// panels, the hotkeys and the characters. So do the run flags a closed window sets: the next
// modal loop would end after its first pass. So does a modal responder left installed: it
// would answer the next test's dialogs, often through a dead stack frame.
#include "core/game_globals.h"
#include "core/globals.h"
#include "interface/interface_state.h"
#include "core/input_state.h"
#include "editor/controls/dialog_model.h"
#include "engine/render_context.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

namespace {

class global_state_guard : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& info) override
    {
        if (g_d3d_device != nullptr) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left g_d3d_device set";
            g_d3d_device = nullptr;
        }
        if (g_object_links.char_object != nullptr) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left g_object_links set";
            g_object_links = {};
        }
        if (g_mouse_left || g_mouse_right || g_mouse_middle || g_mouse_button4) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left a mouse button held";
            g_mouse_left = g_mouse_right = g_mouse_middle = g_mouse_button4 = 0;
        }
        if (g_dialogue_running) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left a dialogue running";
            g_dialogue_running = 0;
        }
        if (g_quit_all || g_credits_end_flag || g_ending_end_flag) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left a closed window's run flags set";
            g_quit_all = g_credits_end_flag = g_ending_end_flag = 0;
        }
        if (modal_responder_set()) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left a modal responder installed";
            set_modal_responder({});
        }
    }
};

const bool installed = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new global_state_guard);
    return true;
}();

} // namespace
