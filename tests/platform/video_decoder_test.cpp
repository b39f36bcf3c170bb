// Video files: stream information and frames by number, in and out of order.
#include "platform/video_decoder.h"

#include "platform/avi_fixture.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

uint32_t rgb_at(const std::vector<uint8_t>& rgb, uint32_t width, uint32_t x, uint32_t y)
{
    const uint8_t* p = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
    return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

TEST(VideoDecoder, ReadsTheStreamAndItsFramesInAnyOrder)
{
    temp_folder folder;
    write_bytes("clip.avi", make_test_avi(10, 6, 12, 15, 1, gradient_pixel));
    video_file* video = video_open("CLIP.AVI"); // names are resolved ignoring case
    ASSERT_NE(video, nullptr);
    const video_stream_info& info = video_info(video);
    EXPECT_EQ(info.width, 10u);
    EXPECT_EQ(info.height, 6u);
    EXPECT_EQ(info.length, 12u);
    EXPECT_EQ(info.start, 0u);
    EXPECT_DOUBLE_EQ(double(info.rate) / info.scale, 15.0);

    std::vector<uint8_t> rgb;
    for (uint32_t n : {0u, 1u, 2u, 7u, 3u, 11u, 0u, 5u}) {
        ASSERT_TRUE(video_read_frame(video, n, rgb)) << n;
        ASSERT_EQ(rgb.size(), 10u * 6 * 3);
        for (uint32_t y : {0u, 5u})
            for (uint32_t x : {0u, 9u})
                EXPECT_EQ(rgb_at(rgb, 10, x, y), gradient_pixel(n, x, y)) << n << " " << x << "," << y;
    }
    EXPECT_FALSE(video_read_frame(video, 12, rgb));
    EXPECT_TRUE(video_read_frame(video, 4, rgb)); // still usable after a refusal
    EXPECT_EQ(rgb_at(rgb, 10, 3, 2), gradient_pixel(4, 3, 2));
    video_close(video);
}

TEST(VideoDecoder, RefusesMissingDamagedAndEmptyFiles)
{
    temp_folder folder;
    EXPECT_EQ(video_open("none.avi"), nullptr);
    EXPECT_EQ(video_open(nullptr), nullptr);
    write_text("text.avi", "this is not a video");
    EXPECT_EQ(video_open("text.avi"), nullptr);
    std::vector<uint8_t> cut = make_test_avi(8, 8, 4, 10, 1, gradient_pixel);
    cut.resize(cut.size() / 2); // the index and later frames are gone
    write_bytes("cut.avi", cut);
    if (video_file* video = video_open("cut.avi")) {
        std::vector<uint8_t> rgb;
        for (uint32_t n = 0; n < 6; ++n)
            video_read_frame(video, n, rgb); // no crash, whatever can be read
        video_close(video);
    }
    video_close(nullptr);
}

} // namespace
