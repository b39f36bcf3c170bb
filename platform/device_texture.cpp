#include "platform/device_texture.h"

#include <cstring>

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

uint16_t read_u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t expand_565(uint16_t c)
{
    const uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

uint32_t mix_third(uint32_t a, uint32_t b)
{
    // (2a + b) / 3 per channel
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= ((2 * ca + cb) / 3) << shift;
    }
    return out;
}

void decode_dxt3(const device_texture& t, std::vector<uint32_t>& out)
{
    const uint32_t blocks_x = t.pitch / 16;
    for (uint32_t by = 0; by < t.rows; ++by) {
        for (uint32_t bx = 0; bx < blocks_x; ++bx) {
            const uint8_t* block = t.pixels.data() + static_cast<size_t>(by) * t.pitch + bx * 16;
            uint32_t palette[4];
            palette[0] = expand_565(read_u16(block + 8));
            palette[1] = expand_565(read_u16(block + 10));
            palette[2] = mix_third(palette[0], palette[1]);
            palette[3] = mix_third(palette[1], palette[0]);
            uint32_t indices;
            std::memcpy(&indices, block + 12, 4);
            for (uint32_t i = 0; i < 16; ++i) {
                const uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x >= t.width || y >= t.height)
                    continue;
                const uint32_t alpha = (block[i / 2] >> (i % 2 * 4)) & 15;
                out[static_cast<size_t>(y) * t.width + x] = alpha * 17 << 24 | palette[(indices >> (2 * i)) & 3];
            }
        }
    }
}

} // namespace

void texture_to_argb(const device_texture& t, std::vector<uint32_t>& out)
{
    out.assign(static_cast<size_t>(t.width) * t.height, 0);
    if (t.pixels.size() < static_cast<size_t>(t.pitch) * t.rows)
        return;
    if (t.format == texture_format::dxt3) {
        decode_dxt3(t, out);
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
            case texture_format::r5g6b5: dst[x] = 0xFF000000u | expand_565(read_u16(row + 2 * x)); break;
            case texture_format::a4r4g4b4: {
                const uint16_t c = read_u16(row + 2 * x);
                dst[x] = ((c >> 12) & 15) * 17u << 24 | ((c >> 8) & 15) * 17u << 16 | ((c >> 4) & 15) * 17u << 8 |
                         (c & 15) * 17u;
                break;
            }
            case texture_format::dxt3: break;
            }
        }
    }
}
