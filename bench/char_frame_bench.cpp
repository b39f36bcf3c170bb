// The characters on the demo's gate level with 100 of them fighting (bandits around the hero, the
// squire and villagers among them), shadows on, on the recording device. CPU time per frame of:
// - the object pass that draws them (and fills the focus list) and the per-frame update that
//   animates them, runs their machines, recomputes their statistics and moves the camera;
// - the state machines alone (enemy, ordinary and sidekick) with the enemies' place assignment
//   and the animation that moves them from frame to frame.
#include "bench/bench_scene.h"
#include "characters/char_animation.h"
#include "characters/char_machines.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "characters/char_update.h"
#include "characters/monster_protos.h"
#include "characters/rule_tables.h"
#include "characters/surround.h"
#include "core/frame_timing.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "editor/editor_state.h"
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
// bandits, villagers and squires added around the hero (four in five of them bandits) until 100
// characters are there, the AI on.
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
    add_char(&g_chars[g_player_char], int32_t(g_player_char), 512.0f, 384.0f);
    for (int i = int(g_char_count); i < k_fighters; ++i) {
        const char* file = i % 5 == 3 ? "data/creature/villager.chr" : i % 5 == 4 ? "data/creature/squire.chr"
                                                                             : "data/creature/bandit.chr";
        const int32_t slot = load_char_into_free_slot(file);
        if (slot < 0)
            break;
        add_char(&g_chars[slot], slot, 120.0f + 80.0f * float(i % 10), 120.0f + 60.0f * float(i / 10));
    }
    g_editor.ai_on = 1;
    g_settings.gr_displayshadows = 1;
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

void BM_CharacterMachines(benchmark::State& state)
{
    bench_scene scene("zorv_char_machines_bench");
    clock_use_manual(true);
    enter_crowded_gate();
    int32_t machines = 0;
    for (uint32_t s = 0; s < g_char_count; ++s)
        machines += g_chars[s].kind != k_kind_player ? 1 : 0;
    for (auto _ : state) {
        clock_advance_manual(16);
        g_elapsed_ms += 16;
        g_ticks = g_elapsed_ms >> 4;
        for (uint32_t s = 0; s < g_char_count; ++s)
            animate_char(&g_chars[s]);
        assign_surround_slots(&g_surround, int32_t(g_player_char));
        for (uint32_t s = 0; s < g_char_count; ++s)
            if (g_chars[s].kind != k_kind_player)
                update_char(&g_chars[s], int32_t(s));
        g_chars[g_player_char].hp = 30000;  // the hero stands for the whole run
    }
    state.counters["machines"] = double(machines);
    leave_gate();
    clock_use_manual(false);
}
BENCHMARK(BM_CharacterMachines)->Unit(benchmark::kMillisecond);

} // namespace
