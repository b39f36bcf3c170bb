// The device layer's cost: CPU per lit, textured quad on the recording device, and frames per
// second of 5,000 alpha-blended 64 × 64 quads on OpenGL, through the layer and by a bare GL loop
// drawing the same quads, with the texture changing at every quad and in runs of 100 quads.
// Run under SDL_VIDEODRIVER=offscreen or a real display for the GL figures.
#include "platform/gl_device.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "tests/platform/device_test_support.h"

#include <SDL.h>

#include <GL/gl.h>
#include <GL/glext.h>

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

// The GL state a bare loop draws the recorded quads with: the textures made, the recording's
// view and projection loaded, blending, alpha and depth tests as the layer sets them, and the
// client arrays on.
void bare_gl_setup(const recording_device& rec, GLuint (&textures)[k_textures])
{
    glGenTextures(k_textures, textures);
    for (int n = 0; n < k_textures; ++n) {
        glBindTexture(GL_TEXTURE_2D, textures[n]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, texture_pixels(n).data());
    }
    const recorded_states& s = rec.states_of(rec.draws()[0]);
    matrix4 to_gl = matrix_identity();
    to_gl.m[2][2] = 2.0f;
    to_gl.m[3][2] = -1.0f;
    const matrix4 m = matrix_multiply(matrix_multiply(s.get(transform_kind::view), s.get(transform_kind::projection)), to_gl);
    glViewport(0, 0, 1024, 768);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&m.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 1 / 255.0f);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

// The same quads, lit once on a recording device, drawn with plain GL calls.
void BM_BareGlFrame(benchmark::State& state)
{
    if (!open_window(state))
        return;
    recording_device rec(1024, 768);
    light_scene(rec);
    for (int i = 0; i < k_quads; ++i) {
        float x, y;
        quad_centre(i, x, y);
        auto q = screen_quad(rec, x, y, 64, 64);
        rec.set_material(sprite_material(1, 0.9f, 0.8f, (i & 1) ? 0.5f : 1.0f, 0.69f));
        rec.draw_primitive(primitive_type::triangle_strip, q.data(), 4);
    }
    GLuint textures[k_textures];
    bare_gl_setup(rec, textures);
    for (auto _ : state) {
        glClearColor(0, 0, 0, 1);
        glClearDepth(1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int i = 0; i < k_quads; ++i) {
            glBindTexture(GL_TEXTURE_2D, textures[i % k_textures]);
            const lit_vertex* v = rec.vertices_of(rec.draws()[i]);
            glVertexPointer(3, GL_FLOAT, sizeof(lit_vertex), &v->x);
            glTexCoordPointer(2, GL_FLOAT, sizeof(lit_vertex), &v->u);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(lit_vertex), &v->r);
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        }
        gl_window_swap();
        glFinish();
    }
    glDeleteTextures(k_textures, textures);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareGlFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// The OpenGL device of a window, lit, with linear filtering and no culling, its textures and
// the benchmark's quads `size` pixels wide.
struct device_textures_and_quads {
    std::unique_ptr<render_device> device;
    device_texture* textures[k_textures] = {};
    std::vector<std::array<device_vertex, 4>> quads;
};

// False (the benchmark skipped) without a window or a device.
bool open_layer_scene(benchmark::State& state, float size, device_textures_and_quads& scene)
{
    if (!open_window(state))
        return false;
    std::string error;
    scene.device = create_gl_device(1024, 768, error);
    render_device* dev = scene.device.get();
    if (!dev) {
        state.SkipWithError(("no OpenGL device: " + error).c_str());
        return false;
    }
    light_scene(*dev);
    dev->set_texture_stage_state(texture_stage_state::min_filter, texture_filter::linear);
    dev->set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::linear);
    dev->set_render_state(render_state::cull_mode, cull_mode::none);
    for (int n = 0; n < k_textures; ++n)
        scene.textures[n] = dev->create_texture(64, 64, texture_format::a8r8g8b8, false, texture_pixels(n).data());
    scene.quads.resize(k_quads);
    for (int i = 0; i < k_quads; ++i) {
        float x, y;
        quad_centre(i, x, y);
        scene.quads[i] = screen_quad(*dev, x, y, size, size);
    }
    return true;
}

// Frames of the scene's quads through the layer, each `run` quads in a row sharing a texture;
// reports frames a second and GL draw calls a frame.
void draw_layer_frames(benchmark::State& state, float size, int run)
{
    device_textures_and_quads scene;
    if (!open_layer_scene(state, size, scene))
        return;
    render_device* dev = scene.device.get();
    const device_material materials[2] = {sprite_material(1, 0.9f, 0.8f, 1, 0.69f),
                                          sprite_material(1, 0.9f, 0.8f, 0.5f, 0.69f)};
    const uint64_t calls = dev->draw_call_count();
    for (auto _ : state) {
        dev->begin_scene();
        dev->clear(k_clear_target | k_clear_depth, 0xFF000000u);
        for (int i = 0; i < k_quads; ++i) {
            dev->set_texture(scene.textures[i / run % k_textures]);
            dev->set_material(materials[i & 1]);
            dev->draw_primitive(primitive_type::triangle_strip, scene.quads[i].data(), 4);
        }
        dev->end_scene();
        dev->present();
        glFinish();
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
    if (!open_window(state))
        return;
    recording_device rec(1024, 768);
    light_scene(rec);
    std::vector<lit_vertex> triangles;  // six vertices a quad, the runs one after another
    for (int i = 0; i < k_quads; ++i) {
        float x, y;
        quad_centre(i, x, y);
        auto q = screen_quad(rec, x, y, float(state.range(0)), float(state.range(0)));
        rec.set_material(sprite_material(1, 0.9f, 0.8f, (i & 1) ? 0.5f : 1.0f, 0.69f));
        rec.draw_primitive(primitive_type::triangle_strip, q.data(), 4);
        const lit_vertex* v = rec.vertices_of(rec.draws()[i]);
        for (int k : {0, 1, 2, 1, 3, 2})
            triangles.push_back(v[k]);
    }
    GLuint textures[k_textures];
    bare_gl_setup(rec, textures);
    for (auto _ : state) {
        glClearColor(0, 0, 0, 1);
        glClearDepth(1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int run = 0; run < k_quads / k_run; ++run) {
            glBindTexture(GL_TEXTURE_2D, textures[run % k_textures]);
            const lit_vertex* v = triangles.data() + size_t(run) * k_run * 6;
            glVertexPointer(3, GL_FLOAT, sizeof(lit_vertex), &v->x);
            glTexCoordPointer(2, GL_FLOAT, sizeof(lit_vertex), &v->u);
            glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(lit_vertex), &v->r);
            glDrawArrays(GL_TRIANGLES, 0, k_run * 6);
        }
        gl_window_swap();
        glFinish();
    }
    glDeleteTextures(k_textures, textures);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BareGlBatchedFrameInRuns)->Arg(64)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace
