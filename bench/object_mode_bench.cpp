// The editing mode's hit tests over a level of n objects in the active layer (sprites, meshes,
// surfaces and particles mixed, a third of them on four corner points): one frame's picked list
// and grab under the mouse, and one box-selection release with Ctrl over every layer.
#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/view/box_selection.h"
#include "editor/view/object_mode.h"
#include "platform/key_codes.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// The level, the mouse over a dense spot and the editor in editing mode; undone on exit.
class edit_scene {
public:
    explicit edit_scene(uint32_t n)
    {
        g_object_proto_count = 5;
        for (int32_t kind = 0; kind < 5; ++kind) {
            reset_object_proto(&g_object_protos[kind]);
            g_object_protos[kind].kind = kind;
        }
        reserve_objects(n);
        g_object_count = n;
        for (uint32_t i = 0; i < n; ++i) {
            world_object& o = g_objects[i];
            std::memset(&o, 0, sizeof o);
            o.state = 1;
            o.proto = int32_t(i % 5);
            o.scale = 1.0f;
            o.width = o.height = 64;
            o.particle_role = o.proto == k_proto_particle ? int32_t(i % 2) : k_role_none;
            o.x = float(i % 200) * 40.0f;
            o.y = float(i / 200) * 40.0f;
            if (i % 3 == 0) {
                o.has_corners = 1;
                const float c[8] = {o.x, o.y - 20, o.x + 30, o.y, o.x, o.y + 20, o.x - 30, o.y};
                std::memcpy(o.corners, c, sizeof c);
            }
        }
        g_work_mode = k_work_select;
        g_active_layer = 0;
        g_zoom = 1.0f;
        g_mouse_x = 410.0f;
        g_mouse_y = 405.0f;
        std::memset(g_key_state, 0, sizeof g_key_state);
    }
    ~edit_scene()
    {
        free_objects();
        g_object_proto_count = 0;
        g_dragged_object = -1;
        g_work_mode = k_work_insert;
    }
};

void BM_ObjectModeHitTests(benchmark::State& state)
{
    edit_scene scene(uint32_t(state.range(0)));
    for (auto _ : state) {
        rebuild_picked_list(g_editor);
        g_dragged_object = -1;
        benchmark::DoNotOptimize(grab_objects());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ObjectModeHitTests)->Arg(15000)->Arg(60000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

void BM_BoxReleaseEveryLayer(benchmark::State& state)
{
    edit_scene scene(uint32_t(state.range(0)));
    g_key_state[k_key_lcontrol] = k_key_down_bit;
    for (auto _ : state) {
        g_box_active = 1;
        g_box_start = {100.0f, 100.0f};
        g_mouse_middle = 0;
        g_mouse_x = g_mouse_y = 2000.0f;
        select_objects_in_box();
    }
    g_key_state[k_key_lcontrol] = 0;
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BoxReleaseEveryLayer)->Arg(15000)->Arg(60000)->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);

} // namespace
