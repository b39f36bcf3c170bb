// The characters: one animation frame of a full table, 255 characters of 24 body parts each
// (CPU time per frame), and reading "global/characters.dat" with 255 records and loading their
// clip sets from the model folders (CPU and wall time per load, the model files cached by the
// system after the first).
#include "bench/bench_scene.h"
#include "characters/char_animation.h"
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "core/frame_timing.h"
#include "core/utilities.h"
#include "engine/models.h"
#include "platform/files.h"
#include "tests/engine/model_test_support.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr const char* k_appearances[] = {"hero", "bandit", "villager", "wolf", "ghoul"};
constexpr const char* k_clips[] = {"stand1", "move1", "attack1", "death1", "hit1"};
constexpr const char* k_parts[] = {"head", "body", "larm", "rarm", "legs", "feet"};

// A full table of characters without clips, each in the world.
void fill_table()
{
    g_char_count = 0;
    for (int slot = 0; slot < k_char_slots; ++slot) {
        int32_t made = new_default_char();
        char_record& c = g_chars[made];
        copy_bounded(c.appearance, sizeof c.appearance, k_appearances[slot % 5]);
        std::snprintf(c.name, sizeof c.name, "%s%d", k_appearances[slot % 5], slot);
        c.kind = slot == 0 ? k_kind_player : k_kind_enemy;
        c.object = add_object(float(slot * 10), 0.0f, -2 - slot, 1.0f, 1.0f, 0, 0);
        c.world = 1;
    }
}

void empty_tables()
{
    release_char_models();
    for (model& m : g_char_models)
        free_model(&m);
    free_objects();
    g_char_count = 0;
}

void BM_AnimateFullTable(benchmark::State& state)
{
    bench_scene scene("zorv_chars_animate_bench");
    reserve_objects(k_char_slots + 1);
    // 24 registry models of 8 frames; every character shows all of them, looping a frame at every call.
    for (int p = 0; p < k_body_parts; ++p) {
        make_grid_model(g_char_models[p], 2, 2, 1, 8);
        g_chardata[p].loaded = 1;
    }
    g_chardata_count = k_body_parts;
    fill_table();
    for (uint32_t s = 0; s < g_char_count; ++s) {
        char_record& c = g_chars[s];
        for (int p = 0; p < k_body_parts; ++p)
            c.part_model[p] = int16_t(p);
        c.anim_speed = 1;
        g_objects[c.object].anim_mode = k_anim_loop;
    }
    for (auto _ : state) {
        g_elapsed_ms += 16;
        g_ticks = g_elapsed_ms >> 4;
        for (uint32_t s = 0; s < g_char_count; ++s)
            animate_char(&g_chars[s]);
    }
    benchmark::DoNotOptimize(g_chars[254].part_frame[23]);
    state.counters["characters"] = double(g_char_count);
    empty_tables();
}
BENCHMARK(BM_AnimateFullTable)->Unit(benchmark::kMicrosecond);

void BM_LoadCharactersAndClips(benchmark::State& state)
{
    bench_scene scene("zorv_chars_load_bench");
    make_folder("global");
    for (const char* appearance : k_appearances) {
        for (const char* clip : k_clips) {
            std::string folder = std::string("3d/") + appearance + "/1/" + clip + "/";
            make_folder(folder.c_str());
            model m;
            make_grid_model(m, 2, 2, 1, 4);
            for (const char* part : k_parts)
                save_model(&m, (folder + part + ".3d").c_str());
        }
    }
    reserve_objects(k_char_slots + 1);
    fill_table();
    for (uint32_t s = 0; s < g_char_count; ++s)
        g_chars[s].kind = k_kind_sidekick;  // every record is written
    write_characters();
    for (auto _ : state) {
        state.PauseTiming();
        release_char_models();
        for (model& m : g_char_models)
            free_model(&m);
        g_char_count = 0;
        state.ResumeTiming();
        read_characters(true);
        for (uint32_t s = 0; s < g_char_count; ++s)
            load_char_anims(&g_chars[s], 1, true);
    }
    state.counters["characters"] = double(g_char_count);
    state.counters["move_protos"] = double(g_move_proto_count);
    state.counters["models"] = double(g_chardata_count);
    empty_tables();
}
BENCHMARK(BM_LoadCharactersAndClips)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
