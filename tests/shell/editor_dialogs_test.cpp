// The editor's dialogs in the main loop: drawn in every frame before the scene ends, with the
// modal dialogs' screen pass linked in editor mode.
#include "shell/shell_fixture.h"

#include "core/globals.h"
#include "editor/controls/dialog_model.h"
#include "platform/clock.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/program.h"

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

} // namespace
