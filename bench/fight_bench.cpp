// The game's whole frame while a fight goes on, through the program's own main loop on the
// demo's gate level with everything start-up loads (blood, bleeding, water-circle and weather
// templates, the level's particle emitters):
// - on the recording device, 60 seconds of the fight at 60 updates a second, with the world
//   objects in use, the quads drawn, the device's draw calls and the CPU time of a frame
//   averaged over the 5th and the 60th second (one run);
// - in a window on OpenGL, frames per second (wall time) of the gate without a fight, and once
//   60 seconds of the fight have passed, of the gate's own fight and of 100 characters fighting
//   there (after 10 seconds), with the process's resident memory;
// - in a window, the fight's frame side by side with a bare OpenGL loop that draws the quads of
//   the same fight's frame (same textures, same count) batched, frames of each taking turns:
//   the medians of both and their ratio.
// Run the window benchmarks under a real X display (for instance Xvfb, with LP_NUM_THREADS=2 for
// the software rasteriser); without a window they are skipped.
#include "bench/bench_game.h"

#include "level/level_change.h"
#include "platform/bare_gl_quads.h"
#include "platform/gl_window.h"
#include "platform/random.h"
#include "platform/recording_device.h"
#include "world/blood.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

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

// The quads of the fight's frame once `warm_up` seconds of it have passed, taken on the
// recording device; null when the game did not start.
std::unique_ptr<bare_gl_quads> fight_frame_quads(int warm_up)
{
    game_srand(1);
    bench_game game("zorv_fight_quads_bench", false);
    auto* device = dynamic_cast<recording_device*>(g_d3d_device);
    if (!game.started() || !device)
        return nullptr;
    for (int f = 0; f < warm_up * k_rate; ++f)
        game.fight_frame();
    device->clear_recording();
    game.fight_frame();
    return std::make_unique<bare_gl_quads>(*device);
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Each iteration: 5 frames of the game's fight in its window, then 5 bare frames of its quads,
// each timed to the end of its drawing. speed_vs_bare is the bare frame's median time over the
// game frame's: 1 or more when the game draws its frame as fast as the bare loop.
void BM_FightFrameBesideBareGl(benchmark::State& state)
{
    constexpr int k_warm_up = 60, k_turn = 5;
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X display for a window");
        return;
    }
    std::unique_ptr<bare_gl_quads> bare = fight_frame_quads(k_warm_up);
    if (!bare) {
        state.SkipWithError("the game did not start on the recording device");
        return;
    }
    game_srand(1);
    bench_game game("zorv_window_fight_bench", true);
    if (!game.started()) {
        state.SkipWithError("the game did not start in a window");
        return;
    }
    for (int f = 0; f < k_warm_up * k_rate; ++f)
        game.fight_frame();
    using clock = std::chrono::steady_clock;
    auto ms_since = [](clock::time_point t) { return std::chrono::duration<double, std::milli>(clock::now() - t).count(); };
    std::vector<double> game_ms, bare_ms;
    const uint64_t calls = g_d3d_device->draw_call_count();
    for (auto _ : state) {
        for (int i = 0; i < k_turn; ++i) {
            const auto t = clock::now();
            game.fight_frame();
            gl_window_finish();
            game_ms.push_back(ms_since(t));
        }
        for (int i = 0; i < k_turn; ++i) {
            const auto t = clock::now();
            bare->draw_frame();
            bare_ms.push_back(ms_since(t));
        }
    }
    const double game_median = median(game_ms), bare_median = median(bare_ms);
    state.counters["game_ms"] = game_median;
    state.counters["bare_ms"] = bare_median;
    state.counters["speed_vs_bare"] = game_median > 0 ? bare_median / game_median : 0;
    state.counters["quads"] = bare->quads();
    state.counters["bare_calls"] = bare->runs();
    state.counters["game_calls"] = double(g_d3d_device->draw_call_count() - calls) / double(game_ms.size());
}
BENCHMARK(BM_FightFrameBesideBareGl)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);

} // namespace
