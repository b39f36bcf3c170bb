// One frame of a dialogue node on screen: the run pass and the draw pass of a node with a
// 1,000-byte text and five 255-byte options, with the real large font on the recording device
// (the CPU's share of drawing a conversation).
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/fonts.h"
#include "engine/render_context.h"
#include "platform/recording_device.h"
#include "script/text_window.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// Words of the prose repeated to exactly `bytes` bytes.
std::string prose(size_t bytes)
{
    const std::string words = "the ferryman leaned on his pole and told of herons nesting in the drowned chapel ";
    std::string text;
    while (text.size() < bytes)
        text += words;
    text.resize(bytes);
    if (text.back() == ' ')
        text.back() = 'x';
    return text;
}

std::string node_markup()
{
    std::string text = "^window 50 50 600 128\n^dialog\n^gl_a 0.6\n^c 0.9 0.9 0.9 1\n^l Mara:\n^l\n" + prose(1000) +
                       "\n^l\n^l\n^c 1 1 1 1\n";
    for (int option = 1; option <= 5; ++option)
        text += "^lnst " + std::to_string(option) + ". " + prose(255) + " ^lnend marsh/node" + std::to_string(option) +
                ".txt\n";
    return text;
}

void BM_DialogueNodeFrame(benchmark::State& state)
{
    recording_device device(1024, 768);
    render_device* saved_device = g_d3d_device;
    const font_record saved_font = g_font_large;
    const uint32_t saved_running = g_dialogue_running;
    g_d3d_device = &device;
    g_font_large = {};
    font_create(&g_font_large, "", "Georgia", 18);

    const auto window = std::make_unique<text_window>();
    parse_text_window(window.get(), node_markup().c_str());
    window->x1 = 50, window->y1 = 200, window->x2 = 974, window->y2 = 720;
    window->first_pass = 0;
    window->log_pending = 0;
    g_dialogue_running = 1;
    for (auto _ : state) {
        run_text_window(window.get());
        draw_text_window(window.get());
        device.clear_recording();
    }
    if (window->link_count != 5)
        state.SkipWithError("the node does not show five options");

    reset_text_window(window.get());
    g_dialogue_running = saved_running;
    font_remove(&g_font_large);
    g_font_large = saved_font;
    g_d3d_device = saved_device;
}
BENCHMARK(BM_DialogueNodeFrame)->Unit(benchmark::kMicrosecond);

} // namespace
