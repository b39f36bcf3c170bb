#include "platform/gl_device.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

#include <chrono>
#include <thread>

namespace {

bool g_recording = false;
uint32_t g_failing_opens = 0;
std::string g_failing_reason;

constexpr uint32_t k_first_retry_wait_ms = 100;

// The device on the window, opened once; null with the reason when the window cannot be had.
std::unique_ptr<render_device> open_once(uint32_t width, uint32_t height, window_mode mode, int colour_bits,
                                         std::string& error)
{
    if (g_failing_opens) {
        --g_failing_opens;
        error = g_failing_reason;
        return nullptr;
    }
    if (g_recording)
        return std::make_unique<recording_device>(width, height);
    gl_window_options options;
    options.title = "ZORV";
    options.width = width;
    options.height = height;
    options.mode = mode;
    options.colour_bits = colour_bits;
    if (!gl_window_open(options, error))
        return nullptr;
    return create_gl_device(width, height, error);
}

} // namespace

int render_device_count()
{
    return 1;
}

bool render_device_describe(int index, render_device_info& out)
{
    if (index != 0)
        return false;
    // The one device: OpenGL transforms the vertices, the device lights all its slots.
    out.level = k_device_level_tl;
    out.max_lights = k_device_light_slots;
    return true;
}

void render_use_recording(bool on)
{
    g_recording = on;
}

void render_fail_window_opens(uint32_t count, const std::string& reason)
{
    g_failing_opens = count;
    g_failing_reason = reason;
}

std::unique_ptr<render_device> open_render_device(int index, uint32_t width, uint32_t height, window_mode mode,
                                                  int colour_bits, std::string& error,
                                                  const window_retry_notice& retrying)
{
    if (index < 0 || index >= render_device_count()) {
        error = "no such device";
        return nullptr;
    }
    if (width == 0 || height == 0) {
        error = "no display size";
        return nullptr;
    }
    uint32_t wait_ms = k_first_retry_wait_ms;
    for (int attempt = 1;; ++attempt, wait_ms *= 2) {
        error.clear();
        if (auto device = open_once(width, height, mode, colour_bits, error))
            return device;
        if (attempt == k_window_attempts)
            return nullptr;
        if (retrying)
            retrying(error, wait_ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
    }
}
