// The editor's in-view modes at their table limits: a flood fill of a 400 x 400 open movement
// map with D held, one frame of the light, sector, character, ground-item and monster-point
// modes with full tables and an item held, and one tint tick of the Global page over 15,000
// selected objects.
#include "characters/char_table.h"
#include "characters/monster_points.h"
#include "characters/monster_spawning.h"
#include "characters/placements.h"
#include "core/editor_globals.h"
#include "core/input_state.h"
#include "editor/controls/dialog_controls.h"
#include "editor/dialogs/global_settings.h"
#include "editor/editor_frame.h"
#include "editor/view/char_mode.h"
#include "editor/view/ground_item_mode.h"
#include "editor/view/light_mode.h"
#include "editor/view/sector_mode.h"
#include "engine/lights.h"
#include "items/ground_items.h"
#include "platform/key_codes.h"
#include "world/movement_map.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

void keys(std::initializer_list<uint8_t> down)
{
    std::memset(g_key_state, 0, sizeof g_key_state);
    for (uint8_t k : down)
        g_key_state[k] = k_key_down_bit;
}

void BM_SectorModeFloodFill400(benchmark::State& state)
{
    create_movemap(&g_movement_map, 400, 400, 0, 0);
    g_mouse_left = g_mouse_right = 0;
    g_brush_preview.x = g_brush_preview.y = 6400.0f;
    keys({k_key_d});
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(g_movement_map.cells, 0, 400 * 400);
        state.ResumeTiming();
        run_sector_mode(g_editor);
    }
    free_movemap(&g_movement_map);
}
BENCHMARK(BM_SectorModeFloodFill400)->Unit(benchmark::kMillisecond);

void BM_LightModeFrame100Lights(benchmark::State& state)
{
    g_light_count = k_light_slots;
    for (int32_t i = 0; i < k_light_slots; ++i)
        light_init(&g_lights[i], k_light_kind_spot, float(i) * 50.0f, 20.0f, 1.0f, 10.0f);
    g_selected_light = 99;
    g_selected_light_handle = 1;
    g_mouse_left = 1;
    g_mouse_right = 0;
    keys({k_key_a, k_key_g});
    for (auto _ : state)
        run_light_mode(g_editor);
    g_selected_light = -1;
}
BENCHMARK(BM_LightModeFrame100Lights)->Unit(benchmark::kMicrosecond);

void BM_SectorModeFrame100Sectors(benchmark::State& state)
{
    for (int32_t i = 0; i < k_sector_slots; ++i) {
        clear_sector(&g_sectors[i]);
        begin_sector(&g_sectors[i], 1, float(i) * 300.0f, 0.0f);
        for (int32_t p = 1; p < k_sector_max_points; ++p)
            add_sector_point(&g_sectors[i], float(i) * 300.0f + float(p), float(p * p));
        g_sectors[i].selected[3] = 1;
    }
    g_sector_count = k_sector_slots;
    g_selected_sector = 50;
    g_mouse_left = 1;
    g_mouse_right = 1;
    g_marker_dx = 1;
    keys({k_key_lshift, k_key_rbracket, k_key_a});
    for (auto _ : state)
        run_sector_mode(g_editor);
    g_selected_sector = -1;
    g_marker_dx = 0;
}
BENCHMARK(BM_SectorModeFrame100Sectors)->Unit(benchmark::kMicrosecond);

void BM_CharModeFrame255Chars(benchmark::State& state)
{
    reserve_objects(k_object_growth);
    g_char_count = k_char_slots;
    g_char_placements.count = k_placement_slots;
    for (int32_t i = 0; i < k_char_slots; ++i) {
        const int32_t o = add_object(float(i) * 40.0f, 100.0f, -1, 1.0f, 1.0f, 0, 0);
        g_objects[o].proto = -2 - i;
        g_chars[i].object = o;
        g_chars[i].slot = decltype(g_chars[i].slot)(i);
        g_char_placements.entries[i].char_slot = int16_t(i);
    }
    g_selected_char = 200;
    g_mouse_left = 1;
    g_mouse_right = 0;
    keys({k_key_a, k_key_e, k_key_h});
    for (auto _ : state)
        run_char_mode(g_editor);
    g_selected_char = -1;
}
BENCHMARK(BM_CharModeFrame255Chars)->Unit(benchmark::kMicrosecond);

void BM_GroundItemModeFrame1000Items(benchmark::State& state)
{
    g_ground_item_count = k_ground_item_slots;
    for (int32_t i = 0; i < k_ground_item_slots; ++i)
        init_ground_item(&g_ground_items[i], 0, 1, int16_t(i * 24), 0, k_ground_item_no_element);
    g_mouse_left = 0;
    g_mouse_right = 1;
    g_mouse_x = g_mouse_y = -5000.0f;  // the whole table scanned, nothing in reach
    keys({});
    for (auto _ : state)
        run_ground_item_mode(g_editor);
}
BENCHMARK(BM_GroundItemModeFrame1000Items)->Unit(benchmark::kMicrosecond);

void BM_MonsterPointModeFrame255Points(benchmark::State& state)
{
    reset_monster_points(&g_monster_points);
    for (int32_t i = 0; i < k_monster_point_slots; ++i)
        add_monster_point(&g_monster_points, float(i) * 30.0f, 50.0f);
    g_selected_monster_point = -1;
    g_mouse_left = 1;
    g_mouse_right = 0;
    g_mouse_x = g_mouse_y = -5000.0f;  // every point tested, none hit
    keys({});
    for (auto _ : state)
        run_monster_point_mode(g_editor);
}
BENCHMARK(BM_MonsterPointModeFrame255Points)->Unit(benchmark::kMicrosecond);

void BM_GlobalTintTick15000Selected(benchmark::State& state)
{
    reserve_objects(k_object_growth);
    g_object_count = k_object_growth;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        init_object(&g_objects[i], float(i), 0.0f, -1, 1.0f, 1.0f, 0, 0);
        g_objects[i].highlight = 1;
    }
    open_global_settings();
    const dialog_handle page = g_global_settings_window;
    g_work_mode = k_work_select;
    g_editor.coloring = 1;
    int32_t position = 0;
    for (auto _ : state) {
        set_slider_pos(page, k_glset_tint_r, position);
        position = (position + 1) % 200;
        apply_global_tint(page);
    }
    destroy_dialog(page);
}
BENCHMARK(BM_GlobalTintTick15000Selected)->Unit(benchmark::kMicrosecond);

} // namespace
