// The editor's dialogs in the main loop: drawn in every frame before the scene ends, with the
// modal dialogs' screen pass linked in editor mode.
#include "shell/shell_fixture.h"

#include "core/globals.h"
#include "editor/controls/dialog_model.h"
#include "platform/clock.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "shell/program.h"

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

} // namespace
