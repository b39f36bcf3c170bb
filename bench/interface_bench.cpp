// The interface's start-up: load_interface_textures on the demo set's images (317 images and the
// four notice icons) into an empty texture table, on the recording device (range 0: decoding,
// conversion and the table) and on OpenGL (range 1: with the uploads). Run under
// SDL_VIDEODRIVER=offscreen.
#include "bench/bench_device.h"
#include "core/globals.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "interface/interface_state.h"
#include "platform/gl_window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The demo set in a scratch folder, made the working folder while it lives.
class demo_folder {
public:
    demo_folder()
    {
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / ("zorv-interface-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        const std::string command = std::string(ZORV_DEMO_TOOL) + " . >/dev/null";
        written_ = std::system(command.c_str()) == 0;
    }
    ~demo_folder()
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }
    demo_folder(const demo_folder&) = delete;
    demo_folder& operator=(const demo_folder&) = delete;

    bool written() const { return written_; }

private:
    std::filesystem::path previous_, folder_;
    bool written_ = false;
};

void load_interface_images(benchmark::State& state)
{
    demo_folder folder;
    if (!folder.written()) {
        state.SkipWithError("the demo set could not be written");
        return;
    }
    const bool gl = state.range(0) == 1;
    auto device = open_bench_device(state, gl);
    if (!device)
        return;
    g_d3d_device = device.get();
    const game_interface kept = g_interface;
    for (auto _ : state) {
        state.PauseTiming();
        clear_texture_table();
        state.ResumeTiming();
        load_interface_textures();
        benchmark::DoNotOptimize(g_interface.attunement_icons[15]);
    }
    clear_texture_table();
    g_interface = kept;
    g_d3d_device = nullptr;
    device.reset();
    if (gl)
        gl_window_close();
}

} // namespace

BENCHMARK(load_interface_images)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
