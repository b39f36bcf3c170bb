// Texture and quad costs: a 512 × 512 TGA made into a texture (decode, stretch, convert, upload)
// through the texture table, and the CPU cost per quad of the quad family on the recording
// device, lit as BM_RecordingLitTexturedQuad lights its quads (compare the two per-quad times).
// Run under SDL_VIDEODRIVER=offscreen for the OpenGL upload figures.
#include "bench/bench_device.h"
#include "core/globals.h"
#include "engine/quads.h"
#include "engine/textures.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"
#include "tests/platform/device_test_support.h"
#include "world/game_clock.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

// A 512 × 512 TGA with alpha (and a 500 × 300 one that stretches to 512 × 512) in a scratch folder.
const std::string& image_folder()
{
    static std::string folder = [] {
        const std::filesystem::path path = std::filesystem::temp_directory_path() / "zorv-textures-bench";
        std::filesystem::create_directories(path);
        for (auto [w, h] : {std::pair<uint32_t, uint32_t>{512, 512}, {500, 300}}) {
            std::vector<uint32_t> texels(static_cast<size_t>(w) * h);
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x)
                    texels[y * w + x] = ((x ^ y) & 1 ? 0xFF000000u : 0x80000000u) | (x * 7 & 0xFF) << 16 |
                                        (y * 3 & 0xFF) << 8 | ((x + y) & 0xFF);
            const std::string name = (path / ("img" + std::to_string(w) + ".tga")).string();
            write_image_file(name.c_str(), texels.data(), w, h);
        }
        return path.string();
    }();
    return folder;
}

// The device the load runs on: range 0 the recording device (no upload), 1 OpenGL.
std::unique_ptr<render_device> open_device(benchmark::State& state)
{
    return open_bench_device(state, state.range(0) != 0);
}

// get_texture of the image in the format choice of range(1), then free_texture.
void BM_TextureLoad(benchmark::State& state, uint32_t width)
{
    auto device = open_device(state);
    if (!device)
        return;
    g_d3d_device = device.get();
    clear_texture_table();
    const std::string name = image_folder() + "/img" + std::to_string(width) + ".tga";
    for (auto _ : state) {
        const int32_t slot = get_texture(name.c_str(), 0, 0, 0, 0, static_cast<int32_t>(state.range(1)), 0);
        if (!g_textures[slot].surface) {
            state.SkipWithError("no texture");
            break;
        }
        free_texture(slot);
    }
    clear_texture_table();
    g_d3d_device = nullptr;
}

void BM_Tga512Load(benchmark::State& state)
{
    BM_TextureLoad(state, 512);
}
// Device 0 recording, 1 OpenGL; format choice 0 (A4R4G4B4), 1 (A8R8G8B8), 2 (DXT3).
BENCHMARK(BM_Tga512Load)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

void BM_Tga500x300StretchedLoad(benchmark::State& state)
{
    BM_TextureLoad(state, 500);
}
BENCHMARK(BM_Tga500x300StretchedLoad)->Args({0, 0})->Args({1, 0})->Unit(benchmark::kMillisecond);

// The quad family's cost per quad: a 64 × 64 slot drawn by draw_texture_world, alternating two
// colours and alphas, in the lit scene of the device benchmark.
void BM_QuadFamilyPerQuad(benchmark::State& state)
{
    recording_device device(1024, 768);
    g_d3d_device = &device;
    g_screen_width = 1024;
    g_screen_height = 768;
    g_zoom = 1.0f;
    g_camera_x = g_camera_y = 0.0f;
    g_ambient_color = {0.69f, 0.69f, 0.69f};
    use_fixed_camera(device);
    device.set_render_state(render_state::ambient, 0x00B0B0B0u);
    device.set_light(0, point_light(-2, 1, 1, 6, 1, 0.8f, 0.6f));
    device.set_light(1, point_light(3, -1, 1, 4, 0.3f, 0.3f, 1));
    device.light_enable(0, true);
    device.light_enable(1, true);
    clear_texture_table();
    const int32_t slot = append_texture_slot("quad");
    g_textures[slot].surface = device.create_texture(64, 64, texture_format::a8r8g8b8, false);
    g_textures[slot].width = g_textures[slot].height = 64;
    g_textures[slot].loaded = 1;
    int n = 0;
    for (auto _ : state) {
        const float x = static_cast<float>(32 + (n * 97) % 960), y = static_cast<float>(32 + (n * 57) % 704);
        if (n & 1)
            draw_texture_world(slot, x, y, 0.5f, 1, 0, 0, 0, 0, 0.7f, 1, 1);
        else
            draw_texture_world(slot, x, y, 1, 1, 0, 0, 0, 0, 1, 0.9f, 0.8f);
        if (++n == 4096) {
            n = 0;
            device.clear_recording();
        }
    }
    state.SetItemsProcessed(state.iterations());
    clear_texture_table();
    g_d3d_device = nullptr;
}
BENCHMARK(BM_QuadFamilyPerQuad);

} // namespace
