// The device layer's cost: CPU per lit, textured quad on the recording device, and frames per
// second of 5,000 alpha-blended 64 × 64 quads on OpenGL, through the layer and by a bare GL loop
// drawing the same quads, with the texture changing at every quad and in runs of 100 quads.
// Run under SDL_VIDEODRIVER=offscreen or a real display for the GL figures.
#include "platform/bare_gl_quads.h"
#include "platform/gl_device.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "tests/platform/device_test_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace {

constexpr int k_quads = 5000;
constexpr int k_textures = 8;

void light_scene(render_device& d)
{
    use_fixed_camera(d);
    d.set_render_state(render_state::ambient, 0x00B0B0B0u);
    d.set_light(0, point_light(-2, 1, 1, 6, 1, 0.8f, 0.6f));
    d.set_light(1, point_light(3, -1, 1, 4, 0.3f, 0.3f, 1));
    d.light_enable(0, true);
    d.light_enable(1, true);
}

// The pixel centre of quad i, spread over the screen.
void quad_centre(int i, float& x, float& y)
{
    x = static_cast<float>(32 + (i * 97) % 960);
    y = static_cast<float>(32 + (i * 57) % 704);
}

std::vector<uint8_t> texture_pixels(int n)
{
    std::vector<uint8_t> p(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* t = &p[(y * 64 + x) * 4];
            t[0] = static_cast<uint8_t>(x * 4), t[1] = static_cast<uint8_t>(y * 4);
            t[2] = static_cast<uint8_t>(n * 30);
            t[3] = static_cast<uint8_t>((x + y + n) % 3 == 0 ? 0 : 160); // some texels dropped
        }
    return p;
}

void BM_RecordingLitTexturedQuad(benchmark::State& state)
{
    recording_device dev(1024, 768);
    light_scene(dev);
    device_texture* texture = dev.create_texture(64, 64, texture_format::a8r8g8b8, false);
    const device_material materials[2] = {sprite_material(1, 0.9f, 0.8f, 1, 0.69f),
                                          sprite_material(0.7f, 1, 1, 0.5f, 0.69f)};
    int n = 0;
    for (auto _ : state) {
        float x, y;
        quad_centre(n, x, y);
        auto q = screen_quad(dev, x, y, 64, 64);
        dev.set_texture(texture);
        dev.set_material(materials[n & 1]);
        dev.draw_primitive(primitive_type::triangle_strip, q.data(), 4);
        if (++n == 4096) {
            n = 0;
            dev.clear_recording();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordingLitTexturedQuad);

bool open_window(benchmark::State& state)
{
    gl_window_options options;
    options.visible = false;
    std::string error;
    if (!gl_window_is_open() && !gl_window_open(options, error)) {
        state.SkipWithError(("no OpenGL window: " + error).c_str());
        return false;
    }
    return true;
}

// The benchmark's states on a device: lit, linear filtering, no culling; and its textures.
void scene_states(render_device& d, device_texture* (&textures)[k_textures])
{
    light_scene(d);
    d.set_texture_stage_state(texture_stage_state::min_filter, texture_filter::linear);
    d.set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::linear);
    d.set_render_state(render_state::cull_mode, cull_mode::none);
    for (int n = 0; n < k_textures; ++n)
        textures[n] = d.create_texture(64, 64, texture_format::a8r8g8b8, false, texture_pixels(n).data());
}

// The benchmark's quads, `size` pixels wide, each `run` quads in a row sharing a texture, every
// second one half transparent.
void draw_quads(render_device& d, device_texture* const (&textures)[k_textures],
                const std::vector<std::array<device_vertex, 4>>& quads, int run)
{
    const device_material materials[2] = {sprite_material(1, 0.9f, 0.8f, 1, 0.69f),
                                          sprite_material(1, 0.9f, 0.8f, 0.5f, 0.69f)};
    for (int i = 0; i < k_quads; ++i) {
        d.set_texture(textures[i / run % k_textures]);
        d.set_material(materials[i & 1]);
        d.draw_primitive(primitive_type::triangle_strip, quads[i].data(), 4);
    }
}

std::vector<std::array<device_vertex, 4>> scene_quads(const render_device& d, float size)
{
    std::vector<std::array<device_vertex, 4>> quads(k_quads);
    for (int i = 0; i < k_quads; ++i) {
        float x, y;
        quad_centre(i, x, y);
        quads[i] = screen_quad(d, x, y, size, size);
    }
    return quads;
}

// Frames of the same quads, lit once on a recording device, drawn by a bare GL loop: each quad
// with a call of its own, or each run of one texture as one array (batched).
void draw_bare_frames(benchmark::State& state, float size, int run, bool batched)
{
    if (!open_window(state))
        return;
    recording_device rec(1024, 768);
    device_texture* textures[k_textures];
    scene_states(rec, textures);
    draw_quads(rec, textures, scene_quads(rec, size), run);
    bare_gl_quads bare(rec);
    for (auto _ : state)
        bare.draw_frame(batched);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_BareGlFrame(benchmark::State& state)
{
    draw_bare_frames(state, 64, 1, false);
}
BENCHMARK(BM_BareGlFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Frames of the scene's quads through the layer on the OpenGL device of a window; reports frames
// a second and draw calls a frame.
void draw_layer_frames(benchmark::State& state, float size, int run)
{
    if (!open_window(state))
        return;
    std::string error;
    std::unique_ptr<render_device> dev = create_gl_device(1024, 768, error);
    if (!dev) {
        state.SkipWithError(("no OpenGL device: " + error).c_str());
        return;
    }
    device_texture* textures[k_textures];
    scene_states(*dev, textures);
    const auto quads = scene_quads(*dev, size);
    const uint64_t calls = dev->draw_call_count();
    for (auto _ : state) {
        dev->begin_scene();
        dev->clear(k_clear_target | k_clear_depth, 0xFF000000u);
        draw_quads(*dev, textures, quads, run);
        dev->end_scene();
        dev->present();
        gl_window_finish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["calls"] = double(dev->draw_call_count() - calls) / double(std::max<int64_t>(1, state.iterations()));
}

void BM_LayerGlFrame(benchmark::State& state)
{
    draw_layer_frames(state, 64, 1);
}
BENCHMARK(BM_LayerGlFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The same 5,000 quads in runs of 100 of one texture, as a level draws a surface's tiles or a
// template's particles, 64 or 16 pixels wide (the argument; 16 as a drop of blood): through the
// layer, and by a bare GL loop that draws each run as one vertex array of triangles.
constexpr int k_run = 100;

void BM_LayerGlFrameInRuns(benchmark::State& state)
{
    draw_layer_frames(state, float(state.range(0)), k_run);
}
BENCHMARK(BM_LayerGlFrameInRuns)->Arg(64)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_BareGlBatchedFrameInRuns(benchmark::State& state)
{
    draw_bare_frames(state, float(state.range(0)), k_run, true);
}
BENCHMARK(BM_BareGlBatchedFrameInRuns)->Arg(64)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace
