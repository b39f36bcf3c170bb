// Fails any test that leaves the render device pointer or the world's character links set: the
// device and the fakes they point at lived with that test, and the next test to use them would
// reach a dead object or another test's world. A mouse button left held fails too: the next
// game frame would take it for a press; so does a dialogue left running, which holds the HUD's
// panels, the hotkeys and the characters. So do the run flags a closed window sets: the next
// modal loop would end after its first pass. So does a modal responder left installed: it
// would answer the next test's dialogs, often through a dead stack frame. So does a quit signal left
// received or a signal handler left installed: an outside signal would close every later window.
#include "core/game_globals.h"
#include "core/globals.h"
#include "interface/interface_state.h"
#include "core/input_state.h"
#include "editor/controls/dialog_model.h"
#include "engine/render_context.h"
#include "platform/signals.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

// What SIGINT and SIGTERM do in a process that has not run the program. The program's quit
// handler, or SDL's while any of its parts is left running, makes a signal close later windows.
struct sigaction g_start_int = {}, g_start_term = {};

bool signal_handlers_changed()
{
    struct sigaction now_int = {}, now_term = {};
    sigaction(SIGINT, nullptr, &now_int);
    sigaction(SIGTERM, nullptr, &now_term);
    return now_int.sa_handler != g_start_int.sa_handler || now_term.sa_handler != g_start_term.sa_handler;
}

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
        if (signal_handlers_changed() || quit_signal_received()) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name()
                          << " left a quit signal received or a handler of SIGINT or SIGTERM installed (the program's, or SDL's while it runs)";
            sigaction(SIGINT, &g_start_int, nullptr);
            sigaction(SIGTERM, &g_start_term, nullptr);
            clear_quit_signal();
        }
    }
};

const bool installed = [] {
    sigaction(SIGINT, nullptr, &g_start_int);
    sigaction(SIGTERM, nullptr, &g_start_term);
    testing::UnitTest::GetInstance()->listeners().Append(new global_state_guard);
    return true;
}();

} // namespace
