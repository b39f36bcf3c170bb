// One frame of the side panel on the recording device: 28 inventory items (every slot filled,
// some tinted), an item on the cursor, and both container windows open (40 and 100 cells, every
// cell filled), the cursor over a cell of the second window.
#include "bench/bench_interface.h"
#include "bench/bench_scene.h"

#include "characters/char_record.h"
#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "interface/held_item.h"
#include "interface/side_panel.h"
#include "items/containers.h"
#include "items/items.h"
#include "platform/image_writer.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int k_bench_items = 8;

void side_panel_frame(benchmark::State& state)
{
    bench_scene scene("zorv_side_panel_bench");
    kept_interface_scene kept;

    game_interface& gi = g_interface;
    std::fill(std::begin(gi.panel_tiles), std::end(gi.panel_tiles), bench_image("tile", 64));
    gi.slot_box = bench_image("box", 32);
    gi.bars[2] = bench_image("gold", 32);
    for (int id = 0; id < k_bench_items; ++id) {
        item_proto& p = g_item_protos[id];
        p = item_proto{};
        p.item_class = uint8_t(id == 0 ? k_item_ring : k_item_normal);
        p.icon_texture = bench_image("icon" + std::to_string(id), 32);
        p.big_image = bench_image("big" + std::to_string(id), 64);
    }
    g_item_proto_count = std::max(g_item_proto_count, k_bench_items);

    char_record& hero = place_bench_hero();
    for (int e = 0; e < 28; ++e) {
        hero.inv_item[e] = int16_t(1 + e % (k_bench_items - 1));
        hero.inv_location[e] = uint8_t(e);
        hero.inv_damage_type[e] = uint8_t(e % 8);
    }
    hero.inv_item[28] = 0;  // the ring on the cursor: the ring slots are outlined
    hero.inv_location[28] = k_code_none;
    hero.inv_count = 29;

    container& first = g_containers[100];
    container& second = g_containers[101];
    const container kept_first = first, kept_second = second;
    first = second = container{};
    container_init(&first, "ch_cont", 8, 5, 0);
    container_init(&second, "ch_cont", 10, 10, 0);
    for (container* c : {&first, &second})
        for (uint32_t k = 0; k < container_cells(c); ++k) {
            c->items[k] = uint16_t(k % k_bench_items);
            c->flags[k] = uint8_t(k % 8);
        }
    gi.shown = gi.side_panel_open = 1;
    gi.container_open = gi.second_container_open = 1;
    gi.container_id = 100;
    gi.second_container_id = 101;
    gi.held_item = 28;
    gi.held_origin = 5;
    gi.held_icon = int16_t(g_item_protos[0].big_image);
    gi.held_from_container = gi.held_from_second_container = 0;
    // Argument 1: the cursor over a cell of the second window, whose item gets a two-pass
    // tooltip; 0: over the panel between its slots, no tooltip.
    const bool tooltip = state.range(0) != 0;
    g_mouse_screen_x = tooltip ? 337.0f + 34.0f * 3 + 10.0f : 10.0f;
    g_mouse_screen_y = tooltip ? 45.0f + 415.0f + 34.0f * 2 + 10.0f : 45.0f + 10.0f;
    g_mouse_left = g_mouse_right = 0;

    const size_t draws = scene.time_frames(state, [] { benchmark::DoNotOptimize(update_side_panel()); });
    state.counters["draws"] = double(draws);

    container_free(&first);
    container_free(&second);
    first = kept_first;
    second = kept_second;
    free_objects();
}

} // namespace

BENCHMARK(side_panel_frame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
