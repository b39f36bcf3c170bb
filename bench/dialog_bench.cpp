// The dialogs' frame: a dialog with a 200-row list box and 20 other controls laid out, drawn with
// ImGui and handed to the device each frame, on the recording device (CPU alone) and on OpenGL
// (run under SDL_VIDEODRIVER=offscreen for that figure).
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/gui/dialog_screen.h"
#include "engine/render_context.h"
#include "platform/gl_device.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "tests/platform/device_test_support.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

dialog_handle make_busy_dialog()
{
    dialog_template t;
    t.caption = "item editor";
    t.width = 330;
    t.height = 300;
    t.x = 10;
    t.y = 10;
    t.controls.push_back(make_control(control_kind::list_box, 1, 5, 5, 120, 280));
    for (int i = 0; i < 20; ++i) {
        const int32_t x = 135 + (i % 2) * 95, y = 5 + (i / 2) * 28;
        const control_kind kinds[] = {control_kind::edit, control_kind::static_text, control_kind::button,
                                      control_kind::check, control_kind::combo};
        t.controls.push_back(make_control(kinds[i % 5], 10 + i, x, y, 85, 13, "field " + std::to_string(i)));
    }
    const dialog_handle dialog = create_dialog(t, nullptr);
    for (int row = 0; row < 200; ++row)
        add_list_string(dialog, 1, (std::to_string(row) + "-item name").c_str());
    set_list_sel(dialog, 1, 120);
    for (int i = 4; i < 20; i += 5)
        for (const char* text : {"none", "fire", "water"})
            add_combo_string(dialog, 10 + i, text);
    return dialog;
}

void BM_DialogFrameRecording(benchmark::State& state)
{
    recording_device device(1024, 768);
    render_device* saved = g_d3d_device;
    g_d3d_device = &device;
    const dialog_handle dialog = make_busy_dialog();
    run_dialog_frame();
    for (auto _ : state) {
        device.clear_recording();
        run_dialog_frame();
    }
    state.counters["draws"] = double(device.draws().size());
    destroy_dialog(dialog);
    run_dialog_frame();
    g_d3d_device = saved;
}
BENCHMARK(BM_DialogFrameRecording)->Unit(benchmark::kMicrosecond);

void BM_DialogFrameOpenGl(benchmark::State& state)
{
    std::string why;
    auto device = open_hidden_gl_device(why);
    if (!device) {
        state.SkipWithError(why.c_str());
        return;
    }
    render_device* saved = g_d3d_device;
    g_d3d_device = device.get();
    const dialog_handle dialog = make_busy_dialog();
    run_dialog_frame();
    for (auto _ : state) {
        device->clear(k_clear_target, 0xFF000000u);
        run_dialog_frame();
        device->present();
    }
    destroy_dialog(dialog);
    run_dialog_frame();
    g_d3d_device = saved;
    device.reset();
    gl_window_close();
}
BENCHMARK(BM_DialogFrameOpenGl)->Unit(benchmark::kMicrosecond);

} // namespace
