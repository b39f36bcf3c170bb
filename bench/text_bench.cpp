// Text drawing: glyphs per second through font_text_out, in batches of interface lines, on the
// recording device (the CPU's share: layout, glyph look-up and lighting) and on OpenGL under
// SDL_VIDEODRIVER=offscreen (including the draw itself).
#include "engine/fonts.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "tests/platform/device_test_support.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

const char* const k_lines[] = {
    "The innkeeper looks at you: \x93What brings you to the valley?\x94",
    "Health 112/140   Mana 37/60   Level 7",
    "Rusty sword (2d6 slashing, reach 110)",
    "Quest updated: The bridge at Arvel",
};

void draw_batches(benchmark::State& state, render_device& device, bool clear_recording)
{
    render_device* saved = g_d3d_device;
    g_d3d_device = &device;
    use_fixed_camera(device);
    font_record font = {};
    font_create(&font, "", "Georgia", 18);
    int64_t glyphs = 0;
    for (auto _ : state) {
        font_begin(&font);
        int32_t y = 20;
        for (const char* line : k_lines) {
            benchmark::DoNotOptimize(font_text_out(&font, 20, y, line, 0x00C0E0FF));
            glyphs += static_cast<int64_t>(std::strlen(line));
            y += 20;
        }
        font_end(&font);
        if (clear_recording)
            static_cast<recording_device&>(device).clear_recording();
    }
    state.SetItemsProcessed(glyphs);
    font_remove(&font);
    g_d3d_device = saved;
}

void BM_FontTextOutRecording(benchmark::State& state)
{
    recording_device device(1024, 768);
    draw_batches(state, device, true);
}
BENCHMARK(BM_FontTextOutRecording);

void BM_FontTextOutOpenGl(benchmark::State& state)
{
    std::string error;
    auto device = open_hidden_gl_device(error);
    if (!device) {
        state.SkipWithError(error.c_str());
        return;
    }
    draw_batches(state, *device, false);
    std::vector<uint32_t> frame;
    device->read_frame(frame); // waits for the drawing to finish
    device.reset();
    gl_window_close();
}
BENCHMARK(BM_FontTextOutOpenGl);

} // namespace
