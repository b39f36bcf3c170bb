// A volley of 20 directions of 10 missiles, each with a glow and a companion, and a light per
// direction, cast into a level of 10,000 world objects; and the 200 impacts of its damaging
// missiles. Each iteration starts from the same level: what it added is freed unmeasured.
#include "characters/char_table.h"
#include "engine/lights.h"
#include "items/casting.h"
#include "items/spells.h"
#include "platform/random.h"
#include "world/object_protos.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

// from items/spell_impact.h
void spell_impact(const spell_proto& spell, int16_t character, uint32_t spell_id, float x, float y, uint8_t side);

namespace {

constexpr uint32_t k_level_objects = 10000;
constexpr int32_t k_spell = 0;
constexpr int32_t k_missile = 1000, k_glow = 1001, k_companion = 1002, k_explosion = 1003;

class casting_scene {
public:
    casting_scene()
        : protos_(g_object_protos + k_missile, g_object_protos + k_explosion + 1),
          chars_(std::make_unique<char_record[]>(1)), spells_(std::make_unique<spell_proto[]>(1))
    {
        chars_[0] = g_chars[0];
        spells_[0] = g_spell_protos[k_spell];
        saved_count_ = g_char_count;
        saved_spells_ = g_spell_proto_count;
        saved_header_ = g_scene_header;
        for (int32_t slot = k_missile; slot <= k_explosion; ++slot) {
            reset_object_proto(&g_object_protos[slot]);
            g_object_protos[slot].kind = k_proto_sprite;
        }
        g_scene_header.scale = 1.0f;
        reserve_objects(k_level_objects + 2000);
        game_srand(5);
        for (uint32_t i = 0; i < k_level_objects; ++i)
            add_object(float(game_rand() % 4000), float(game_rand() % 4000), 0, 1.0f, 1.0f, 0, 0);
        g_char_count = 1;
        char_record& c = g_chars[0];
        std::memset(&c, 0, sizeof c);
        c.kind = k_kind_player;
        c.life = k_life_alive;
        c.interior = 255;
        c.object = add_object(2000.0f, 2000.0f, -2, 1.0f, 1.0f, 0, 0);
        level_count_ = g_object_count;

        spell_proto& s = g_spell_protos[k_spell];
        s = spell_proto{};
        reset_spell_proto(s);
        s.item_effect = -1;
        s.missile_slot = k_missile;
        s.glow_slot = k_glow;
        s.companion_slot = k_companion;
        s.explosion_slot = k_explosion;
        s.volley_size = 10;  // directions -10 to 9
        s.volley_step = 18;
        s.spread = k_spread_circular;
        s.missiles_per_direction = 10;
        s.is_light = 1;
        s.duration = 40;
        s.explosion_duration = 20;
        g_spell_proto_count = 1;
    }
    ~casting_scene()
    {
        free_objects();
        std::copy(protos_.begin(), protos_.end(), g_object_protos + k_missile);
        g_chars[0] = chars_[0];
        g_spell_protos[k_spell] = spells_[0];
        g_char_count = saved_count_;
        g_spell_proto_count = saved_spells_;
        g_scene_header = saved_header_;
        clear_lights();
    }

    // Frees what an iteration added, and its lights.
    void restore_level()
    {
        for (uint32_t i = level_count_; i < g_object_count; ++i)
            free_object_slot(&g_objects[i]);
        g_object_count = level_count_;
        clear_lights();
    }

    static void clear_lights()
    {
        std::memset(g_lights, 0, sizeof g_lights);
        g_light_count = 0;
    }

private:
    std::vector<object_proto> protos_;
    std::unique_ptr<char_record[]> chars_;
    std::unique_ptr<spell_proto[]> spells_;
    uint32_t saved_count_ = 0;
    int32_t saved_spells_ = 0;
    scene_header saved_header_{};
    uint32_t level_count_ = 0;
};

void BM_CastVolleyIntoLevel(benchmark::State& state)
{
    casting_scene scene;
    for (auto _ : state) {
        cast_spell(g_spell_protos[k_spell], 0, k_spell, 0.0f, 0.0f, 0.0f, 0.0f, 0, 0);
        benchmark::DoNotOptimize(g_object_count);
        state.PauseTiming();
        scene.restore_level();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CastVolleyIntoLevel)->Unit(benchmark::kMicrosecond);

// The 200 impacts at the ends of the volley's missiles.
void BM_VolleyImpacts(benchmark::State& state)
{
    casting_scene scene;
    cast_spell(g_spell_protos[k_spell], 0, k_spell, 0.0f, 0.0f, 0.0f, 0.0f, 0, 0);
    std::vector<std::pair<float, float>> ends;
    for (uint32_t i = 0; i < g_object_count; ++i)
        if (g_objects[i].state != 0 && g_objects[i].proto == k_missile)
            ends.emplace_back(g_objects[i].x, g_objects[i].y);
    scene.restore_level();
    for (auto _ : state) {
        for (const auto& [x, y] : ends)
            spell_impact(g_spell_protos[k_spell], 0, k_spell, x, y, 7);
        benchmark::DoNotOptimize(g_object_count);
        state.PauseTiming();
        scene.restore_level();
        state.ResumeTiming();
    }
    state.counters["impacts"] = double(ends.size());
}
BENCHMARK(BM_VolleyImpacts)->Unit(benchmark::kMicrosecond);

} // namespace
