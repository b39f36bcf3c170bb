#include "shell/shell_fixture.h"

#include "core/globals.h"
#include "core/settings.h"
#include "editor/editor_state.h"
#include "interface/interface_state.h"
#include "platform/clock.h"
#include "platform/gl_window.h"
#include "platform/key_codes.h"
#include "platform/render_device.h"
#include "platform/window_services.h"
#include "shell/program.h"
#include "shell/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace {

void inject(input_event event)
{
    input_inject(event);
}

// Handles every queued message.
void pump_all()
{
    while (pump_messages()) {
    }
}

class window_test : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        config_set_defaults(&g_settings);
        g_console_enabled = 1;
        g_camera_x = g_camera_y = 0.0f;
    }
    void TearDown() override
    {
        render_use_recording(false);
        g_console_enabled = 0;
        g_editor_enabled = 0;
        g_map_dirty = 0;
        shell_test::TearDown();
    }

    // The window without a screen: a recording device, injected events.
    void open_headless()
    {
        render_use_recording(true);
        ASSERT_EQ(create_main_window(), 1);
        pump_all();
    }
};

TEST_F(window_test, OpensOnTheOffscreenDriverAndBecomesActive)
{
    ASSERT_EQ(create_main_window(), 1);
    if (!gl_window_is_open())
        GTEST_SKIP() << "no video driver for a window";
    EXPECT_EQ(g_app_active, 0u);  // activation comes as a message
    EXPECT_EQ(pump_messages(), 1);
    EXPECT_EQ(g_app_active, 1u);
    // The window is logged before the device's choice.
    const std::string log = read_text("global/konzola.log");
    ASSERT_NE(log.find("HWND created\n"), std::string::npos);
    EXPECT_LT(log.find("HWND created\n"), log.find("num devices"));
}

TEST_F(window_test, EditorTakesItsSizeFromTheDesktop)
{
    g_editor_enabled = 1;
    open_headless();
    // Without a display the desktop counts as 1024 x 768.
    EXPECT_EQ(g_screen_width, 724);
    EXPECT_EQ(g_screen_height, int32_t(724.0f / 1.333333f));
    EXPECT_EQ(g_windowed, 1u);
    EXPECT_EQ(g_resolution_mode, 1u);
}

TEST_F(window_test, FirstRunAsksForTheLanguageAndTakesEnglishWithoutADialog)
{
    std::filesystem::remove("config.cfg");
    std::strcpy(g_language, "de");
    open_headless();
    EXPECT_STREQ(g_language, "eng");
    EXPECT_NE(read_text("global/konzola.log").find("sa neda zobrazit, odpoved: English"), std::string::npos);

    // With config.cfg present nobody is asked.
    close_main_window();
    write_text("config.cfg", "");
    std::strcpy(g_language, "de");
    open_headless();
    EXPECT_STREQ(g_language, "de");
}

// A first run of the game puts the question over its open window, English first and the
// default: a language the data holds is taken and reaches config.cfg at shutdown, a box closed
// without a choice and a language the data lacks keep English. The editor never asks.
TEST_F(window_test, AFirstRunAsksTheLanguageOverItsWindowAndConfigKeepsTheChoice)
{
    copy_english_as("de");
    std::vector<std::vector<std::string>> asked;
    int answer = 0;
    set_message_box_answerer([&](const char*, const char*, std::span<const char* const> buttons, int default_button,
                                 int* choice) {
        asked.emplace_back(buttons.begin(), buttons.end());
        EXPECT_EQ(default_button, 0);
        *choice = answer;
        return true;
    });
    const auto first_run = [&](const char* command_line, int choice) {
        std::filesystem::remove("config.cfg");
        answer = choice;
        run(command_line, 1);
        return read_text("config.cfg");
    };
    EXPECT_NE(first_run("zorv console", 1).find("language= de\n"), std::string::npos);
    ASSERT_EQ(asked.size(), 1u) << "the first run never asked the language over its window";
    EXPECT_EQ(asked[0], (std::vector<std::string>{"English", "Deutsch", "Francais", "Espa\xF1ol", "Italiano"}));
    EXPECT_STREQ(g_language, "de");

    EXPECT_NE(first_run("zorv console", -1).find("language= eng\n"), std::string::npos);  // closed
    write_text("global/konzola.log", "");
    EXPECT_NE(first_run("zorv console", 2).find("language= eng\n"), std::string::npos);
    EXPECT_NE(read_text("global/konzola.log").find("jazyk fr nie je v datach (chyba global/text_fr.txt), ostava jazyk eng"),
              std::string::npos);
    EXPECT_EQ(asked.size(), 3u);

    std::filesystem::remove("config.cfg");
    run("zorv editor", 1);
    EXPECT_EQ(asked.size(), 3u) << "the editor asked the language";
}

