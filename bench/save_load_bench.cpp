// One frame of the save/load page on the recording device at 1024 x 768 in the real large font:
// 199 saves of 254-character names, each visible one cut to its row's room every frame, the
// scroll bar, a chosen save whose date and screenshot are shown, the cursor over another row.
#include "bench/bench_interface.h"
#include "bench/bench_scene.h"

#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "interface/save_load_screen.h"
#include "level/save_games.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

void save_load_frame(benchmark::State& state)
{
    bench_scene scene("zorv_save_load_bench");
    const game_interface kept_interface = g_interface;
    auto kept_list = std::make_unique<save_list>(g_save_list);
    const int16_t kept_scroll = g_save_list_scroll;
    const font_record kept_font = g_font_large;
    g_font_large = {};
    font_create(&g_font_large, "", "Georgia", 18);

    game_interface& gi = g_interface;
    const uint16_t tile = bench_image("tile", 64), piece = bench_image("piece", 32);
    gi.text_background = tile;
    std::fill(std::begin(gi.save_load_frame), std::end(gi.save_load_frame), piece);
    std::fill(std::begin(gi.save_load_buttons), std::end(gi.save_load_buttons), piece);
    std::fill(std::begin(gi.list_widgets), std::end(gi.list_widgets), piece);

    g_save_list.count = k_save_slots;
    for (int i = 0; i < k_save_slots; ++i) {
        std::string name = "Save " + std::to_string(i) + " ";
        while (name.size() < size_t(k_save_name_max))
            name += "in the marsh at dusk ";
        std::snprintf(g_save_list.names[i], k_save_name_size, "%s", name.substr(0, k_save_name_max).c_str());
    }
    // The chosen save's folder, long names being too long for a picture's name: a short one.
    std::snprintf(g_save_list.names[100], k_save_name_size, "chosen");
    std::filesystem::create_directories("save/chosen");
    bench_image("save/chosen/shot", 32);
    std::filesystem::rename("save/chosen/shot.tga", "save/chosen/shot.bmp");
    std::FILE* game = std::fopen("save/chosen/game.ss", "wb");
    if (game)
        std::fclose(game);
    g_save_list_scroll = 90;
    g_mouse_screen_x = 250.0f, g_mouse_screen_y = 160.0f + 50.0f + 16.0f * 10.0f + 4.0f;  // over save 100
    g_mouse_left = 1;
    run_save_load_screen(2);  // chooses it
    g_mouse_left = 0;
    g_mouse_screen_y += 16.0f;

    const size_t draws = scene.time_frames(state, [] { run_save_load_screen(2); });
    state.counters["draws"] = double(draws);
    if (gi.selected_save != 100 || gi.save_preview < 0)
        state.SkipWithError("no save was chosen");

    font_remove(&g_font_large);
    g_font_large = kept_font;
    g_save_list_scroll = kept_scroll;
    g_save_list = *kept_list;
    g_interface = kept_interface;
}

} // namespace

BENCHMARK(save_load_frame)->Unit(benchmark::kMicrosecond);
