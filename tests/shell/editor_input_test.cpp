// The editor's input reaches the window it belongs to: keys typed and clicks made in the modal
// file chooser, over the view, never reach the view afterwards; the wheel over a window is that
// window's; Ctrl+S writes once a press and says on the screen when it writes nothing.
#include "shell/shell_fixture.h"

#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/item_editor.h"
#include "editor/editor_state.h"
#include "editor/gui/dialog_layout.h"
#include "editor/gui/dialog_screen.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "engine/fonts.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "platform/key_codes.h"
#include "platform/recording_device.h"
#include "shell/editor_demo_steps.h"
#include "shell/injected_input.h"
#include "shell/program.h"
#include "support/file_sync_log.h"
#include "support/saved_globals.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// The recording device forgets the draws of every pass: a long run keeps none.
void forget_draws()
{
    if (auto* device = dynamic_cast<recording_device*>(g_d3d_device))
        device->clear_recording();
}

// One window event a pass of the modal loop, as a user gives them.
using pass_input = std::function<void()>;

// A key typed into a text field: down with its character, then up.
void type_into(std::vector<pass_input>& passes, const std::string& text)
{
    for (char c : text) {
        passes.push_back([c] {
            inject_key(key_for_char(c), true);
            input_event typed{input_event_kind::text};
            typed.character = uint32_t(c);
            input_inject(typed);
        });
        passes.push_back([c] { inject_key(key_for_char(c), false); });
    }
}

// The chooser's control as the last pass drew it, centre in screen pixels.
std::pair<float, float> centre_of(dialog_handle chooser, int32_t id)
{
    device_rect r{};
    EXPECT_TRUE(dialog_control_rect(chooser, id, r)) << id;
    return {float(r.x + r.width / 2), float(r.y + r.height / 2)};
}

// A menu command of the command window whose modal dialog a user answers on the screen: every
// pass of the dialog's loop is the shell's own pass, given one step of `input` first (the steps
// are made once the dialog has been drawn, and may look at it). False when the command fails or
// its dialog is still open five passes after the last step (it is then cancelled).
bool answer_by_hand(int32_t menu, std::function<std::vector<pass_input>(dialog_handle)> input)
{
    std::vector<pass_input> passes;
    size_t next = 0;
    bool ran_out = false;
    set_modal_responder([&](dialog_handle dialog) {
        if (next == 0) {
            g_dialog_loop_links.modal_pass();
            passes = input(dialog);
        }
        if (next < passes.size())
            passes[next]();
        forget_draws();
        ran_out = ++next >= passes.size() + 5;
        return !ran_out && g_dialog_loop_links.modal_pass();
    });
    const bool picked = user_pick_menu(g_command_window, menu);
    set_modal_responder({});
    return picked && !ran_out;
}

uint32_t lights_on()
{
    uint32_t n = 0;
    for (const light_record& l : g_lights)
        n += l.state == k_light_on ? 1 : 0;
    return n;
}

std::vector<std::string>* g_texts_seen = nullptr;

// The editor started on the recording device, and shut down at the end.
class editor_input : public shell_test {
protected:
    void SetUp() override
    {
        shell_test::SetUp();
        render_use_recording(true);
        ASSERT_TRUE(program_startup("zorv editor"));
        ASSERT_TRUE(program_frame());
    }
    void TearDown() override
    {
        g_quit = 1;
        program_shutdown(true);
        render_use_recording(false);
        shell_test::TearDown();
    }
};

} // namespace

TEST_F(editor_input, KeysAndClicksGivenToTheFileChooserDoNotReachTheViewAfterItCloses)
{
    saved_globals saved;
    saved.keep(g_last_file_dir);
    g_last_file_dir[0] = '\0'; // the chooser shows the working folder
    inject_pointer(float(g_view_x + 100), 100.0f);
    ASSERT_TRUE(tap_keys({k_key_f3})); // light mode: Return makes a light, a click an undo snapshot

    // A click into the name field over the view, the map's name typed, Return.
    const std::string gate = "data/levels/brana.sav";
    ASSERT_TRUE(answer_by_hand(k_menu_load_map, [&](dialog_handle chooser) {
        const auto centre = centre_of(chooser, k_chooser_name);
        const float x = centre.first, y = centre.second;
        EXPECT_GT(x, float(g_view_x));
        std::vector<pass_input> passes{[=] { inject_pointer(x, y), inject_left_button(true); },
                                       [] { inject_left_button(false); }};
        type_into(passes, gate);
        passes.push_back([] { inject_key(k_key_return, true), inject_key(k_key_return, false); });
        return passes;
    }));
    ASSERT_TRUE(std::filesystem::equivalent(g_map_path, gate)) << g_map_path;

    g_map_dirty = 0;
    const uint32_t lights = lights_on();
    for (int frame = 0; frame < 40; ++frame) {
        forget_draws();
        ASSERT_TRUE(program_frame());
    }
    EXPECT_EQ(lights_on(), lights);
    EXPECT_EQ(g_map_dirty, 0u);
}

