// The game's whole frame while a fight goes on, through the program's own main loop on the
// demo's gate level with everything start-up loads (blood, bleeding, water-circle and weather
// templates, the level's particle emitters):
// - on the recording device, 60 seconds of the fight at 60 updates a second, with the world
//   objects in use, the quads drawn, the device's draw calls and the CPU time of a frame
//   averaged over the 5th and the 60th second (one run);
// - in a window on OpenGL, frames per second (wall time) of the gate without a fight, and once
//   60 seconds of the fight have passed, of the gate's own fight and of 100 characters fighting
//   there (after 10 seconds), with the process's resident memory. Run them under a real X display (for instance Xvfb, with LP_NUM_THREADS=2
//   for the software rasteriser); without a window they are skipped.
#include "bench/bench_game.h"

#include "level/level_change.h"
#include "platform/recording_device.h"
#include "world/blood.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

namespace {

constexpr int k_rate = 60;

struct second_totals {
    double objects = 0, quads = 0, calls = 0, cpu_ms = 0;
    int frames = 0;
};

void BM_GateFightSixtySecondsRecorded(benchmark::State& state)
{
    bench_game game("zorv_fight_bench", false);
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    if (!game.started() || !device) {
        state.SkipWithError("the game did not start on the recording device");
        return;
    }
    second_totals fifth, last;
    for (auto _ : state) {
        for (int second = 1; second <= 60; ++second) {
            second_totals* totals = second == 5 ? &fifth : second == 60 ? &last : nullptr;
            for (int f = 0; f < k_rate; ++f) {
                device->clear_recording();
                const uint64_t calls = device->draw_call_count();
                const auto begin = std::chrono::steady_clock::now();
                game.fight_frame();
                const auto end = std::chrono::steady_clock::now();
                if (!totals)
                    continue;
                totals->objects += bench_game::live_objects();
                totals->quads += double(device->draws().size());
                totals->calls += double(device->draw_call_count() - calls);
                totals->cpu_ms += std::chrono::duration<double, std::milli>(end - begin).count();
                ++totals->frames;
            }
        }
    }
    for (auto [name, t] : {std::pair{"5s", &fifth}, std::pair{"60s", &last}}) {
        const double n = std::max(1, t->frames);
        state.counters[std::string("objects_") + name] = t->objects / n;
        state.counters[std::string("quads_") + name] = t->quads / n;
        state.counters[std::string("calls_") + name] = t->calls / n;
        state.counters[std::string("frame_ms_") + name] = t->cpu_ms / n;
    }
    uint32_t blood = 0;  // blobs and their drops, bleeding
    for (uint32_t i = 0; i < g_object_count; ++i)
        for (int v = 0; v < k_blood_variants; ++v)
            blood += g_objects[i].state != 0 &&
                     (g_objects[i].proto == g_blood.blood[v] || g_objects[i].proto == g_blood.bleed[v]);
    state.counters["blood_60s"] = blood;
    state.counters["level_changed"] = std::strcmp(g_current_level, "brana.sav") != 0 ? 1 : 0;
    state.counters["objects_60_over_5"] = last.objects / std::max(1.0, fifth.objects);
    state.counters["calls_60_over_5"] = last.calls / std::max(1.0, fifth.calls);
}
BENCHMARK(BM_GateFightSixtySecondsRecorded)->Unit(benchmark::kSecond)->Iterations(1);

// Frames of a fight in a window, timed once `warm_up` seconds of it have passed at 60 updates a
// second; `crowd` characters in all when above the level's own. Without `fight` the hero stands
// and the bandits are kept away: the level's quads alone.
void window_fight(benchmark::State& state, int warm_up, uint32_t crowd, bool fight = true)
{
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X display for a window");
        return;
    }
    bench_game game("zorv_window_fight_bench", true);
    if (!game.started()) {
        state.SkipWithError("the game did not start in a window");
        return;
    }
    bench_game::crowd(crowd);
    if (!fight)
        for (uint32_t s = 0; s < g_char_count; ++s)
            if (g_chars[s].kind == k_kind_enemy)
                g_chars[s].life = k_life_gone;
    for (int f = 0; f < warm_up * k_rate; ++f)
        fight ? game.fight_frame() : program_frame();
    for (auto _ : state)
        fight ? game.fight_frame() : program_frame();
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["characters"] = double(g_char_count);
    state.counters["objects"] = double(bench_game::live_objects());
    state.counters["resident_mb"] = double(resident_mb());
}

void BM_GateWithoutFightWindow(benchmark::State& state)
{
    window_fight(state, 1, 0, false);
}
BENCHMARK(BM_GateWithoutFightWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

void BM_GateFightWindowAfterSixtySeconds(benchmark::State& state)
{
    window_fight(state, 60, 0);
}
BENCHMARK(BM_GateFightWindowAfterSixtySeconds)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

void BM_HundredFightersWindow(benchmark::State& state)
{
    window_fight(state, 10, 100);
}
BENCHMARK(BM_HundredFightersWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

} // namespace
