// Opens the input as a video file, reads frames in and out of order, and runs it as a video
// texture for a few frames of the clock.
#include "engine/textures.h"
#include "platform/clock.h"
#include "platform/recording_device.h"
#include "platform/video_decoder.h"
#include "shell/device_setup.h"

#include "tests/fuzz/fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    write_fuzz_file("input.avi", data, size);
    static recording_device device(640, 480);
    g_d3d_device = &device;
    clock_use_manual(true);
    clock_set_manual(0);

    if (video_file* video = video_open("input.avi")) {
        const video_stream_info& info = video_info(video);
        std::vector<uint8_t> rgb;
        for (uint32_t n : {0u, 1u, 5u, 2u, info.length - 1, info.length, 0u})
            if (video_read_frame(video, n, rgb) && rgb.size() != static_cast<size_t>(info.width) * info.height * 3)
                std::abort();
        video_close(video);
    }
    const int32_t slot = get_texture("input.avi", 16, 16, 0, 0, 0, 0);
    for (int frame = 0; slot >= 0 && frame < 6; ++frame) {
        update_all_avi_textures();
        clock_advance_manual(70);
    }
    clear_texture_table();
    if (g_live_videos != 0)
        std::abort();
    return 0;
}
