#include "platform/device_texture.h"

#include "platform/byte_order.h"

#include <cstddef>

bool texture_format_known(uint32_t code)
{
    switch (static_cast<texture_format>(code)) {
    case texture_format::a8r8g8b8:
    case texture_format::r5g6b5:
    case texture_format::a4r4g4b4:
    case texture_format::dxt3: return true;
    }
    return false;
}

uint32_t texture_pitch(texture_format format, uint32_t width)
{
    switch (format) {
    case texture_format::a8r8g8b8: return width * 4;
    case texture_format::r5g6b5:
    case texture_format::a4r4g4b4: return width * 2;
    case texture_format::dxt3: return (width + 3) / 4 * 16;
    }
    return 0;
}

uint32_t texture_rows(texture_format format, uint32_t height)
{
    if (!texture_format_known(static_cast<uint32_t>(format)))
        return 0;
    return format == texture_format::dxt3 ? (height + 3) / 4 : height;
}

namespace {

uint32_t expand_565(uint16_t c)
{
    const uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

// The colour half of a DXT block: four palette entries, three and transparent black when
// four_colours is false and the first colour is not above the second (DXT1 only).
void colour_palette(const uint8_t* block, bool four_colours, uint32_t palette[4])
{
    const uint16_t c0 = le_u16(block), c1 = le_u16(block + 2);
    const uint32_t a = expand_565(c0), b = expand_565(c1);
    palette[0] = a | 0xFF000000u;
    palette[1] = b | 0xFF000000u;
    uint32_t p2 = 0, p3 = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        if (four_colours || c0 > c1) {
            p2 |= ((2 * ca + cb) / 3) << shift;
            p3 |= ((ca + 2 * cb) / 3) << shift;
        } else {
            p2 |= ((ca + cb) / 2) << shift;
        }
    }
    palette[2] = p2 | 0xFF000000u;
    palette[3] = four_colours || c0 > c1 ? p3 | 0xFF000000u : 0;
}

} // namespace

void decode_dxt(const uint8_t* blocks, uint32_t width, uint32_t height, dxt_kind kind, std::vector<uint32_t>& out)
{
    const uint32_t block_bytes = kind == dxt_kind::dxt1 ? 8 : 16;
    const uint32_t blocks_x = (width + 3) / 4, blocks_y = (height + 3) / 4;
    for (uint32_t by = 0; by < blocks_y; ++by) {
        for (uint32_t bx = 0; bx < blocks_x; ++bx) {
            const uint8_t* block = blocks + (static_cast<size_t>(by) * blocks_x + bx) * block_bytes;
            const uint8_t* colour = block + (kind == dxt_kind::dxt1 ? 0 : 8);
            uint32_t palette[4];
            colour_palette(colour, kind != dxt_kind::dxt1, palette);
            uint8_t alphas[8] = {};
            uint64_t alpha_bits = 0;
            if (kind == dxt_kind::dxt5) {
                alphas[0] = block[0];
                alphas[1] = block[1];
                for (int i = 0; i < 6; ++i)
                    alpha_bits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
                if (alphas[0] > alphas[1]) {
                    for (int i = 1; i < 7; ++i)
                        alphas[i + 1] = static_cast<uint8_t>(((7 - i) * alphas[0] + i * alphas[1]) / 7);
                } else {
                    for (int i = 1; i < 5; ++i)
                        alphas[i + 1] = static_cast<uint8_t>(((5 - i) * alphas[0] + i * alphas[1]) / 5);
                    alphas[6] = 0;
                    alphas[7] = 255;
                }
            }
            const uint32_t indices = le_u32(colour + 4);
            for (uint32_t i = 0; i < 16; ++i) {
                const uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x >= width || y >= height)
                    continue;
                uint32_t texel = palette[(indices >> (2 * i)) & 3];
                if (kind == dxt_kind::dxt3) {
                    const uint32_t a = (block[i / 2] >> (i % 2 * 4)) & 15;
                    texel = (texel & 0x00FFFFFFu) | a * 17 << 24;
                } else if (kind == dxt_kind::dxt5) {
                    texel = (texel & 0x00FFFFFFu) | static_cast<uint32_t>(alphas[(alpha_bits >> (3 * i)) & 7]) << 24;
                }
                out[static_cast<size_t>(y) * width + x] = texel;
            }
        }
    }
}

void texture_to_argb(const device_texture& t, std::vector<uint32_t>& out)
{
    out.assign(static_cast<size_t>(t.width) * t.height, 0);
    if (t.pixels.size() < static_cast<size_t>(t.pitch) * t.rows)
        return;
    if (t.format == texture_format::dxt3) {
        decode_dxt(t.pixels.data(), t.width, t.height, dxt_kind::dxt3, out);
        return;
    }
    for (uint32_t y = 0; y < t.height; ++y) {
        const uint8_t* row = t.pixels.data() + static_cast<size_t>(y) * t.pitch;
        uint32_t* dst = out.data() + static_cast<size_t>(y) * t.width;
        for (uint32_t x = 0; x < t.width; ++x) {
            switch (t.format) {
            case texture_format::a8r8g8b8:
                dst[x] = static_cast<uint32_t>(row[4 * x]) | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 |
                         static_cast<uint32_t>(row[4 * x + 3]) << 24;
                break;
            case texture_format::r5g6b5: dst[x] = 0xFF000000u | expand_565(le_u16(row + 2 * x)); break;
            case texture_format::a4r4g4b4: {
                const uint16_t c = le_u16(row + 2 * x);
                dst[x] = ((c >> 12) & 15) * 17u << 24 | ((c >> 8) & 15) * 17u << 16 | ((c >> 4) & 15) * 17u << 8 |
                         (c & 15) * 17u;
                break;
            }
            case texture_format::dxt3: break;
            }
        }
    }
}

bool texture_opaque(const device_texture& t)
{
    if (t.pixels.size() < static_cast<size_t>(t.pitch) * t.rows)
        return false;
    switch (t.format) {
    case texture_format::r5g6b5: return true;
    case texture_format::a8r8g8b8:
    case texture_format::a4r4g4b4:
        for (uint32_t y = 0; y < t.height; ++y) {
            const uint8_t* row = t.pixels.data() + static_cast<size_t>(y) * t.pitch;
            for (uint32_t x = 0; x < t.width; ++x)
                if (t.format == texture_format::a8r8g8b8 ? row[4 * x + 3] != 0xFF : (row[2 * x + 1] & 0xF0) != 0xF0)
                    return false;
        }
        return true;
    case texture_format::dxt3: {
        std::vector<uint32_t> texels;
        texture_to_argb(t, texels);
        for (uint32_t texel : texels)
            if (texel >> 24 != 0xFF)
                return false;
        return true;
    }
    }
    return false;
}
