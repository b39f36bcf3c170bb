// The editor's dialogs in the main loop: drawn in every frame before the scene ends, with the
// modal dialogs' screen pass linked in editor mode; the free editors and the file chooser open
// below the tab strip.
#include "shell/shell_fixture.h"

#include "core/globals.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/gui/dialog_layout.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "platform/clock.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/program.h"

#include <utility>
#include <vector>

namespace {

TEST_F(shell_test, TheFrameDrawsTheDialogsBeforeTheSceneEnds)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    EXPECT_NE(g_dialog_loop_links.modal_pass, nullptr);
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    ASSERT_NE(device, nullptr);

    dialog_template t;
    t.caption = "tool";
    t.width = 100;
    t.height = 40;
    t.controls = {make_control(control_kind::button, 5, 10, 10, 50, 14, "Go")};
    const dialog_handle dialog = create_dialog(t, nullptr);
    device->clear_recording();
    clock_advance_manual(16);
    program_frame();

    // The dialog's draws are the ones clipped to a scissor rectangle.
    size_t first_dialog_call = 0, dialog_draws = 0, end_scene = 0;
    const auto& calls = device->calls();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == device_call::end_scene)
            end_scene = i;
        if (calls[i].kind == device_call::draw && device->states_of(device->draws()[calls[i].value]).scissor_on) {
            first_dialog_call = first_dialog_call ? first_dialog_call : i;
            ++dialog_draws;
        }
    }
    EXPECT_GT(dialog_draws, 0u);
    EXPECT_LT(first_dialog_call, end_scene);
    EXPECT_EQ(calls.back().kind, device_call::present);

    destroy_dialog(dialog);
    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

TEST_F(shell_test, AModalDialogsPassLeavesNothingOfEarlierFramesAroundTheView)
{
    ASSERT_TRUE(program_startup("zorv editor")); // the OpenGL device on the offscreen window
    render_device& d = *g_d3d_device;
    ASSERT_GT(g_view_x, 8);
    // Something drawn around the view before: the whole window white.
    const device_viewport view = d.get_viewport();
    d.begin_scene();
    d.set_viewport({0, 0, d.width(), d.height(), 0.0f, 1.0f});
    d.clear(k_clear_target, 0xFFFFFFFFu);
    d.set_viewport(view);
    d.end_scene();

    g_dialog_loop_links.modal_pass();
    std::vector<uint32_t> frame;
    ASSERT_TRUE(d.read_frame(frame));
    // Left of the view, below the pages: black again.
    const uint32_t x = uint32_t(g_view_x) - 4, y = d.height() - 4;
    EXPECT_EQ(frame[size_t(y) * d.width() + x], 0xFF000000u);

    g_quit = 1;
    program_shutdown(true);
}

TEST_F(shell_test, TheFreeEditorsAndTheFileChooserOpenBelowTheTabStrip)
{
    render_use_recording(true);
    ASSERT_TRUE(program_startup("zorv editor"));
    ASSERT_TRUE(program_frame());
    auto top_of = [](dialog_handle d) { return window_pixels(*find_dialog(d)).y; };
    const float strip_bottom = window_pixels(*find_dialog(g_tabs_window)).bottom();

    for (const auto& [menu, window] : {std::pair(k_menu_item, &g_item_editor_window),
                                       std::pair(k_menu_spells, &g_spell_editor_window),
                                       std::pair(k_menu_monsters, &g_monster_editor_window)}) {
        ASSERT_TRUE(user_pick_menu(g_command_window, menu));
        ASSERT_TRUE(program_frame()); // where the screen shows it
        EXPECT_GE(top_of(*window), strip_bottom) << menu;
        destroy_dialog(*window);
    }
    float chooser_top = 0;
    set_modal_responder([&](dialog_handle chooser) {
        g_dialog_loop_links.modal_pass();
        chooser_top = top_of(chooser);
        return false;
    });
    ASSERT_TRUE(user_pick_menu(g_command_window, k_menu_load_map));
    set_modal_responder({});
    EXPECT_GE(chooser_top, strip_bottom);

    g_quit = 1;
    program_shutdown(true);
    render_use_recording(false);
}

} // namespace
