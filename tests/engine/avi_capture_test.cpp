// Screen capture: the device's frames become the file's frames one for one, and a capture that
// cannot write closes without leaving a broken file.
#include "engine/avi_capture.h"

#include "platform/files.h"
#include "platform/video_decoder.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "tests/engine/draw_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Ends a capture a failed assertion left open.
struct close_capture_after {
    ~close_capture_after() { avi_capture_close(); }
};

uint32_t rgb_at(const std::vector<uint8_t>& rgb, uint32_t width, uint32_t x, uint32_t y)
{
    const uint8_t* p = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

} // namespace

TEST(AviCapture, EveryFrameHandedOverIsWrittenInOrder)
{
    temp_folder folder;
    close_capture_after closer;
    recording_device device(40, 30);
    use_device use(&device);
    EXPECT_EQ(avi_capture_frame(), k_capture_not_open); // nothing opened: nothing written
    EXPECT_EQ(avi_capture_open("capture.avi", 0), k_capture_open_failed);
    {
        use_device none(nullptr);
        EXPECT_EQ(avi_capture_open("capture.avi", 30), k_capture_open_failed);
    }
    EXPECT_EQ(list_folder(".").size(), 0u);

    ASSERT_EQ(avi_capture_open("capture.avi", 30), k_capture_done);
    for (uint32_t n = 0; n < 6; ++n) {
        std::vector<uint32_t> frame(40 * 30, 0xFF000000u | n * 0x101010u);
        frame[0] = 0xFFFF0000u; // top left red, to show the rows' order
        device.set_frame(frame);
        ASSERT_EQ(avi_capture_frame(), k_capture_done) << n;
    }
    EXPECT_TRUE(avi_capture_close());
    EXPECT_FALSE(avi_capture_is_open());
    EXPECT_EQ(avi_capture_frame(), k_capture_not_open);

    video_file* video = video_open("capture.avi");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video_info(video).width, 40u);
    EXPECT_EQ(video_info(video).height, 30u);
    EXPECT_EQ(video_info(video).length, 6u);
    EXPECT_DOUBLE_EQ(double(video_info(video).rate) / video_info(video).scale, 30.0);
    std::vector<uint8_t> rgb;
    for (uint32_t n = 0; n < 6; ++n) {
        ASSERT_TRUE(video_read_frame(video, n, rgb));
        EXPECT_EQ(rgb_at(rgb, 40, 0, 0), 0xFF0000u);
        EXPECT_EQ(rgb_at(rgb, 40, 39, 29), n * 0x101010u);
    }
    video_close(video);
}

TEST(AviCapture, AFailedWriteClosesTheCaptureAndKeepsOnlyWholeFiles)
{
    temp_folder folder;
    close_capture_after closer;
    recording_device device(64, 48);
    use_device use(&device);
    auto frames_in = [](const char* name) {
        video_file* video = video_open(name);
        const uint32_t n = video ? video_info(video).length : 0;
        video_close(video);
        return n;
    };
    // A device of another size (a new display mode) cannot continue the file: it is closed
    // with the frames it has.
    ASSERT_EQ(avi_capture_open("capture.avi", 25), k_capture_done);
    EXPECT_EQ(avi_capture_frame(), k_capture_done);
    {
        recording_device other(80, 48);
        use_device switched(&other);
        EXPECT_EQ(avi_capture_frame(), k_capture_write_failed);
    }
    EXPECT_FALSE(avi_capture_is_open());
    EXPECT_EQ(avi_capture_frame(), k_capture_not_open);
    EXPECT_EQ(frames_in("capture.avi"), 1u);

    // A disk that takes no more: the broken file is dropped and the earlier one stays.
    ASSERT_EQ(avi_capture_open("capture.avi", 25), k_capture_done);
    {
        file_size_limit limit(30000);
        int32_t result = k_capture_done;
        for (int n = 0; n < 5 && result == k_capture_done; ++n)
            result = avi_capture_frame();
        EXPECT_EQ(result, k_capture_write_failed);
    }
    EXPECT_FALSE(avi_capture_is_open());
    EXPECT_EQ(frames_in("capture.avi"), 1u);
    EXPECT_EQ(list_folder(".").size(), 1u);
}

TEST(AviCapture, StartOpensTheNextNumberedFileOnlyWhenNoneIsOpen)
{
    temp_folder folder;
    close_capture_after closer;
    const uint32_t saved = g_capture_file_counter;
    recording_device device(16, 16);
    use_device use(&device);
    g_capture_file_counter = 7;
    EXPECT_EQ(avi_capture_start(), k_capture_done);
    EXPECT_EQ(avi_capture_frame(), k_capture_done);
    EXPECT_EQ(avi_capture_start(), k_capture_done); // goes on in the same file
    EXPECT_EQ(avi_capture_frame(), k_capture_done);
    EXPECT_EQ(g_capture_file_counter, 8u);
    EXPECT_TRUE(avi_capture_close());
    video_file* video = video_open("zorv - capture007.avi");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video_info(video).length, 2u);
    EXPECT_DOUBLE_EQ(double(video_info(video).rate) / video_info(video).scale, double(k_capture_default_fps));
    video_close(video);
    g_capture_file_counter = saved;
}
