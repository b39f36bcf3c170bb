// Screenshots and thumbnails: the bitmap file's exact header and size, the pixels' order, the
// numbering, and a capture that fails leaving no file behind.
#include "engine/screenshots.h"

#include "platform/byte_order.h"
#include "platform/files.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "tests/engine/draw_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Checks every header field of a bitmap file against the picture it should hold.
void expect_bitmap_header(const std::vector<uint8_t>& file, uint32_t width, uint32_t height, uint16_t bits)
{
    const uint32_t image = height * ((width * bits / 8 + 3) & ~3u);
    ASSERT_EQ(file.size(), 54u + image);
    const uint8_t* h = file.data();
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[1], 'M');
    EXPECT_EQ(le_u32(h + 2), 54u + image);
    EXPECT_EQ(le_u32(h + 6), 0u);
    EXPECT_EQ(le_u32(h + 10), 54u);
    EXPECT_EQ(le_u32(h + 14), 40u);
    EXPECT_EQ(le_i32(h + 18), int32_t(width));
    EXPECT_EQ(le_i32(h + 22), int32_t(height));
    EXPECT_EQ(le_u16(h + 26), 1u);
    EXPECT_EQ(le_u16(h + 28), bits);
    EXPECT_EQ(le_u32(h + 30), 0u);
    EXPECT_EQ(le_u32(h + 34), image);
    for (int at = 38; at < 54; at += 4)
        EXPECT_EQ(le_u32(h + at), 0u) << at;
}

// A picture whose pixel (x, y), y from the top, is 0xFF00XXYY.
std::vector<uint32_t> position_picture(uint32_t width, uint32_t height)
{
    std::vector<uint32_t> argb(static_cast<size_t>(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            argb[static_cast<size_t>(y) * width + x] = 0xFF000000u | (x & 0xFF) << 8 | (y & 0xFF);
    return argb;
}

} // namespace

TEST(Bitmaps, HeaderSizeAndPixelLayoutAt16And32Bits)
{
    const std::vector<uint32_t> screen(1024 * 768, 0xFF102030u);
    bitmap_image bitmap;
    ASSERT_TRUE(make_bitmap(screen.data(), 1024, 768, 16, bitmap));
    std::vector<uint8_t> file = encode_bitmap_file(bitmap);
    expect_bitmap_header(file, 1024, 768, 16);
    EXPECT_EQ(file.size(), 54u + 1024 * 768 * 2);
    EXPECT_EQ(le_u16(file.data() + 54), (0x10 >> 3) << 10 | (0x20 >> 3) << 5 | (0x30 >> 3)); // x1r5g5b5
    ASSERT_TRUE(make_bitmap(screen.data(), 1024, 768, 32, bitmap));
    expect_bitmap_header(encode_bitmap_file(bitmap), 1024, 768, 32);

    // Rows bottom-up, padded to 4 bytes; 32-bit pixels blue, green, red, 0.
    const std::vector<uint32_t> small = position_picture(3, 2);
    ASSERT_TRUE(make_bitmap(small.data(), 3, 2, 16, bitmap));
    expect_bitmap_header(encode_bitmap_file(bitmap), 3, 2, 16);
    ASSERT_TRUE(make_bitmap(small.data(), 3, 2, 32, bitmap));
    file = encode_bitmap_file(bitmap);
    expect_bitmap_header(file, 3, 2, 32);
    EXPECT_EQ(le_u32(file.data() + 54), 0x00000001u);          // (0, 1): the bottom row comes first
    EXPECT_EQ(le_u32(file.data() + 54 + 4 * 5), 0x00000200u);  // (2, 0): the last pixel, top right

    EXPECT_FALSE(make_bitmap(small.data(), 3, 2, 24, bitmap));
    EXPECT_FALSE(make_bitmap(small.data(), 0, 2, 32, bitmap));
}

TEST(Screenshots, CaptureTheFrameAndLeaveTheSceneDrawable)
{
    temp_folder folder;
    recording_device device(64, 48);
    use_device use(&device);
    device.set_frame(position_picture(64, 48));
    device.clear_recording();
    ASSERT_TRUE(capture_screen("shot.bmp"));
    // The scene was ended for the read-back and begun again.
    ASSERT_EQ(device.calls().size(), 2u);
    EXPECT_EQ(device.calls()[0].kind, device_call::end_scene);
    EXPECT_EQ(device.calls()[1].kind, device_call::begin_scene);
    std::vector<uint8_t> file = read_bytes("shot.bmp");
    expect_bitmap_header(file, 64, 48, 32);
    EXPECT_EQ(le_u32(file.data() + 54), 47u);                                    // (0, 47)
    EXPECT_EQ(le_u32(file.data() + 54 + (47 * 64 + 63) * 4), 63u << 8);          // (63, 0)

    // The thumbnail is 512 × 384 whatever the screen: each pixel averages what it covers.
    ASSERT_TRUE(make_folder("save"));
    for (auto [width, height] : {std::pair{1024u, 768u}, std::pair{640u, 480u}, std::pair{320u, 200u}}) {
        recording_device screen(width, height);
        use_device on(&screen);
        std::vector<uint32_t> halves(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < halves.size(); ++i)
            halves[i] = (i % width) < width / 2 ? 0xFF204060u : 0xFF000000u | (i % width) % 2 * 0x646464u;
        screen.set_frame(halves);
        ASSERT_TRUE(capture_thumbnail("save/shot.bmp"));
        file = read_bytes("save/shot.bmp");
        expect_bitmap_header(file, 512, 384, 32);
        EXPECT_EQ(le_u32(file.data() + 54), 0x00204060u) << width;
        if (width == 1024) { // two columns, one black and one at 0x64, make 0x32
            EXPECT_EQ(le_u32(file.data() + 54 + 511 * 4), 0x00323232u);
        }
    }
}

TEST(Screenshots, NumberedFromZeroAndCountingOnWhenTheyFail)
{
    temp_folder folder;
    const uint32_t saved = g_screenshot_counter;
    recording_device device(32, 24);
    use_device use(&device);
    device.clear(k_clear_target, 0xFF336699u);

    g_screenshot_counter = 0;
    EXPECT_TRUE(save_screenshot());
    EXPECT_EQ(g_screenshot_counter, 1u);
    g_screenshot_counter = 10;
    EXPECT_TRUE(save_screenshot());
    g_screenshot_counter = 1000;
    EXPECT_TRUE(save_screenshot());
    for (const char* name : {"zorv - screenshot000.bmp", "zorv - screenshot010.bmp", "zorv - screenshot1000.bmp"}) {
        const std::vector<uint8_t> file = read_bytes(name);
        expect_bitmap_header(file, 32, 24, 32);
        EXPECT_EQ(le_u32(file.data() + 54), 0x00336699u) << name;
    }

    // A failed write leaves neither the file nor a temporary; the number is used up all the same.
    g_screenshot_counter = 5;
    {
        file_size_limit limit(1000);
        EXPECT_FALSE(save_screenshot());
    }
    EXPECT_EQ(g_screenshot_counter, 6u);
    {
        use_device none(nullptr);
        EXPECT_FALSE(save_screenshot());
        EXPECT_FALSE(capture_thumbnail("thumb.bmp"));
    }
    EXPECT_EQ(g_screenshot_counter, 7u);
    EXPECT_EQ(list_folder(".").size(), 3u);
    g_screenshot_counter = saved;
}
