// Screen capture: the cost of one 1024 × 768 frame through avi_capture_frame (read-back from the
// recording device, conversion to 24 bits, the write into the AVI file), and of a screenshot.
#include "engine/avi_capture.h"
#include "engine/render_context.h"
#include "engine/screenshots.h"
#include "platform/recording_device.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A scratch folder for the files, removed afterwards; the recording device as the program's.
class capture_scene {
public:
    capture_scene() : device_(1024, 768), saved_(g_d3d_device)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorv_capture_XXXXXX").string();
        folder_ = mkdtemp(pattern.data()) ? pattern : std::string();
        std::vector<uint32_t> frame(1024 * 768);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
        device_.set_frame(std::move(frame));
        g_d3d_device = &device_;
    }
    ~capture_scene()
    {
        avi_capture_close();
        g_d3d_device = saved_;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_);
    }
    std::string file(const char* name) const { return folder_ + "/" + name; }

private:
    recording_device device_;
    render_device* saved_;
    std::string folder_;
};

void BM_CaptureFrame1024x768(benchmark::State& state)
{
    capture_scene scene;
    const std::string path = scene.file("capture.avi");
    avi_capture_open(path.c_str(), 30);
    int frames = 0;
    for (auto _ : state) {
        if (avi_capture_frame() != k_capture_done) {
            state.SkipWithError("the frame was not written");
            break;
        }
        // Each file keeps 60 frames, so the disk is not filled.
        if (++frames % 60 == 0) {
            state.PauseTiming();
            avi_capture_close();
            std::filesystem::remove(path);
            avi_capture_open(path.c_str(), 30);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_CaptureFrame1024x768)->Unit(benchmark::kMillisecond);

// A screenshot of the whole screen, or a save thumbnail scaled to 512 × 384.
void BM_Bitmap1024x768(benchmark::State& state, bool (*capture)(const char*))
{
    capture_scene scene;
    const std::string path = scene.file("shot.bmp");
    for (auto _ : state)
        benchmark::DoNotOptimize(capture(path.c_str()));
}
BENCHMARK_CAPTURE(BM_Bitmap1024x768, screenshot, capture_screen)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Bitmap1024x768, thumbnail, capture_thumbnail)->Unit(benchmark::kMillisecond);

} // namespace
