#include "platform/texture_image.h"

#include <stb_dxt.h>
#include <stb_image_resize.h>

#include <algorithm>
#include <cstring>

uint32_t texture_side_for(uint32_t side)
{
    if (side == 0)
        return 0;
    uint32_t p = 1;
    while (p < side && p < k_texture_max_side)
        p <<= 1;
    return p;
}

std::vector<uint32_t> stretch_texels(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height,
                                     uint32_t new_width, uint32_t new_height)
{
    if (width == new_width && height == new_height)
        return argb;
    std::vector<uint32_t> out(static_cast<size_t>(new_width) * new_height);
    // Four bytes per texel in memory order; the filter treats the channels alike.
    stbir_resize_uint8(reinterpret_cast<const unsigned char*>(argb.data()), static_cast<int>(width),
                       static_cast<int>(height), 0, reinterpret_cast<unsigned char*>(out.data()),
                       static_cast<int>(new_width), static_cast<int>(new_height), 0, 4);
    return out;
}

namespace {

void put_u16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// One 4 × 4 block of DXT3: 64 bits of 4-bit alpha, then a four-colour block. Texels beyond the
// image repeat its last column and row.
void encode_dxt3_block(const uint32_t* argb, uint32_t width, uint32_t height, uint32_t bx, uint32_t by, uint8_t* out)
{
    uint8_t rgba[64];
    std::memset(out, 0, 8);
    for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = std::min(bx * 4 + i % 4, width - 1), y = std::min(by * 4 + i / 4, height - 1);
        const uint32_t t = argb[static_cast<size_t>(y) * width + x];
        rgba[4 * i] = static_cast<uint8_t>(t >> 16);
        rgba[4 * i + 1] = static_cast<uint8_t>(t >> 8);
        rgba[4 * i + 2] = static_cast<uint8_t>(t);
        rgba[4 * i + 3] = 255;
        out[i / 2] |= static_cast<uint8_t>((t >> 28) << (i % 2 * 4));
    }
    stb_compress_dxt_block(out + 8, rgba, 0, STB_DXT_NORMAL);
}

} // namespace

std::vector<uint8_t> convert_texels(const uint32_t* argb, uint32_t width, uint32_t height, texture_format format)
{
    const uint32_t pitch = texture_pitch(format, width), rows = texture_rows(format, height);
    std::vector<uint8_t> out(static_cast<size_t>(pitch) * rows);
    if (out.empty())
        return out;
    if (format == texture_format::dxt3) {
        for (uint32_t by = 0; by < rows; ++by)
            for (uint32_t bx = 0; bx < pitch / 16; ++bx)
                encode_dxt3_block(argb, width, height, bx, by, out.data() + static_cast<size_t>(by) * pitch + bx * 16);
        return out;
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* src = argb + static_cast<size_t>(y) * width;
        uint8_t* dst = out.data() + static_cast<size_t>(y) * pitch;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t t = src[x];
            const uint32_t a = t >> 24, r = (t >> 16) & 0xFF, g = (t >> 8) & 0xFF, b = t & 0xFF;
            switch (format) {
            case texture_format::a8r8g8b8:
                dst[4 * x] = static_cast<uint8_t>(b);
                dst[4 * x + 1] = static_cast<uint8_t>(g);
                dst[4 * x + 2] = static_cast<uint8_t>(r);
                dst[4 * x + 3] = static_cast<uint8_t>(a);
                break;
            case texture_format::r5g6b5: put_u16(dst + 2 * x, (r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3); break;
            case texture_format::a4r4g4b4:
                put_u16(dst + 2 * x, (a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | b >> 4);
                break;
            case texture_format::dxt3: break;
            }
        }
    }
    return out;
}

device_texture* create_texture_from_image(render_device& device, const decoded_image& image, uint32_t format_code,
                                          bool mipmaps, std::string& error)
{
    texture_format format = image.own_format;
    if (format_code != 0) {
        if (!texture_format_known(format_code)) {
            error = "unknown surface format";
            return nullptr;
        }
        format = static_cast<texture_format>(format_code);
    }
    if (image.width == 0 || image.height == 0 || image.argb.size() != static_cast<size_t>(image.width) * image.height) {
        error = "empty image";
        return nullptr;
    }
    const uint32_t width = std::min(image.width, k_texture_max_side), height = std::min(image.height, k_texture_max_side);
    device_texture* texture = nullptr;
    if (format == texture_format::dxt3 && !image.dxt3_blocks.empty() && width == image.width &&
        height == image.height) {
        texture = device.create_texture(width, height, format, mipmaps, image.dxt3_blocks.data());
    } else {
        const std::vector<uint32_t> texels = stretch_texels(image.argb, image.width, image.height, width, height);
        const std::vector<uint8_t> bytes = convert_texels(texels.data(), width, height, format);
        texture = device.create_texture(width, height, format, mipmaps, bytes.data());
    }
    if (!texture)
        error = "the device refused the surface";
    return texture;
}

device_texture* create_texture_from_image_file(render_device& device, const char* name, uint32_t format_code,
                                               bool mipmaps, std::string& error)
{
    decoded_image image;
    if (!decode_image_file(name, image, error))
        return nullptr;
    return create_texture_from_image(device, image, format_code, mipmaps, error);
}
