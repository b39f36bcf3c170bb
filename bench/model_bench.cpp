// CPU per draw_model of a 2,000-triangle model under 4 point lights, on the recording device
// (lighting on the CPU, no rasterising): once with shared vertices and one material, once as
// the ".x" import leaves a mesh (three vertices per triangle) with four materials.
#include "core/globals.h"
#include "engine/model_draw.h"
#include "engine/models.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "tests/engine/model_test_support.h"
#include "tests/platform/device_test_support.h"

#include <benchmark/benchmark.h>

namespace {

// Every triangle gets vertices of its own, as the ".x" import gives them.
void unshare_vertices(model& m)
{
    model_mesh& mesh = *m.mesh;
    std::vector<device_vertex> vertices;
    for (uint16_t& index : mesh.indices) {
        vertices.push_back(mesh.vertices[index]);
        index = uint16_t(vertices.size() - 1);
    }
    mesh.vertices = std::move(vertices);
    m.frames[0].clear();
    for (const device_vertex& v : mesh.vertices)
        m.frames[0].insert(m.frames[0].end(), {v.x, v.y, v.z});
    m.frame_count = 1;
}

void draw_loop(benchmark::State& state, model& m)
{
    g_screen_width = 1024;
    g_screen_height = 768;
    g_zoom = 1.0f;
    g_camera_x = g_camera_y = 0.0f;
    recording_device device(1024, 768);
    g_d3d_device = &device;
    init_render_states();
    for (uint32_t i = 0; i < 4; ++i) {
        device.set_light(i, point_light(-3.0f + 2.0f * float(i), 1.0f, -2.0f, 12.0f, 1.0f, 0.8f, 0.6f));
        device.light_enable(i, true);
    }
    int n = 0;
    for (auto _ : state) {
        draw_model(&m, 512.0f, 384.0f, 0.0f, 0.2f, 0, 30, n % 360, 1, 0, 0, 0, 0, 1.0f, 1.0f, -1);
        if (++n == 256) {
            n = 0;
            device.clear_recording();
        }
    }
    g_d3d_device = nullptr;
    state.SetItemsProcessed(state.iterations());
}

void BM_DrawModel2000SharedVertices(benchmark::State& state)
{
    model m;
    make_grid_model(m, 50, 20, 1, 1); // 2,000 triangles over 1,071 vertices
    draw_loop(state, m);
}
BENCHMARK(BM_DrawModel2000SharedVertices);

void BM_DrawModel2000ImportedFourMaterials(benchmark::State& state)
{
    model m;
    make_grid_model(m, 50, 20, 4, 1); // 2,000 triangles, 6,000 vertices once unshared
    unshare_vertices(m);
    draw_loop(state, m);
}
BENCHMARK(BM_DrawModel2000ImportedFourMaterials);

} // namespace
