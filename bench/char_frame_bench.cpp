// One playing frame of the characters on the demo's gate level with 100 of them fighting: the
// object pass that draws them (and fills the focus list) and the per-frame update that animates
// them, runs their machines, recomputes their statistics and moves the camera, on the recording
// device. CPU time per frame.
#include "bench/bench_scene.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "characters/char_update.h"
#include "characters/monster_protos.h"
#include "characters/rule_tables.h"
#include "core/frame_timing.h"
#include "core/input_state.h"
#include "engine/models.h"
#include "items/items.h"
#include "level/char_links.h"
#include "level/level_change.h"
#include "level/level_links.h"
#include "platform/clock.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int k_fighters = 100;

// The demo data written into the scene's folder, the gate level entered with its hero, and
// bandits added around the hero until 100 characters fight there, each swinging.
void enter_crowded_gate()
{
    const std::string command = std::string(ZORV_DEMO_TOOL) + " . >/dev/null";
    if (std::system(command.c_str()) != 0)
        return;
    install_char_links();
    install_text_window_links();
    load_items();
    load_monster_protos();
    load_rule_tables();
    read_characters(true);
    g_player_char = 0;
    change_level("brana.sav", 1, 0, 0);
    for (int i = int(g_char_count); i < k_fighters; ++i) {
        const int32_t slot = load_char_into_free_slot("data/creature/bandit.chr");
        if (slot < 0)
            break;
        char_record* c = add_char(&g_chars[slot], slot, 120.0f + 80.0f * float(i % 10), 120.0f + 60.0f * float(i / 10));
        c->kind = k_kind_enemy;
    }
    for (uint32_t s = 0; s < g_char_count; ++s)
        set_char_anim(&g_chars[s], 2, 1, 0);
    // The cursor rests on the crowd, so the drawing tests every outline.
    g_mouse_x = 500.0f;
    g_mouse_y = 380.0f;
}

void leave_gate()
{
    free_objects();
    release_char_models();
    for (model& m : g_char_models)
        free_model(&m);
    g_char_count = 0;
    g_level_links = {};
    g_object_links = {};
}

void BM_CharacterFrame(benchmark::State& state)
{
    bench_scene scene("zorv_char_frame_bench");
    clock_use_manual(true);
    enter_crowded_gate();
    const size_t draws = scene.time_frames(state, [] {
        clock_advance_manual(16);
        g_elapsed_ms += 16;
        g_ticks = g_elapsed_ms >> 4;
        draw_objects();
        update_all_chars(false);
    });
    state.counters["characters"] = double(g_char_count);
    state.counters["draws"] = double(draws);
    leave_gate();
    clock_use_manual(false);
}
BENCHMARK(BM_CharacterFrame)->Unit(benchmark::kMillisecond);

} // namespace
