// The run pass over a full text window of 4,999 words in which every tenth word is a run-time
// command naming one of 100 characters ("^set_char_mem" and "^enable_char2", each looking the
// name up among the characters), beside the same text with plain words in the commands' places.
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/fonts.h"
#include "engine/render_context.h"
#include "platform/recording_device.h"
#include "script/text_window.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int k_named_chars = 100;

// Groups of ten words: a command with its arguments, then prose to fill the ten.
std::string command_text(bool commands)
{
    const char* const prose[] = {"the", "ferry", "waited", "by", "reeds", "under", "grey", "morning", "light", "as"};
    std::string text;
    for (int group = 0; group * 10 < k_window_word_limit - 10; ++group) {
        const std::string name = "villager" + std::to_string((group * 37) % k_named_chars);
        int used = 0;
        if (commands && group % 2 == 0) {
            text += "^set_char_mem " + name + " 1 5 ";
            used = 4;
        } else if (commands) {
            text += "^enable_char2 " + name + " ";
            used = 2;
        }
        for (int k = used; k < 10; ++k)
            text += std::string(prose[k]) + " ";
    }
    return text;
}

void run_pass_bench(benchmark::State& state, bool commands)
{
    recording_device device(1024, 768);
    render_device* saved_device = g_d3d_device;
    const font_record saved_font = g_font_large;
    const auto saved_chars = std::make_unique<char_record[]>(k_char_slots);
    std::memcpy(saved_chars.get(), g_chars, sizeof g_chars);
    const uint32_t saved_count = g_char_count;
    g_d3d_device = &device;
    g_font_large = {};
    font_create(&g_font_large, "", "Georgia", 18);
    for (int s = 0; s < k_named_chars; ++s) {
        g_chars[s] = char_record{};
        std::snprintf(g_chars[s].name, sizeof g_chars[s].name, "villager%d", s);
        g_chars[s].object = -1;
    }
    g_char_count = k_named_chars;

    const auto window = std::make_unique<text_window>();
    parse_text_window(window.get(), command_text(commands).c_str());
    window->x1 = 100, window->y1 = 80, window->x2 = 924, window->y2 = 700;
    window->first_pass = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(run_text_window(window.get()));
        device.clear_recording();
    }
    state.SetItemsProcessed(state.iterations() * window->word_count);

    reset_text_window(window.get());
    font_remove(&g_font_large);
    g_font_large = saved_font;
    g_d3d_device = saved_device;
    std::memcpy(g_chars, saved_chars.get(), sizeof g_chars);
    g_char_count = saved_count;
}

void BM_RunPassWithCommands(benchmark::State& state)
{
    run_pass_bench(state, true);
}
void BM_RunPassWithoutCommands(benchmark::State& state)
{
    run_pass_bench(state, false);
}
BENCHMARK(BM_RunPassWithCommands)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RunPassWithoutCommands)->Unit(benchmark::kMicrosecond);

} // namespace
