// Loading "global/items.dat" of 1,000 records with full REQUIREMENTS and EFECTS lists (wall time
// per load): with no media files present, and with one icon and one ground model that every item
// shares; no sound files in either, the sound table on a headless audio device.
#include "bench/bench_scene.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "engine/packed_stream.h"
#include "engine/sound.h"
#include "items/items.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "world/object_protos.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void write_full_table()
{
    g_item_proto_count = k_item_slots;
    for (int32_t i = 0; i < k_item_slots; ++i) {
        item_proto& item = g_item_protos[i];
        item = item_proto{};
        std::snprintf(item.key_name, sizeof item.key_name, "predmet%d", int(i));
        std::snprintf(item.display_name, sizeof item.display_name, "Item %d", int(i));
        copy_bounded(item.image_name, sizeof item.image_name, "ikona");
        copy_bounded(item.sound_name, sizeof item.sound_name, "zbran");
        item.item_class = uint8_t(i % 27);
        item.critical_multiplier = 1.5f;
        item.requirement_count = item.efect_count = k_item_list_entries;
        for (int k = 0; k < k_item_list_entries; ++k)
            g_item_lists[i].requirements[k] = g_item_lists[i].efects[k] = item_property{uint16_t(k), {1, 2, 3}};
    }
    save_items();
}

void free_templates()
{
    for (int32_t slot = k_proto_first_template; slot < k_proto_slots; ++slot) {
        unload_object_proto(slot, false);
        g_object_protos[slot].kind = k_proto_free;
    }
}

void load_full_table(benchmark::State& state, bool shared_media)
{
    bench_scene scene(shared_media ? "zorv_items_media_bench" : "zorv_items_bench");
    make_folder("global");
    make_folder("data/predmety/ground");
    audio_init_headless(22050);
    g_sound_enabled = 1;
    sound_init();
    if (shared_media) {
        std::vector<uint32_t> texels(32 * 32, 0xFF806040u);
        write_image_file("data/predmety/ikona.tga", texels.data(), 32, 32);
        const int32_t scratch = k_proto_slots - 1;
        reset_object_proto(&g_object_protos[scratch]);
        g_object_protos[scratch].kind = k_proto_sprite;
        packed_stream* out = stream_open("data/predmety/ground/default.pr", "wp");
        write_object_proto(scratch, out);
        stream_close(out);
    }
    write_full_table();
    for (auto _ : state) {
        state.PauseTiming();
        clear_texture_table();
        free_templates();
        state.ResumeTiming();
        load_items();
    }
    state.counters["items"] = double(g_item_proto_count);
    state.counters["ground_model"] = double(g_item_protos[0].ground_model);
    clear_texture_table();
    free_templates();
    g_item_proto_count = 0;
    sound_init();
    g_sound_enabled = 0;
    audio_shutdown();
}

void BM_LoadItemsTableAlone(benchmark::State& state)
{
    load_full_table(state, false);
}
BENCHMARK(BM_LoadItemsTableAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadItemsWithSharedMedia(benchmark::State& state)
{
    load_full_table(state, true);
}
BENCHMARK(BM_LoadItemsWithSharedMedia)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
