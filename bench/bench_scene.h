// A scratch working folder and a recording device for the world benchmarks: the screen at
// 1024 x 768, zoom 1, the camera at the origin, playing, an empty texture table. Undone on exit.
// Frames are timed without the clearing of the device's recording.
#pragma once

#include "core/globals.h"
#include "editor/editor_state.h"
#include "engine/textures.h"
#include "platform/recording_device.h"
#include "shell/device_setup.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

class bench_scene {
public:
    explicit bench_scene(const std::string& name)
    {
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);
        device_ = std::make_unique<recording_device>(1024, 768);
        g_d3d_device = device_.get();
        g_screen_width = 1024;
        g_screen_height = 768;
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
        g_work_mode = k_work_play;
        init_render_states();
        clear_texture_table();
    }

    ~bench_scene()
    {
        clear_texture_table();
        g_d3d_device = nullptr;
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }

    bench_scene(const bench_scene&) = delete;
    bench_scene& operator=(const bench_scene&) = delete;

    recording_device& device() { return *device_; }

    // Times `frame` once per iteration; the recording is emptied untimed after each. Returns
    // the draws of the last frame.
    template <class Frame>
    size_t time_frames(benchmark::State& state, Frame frame)
    {
        size_t draws = 0;
        for (auto _ : state) {
            frame();
            state.PauseTiming();
            draws = device_->draws().size();
            device_->clear_recording();
            state.ResumeTiming();
        }
        return draws;
    }

private:
    std::filesystem::path previous_, folder_;
    std::unique_ptr<recording_device> device_;
};
