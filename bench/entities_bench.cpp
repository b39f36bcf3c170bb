// The entities' per-frame pass over 100 entities of mixed types with 64 objects each, in a level
// of 10,000 world objects with 50 characters, the hero standing in every fourth entity's sector.
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/input_state.h"
#include "platform/random.h"
#include "script/entities.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr uint32_t k_level_objects = 10000;
constexpr int k_bench_chars = 50;

// Types that work every frame without a click, a cast or a dialogue.
constexpr uint8_t k_types[] = {
    k_entity_interior,   k_entity_night_item,       k_entity_trap,        k_entity_down_anim,
    k_entity_mana_pool,  k_entity_life_pool,        k_entity_lever,       k_entity_loop_sound_day,
    k_entity_movemap_edit, k_entity_monster_enabler, k_entity_key_lever, k_entity_normal,
};

class entities_scene {
public:
    entities_scene()
        : chars_(std::make_unique<char_record[]>(k_bench_chars)), entities_(std::make_unique<entity_record[]>(k_entity_slots)),
          sectors_(std::make_unique<map_sector[]>(k_sector_slots))
    {
        std::memcpy(chars_.get(), g_chars, sizeof(char_record) * k_bench_chars);
        std::memcpy(entities_.get(), g_entities, sizeof g_entities);
        std::memcpy(sectors_.get(), g_sectors, sizeof g_sectors);
        saved_char_count_ = g_char_count;
        saved_entity_count_ = g_entity_count;
        saved_sector_count_ = g_sector_count;
        saved_header_ = g_scene_header;
        saved_clock_ = g_game_clock;
        saved_player_ = g_player_char;
        g_scene_header.level_type = 0;
        g_game_clock.hour = 12;
        g_game_clock.light_phase = k_light_phase_night;
        reserve_objects(k_level_objects + k_entity_slots * k_entity_max_objects + k_bench_chars + 100);
        game_srand(7);
        for (uint32_t i = 0; i < k_level_objects; ++i)
            add_object(float(game_rand() % 4000), float(game_rand() % 4000), 0, 1.0f, 1.0f, 0, 0);
        g_char_count = k_bench_chars;
        for (int s = 0; s < k_bench_chars; ++s) {
            char_record& c = g_chars[s];
            std::memset(&c, 0, sizeof c);
            c.kind = s == 0 ? k_kind_player : k_kind_enemy;
            c.life = k_life_alive;
            c.slot = int16_t(s);
            c.interior = 255;
            c.mana_max = c.hp_max = 1 << 30;
            c.object = add_object(float(game_rand() % 4000), float(game_rand() % 4000), -2 - s, 1.0f, 1.0f, 0, 0);
        }
        g_player_char = 0;
        g_entity_count = 0;
        g_sector_count = k_entity_slots;
        for (int i = 0; i < k_entity_slots; ++i) {
            const float x = float(i % 10) * 400.0f, y = float(i / 10) * 400.0f;
            map_sector& s = g_sectors[i];
            clear_sector(&s);
            begin_sector(&s, 0, x, y);
            add_sector_point(&s, x + 300, y);
            add_sector_point(&s, x + 300, y + 300);
            add_sector_point(&s, x, y + 300);
            add_sector_point(&s, x, y);
            const int32_t e = add_entity("bench", k_types[i % std::size(k_types)], 1);
            g_entities[e].sector = int16_t(i);
            g_entities[e].link = int16_t((i + 1) % k_entity_slots);
            for (int k = 0; k < k_entity_max_objects; ++k) {
                const int32_t o = add_object(x + float(k), y + float(k), 0, 0.5f, 1.0f, 0, 0);
                g_objects[o].entity = e;
                add_entity_object(e, o);
            }
        }
        g_objects[g_chars[0].object].x = 150.0f;
        g_objects[g_chars[0].object].y = 150.0f;
        g_mouse_x = g_mouse_y = -1000.0f;
        g_mouse_left = g_mouse_right = 0;
    }
    ~entities_scene()
    {
        free_objects();
        std::memcpy(g_chars, chars_.get(), sizeof(char_record) * k_bench_chars);
        std::memcpy(g_entities, entities_.get(), sizeof g_entities);
        std::memcpy(g_sectors, sectors_.get(), sizeof g_sectors);
        g_char_count = saved_char_count_;
        g_entity_count = saved_entity_count_;
        g_sector_count = saved_sector_count_;
        g_scene_header = saved_header_;
        g_game_clock = saved_clock_;
        g_player_char = saved_player_;
    }

private:
    std::unique_ptr<char_record[]> chars_;
    std::unique_ptr<entity_record[]> entities_;
    std::unique_ptr<map_sector[]> sectors_;
    uint32_t saved_char_count_, saved_entity_count_, saved_player_;
    int16_t saved_sector_count_;
    scene_header saved_header_;
    game_clock saved_clock_;
};

void BM_update_entities(benchmark::State& state)
{
    entities_scene scene;
    g_ticks = 1000;
    for (auto _ : state) {
        g_ticks += 5;
        update_entities();
    }
}
BENCHMARK(BM_update_entities)->Unit(benchmark::kMicrosecond);

} // namespace