TEST_F(editor_input, TheWheelOverAnEditorWindowLeavesTheBrushAsItIs)
{
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_item)); // a window that lies over the view
    ASSERT_TRUE(program_frame());
    device_rect item_list{};
    ASSERT_TRUE(dialog_control_rect(g_item_editor_window, k_itm_list, item_list));
    ASSERT_GT(item_list.x + item_list.width, g_view_x);
    inject_pointer(float(g_view_x + 100), 20.0f);
    ASSERT_TRUE(tap_keys({k_key_f1}));
    g_editor.brush_proto = 1;

    auto wheel_at = [](float x, float y) {
        inject_pointer(x, y);
        input_event wheel{input_event_kind::mouse_wheel};
        wheel.wheel = -1; // toward the user: the next prototype
        input_inject(wheel);
        return program_frame() && program_frame();
    };
    ASSERT_TRUE(wheel_at(20.0f, 200.0f)); // the page under the tabs
    ASSERT_TRUE(wheel_at(float(g_view_x + item_list.x + item_list.width) / 2, float(item_list.y + 20)));
    EXPECT_EQ(g_editor.brush_proto, 1);
    ASSERT_TRUE(wheel_at(float(g_view_x + 100), 20.0f)); // the view, above the item editor
    EXPECT_EQ(g_editor.brush_proto, 2);
}

TEST_F(editor_input, TheFileChooserKeepsTheOtherWindowsFromTheUserUntilItCloses)
{
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_event));
    ASSERT_TRUE(program_frame());
    const dialog_handle events = g_event_editor_window;
    const int32_t tab = get_tab_sel(g_tabs_window, k_mode_tabs_control);
    device_rect strip{};
    ASSERT_TRUE(dialog_control_rect(g_tabs_window, k_mode_tabs_control, strip));
    const std::string map = g_map_path;

    // A click on the event editor's close box, one on another tab, then Esc.
    EXPECT_TRUE(answer_by_hand(k_menu_load_map, [&](dialog_handle) {
        const pixel_box box = window_pixels(*find_dialog(events));
        const float close_x = box.right() - 10.0f, close_y = box.y + 9.0f;
        const float tab_x = float(strip.x + strip.width - 10), tab_y = float(strip.y + 8);
        return std::vector<pass_input>{
            [=] { inject_pointer(close_x, close_y), inject_left_button(true); },
            [] { inject_left_button(false); },
            [=] { inject_pointer(tab_x, tab_y), inject_left_button(true); },
            [] { inject_left_button(false); },
            [] { inject_key(k_key_escape, true), inject_key(k_key_escape, false); },
        };
    }));
    EXPECT_EQ(g_map_path, map); // cancelled
    EXPECT_EQ(g_event_editor_window, events);
    EXPECT_EQ(get_tab_sel(g_tabs_window, k_mode_tabs_control), tab);
}

TEST_F(editor_input, CtrlSWritesOnceAPressAndSaysOnTheScreenWhyItWroteNothing)
{
    answer_file("data/levels/brana.sav");
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
    inject_pointer(float(g_view_x + 100), 20.0f);
    ASSERT_TRUE(program_frame());
    {
        const std::string map = " -> " + file_sync_log::full("data/levels/brana.sav");
        file_sync_log log;
        inject_key(k_key_lcontrol, true);
        inject_key(k_key_s, true);
        for (int frame = 0; frame < 4; ++frame)
            ASSERT_TRUE(program_frame());
        EXPECT_EQ(std::count_if(log.events().begin(), log.events().end(),
                                [&](const std::string& e) { return e.ends_with(map); }),
                  1);
        inject_key(k_key_s, false);
        inject_key(k_key_lcontrol, false);
    }

    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_new_map));
    std::vector<std::string> texts;
    g_texts_seen = &texts;
    g_text_drawn = [](const text_draw& t) { g_texts_seen->push_back(t.text); };
    ASSERT_TRUE(tap_keys({k_key_lcontrol, k_key_s}));
    for (int frame = 0; frame < 5; ++frame)
        ASSERT_TRUE(program_frame());
    g_text_drawn = nullptr;
    EXPECT_TRUE(std::find(texts.begin(), texts.end(), "Map not saved: it has no file yet (file / save map)") !=
                texts.end());
}
