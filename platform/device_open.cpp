#include "platform/gl_device.h"
#include "platform/gl_window.h"
#include "platform/recording_device.h"
#include "platform/render_device.h"

namespace {

bool g_recording = false;

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

std::unique_ptr<render_device> open_render_device(int index, uint32_t width, uint32_t height, window_mode mode,
                                                  int colour_bits, std::string& error)
{
    if (index < 0 || index >= render_device_count()) {
        error = "no such device";
        return nullptr;
    }
    if (width == 0 || height == 0) {
        error = "no display size";
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
