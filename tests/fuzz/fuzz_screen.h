// Fuzz targets that draw: a 1024 x 768 recording device as the render device with the console
// log on, and a view of which of the first lights the device has on and of its ambient colour,
// to see that a frame gives back the lights it switched.
#pragma once

#include "core/console_log.h"
#include "core/globals.h"
#include "engine/render_context.h"
#include "platform/files.h"
#include "platform/recording_device.h"

#include <array>
#include <cstdint>

struct fuzz_light_view {
    static constexpr int k_checked_lights = 64;  // past the 50 the interface switches
    std::array<bool, k_checked_lights> enabled;
    uint32_t ambient;
    bool operator==(const fuzz_light_view&) const = default;
};

inline fuzz_light_view fuzz_lights_of(const recording_device& device)
{
    fuzz_light_view v{};
    for (int i = 0; i < fuzz_light_view::k_checked_lights; ++i)
        v.enabled[i] = device.is_light_enabled(uint32_t(i));
    v.ambient = device.get_render_state(render_state::ambient);
    return v;
}

// The device becomes the render device of a 1024 x 768 screen; the console log goes to
// "global/" of the working folder.
inline void use_fuzz_screen(recording_device& device)
{
    make_folder("global");
    g_console_enabled = 1;
    g_d3d_device = &device;
    g_screen_width = 1024;
    g_screen_height = 768;
}
