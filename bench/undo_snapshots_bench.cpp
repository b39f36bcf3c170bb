// The editor's undo snapshots of a full level (15,000 world objects, 100 lights, a movement map
// of 1,024 x 1,024 cells) pushed and popped, and the sorted listing of a folder of 5,000 files.
#include "bench_folder.h"
#include "core/dir_listing.h"
#include "core/editor_globals.h"
#include "editor/store/undo_snapshots.h"
#include "engine/lights.h"
#include "platform/files.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The scratch folder, and the full level in memory, made once.
void full_level()
{
    static bool made = false;
    if (made)
        return;
    made = true;
    enter_bench_folder();
    g_object_proto_count = 1000;
    for (uint32_t s = 0; s < g_object_proto_count; ++s)
        g_object_protos[s].kind = int32_t(s % 3);
    reserve_objects(k_object_growth);
    g_object_count = k_object_growth;
    for (uint32_t i = 0; i < g_object_count; ++i)
        init_object(&g_objects[i], float(i % 400) * 37.5f, float(i / 400) * 41.25f, int32_t(i % 1000), 1.0f, 1.0f, 0, 0);
    for (int32_t i = 0; i < k_light_slots; ++i)
        light_init(&g_lights[i], k_light_kind_point, float(i) * 50.0f, 20.0f, -2.0f, 6.0f);
    create_movemap(&g_movement_map, 1024, 1024, 100, 100);
}

void BM_PushUndoSnapshot(benchmark::State& state)
{
    full_level();
    for (auto _ : state)
        push_undo_snapshot();
    state.counters["file_bytes"] = double(file_size(undo_snapshot_path(g_undo_counter).c_str()));
    clear_undo_folder();
    g_undo_counter = 0;
}
BENCHMARK(BM_PushUndoSnapshot)->Unit(benchmark::kMillisecond);

void BM_PopUndoSnapshot(benchmark::State& state)
{
    full_level();
    for (auto _ : state) {
        state.PauseTiming();
        push_undo_snapshot();
        state.ResumeTiming();
        pop_undo_snapshot();
    }
    if (g_object_count != k_object_growth)
        state.SkipWithError("the snapshot did not read whole");
}
BENCHMARK(BM_PopUndoSnapshot)->Unit(benchmark::kMillisecond);

void BM_ListFolderOf5000(benchmark::State& state)
{
    full_level();
    if (!std::filesystem::exists("many")) {
        make_folder("many");
        for (int i = 0; i < 4998; ++i)  // with "." and "..": 5,000 entries
            if (std::FILE* f = std::fopen(("many/File" + std::to_string((i * 7919) % 4998) + ".TXT").c_str(), "w"))
                std::fclose(f);
    }
    std::snprintf(g_dir_path, sizeof g_dir_path, "many");
    for (auto _ : state)
        fill_dir_table("*.*");
    if (g_dir_count != k_dir_entries_capacity)
        state.SkipWithError("not every entry listed");
}
BENCHMARK(BM_ListFolderOf5000)->Unit(benchmark::kMillisecond);

} // namespace
