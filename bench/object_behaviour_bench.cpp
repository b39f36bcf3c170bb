// One frame of 500 spell missiles in flight: each takes its behaviour step 4 ticks after it was
// due (24 sub-steps at speed 8) and tests the movement map and 64 characters, none of which it
// hits, on characters and a spell answered by plain functions.
#include "core/frame_timing.h"
#include "platform/random.h"
#include "world/movement_map.h"
#include "world/object_behaviour.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int32_t k_missiles = 500;
constexpr int32_t k_chars = 64;
constexpr int32_t k_spell = 1;

std::vector<int32_t> s_char_objects;

void link_scene()
{
    g_object_links = {};
    g_behaviour_links = {};
    g_object_links.char_count = [] { return uint32_t(k_chars); };
    g_object_links.char_object = [](int32_t s) { return s_char_objects[size_t(s)]; };
    g_object_links.char_kind = [](int32_t s) { return uint8_t(s == 0 ? 1 : 2); };  // the player, enemies
    g_object_links.char_life_state = [](int32_t) { return k_link_life_alive; };
    g_object_links.char_world_fade = [](int32_t) { return 1.0f; };
    g_object_links.char_outline_contains = [](int32_t s, float x, float y) {
        const world_object& o = g_objects[s_char_objects[size_t(s)]];
        return x > o.x - 20.0f && x < o.x + 20.0f && y > o.y - 40.0f && y < o.y + 10.0f;
    };
    g_behaviour_links.missile_spell = [](int32_t spell, missile_spell* v) {
        *v = {8, 0, 0, 0, 0, 100, -1};
        return spell == k_spell;
    };
}

struct missile_scene {
    movement_map saved_map = g_movement_map;
    world_object_links saved_links = g_object_links;
    behaviour_links saved_behaviour = g_behaviour_links;
    scene_header saved_header = g_scene_header;
    uint32_t saved_ticks = g_ticks;
    std::vector<int32_t> missiles;
    std::vector<float> start;

    missile_scene()
    {
        g_movement_map = {};
        create_movemap(&g_movement_map, 128, 128, 0, 0);  // 4,096 pixels each way, all free
        reset_scene_header(&g_scene_header);
        reserve_objects(k_missiles + k_chars);
        game_srand(3);
        s_char_objects.clear();
        for (int32_t s = 0; s < k_chars; ++s)  // along the top edge, out of every flight's way
            s_char_objects.push_back(add_object(float(64 * s), 20.0f, -2 - s, 1.0f, 1.0f, 0, 0));
        for (int32_t m = 0; m < k_missiles; ++m) {
            float x = 500.0f + float(game_rand() % 3000), y = 500.0f + float(game_rand() % 3000);
            int32_t index = add_object(x, y, -1, 1.0f, 1.0f, 0, 0);
            world_object& o = g_objects[index];
            o.impact = 1;
            o.entry_count = 1;
            o.entry_kinds[0] = k_entry_missile;
            o.entry_floats[0][0] = 3.0f;
            o.entry_floats[0][1] = -2.0f;
            o.entry_ints[0][0] = k_spell;
            o.entry_ints[0][1] = 0;
            missiles.push_back(index);
            start.push_back(x);
            start.push_back(y);
        }
        link_scene();
        g_ticks = 1000;
    }

    ~missile_scene()
    {
        free_objects();
        free_movemap(&g_movement_map);
        g_movement_map = saved_map;
        g_object_links = saved_links;
        g_behaviour_links = saved_behaviour;
        g_scene_header = saved_header;
        g_ticks = saved_ticks;
    }

    void frame()
    {
        g_ticks += 4;
        for (size_t m = 0; m < missiles.size(); ++m) {
            world_object& o = g_objects[missiles[m]];
            o.x = start[2 * m];
            o.y = start[2 * m + 1];
            o.lifetime = 1000;
            o.next_behaviour_tick = g_ticks - 4;
            update_missile_object(&o, missiles[m]);
        }
    }
};

void BM_FiveHundredMissilesOneFrame(benchmark::State& state)
{
    missile_scene scene;
    for (auto _ : state) {
        scene.frame();
        benchmark::DoNotOptimize(g_objects[scene.missiles[0]].x);
    }
    state.counters["missiles"] = double(k_missiles);
}
BENCHMARK(BM_FiveHundredMissilesOneFrame)->Unit(benchmark::kMicrosecond);

} // namespace
