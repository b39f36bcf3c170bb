// The device a benchmark runs on: the recording device, or OpenGL on a hidden window.
#pragma once

#include "platform/recording_device.h"
#include "tests/platform/device_test_support.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

// The recording device, or for gl the OpenGL device; null, with the run skipped and the reason
// given, when no OpenGL device can be had.
inline std::unique_ptr<render_device> open_bench_device(benchmark::State& state, bool gl)
{
    if (!gl)
        return std::make_unique<recording_device>(1024, 768);
    std::string error;
    auto device = open_hidden_gl_device(error);
    if (!device)
        state.SkipWithError(("no OpenGL device: " + error).c_str());
    return device;
}
