// Loading "global/spells.dat" of 200 records (wall time per load): the table alone (no effect
// keys, no sound names), and with every spell naming one effect key whose seven ".pr" files exist
// (shared prototypes, each read once) and one sound name with five cast and five explosion sounds.
#include "bench/bench_scene.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/sound.h"
#include "items/spells.h"
#include "platform/audio.h"
#include "platform/audio_writer.h"
#include "platform/files.h"
#include "world/object_protos.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

void write_full_table(bool shared)
{
    g_spell_proto_count = k_spell_slots;
    for (int32_t i = 0; i < k_spell_slots; ++i) {
        spell_proto& s = g_spell_protos[i];
        s = spell_proto{};
        reset_spell_proto(s);
        std::snprintf(s.name, sizeof s.name, "kuzlo%d", int(i));
        if (shared) {
            copy_bounded(s.effect_key, sizeof s.effect_key, "ohen");
            copy_bounded(s.sound_name, sizeof s.sound_name, "ohen");
        }
        s.damage_percent = int16_t(i % 10);
    }
    save_spells();
}

void write_shared_media()
{
    const int32_t scratch = k_proto_slots - 1;
    reset_object_proto(&g_object_protos[scratch]);
    g_object_protos[scratch].kind = k_proto_sprite;
    for (const char* prefix : {"", "e_", "e2_", "e3_", "ee_", "e0_", "strela2_"}) {
        packed_stream* out = stream_open((std::string("data/spell/") + prefix + "ohen.pr").c_str(), "wp");
        write_object_proto(scratch, out);
        stream_close(out);
    }
    reset_object_proto(&g_object_protos[scratch]);
    std::vector<int16_t> pcm(2205, 1000);
    for (const char* kind : {"c_", "e_"})
        for (int k = 0; k < 5; ++k)
            write_wav_file((std::string("data/sound/") + kind + "ohen" + std::to_string(k) + ".wav").c_str(), pcm.data(),
                           1, 22050, pcm.size());
}

void free_templates()
{
    for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot) {
        unload_object_proto(slot, false);
        g_object_protos[slot].kind = k_proto_free;
    }
}

void release_sounds()
{
    for (int32_t slot = 0; slot < k_sound_slots; ++slot)
        release_sound(slot);
}

void load_full_table(benchmark::State& state, bool shared)
{
    bench_scene scene(shared ? "zorv_spells_media_bench" : "zorv_spells_bench");
    make_folder("global");
    make_folder("data/spell");
    make_folder("data/sound");
    audio_init_headless(22050);
    g_sound_enabled = 1;
    sound_init();
    if (shared)
        write_shared_media();
    write_full_table(shared);
    for (auto _ : state) {
        state.PauseTiming();
        free_templates();
        release_sounds();
        state.ResumeTiming();
        load_spells();
    }
    state.counters["spells"] = double(g_spell_proto_count);
    state.counters["cast_sounds"] = double(g_spell_protos[0].cast_sound_count);
    state.counters["missile_slot"] = double(g_spell_protos[199].missile_slot);
    free_templates();
    std::fill(std::begin(g_spell_protos), std::end(g_spell_protos), spell_proto{});
    g_spell_proto_count = 0;
    release_sounds();
    g_sound_enabled = 0;
    audio_shutdown();
}

void BM_LoadSpellsTableAlone(benchmark::State& state)
{
    load_full_table(state, false);
}
BENCHMARK(BM_LoadSpellsTableAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadSpellsWithSharedEffectsAndSounds(benchmark::State& state)
{
    load_full_table(state, true);
}
BENCHMARK(BM_LoadSpellsWithSharedEffectsAndSounds)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
