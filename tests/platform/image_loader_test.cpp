// Image files for textures: decoding, the power-of-two stretch and the format conversion.
#include "platform/image_loader.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"
#include "platform/texture_image.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<uint32_t> quadrants(uint32_t w, uint32_t h)
{
    const uint32_t colours[4] = {0xFFFF0000u, 0x8000FF00u, 0xFF0000FFu, 0x40FFFFFFu};
    std::vector<uint32_t> t(static_cast<size_t>(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            t[y * w + x] = colours[(y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1)];
    return t;
}

// A DDS header for the given size and pixel format.
std::vector<uint8_t> dds_header(uint32_t w, uint32_t h, uint32_t pf_flags, const char* fourcc, uint32_t bits = 0,
                                uint32_t r = 0, uint32_t g = 0, uint32_t b = 0, uint32_t a = 0)
{
    std::vector<uint8_t> d(128, 0);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    std::memcpy(d.data(), "DDS ", 4);
    put(4, 124);
    put(12, h);
    put(16, w);
    put(76, 32);
    put(80, pf_flags);
    if (fourcc)
        std::memcpy(d.data() + 84, fourcc, 4);
    put(88, bits);
    put(92, r);
    put(96, g);
    put(100, b);
    put(104, a);
    return d;
}

TEST(ImageLoader, TgaPngAndBmpFilesDecodeToTheirTexels)
{
    temp_folder folder;
    const std::vector<uint32_t> texels = quadrants(6, 4);
    ASSERT_TRUE(write_image_file("pic.tga", texels.data(), 6, 4));
    ASSERT_TRUE(write_image_file("pic.bmp", texels.data(), 6, 4));
    ASSERT_TRUE(write_image_file("shot.PNG", texels.data(), 6, 4));
    decoded_image image;
    std::string error;
    for (const char* name : {"PIC.TGA", "shot.png"}) {
        ASSERT_TRUE(decode_image_file(name, image, error)) << error;
        EXPECT_EQ(image.width, 6u);
        EXPECT_EQ(image.height, 4u);
        EXPECT_EQ(image.argb, texels) << name; // alpha kept
    }
    ASSERT_TRUE(decode_image_file("PIC.TGA", image, error)) << error;
    EXPECT_EQ(image.own_format, texture_format::a8r8g8b8);
    ASSERT_TRUE(decode_image_file("pic.bmp", image, error)) << error;
    for (size_t i = 0; i < texels.size(); ++i)
        EXPECT_EQ(image.argb[i], texels[i] | 0xFF000000u) << i; // 24-bit: opaque

    EXPECT_FALSE(decode_image_file("missing.tga", image, error));
    write_text("junk.tga", "definitely not an image");
    EXPECT_FALSE(decode_image_file("junk.tga", image, error));
    std::vector<uint8_t> cut = read_bytes("pic.bmp");
    cut.resize(40);
    EXPECT_FALSE(decode_image(cut.data(), cut.size(), image, error));
}

TEST(ImageLoader, DdsFilesOfEachKindDecode)
{
    decoded_image image;
    std::string error;
    // DXT1: colour 0 pure red, colour 1 pure blue; indices 0, 1, 2, 3 along each row.
    std::vector<uint8_t> dxt1 = dds_header(4, 4, 0x4, "DXT1");
    for (uint8_t b : {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4})
        dxt1.push_back(b);
    ASSERT_TRUE(decode_image(dxt1.data(), dxt1.size(), image, error)) << error;
    EXPECT_EQ(image.argb[0], 0xFFFF0000u);
    EXPECT_EQ(image.argb[1], 0xFF0000FFu);
    EXPECT_EQ(image.argb[2], 0xFFAA0055u); // two thirds red
    EXPECT_EQ(image.own_format, texture_format::a8r8g8b8);
    // DXT1 with colour 0 not above colour 1: three colours and transparent black.
    std::vector<uint8_t> dxt1a = dds_header(4, 4, 0x4, "DXT1");
    for (uint8_t b : {0x1F, 0x00, 0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF})
        dxt1a.push_back(b);
    ASSERT_TRUE(decode_image(dxt1a.data(), dxt1a.size(), image, error));
    EXPECT_EQ(image.argb[5], 0u);

    // DXT3: explicit alpha; keeps its blocks as the file's own format.
    std::vector<uint8_t> dxt3 = dds_header(4, 4, 0x4, "DXT3");
    for (int i = 0; i < 8; ++i)
        dxt3.push_back(i == 0 ? 0xF0 : 0x77);
    for (uint8_t b : {0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0})
        dxt3.push_back(b);
    ASSERT_TRUE(decode_image(dxt3.data(), dxt3.size(), image, error));
    EXPECT_EQ(image.argb[0], 0x0000FF00u);
    EXPECT_EQ(image.argb[1], 0xFF00FF00u);
    EXPECT_EQ(image.argb[2], 0x7700FF00u);
    EXPECT_EQ(image.own_format, texture_format::dxt3);
    EXPECT_EQ(image.dxt3_blocks.size(), 16u);

    // DXT5: interpolated alpha 255 to 0 in eight steps; index 1 gives alpha 0.
    std::vector<uint8_t> dxt5 = dds_header(4, 4, 0x4, "DXT5");
    for (uint8_t b : {0xFF, 0x00, 0x01, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})
        dxt5.push_back(b);
    ASSERT_TRUE(decode_image(dxt5.data(), dxt5.size(), image, error));
    EXPECT_EQ(image.argb[0], 0x00FFFFFFu);
    EXPECT_EQ(image.argb[1], 0xFFFFFFFFu);

    // Uncompressed 16-bit 5-6-5 and 32-bit with alpha, each by its masks.
    std::vector<uint8_t> rgb565 = dds_header(2, 1, 0x40, nullptr, 16, 0xF800, 0x07E0, 0x001F);
    for (uint8_t b : {0x00, 0xF8, 0x1F, 0x00})
        rgb565.push_back(b);
    ASSERT_TRUE(decode_image(rgb565.data(), rgb565.size(), image, error));
    EXPECT_EQ(image.argb[0], 0xFFFF0000u);
    EXPECT_EQ(image.argb[1], 0xFF0000FFu);
    EXPECT_EQ(image.own_format, texture_format::r5g6b5);
    std::vector<uint8_t> argb = dds_header(1, 1, 0x41, nullptr, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
    for (uint8_t b : {0x30, 0x20, 0x10, 0x80})
        argb.push_back(b);
    ASSERT_TRUE(decode_image(argb.data(), argb.size(), image, error));
    EXPECT_EQ(image.argb[0], 0x80102030u);

    // Truncated data, huge sizes and other compressions are refused.
    dxt3.resize(dxt3.size() - 1);
    EXPECT_FALSE(decode_image(dxt3.data(), dxt3.size(), image, error));
    std::vector<uint8_t> huge = dds_header(100000, 100000, 0x4, "DXT1");
    EXPECT_FALSE(decode_image(huge.data(), huge.size(), image, error));
    std::vector<uint8_t> other = dds_header(4, 4, 0x4, "ATI2");
    other.resize(other.size() + 64);
    EXPECT_FALSE(decode_image(other.data(), other.size(), image, error));
}

TEST(TextureImage, ImageSurfacesKeepTheImagesOwnSizeInTheRequestedFormat)
{
    // Video surfaces round up to powers of two.
    EXPECT_EQ(texture_side_for(0), 0u);
    EXPECT_EQ(texture_side_for(1), 1u);
    EXPECT_EQ(texture_side_for(64), 64u);
    EXPECT_EQ(texture_side_for(65), 128u);
    EXPECT_EQ(texture_side_for(100000), k_texture_max_side);

    recording_device device(64, 64);
    decoded_image image;
    image.width = 6;
    image.height = 4;
    image.argb = quadrants(6, 4);
    std::string error;
    device_texture* t = create_texture_from_image(device, image, 2, false, error);
    ASSERT_NE(t, nullptr) << error;
    EXPECT_EQ(t->width, 6u);
    EXPECT_EQ(t->height, 4u);
    std::vector<uint32_t> back;
    texture_to_argb(*t, back);
    EXPECT_EQ(back, image.argb); // texel for texel, nothing stretched

    // Only a side above the largest is cut, the image stretched to it.
    decoded_image wide;
    wide.width = k_texture_max_side + 2;
    wide.height = 3;
    wide.argb.assign(size_t(wide.width) * 3, 0xFF00FF00u);
    t = create_texture_from_image(device, wide, 2, false, error);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, k_texture_max_side);
    EXPECT_EQ(t->height, 3u);

    // Format 0 keeps the image's own format; 4444 cuts every channel to its top four bits.
    t = create_texture_from_image(device, image, 0, false, error);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->format, texture_format::a8r8g8b8);
    image.width = image.height = 1;
    image.argb = {0xC8A05A1Fu};
    t = create_texture_from_image(device, image, 10, false, error);
    ASSERT_NE(t, nullptr);
    texture_to_argb(*t, back);
    EXPECT_EQ(back[0], 0xCCAA5511u);
    t = create_texture_from_image(device, image, 4, false, error);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->pixels[0] | t->pixels[1] << 8, (0xA0 & 0xF8) << 8 | (0x5A & 0xFC) << 3 | 0x1F >> 3);
    EXPECT_EQ(create_texture_from_image(device, image, 7, false, error), nullptr);
}

TEST(TextureImage, Dxt3EncodingKeepsFourBitsOfAlphaAndCloseColours)
{
    std::vector<uint32_t> texels(8 * 4);
    for (uint32_t i = 0; i < texels.size(); ++i)
        texels[i] = (i * 8) << 24 | (i < 16 ? 0xFF2040u : 0x30C0E0u);
    const std::vector<uint8_t> blocks = convert_texels(texels.data(), 8, 4, texture_format::dxt3);
    ASSERT_EQ(blocks.size(), 32u);
    device_texture t;
    t.width = 8;
    t.height = 4;
    t.format = texture_format::dxt3;
    t.pitch = 32;
    t.rows = 1;
    t.pixels = blocks;
    std::vector<uint32_t> back;
    texture_to_argb(t, back);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 8; ++x) {
            const uint32_t in = texels[y * 8 + x], out = back[y * 8 + x];
            EXPECT_EQ(out >> 24, (in >> 28) * 17);
            for (int shift = 0; shift < 24; shift += 8)
                EXPECT_NEAR(double((out >> shift) & 0xFF), double((in >> shift) & 0xFF), 8.0);
        }
}

} // namespace
