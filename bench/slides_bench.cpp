// The slide shows' costs: loading one chapter picture (192 tiles from their files, as the
// cross-fade's advance does inside a frame), on the recording device (range 0: decoding and
// the table) and on OpenGL (range 1: with the uploads); and one intro frame of 352 tiles on
// OpenGL. Run under SDL_VIDEODRIVER=offscreen.
#include "bench/bench_device.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/slide_shows.h"
#include "platform/gl_window.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"

#include <GL/gl.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A scratch folder holding the pictures "data/slides/1/" to "3/" (16 x 12 tiles) and the
// intro's "data/slides/zudevu/" (16 x 22), made the working folder while it lives.
class slide_folder {
public:
    slide_folder()
    {
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / ("zorv-slides-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        write_picture("data/slides/zudevu/", 22, 0);
        for (int n = 1; n <= 3; ++n)
            write_picture("data/slides/" + std::to_string(n) + "/", 12, n);
        std::FILE* list = std::fopen("list.txt", "w");
        std::fputs("3 1 1 2 2 3 3", list);
        std::fclose(list);
    }
    ~slide_folder()
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }
    slide_folder(const slide_folder&) = delete;
    slide_folder& operator=(const slide_folder&) = delete;

private:
    static void write_picture(const std::string& folder, int rows, int tag)
    {
        std::filesystem::create_directories(folder);
        std::vector<uint32_t> texels(64 * 64);
        for (int c = 0; c < 16; ++c) {
            for (int r = 0; r < rows; ++r) {
                for (uint32_t i = 0; i < texels.size(); ++i)
                    texels[i] = 0xFF000000u | (i * 7 + uint32_t(c * 16)) % 256 << 16 | uint32_t(r * 11) << 8 | uint32_t(tag * 60);
                const std::string name = folder + std::to_string(64 * c) + "x" + std::to_string(64 * r) + ".tga";
                std::vector<uint8_t> bytes;
                encode_image(texels.data(), 64, 64, image_file_kind::tga, bytes);
                if (std::FILE* file = std::fopen(name.c_str(), "wb")) {
                    std::fwrite(bytes.data(), 1, bytes.size(), file);
                    std::fclose(file);
                }
            }
        }
    }

    std::filesystem::path previous_, folder_;
};

void close_device(std::unique_ptr<render_device>& device)
{
    clear_texture_table();
    g_d3d_device = nullptr;
    const bool gl = !dynamic_cast<recording_device*>(device.get());
    device.reset();
    if (gl)
        gl_window_close();
}

// One advance of the chapter show: a picture loaded, one released; the pictures cycle, so the
// loaded one is never held yet.
void BM_ChapterPictureLoad(benchmark::State& state)
{
    slide_folder folder;
    auto device = open_bench_device(state, state.range(0) == 1);
    if (!device)
        return;
    g_d3d_device = device.get();
    g_screen_width = 1024;
    g_screen_height = 768;
    clear_texture_table();
    load_slide_timing(&g_chapter_slides.timing, "list.txt");
    start_chapter_slides();
    int entry = 2;
    for (auto _ : state) {
        load_chapter_slide_pair(entry);
        entry = (entry + 1) % 3;
    }
    if (!g_textures[g_chapter_slides.timing.next.slot[15][11]].surface)
        state.SkipWithError("no texture");
    load_slide_timing(&g_chapter_slides.timing, "none.txt");
    g_chapter_slides = {};
    close_device(device);
}
BENCHMARK(BM_ChapterPictureLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A frame of the intro at full alpha, without a step: the 352 tiles in white ambient light,
// the scroll at its start. Range 0: the frame handed to the driver; 1: finished by it.
void BM_IntroFrameGl(benchmark::State& state)
{
    slide_folder folder;
    auto device = open_bench_device(state, true);
    if (!device)
        return;
    g_d3d_device = device.get();
    g_screen_width = 1024;
    g_screen_height = 768;
    init_render_states();
    clear_texture_table();
    load_intro_slide();
    g_intro_slides.alpha = 1.0f;
    g_intro_slides.state = k_slide_narrate;
    g_intro_slides.step_tick = 0xFFFFFFFFu;  // no step: drawing only
    for (auto _ : state) {
        device->begin_scene();
        device->clear(k_clear_target | k_clear_depth, 0xFF000000u);
        play_intro_slides();
        device->end_scene();
        if (state.range(0))
            glFinish();
    }
    free_slide_tiles();
    g_intro_slides = {};
    close_device(device);
}
BENCHMARK(BM_IntroFrameGl)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
