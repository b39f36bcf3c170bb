// Fails any test that leaves the render device pointer or the world's character links set: the
// device and the fakes they point at lived with that test, and the next test to use them would
// reach a dead object or another test's world. A mouse button left held fails too: the next
// game frame would take it for a press; so does a dialogue left running, which holds the HUD's
// panels, the hotkeys and the characters. So do the run flags a closed window sets: the next
// modal loop would end after its first pass. So does a modal responder left installed: it
// would answer the next test's dialogs, often through a dead stack frame. So does the program's quit
// signal handler left installed or a quit signal left received: every later window would close.
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

// What SIGINT and SIGTERM do in a process that has not run the program, and the handler that
// running it installs.
struct sigaction g_start_int = {}, g_start_term = {};
void (*g_program_handler)(int) = nullptr;

bool program_signal_handler_installed()
{
    struct sigaction now_int = {}, now_term = {};
    sigaction(SIGINT, nullptr, &now_int);
    sigaction(SIGTERM, nullptr, &now_term);
    return now_int.sa_handler == g_program_handler || now_term.sa_handler == g_program_handler;
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
        if (program_signal_handler_installed() || quit_signal_received()) {
            ADD_FAILURE() << info.test_suite_name() << "." << info.name() << " left the quit signal handler or a signal";
            sigaction(SIGINT, &g_start_int, nullptr);
            sigaction(SIGTERM, &g_start_term, nullptr);
            clear_quit_signal();
        }
    }
};

const bool installed = [] {
    sigaction(SIGINT, nullptr, &g_start_int);
    sigaction(SIGTERM, nullptr, &g_start_term);
    install_quit_signal_handlers();
    struct sigaction installed_term = {};
    sigaction(SIGTERM, nullptr, &installed_term);
    g_program_handler = installed_term.sa_handler;
    sigaction(SIGINT, &g_start_int, nullptr);
    sigaction(SIGTERM, &g_start_term, nullptr);
    testing::UnitTest::GetInstance()->listeners().Append(new global_state_guard);
    return true;
}();

} // namespace
