// The run pass of a full text window: 4,999 words of prose with line breaks, colours and
// conditions, ending in four numbered options, measured with the real large font and framed on
// the recording device (the CPU's share of a frame's layout).
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

std::string dialogue_text()
{
    const char* const prose[] = {
        "Weatherbeaten", "travellers", "crossed", "the", "northern", "marshes", "before", "nightfall,",
        "their", "lanterns", "flickering", "over", "black", "water", "^l", "^c", "1", "0.9", "0.7", "1",
        "^if", "queststate.marsh", ">=", "2", "^then", "the", "ferryman", "remembered", "^endif", "reeds",
    };
    const std::string options = "^lnst 1. Follow the causeway ^lnend a.txt ^lnst 2. Ask about the herons ^lnend "
                                "b.txt ^lnst 3. Wait for morning ^lnend c.txt ^lnst 4. Leave ^lnend d.txt";
    const int option_words = 24;
    std::string text;
    for (int words = 0; words < k_window_word_limit - option_words; ++words)
        text += std::string(prose[words % std::size(prose)]) + " ";
    return text + options;
}

void BM_RunTextWindow(benchmark::State& state)
{
    recording_device device(1024, 768);
    render_device* saved_device = g_d3d_device;
    const font_record saved_font = g_font_large;
    g_d3d_device = &device;
    g_font_large = {};
    font_create(&g_font_large, "", "Georgia", 18);

    const auto window = std::make_unique<text_window>();
    parse_text_window(window.get(), dialogue_text().c_str());
    window->x1 = 100, window->y1 = 80, window->x2 = 924, window->y2 = 700;
    window->first_pass = 0;
    if (window->word_count != k_window_word_limit)
        state.SkipWithError("the text does not fill the window");
    for (auto _ : state) {
        benchmark::DoNotOptimize(run_text_window(window.get()));
        device.clear_recording();
    }
    state.SetItemsProcessed(state.iterations() * window->word_count);

    reset_text_window(window.get());
    font_remove(&g_font_large);
    g_font_large = saved_font;
    g_d3d_device = saved_device;
}
BENCHMARK(BM_RunTextWindow)->Unit(benchmark::kMicrosecond);

} // namespace
