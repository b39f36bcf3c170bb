#include "engine/screenshots.h"

#include "engine/render_context.h"
#include "platform/byte_order.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdio>

uint32_t g_screenshot_counter = 0;

uint32_t bitmap_row_size(uint32_t width, uint16_t bit_count)
{
    return (width * bit_count / 8 + 3) & ~3u;
}

bool make_bitmap(const uint32_t* argb, uint32_t width, uint32_t height, uint16_t bit_count, bitmap_image& out)
{
    if (!argb || width == 0 || height == 0 || (bit_count != 16 && bit_count != 32))
        return false;
    const uint32_t row_size = bitmap_row_size(width, bit_count);
    out.width = width;
    out.height = height;
    out.bit_count = bit_count;
    out.pixels.assign(static_cast<size_t>(row_size) * height, 0);
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* source = argb + static_cast<size_t>(height - 1 - y) * width;
        uint8_t* row = out.pixels.data() + static_cast<size_t>(y) * row_size;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t t = source[x];
            if (bit_count == 32) {
                put_le_u32(row + x * 4, t & 0x00FFFFFFu);
            } else {
                const uint32_t r = (t >> 19) & 31, g = (t >> 11) & 31, b = (t >> 3) & 31;
                put_le_u16(row + x * 2, static_cast<uint16_t>(r << 10 | g << 5 | b));
            }
        }
    }
    return true;
}

std::vector<uint8_t> encode_bitmap_file(const bitmap_image& bitmap)
{
    const uint32_t image_size = static_cast<uint32_t>(bitmap.pixels.size());
    std::vector<uint8_t> file(k_bitmap_header_size + static_cast<size_t>(image_size), 0);
    uint8_t* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    put_le_u32(h + 2, image_size + k_bitmap_header_size);
    put_le_u32(h + 10, k_bitmap_header_size);
    put_le_u32(h + 14, 40);
    put_le_u32(h + 18, bitmap.width);
    put_le_u32(h + 22, bitmap.height);
    put_le_u16(h + 26, 1);
    put_le_u16(h + 28, bitmap.bit_count);
    put_le_u32(h + 34, image_size); // compression (30) and the last four fields stay 0
    std::copy(bitmap.pixels.begin(), bitmap.pixels.end(), file.begin() + k_bitmap_header_size);
    return file;
}

bool write_bitmap_file(const char* path, const bitmap_image& bitmap)
{
    if (!path || !*path || bitmap.width == 0 || bitmap.height == 0 || (bitmap.bit_count != 16 && bitmap.bit_count != 32) ||
        bitmap.pixels.size() != static_cast<size_t>(bitmap_row_size(bitmap.width, bitmap.bit_count)) * bitmap.height)
        return false;
    const std::vector<uint8_t> file = encode_bitmap_file(bitmap);
    return write_whole_file(path, file.data(), file.size());
}

void scale_picture(const uint32_t* argb, uint32_t width, uint32_t height, uint32_t target_width,
                   uint32_t target_height, std::vector<uint32_t>& out)
{
    out.assign(static_cast<size_t>(target_width) * target_height, 0);
    if (!argb || width == 0 || height == 0)
        return;
    for (uint32_t ty = 0; ty < target_height; ++ty) {
        const uint32_t y0 = static_cast<uint32_t>(uint64_t(ty) * height / target_height);
        const uint32_t y1 = std::max(y0 + 1, static_cast<uint32_t>(uint64_t(ty + 1) * height / target_height));
        for (uint32_t tx = 0; tx < target_width; ++tx) {
            const uint32_t x0 = static_cast<uint32_t>(uint64_t(tx) * width / target_width);
            const uint32_t x1 = std::max(x0 + 1, static_cast<uint32_t>(uint64_t(tx + 1) * width / target_width));
            uint32_t sum[4] = {};
            for (uint32_t y = y0; y < y1; ++y)
                for (uint32_t x = x0; x < x1; ++x) {
                    const uint32_t t = argb[static_cast<size_t>(y) * width + x];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += (t >> (8 * c)) & 0xFF;
                }
            const uint32_t n = (y1 - y0) * (x1 - x0);
            uint32_t t = 0;
            for (int c = 0; c < 4; ++c)
                t |= ((sum[c] + n / 2) / n) << (8 * c);
            out[static_cast<size_t>(ty) * target_width + tx] = t;
        }
    }
}

namespace {

// Reads the frame back between the end of the scene and its new beginning, scales it when a size
// is given and writes it.
bool capture(const char* path, uint32_t width, uint32_t height)
{
    if (!g_d3d_device || !path)
        return false;
    std::vector<uint32_t> frame;
    g_d3d_device->end_scene();
    const bool read = g_d3d_device->read_frame(frame);
    g_d3d_device->begin_scene();
    const uint32_t screen_width = g_d3d_device->width(), screen_height = g_d3d_device->height();
    if (!read || frame.size() != static_cast<size_t>(screen_width) * screen_height)
        return false;
    if (width == 0) {
        width = screen_width;
        height = screen_height;
    } else if (width != screen_width || height != screen_height) {
        std::vector<uint32_t> scaled;
        scale_picture(frame.data(), screen_width, screen_height, width, height, scaled);
        frame.swap(scaled);
    }
    bitmap_image bitmap;
    return make_bitmap(frame.data(), width, height, 32, bitmap) && write_bitmap_file(path, bitmap);
}

} // namespace

bool capture_screen(const char* path)
{
    return capture(path, 0, 0);
}

bool capture_thumbnail(const char* path)
{
    return capture(path, k_thumbnail_width, k_thumbnail_height);
}

bool save_screenshot()
{
    char name[64];
    std::snprintf(name, sizeof name, "zorv - screenshot%.3u.bmp", g_screenshot_counter);
    ++g_screenshot_counter;
    return capture_screen(name);
}