// The question takes the window's focus as a real box does. A full-screen window is not minimized
// for it (SDL is told so while the box holds the focus; only a real window shows the minimizing)
// and has the focus back once the question is answered: the game runs on with no further input.
// A later switch to another program deactivates it as before.
TEST_F(window_test, AfterTheFirstRunsQuestionTheGameIsActiveAndItsWindowInFront)
{
    std::filesystem::remove("config.cfg");
    bool minimizes_while_asked = true;
    set_message_box_answerer([&](const char*, const char*, std::span<const char* const>, int, int* choice) {
        input_inject({input_event_kind::focus_lost});
        minimizes_while_asked = SDL_GetHintBoolean(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, SDL_TRUE);
        *choice = 0;
        return true;
    });
    ASSERT_TRUE(program_startup("zorv console"));
    ASSERT_TRUE(gl_window_is_open());
    EXPECT_FALSE(minimizes_while_asked);
    // Each frame takes one window message: the focus given at start, lent to the box, given back.
    for (int frame = 0; frame < 20; ++frame)
        ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_app_active, 1u) << "the game waits for an activation after the question was answered";
    EXPECT_EQ(g_input_focus, 1u);
    EXPECT_EQ(SDL_GetWindowFlags(gl_window_handle()) & SDL_WINDOW_MINIMIZED, 0u);
    EXPECT_EQ(SDL_GetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS), nullptr) << "the focus is back: SDL decides again";

    input_inject({input_event_kind::focus_lost});
    pump_all();
    EXPECT_EQ(g_app_active, 0u);
    input_inject({input_event_kind::focus_gained});  // back, so the closing fade runs
    pump_all();
    program_shutdown(true);
}

TEST_F(window_test, OneMessagePerPumpAndAWaitingSecondMessage)
{
    open_headless();
    inject({input_event_kind::focus_lost});
    EXPECT_EQ(pump_messages(), 1);  // activate(0)
    EXPECT_EQ(g_app_active, 1u);     // full screen: only the application's deactivation counts
    EXPECT_EQ(pump_messages(), 1);  // activate_app(0)
    EXPECT_EQ(g_app_active, 0u);
    EXPECT_EQ(g_input_focus, 0u);
    EXPECT_EQ(pump_messages(), 0);
}

TEST_F(window_test, AWindowedGameKeepsRunningWithoutFocusWithKeysUp)
{
    g_settings.gr_runwindowed = 1;
    open_headless();
    g_settings.gr_runwindowed = 0;
    ASSERT_EQ(g_windowed, 1u);
    inject({input_event_kind::key, k_key_space, true});
    inject({input_event_kind::mouse_move, 0, false, 10, 10});
    inject({input_event_kind::mouse_button, 0, true});
    pump_all();
    poll_input();
    EXPECT_EQ(g_key_state[k_key_space], 0x80);
    EXPECT_EQ(g_mouse_left, 1u);

    inject({input_event_kind::focus_lost});
    pump_all();
    EXPECT_EQ(g_app_active, 1u);
    EXPECT_EQ(g_input_focus, 0u);
    poll_input();
    EXPECT_EQ(g_key_state[k_key_space], 0);
    EXPECT_EQ(g_mouse_left, 1u);  // the buttons keep their last values

    // A click-activation message gives the focus back.
    window_proc({window_message_kind::activate, 2});
    EXPECT_EQ(g_input_focus, 1u);
}

TEST_F(window_test, CursorBecomesAClampedWorldPosition)
{
    open_headless();
    g_zoom = 2.0f;
    g_camera_x = 100.0f;
    g_camera_y = -50.0f;
    inject({input_event_kind::mouse_move, 0, false, 300, 200});
    inject({input_event_kind::mouse_button, 1, true});
    inject({.kind = input_event_kind::mouse_wheel, .wheel = -2});
    pump_all();
    poll_input();
    EXPECT_FLOAT_EQ(g_mouse_x, 250.0f);
    EXPECT_FLOAT_EQ(g_mouse_y, 50.0f);
    EXPECT_FLOAT_EQ(g_mouse_screen_x, 300.0f);
    EXPECT_FLOAT_EQ(g_mouse_screen_y, 200.0f);
    EXPECT_EQ(g_mouse_right, 1u);
    EXPECT_EQ(g_wheel_down, 1u);
    EXPECT_EQ(g_wheel_up, 0u);

    // Beyond the right and bottom edges: the edge of the visible area; a button let go there is
    // released, one pressed there is not taken.
    inject({input_event_kind::mouse_move, 0, false, 5000, 900});
    inject({input_event_kind::mouse_button, 1, false});
    pump_all();
    poll_input();
    EXPECT_FLOAT_EQ(g_mouse_x, 100.0f + 1024.0f / 2.0f);
    EXPECT_FLOAT_EQ(g_mouse_y, -50.0f + 768.0f / 2.0f);
    EXPECT_FLOAT_EQ(g_mouse_screen_x, 1024.0f);
    EXPECT_EQ(g_mouse_right, 0u);
    EXPECT_EQ(g_wheel_down, 0u);
    inject({input_event_kind::mouse_button, 0, true});
    pump_all();
    poll_input();
    EXPECT_EQ(g_mouse_left, 0u);

    // Back inside, the held button is taken; left of the window the lower bound holds.
    inject({input_event_kind::mouse_move, 0, false, 0, 0});
    pump_all();
    poll_input();
    EXPECT_EQ(g_mouse_right, 0u);
    EXPECT_EQ(g_mouse_left, 1u);
    EXPECT_FLOAT_EQ(g_mouse_x, 100.0f);
    inject({input_event_kind::mouse_move, 0, false, -40, -40});
    inject({input_event_kind::mouse_button, 0, false});
    pump_all();
    poll_input();
    EXPECT_FLOAT_EQ(g_mouse_x, 100.0f);
    EXPECT_FLOAT_EQ(g_mouse_y, -50.0f);
    EXPECT_EQ(g_mouse_left, 0u);  // let go outside the window
}

