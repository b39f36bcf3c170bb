// Video files written frame by frame: what is written reads back frame for frame, and a write
// that fails leaves nothing half-made under the name.
#include "platform/video_encoder.h"

#include "platform/byte_order.h"
#include "platform/files.h"
#include "platform/video_decoder.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Frame n: pixel (x, y), y from the top, as blue, green, red bytes.
std::vector<uint8_t> test_frame(uint32_t width, uint32_t height, uint32_t n, bool bottom_up)
{
    std::vector<uint8_t> bgr;
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = bottom_up ? height - 1 - row : row;
        for (uint32_t x = 0; x < width; ++x) {
            bgr.push_back(static_cast<uint8_t>(n * 20));
            bgr.push_back(static_cast<uint8_t>(x * 9));
            bgr.push_back(static_cast<uint8_t>(y * 30));
        }
    }
    return bgr;
}

size_t files_in_folder()
{
    return list_folder(".").size();
}

} // namespace

TEST(VideoEncoder, WrittenFramesReadBackInOrderAtTheirSizeAndRate)
{
    temp_folder folder;
    // 10 pixels make 30-byte rows, stored padded to 32.
    video_encoder* video = video_encoder_open("clip.avi", 10, 6, 15);
    ASSERT_NE(video, nullptr);
    for (uint32_t n = 0; n < 7; ++n) {
        const bool bottom_up = n == 3;
        ASSERT_TRUE(video_encoder_write(video, test_frame(10, 6, n, bottom_up).data(), bottom_up)) << n;
    }
    EXPECT_EQ(video_encoder_frames(video), 7u);
    EXPECT_FALSE(std::filesystem::exists("clip.avi")); // not complete yet
    ASSERT_TRUE(video_encoder_close(video));
    EXPECT_EQ(files_in_folder(), 1u);                  // no temporary left beside it
    // The stream format is a plain bottom-up DIB: 24 bits, uncompressed, a positive height.
    const std::vector<uint8_t> bytes = read_bytes("clip.avi");
    const std::string text(bytes.begin(), bytes.end());
    const size_t strf = text.find("strf");
    ASSERT_NE(strf, std::string::npos);
    const uint8_t* header = bytes.data() + strf + 8;
    EXPECT_EQ(le_i32(header + 4), 10);
    EXPECT_EQ(le_i32(header + 8), 6);
    EXPECT_EQ(le_u16(header + 14), 24);
    EXPECT_EQ(le_u32(header + 16), 0u);

    video_file* read = video_open("clip.avi");
    ASSERT_NE(read, nullptr);
    const video_stream_info& info = video_info(read);
    EXPECT_EQ(info.width, 10u);
    EXPECT_EQ(info.height, 6u);
    EXPECT_EQ(info.length, 7u);
    EXPECT_DOUBLE_EQ(double(info.rate) / info.scale, 15.0);
    std::vector<uint8_t> rgb;
    for (uint32_t n = 0; n < 7; ++n) {
        ASSERT_TRUE(video_read_frame(read, n, rgb)) << n;
        const std::vector<uint8_t> expected = test_frame(10, 6, n, false);
        ASSERT_EQ(rgb.size(), expected.size());
        for (size_t i = 0; i < rgb.size(); i += 3) {
            ASSERT_EQ(rgb[i], expected[i + 2]) << n << " " << i;
            ASSERT_EQ(rgb[i + 1], expected[i + 1]) << n << " " << i;
            ASSERT_EQ(rgb[i + 2], expected[i]) << n << " " << i;
        }
    }
    video_close(read);
}

TEST(VideoEncoder, RefusedValuesAndFailedWritesLeaveTheOldFileAlone)
{
    temp_folder folder;
    EXPECT_EQ(video_encoder_open("a.avi", 0, 6, 15), nullptr);
    EXPECT_EQ(video_encoder_open("a.avi", 10, k_video_encoder_max_side + 1, 15), nullptr);
    EXPECT_EQ(video_encoder_open("a.avi", 10, 6, 0), nullptr);
    EXPECT_EQ(video_encoder_open("missing/a.avi", 10, 6, 15), nullptr);
    EXPECT_EQ(video_encoder_open(nullptr, 10, 6, 15), nullptr);
    EXPECT_EQ(files_in_folder(), 0u);

    write_text("clip.avi", "the previous capture");
    video_encoder* video = video_encoder_open("clip.avi", 64, 64, 30);
    ASSERT_NE(video, nullptr);
    const std::vector<uint8_t> frame = test_frame(64, 64, 0, false);
    EXPECT_TRUE(video_encoder_write(video, frame.data(), false));
    {
        file_size_limit limit(40000); // the next frames do not fit
        bool failed = false;
        for (int n = 0; n < 4 && !failed; ++n)
            failed = !video_encoder_write(video, frame.data(), false);
        EXPECT_TRUE(failed);
    }
    EXPECT_FALSE(video_encoder_write(video, frame.data(), false)); // refused after a failure
    EXPECT_FALSE(video_encoder_close(video));
    EXPECT_EQ(read_text("clip.avi"), "the previous capture");
    EXPECT_EQ(files_in_folder(), 1u);
    EXPECT_TRUE(video_encoder_close(nullptr));
}
