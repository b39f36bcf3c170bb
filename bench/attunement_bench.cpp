// One frame of the attunement selection window on the recording device at 1024 x 768, with the
// small font: 300 learned attunements of a 1,000-record item table on the left (25 rows and the
// scroll bar), eight active ones in sixteen slot boxes on the right, and the cursor on a row, so
// that its tooltip with a 600-byte description is composed, laid out and composed again.
#include "bench/bench_interface.h"
#include "bench/bench_scene.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "interface/interface_state.h"
#include "items/items.h"
#include "script/text_window.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

constexpr int k_table = 1000;
constexpr int k_learned_every = 3;  // every third record below 900 is a learned attunement: 300
constexpr int k_listed_below = 900;
constexpr int k_active = 8;         // records 900 to 907 are the active attunements

void attunement_selection_frame(benchmark::State& state)
{
    bench_scene scene("zorv_attunement_bench");
    kept_interface_scene kept;
    const font_record kept_font = g_font_small;
    char kept_language[sizeof g_language];
    std::copy(std::begin(g_language), std::end(g_language), kept_language);
    auto kept_window = std::make_unique<text_window>(g_message_window);
    reset_text_window(&g_message_window);

    font_create(&g_font_small, "", "Georgia", 14);
    std::snprintf(g_language, sizeof g_language, "eng");
    game_interface& gi = g_interface;
    const uint16_t tile = bench_image("tile", 64), small = bench_image("small", 32);
    std::fill(std::begin(gi.panel_tiles), std::end(gi.panel_tiles), tile);
    std::fill(std::begin(gi.list_widgets), std::end(gi.list_widgets), small);

    std::filesystem::create_directories("data/attunements/eng");
    std::string text;
    while (text.size() < 600)
        text += "An old bond with the land, slow to wake and hard to break. ^l ";
    for (int id = 0; id < k_table; ++id) {
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        std::snprintf(p.key_name, sizeof p.key_name, "att%d", id);
        std::snprintf(p.display_name, sizeof p.display_name, "Attunement number %d", id);
        const bool listed = id < k_listed_below && id % k_learned_every == 0;
        const bool active = id >= k_listed_below && id < k_listed_below + k_active;
        p.item_class = uint8_t(listed || active ? k_item_attunement : k_item_quick);
        p.damage = k_attunement_learned_points;
        p.size = uint8_t(id % k_attunement_tiers);
        if ((listed && id < 100) || active)
            std::ofstream("data/attunements/eng/att" + std::to_string(id) + ".txt") << text;
    }
    g_item_proto_count = k_table;

    char_record& hero = place_bench_hero();
    hero.level = 30;
    for (int k = 0; k < k_active; ++k)
        hero.active_attunements[k] = int16_t(k_listed_below + k);
    hero.active_attunement_count = k_active;

    gi.attunement_select_open = 1;
    gi.attunement_select_first = 0;
    g_mouse_screen_x = 300.0f;
    g_mouse_screen_y = 184.0f + 57.0f + 12.0f * 3.0f + 6.0f;  // the fourth row
    g_mouse_left = g_mouse_right = 0;
    g_mouse_state = mouse_state{};

    const size_t draws = scene.time_frames(state, [] { update_attunement_selection(); });
    state.counters["draws"] = double(draws);
    state.counters["words"] = double(g_message_window.word_count);

    reset_text_window(&g_message_window);
    g_message_window = *kept_window;
    font_remove(&g_font_small);
    g_font_small = kept_font;
    std::copy(std::begin(kept_language), std::end(kept_language), g_language);
    free_objects();
}

} // namespace

BENCHMARK(attunement_selection_frame)->Unit(benchmark::kMicrosecond);
