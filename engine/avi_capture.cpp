#include "engine/avi_capture.h"

#include "core/console_log.h"
#include "engine/render_context.h"
#include "platform/video_encoder.h"

#include <cstdio>
#include <vector>

namespace {

struct capture_state {
    video_encoder* video = nullptr;
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> frame; // the read-back
    std::vector<uint8_t> bgr;    // the frame as the encoder takes it
};

capture_state g_capture;

} // namespace

uint32_t g_capture_file_counter = 0;

int32_t avi_capture_open(const char* path, int32_t fps)
{
    avi_capture_close();
    if (!g_d3d_device || !path || fps < 1)
        return k_capture_open_failed;
    const uint32_t width = g_d3d_device->width(), height = g_d3d_device->height();
    g_capture.video = video_encoder_open(path, width, height, static_cast<uint32_t>(fps));
    if (!g_capture.video)
        return k_capture_open_failed;
    g_capture.width = width;
    g_capture.height = height;
    return k_capture_done;
}

int32_t avi_capture_frame()
{
    capture_state& c = g_capture;
    if (!c.video)
        return k_capture_not_open;
    if (!g_d3d_device || !g_d3d_device->read_frame(c.frame))
        return k_capture_no_frame;
    const size_t pixels = static_cast<size_t>(c.width) * c.height;
    bool written = false;
    // A device of another size than at opening (a new display mode) cannot continue the file.
    if (g_d3d_device->width() == c.width && g_d3d_device->height() == c.height && c.frame.size() == pixels) {
        c.bgr.resize(pixels * 3);
        uint8_t* out = c.bgr.data();
        for (size_t i = 0; i < pixels; ++i, out += 3) {
            const uint32_t t = c.frame[i];
            out[0] = static_cast<uint8_t>(t);
            out[1] = static_cast<uint8_t>(t >> 8);
            out[2] = static_cast<uint8_t>(t >> 16);
        }
        written = video_encoder_write(c.video, c.bgr.data(), false);
    }
    if (!written) {
        console_log("zapis snimky videa zlyhal, zaznam konci");
        avi_capture_close();
        return k_capture_write_failed;
    }
    return k_capture_done;
}

bool avi_capture_close()
{
    if (!g_capture.video)
        return false;
    const bool complete = video_encoder_close(g_capture.video);
    g_capture.video = nullptr;
    g_capture.frame = {};
    g_capture.bgr = {};
    return complete;
}

bool avi_capture_is_open()
{
    return g_capture.video != nullptr;
}

int32_t avi_capture_start()
{
    if (g_capture.video)
        return k_capture_done;
    char name[64];
    std::snprintf(name, sizeof name, "zorv - capture%.3u.avi", g_capture_file_counter++);
    return avi_capture_open(name, k_capture_default_fps);
}
