// Screenshots and save thumbnails: the frame drawn so far, read back from the device and written
// as an uncompressed bitmap file.
//
// File layout (little-endian): "BM", u32 file size (image size + 54), u32 0, u32 54 (where the
// pixels start), then the 40-byte info header: u32 40, i32 width, i32 height (positive: rows
// bottom-up), u16 1 plane, u16 bit count, u32 0 (uncompressed), u32 image size, and four u32 0;
// no colour table; then the rows, the bottom row first, each padded to a multiple of 4 bytes.
// Pixels of 32 bits are blue, green, red, 0 in memory order; of 16 bits, x1r5g5b5 words.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t k_bitmap_header_size = 54;
constexpr uint32_t k_thumbnail_width = 512;
constexpr uint32_t k_thumbnail_height = 384;

// A picture in the layout of a bitmap file's pixel data.
struct bitmap_image {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bit_count = 32;     // 16 or 32
    std::vector<uint8_t> pixels; // height rows of bitmap_row_size bytes, the bottom row first
};

// Bytes of one stored row: width × bit_count / 8, padded to a multiple of 4.
uint32_t bitmap_row_size(uint32_t width, uint16_t bit_count);

// Lays out width × height texels 0xAARRGGBB (top row first) as a bitmap of 16 or 32 bits per
// pixel. False, out untouched, for a zero size or another bit count.
bool make_bitmap(const uint32_t* argb, uint32_t width, uint32_t height, uint16_t bit_count, bitmap_image& out);

// The 54 header bytes and the pixels of a bitmap file, in file order.
std::vector<uint8_t> encode_bitmap_file(const bitmap_image& bitmap);

// Writes a bitmap file, replacing an old one only after a complete, checked write. False, no file
// made, for an empty or inconsistent bitmap or a failed write.
bool write_bitmap_file(const char* path, const bitmap_image& bitmap);

// Scales a picture to target_width × target_height: each target pixel is the average of the
// source pixels it covers (the nearest one when it covers less than one).
void scale_picture(const uint32_t* argb, uint32_t width, uint32_t height, uint32_t target_width,
                   uint32_t target_height, std::vector<uint32_t>& out);

// The frame drawn so far on g_d3d_device, at the device's size, into a 32-bit bitmap file. The
// scene is ended for the read-back and begun again, so drawing can go on. False, and no file,
// without a device or when the read-back or the write fails.
bool capture_screen(const char* path);
// As capture_screen, scaled to 512 × 384 whatever the screen size.
bool capture_thumbnail(const char* path);

// The number of the next screenshot: 0 at start, never stored.
extern uint32_t g_screenshot_counter;

// Captures the screen into "zorv - screenshot%.3d.bmp" with the counter (000 to 999, then four
// digits) in the working folder, overwriting a file of that name, and counts on, even when the
// capture failed. True when the file was written.
bool save_screenshot();
