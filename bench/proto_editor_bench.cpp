// The prototype editor without drawing: a keystroke in the "select:" filter refilling a list of
// 1,000 prototypes, showing a prototype (its "Objects" scan, with every field) among 15,000 world
// objects, and a 16 x 32 surface built from its tile files on the recording device, in a scratch
// folder.
#include "bench/bench_device.h"
#include "bench/bench_folder.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/dialogs/proto_editor_internal.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "platform/image_writer.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void fill_protos(uint32_t count)
{
    g_object_proto_count = 0;
    for (uint32_t s = 0; s < count; ++s) {
        const int32_t slot = add_empty_object_proto();
        std::snprintf(g_object_protos[slot].name, sizeof g_object_protos[slot].name, "%s%u",
                      s % 2 ? "stena" : "zem", s);
    }
}

void clear_protos()
{
    while (g_object_proto_count > 0)
        unload_object_proto(int32_t(g_object_proto_count) - 1, true);
}

void BM_ProtoFilterKeystroke1000(benchmark::State& state)
{
    enter_bench_folder();
    fill_protos(k_max_level_protos);
    open_proto_editor();
    const dialog_handle page = g_proto_editor_window;
    int i = 0;
    for (auto _ : state)
        user_type(page, k_proto_select, (i++ & 1) ? "\b" : "a");
    destroy_all_dialogs();
    g_proto_select_filter[0] = 0;
    clear_protos();
}
BENCHMARK(BM_ProtoFilterKeystroke1000)->Unit(benchmark::kMicrosecond);

void BM_ProtoObjectsScan15000(benchmark::State& state)
{
    enter_bench_folder();
    fill_protos(10);
    reserve_objects(15000);
    // Fifteen of them use the shown prototype 3.
    for (uint32_t i = 0; i < 15000; ++i)
        add_object(float(i), 0.0f, i % 1000 == 0 ? 3 : int32_t(i % 3), 1.0f, 1.0f, 0, 0);
    open_proto_editor();
    const dialog_handle page = g_proto_editor_window;
    set_list_sel(page, k_proto_list, 3);
    for (auto _ : state)
        show_proto_in_editor(page);
    destroy_all_dialogs();
    free_objects();
    clear_protos();
}
BENCHMARK(BM_ProtoObjectsScan15000)->Unit(benchmark::kMicrosecond);

void BM_SurfaceBuild16x32(benchmark::State& state)
{
    enter_bench_folder();
    auto device = open_bench_device(state, false);
    render_device* saved_device = g_d3d_device;
    g_d3d_device = device.get();
    make_folder("tiles");
    std::vector<uint32_t> texels(64 * 64, 0xFF408020u);
    char name[64];
    for (int c = 0; c < 16; ++c)
        for (int r = 0; r < 32; ++r) {
            std::snprintf(name, sizeof name, "tiles/%dx%d.tga", c * 64, r * 64);
            write_image_file(name, texels.data(), 64, 64);
        }
    write_whole_file("tiles/size.txt", "16 32", 5);
    fill_protos(1);
    g_object_protos[0].kind = k_proto_surface;
    open_proto_editor();
    const dialog_handle page = g_proto_editor_window;
    for (auto _ : state) {
        build_surface(page, 0, "tiles\\0x0.tga");
        state.PauseTiming();
        unload_object_proto(0, false);
        state.ResumeTiming();
    }
    destroy_all_dialogs();
    clear_protos();
    g_d3d_device = saved_device;
}
BENCHMARK(BM_SurfaceBuild16x32)->Unit(benchmark::kMillisecond);

} // namespace