TEST_F(window_test, ClosingTheWindowEndsEveryLoopWithoutTheClosingFade)
{
    g_editor_enabled = 1;
    open_headless();
    g_map_dirty = 1;
    g_no_game_running = 1;
    g_game_finished = 1;
    g_travel_map_running = 1;
    inject({input_event_kind::close});
    pump_all();
    EXPECT_EQ(g_quit, 1u);
    EXPECT_EQ(g_quit_all, 1u);
    EXPECT_EQ(g_skip_exit_fade, 1u);
    EXPECT_EQ(g_travel_map_running, 0u);
    EXPECT_EQ(g_ending_end_flag, 1u);
    EXPECT_EQ(g_credits_end_flag, 1u);
    EXPECT_EQ(g_no_game_running, 0u);
    EXPECT_EQ(g_game_finished, 0u);
    // No one can be asked: the map is not saved.
    EXPECT_NE(read_text("global/konzola.log").find("\"Map changed! Save?\" sa neda zobrazit, odpoved: No"),
              std::string::npos);
    g_ending_end_flag = g_credits_end_flag = 0;
}

TEST_F(window_test, AnInactiveApplicationWaitsInsteadOfSpinning)
{
    std::vector<std::string> trace;
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv"));
    g_app_active = 0;
    input_reset();  // the activation after the window was shown is lost
    clock_set_manual_step(0);
    uint32_t before = clock_ms();
    g_shell_trace = &trace;
    EXPECT_TRUE(program_frame());
    EXPECT_EQ(trace.back(), "wait_while_inactive");
    EXPECT_EQ(clock_ms() - before, 100u);  // one wait for a message, not a busy frame

    // The next message (a focus) wakes it at once and the frame runs through.
    trace.clear();
    inject({input_event_kind::focus_gained});
    before = clock_ms();
    EXPECT_TRUE(program_frame());
    EXPECT_EQ(clock_ms(), before);
    EXPECT_EQ(g_app_active, 1u);
    EXPECT_NE(std::find(trace.begin(), trace.end(), "poll_input"), trace.end());
    g_shell_trace = nullptr;
    clock_set_manual_step(16);
    program_shutdown(true);
}

} // namespace

TEST_F(window_test, AReleaseWaitDrainsTheWindowAndEndsOnReleaseOrClose)
{
    open_headless();
    auto esc_held = [] { return (g_key_state[k_key_escape] & k_key_down_bit) != 0; };

    // Released: the queued events (a focus change among them) are all handled first.
    inject({input_event_kind::key, k_key_escape, true});
    inject({input_event_kind::focus_lost});
    inject({input_event_kind::focus_gained});
    inject({input_event_kind::key, k_key_escape, false});
    EXPECT_TRUE(wait_until_released(esc_held));
    EXPECT_EQ(g_app_active, 1u);
    window_message left;
    EXPECT_FALSE(input_next_message(&left));

    // Still held, but the window closes: the wait ends at once.
    inject({input_event_kind::key, k_key_escape, true});
    inject({input_event_kind::close});
    EXPECT_FALSE(wait_until_released(esc_held));
    EXPECT_EQ(g_quit_all, 1u);
    g_ending_end_flag = g_credits_end_flag = 0;
}

TEST_F(window_test, ThePollKeepsTheTypedCharacter)
{
    open_headless();
    inject({input_event_kind::key, k_key_lshift, true});
    inject({input_event_kind::key, k_key_y, true});
    inject({input_event_kind::key, k_key_x, true});
    pump_all();
    poll_input();
    EXPECT_EQ(g_typed_char, 'Y');  // y is tested before x
    inject({input_event_kind::key, k_key_lshift, false});
    inject({input_event_kind::key, k_key_y, false});
    inject({input_event_kind::key, k_key_x, false});
    pump_all();
    poll_input();
    EXPECT_EQ(g_typed_char, 0);
}
