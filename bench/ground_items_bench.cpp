// The ground items' per-frame work with 999 records (wall time per pass): the update over lying
// items (no trap, the mouse away, no player), and the Alt labels of 999 items on one cell, all
// stacked on rows above each other, drawn on the recording device.
#include "bench/bench_scene.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "platform/key_codes.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int32_t k_bench_items = 8;

// 999 lying records of ordinary, weapon and gold items, each at (x(i), y(i)).
template <class At>
void lay_items(At at)
{
    object_proto& model = g_object_protos[k_proto_first_template];
    reset_object_proto(&model);
    model.kind = k_proto_sprite;
    model.frame_counts[0] = 1;
    g_item_proto_count = k_bench_items;
    for (int32_t i = 0; i < k_bench_items; ++i) {
        item_proto& p = g_item_protos[i];
        p = item_proto{};
        std::snprintf(p.display_name, sizeof p.display_name, "Ground item %d", int(i));
        p.item_class = uint8_t(i == 0 ? k_item_gold : i % 3 == 1 ? k_item_medium_weapon : k_item_normal);
        p.damage = 12;
        p.ground_model = uint16_t(k_proto_first_template);
    }
    free_objects();
    reserve_objects(k_ground_item_slots + 16);
    g_ground_item_count = 0;
    for (int32_t i = 0; i < k_ground_item_max_count; ++i) {
        ground_item& g = g_ground_items[i];
        g = ground_item{};
        g.owner = 255;
        int16_t x, y;
        at(i, &x, &y);
        init_ground_item(&g, uint16_t(i % k_bench_items), int16_t(i * 7), x, y, k_ground_item_no_element);
        g_ground_item_count = int16_t(i + 1);
        place_ground_item(&g, i, true);
    }
}

void clear_items()
{
    g_ground_item_count = 0;
    g_item_proto_count = 0;
    free_objects();
    g_object_protos[k_proto_first_template].kind = k_proto_free;
}

void BM_UpdateGroundItems(benchmark::State& state)
{
    bench_scene scene("zorv_ground_items_bench");
    lay_items([](int32_t i, int16_t* x, int16_t* y) {
        *x = int16_t(i % 40 * 24);
        *y = int16_t(i / 40 * 24);
    });
    g_mouse_x = g_mouse_y = -5000.0f;
    for (auto _ : state)
        update_ground_items(1);
    state.counters["lying"] = double(g_ground_item_count);
    clear_items();
}
BENCHMARK(BM_UpdateGroundItems)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_GroundItemLabelsOnOneCell(benchmark::State& state)
{
    bench_scene scene("zorv_ground_labels_bench");
    font_create(&g_font_small, "", "Georgia", 14);
    lay_items([](int32_t, int16_t* x, int16_t* y) {
        *x = 480;
        *y = 600;
    });
    g_key_state[k_key_lmenu] = k_key_down_bit;
    g_mouse_screen_x = g_mouse_screen_y = -100.0f;
    const size_t draws = scene.time_frames(state, [] { draw_ground_item_labels(); });
    state.counters["draws"] = double(draws);
    g_key_state[k_key_lmenu] = 0;
    font_remove(&g_font_small);
    clear_items();
}
BENCHMARK(BM_GroundItemLabelsOnOneCell)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
