#include "platform/image_loader.h"

#include "platform/files.h"

#include <stb_image.h>

#include <bit>
#include <cstring>

namespace {

uint32_t read_u32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t read_u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t fourcc(const char* s)
{
    return read_u32(reinterpret_cast<const uint8_t*>(s));
}

// DDS header fields, as offsets from the file's start (after the four-byte magic).
constexpr size_t k_dds_header_end = 128;
constexpr size_t k_dds_height = 12;
constexpr size_t k_dds_width = 16;
constexpr size_t k_dds_pf_flags = 80;
constexpr size_t k_dds_pf_fourcc = 84;
constexpr size_t k_dds_pf_bits = 88;
constexpr size_t k_dds_pf_masks = 92; // red, green, blue, alpha
constexpr uint32_t k_ddpf_alpha = 0x1;
constexpr uint32_t k_ddpf_fourcc = 0x4;
constexpr uint32_t k_ddpf_rgb = 0x40;

uint32_t expand_565(uint16_t c)
{
    const uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
}

// The colour half of a DXT block: four palette entries, three and transparent black when
// four_colours is false and the first colour is not above the second (DXT1 only).
void colour_palette(const uint8_t* block, bool four_colours, uint32_t palette[4])
{
    const uint16_t c0 = read_u16(block), c1 = read_u16(block + 2);
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

enum class dxt_kind { dxt1, dxt3, dxt5 };

void decode_dxt(const uint8_t* data, uint32_t width, uint32_t height, dxt_kind kind, std::vector<uint32_t>& out)
{
    const uint32_t block_bytes = kind == dxt_kind::dxt1 ? 8 : 16;
    const uint32_t blocks_x = (width + 3) / 4, blocks_y = (height + 3) / 4;
    for (uint32_t by = 0; by < blocks_y; ++by) {
        for (uint32_t bx = 0; bx < blocks_x; ++bx) {
            const uint8_t* block = data + (static_cast<size_t>(by) * blocks_x + bx) * block_bytes;
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
            const uint32_t indices = read_u32(colour + 4);
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

// One channel of an uncompressed texel by its mask, widened to eight bits.
uint32_t channel(uint32_t texel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const uint32_t value = (texel & mask) >> shift;
    const uint32_t top = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return static_cast<uint32_t>(static_cast<uint64_t>(value) * 255 / top);
}

bool decode_dds(const uint8_t* data, size_t size, decoded_image& out, std::string& error)
{
    if (size < k_dds_header_end || read_u32(data + 4) != 124) {
        error = "damaged DDS header";
        return false;
    }
    const uint32_t width = read_u32(data + k_dds_width), height = read_u32(data + k_dds_height);
    if (width == 0 || height == 0 || width > k_image_max_side || height > k_image_max_side) {
        error = "bad DDS size";
        return false;
    }
    const uint8_t* body = data + k_dds_header_end;
    const size_t body_size = size - k_dds_header_end;
    const uint32_t pf_flags = read_u32(data + k_dds_pf_flags);
    const size_t texels = static_cast<size_t>(width) * height;
    const size_t blocks = static_cast<size_t>((width + 3) / 4) * ((height + 3) / 4);
    out.width = width;
    out.height = height;
    out.dxt3_blocks.clear();

    if (pf_flags & k_ddpf_fourcc) {
        const uint32_t code = read_u32(data + k_dds_pf_fourcc);
        dxt_kind kind;
        if (code == fourcc("DXT1"))
            kind = dxt_kind::dxt1;
        else if (code == fourcc("DXT3"))
            kind = dxt_kind::dxt3;
        else if (code == fourcc("DXT5"))
            kind = dxt_kind::dxt5;
        else {
            error = "unsupported DDS compression";
            return false;
        }
        const size_t need = blocks * (kind == dxt_kind::dxt1 ? 8 : 16);
        if (body_size < need) {
            error = "truncated DDS data";
            return false;
        }
        out.argb.assign(texels, 0);
        decode_dxt(body, width, height, kind, out.argb);
        out.own_format = kind == dxt_kind::dxt3 ? texture_format::dxt3 : texture_format::a8r8g8b8;
        if (kind == dxt_kind::dxt3)
            out.dxt3_blocks.assign(body, body + need);
        return true;
    }
    if (!(pf_flags & k_ddpf_rgb)) {
        error = "unsupported DDS pixel format";
        return false;
    }
    const uint32_t bits = read_u32(data + k_dds_pf_bits);
    if (bits != 16 && bits != 24 && bits != 32) {
        error = "unsupported DDS bit count";
        return false;
    }
    const uint32_t bytes = bits / 8;
    if (body_size / bytes / width < height) {
        error = "truncated DDS data";
        return false;
    }
    const uint32_t r_mask = read_u32(data + k_dds_pf_masks), g_mask = read_u32(data + k_dds_pf_masks + 4);
    const uint32_t b_mask = read_u32(data + k_dds_pf_masks + 8);
    const uint32_t a_mask = pf_flags & k_ddpf_alpha ? read_u32(data + k_dds_pf_masks + 12) : 0;
    out.argb.resize(texels);
    for (size_t i = 0; i < texels; ++i) {
        const uint8_t* p = body + i * bytes;
        uint32_t texel = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
        if (bytes >= 3)
            texel |= static_cast<uint32_t>(p[2]) << 16;
        if (bytes == 4)
            texel |= static_cast<uint32_t>(p[3]) << 24;
        const uint32_t a = a_mask ? channel(texel, a_mask) : 255;
        out.argb[i] = a << 24 | channel(texel, r_mask) << 16 | channel(texel, g_mask) << 8 | channel(texel, b_mask);
    }
    out.own_format = texture_format::a8r8g8b8;
    if (bits == 16 && r_mask == 0xF800 && g_mask == 0x07E0 && b_mask == 0x001F && a_mask == 0)
        out.own_format = texture_format::r5g6b5;
    else if (bits == 16 && r_mask == 0x0F00 && g_mask == 0x00F0 && b_mask == 0x000F && a_mask == 0xF000)
        out.own_format = texture_format::a4r4g4b4;
    return true;
}

bool decode_stb(const uint8_t* data, size_t size, decoded_image& out, std::string& error)
{
    if (size > 0x7FFFFFFF) {
        error = "image too large";
        return false;
    }
    const int length = static_cast<int>(size);
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &w, &h, &channels)) {
        error = stbi_failure_reason() ? stbi_failure_reason() : "unknown image format";
        return false;
    }
    if (w <= 0 || h <= 0 || static_cast<uint32_t>(w) > k_image_max_side || static_cast<uint32_t>(h) > k_image_max_side) {
        error = "bad image size";
        return false;
    }
    stbi_uc* rgba = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
    if (!rgba) {
        error = stbi_failure_reason() ? stbi_failure_reason() : "damaged image";
        return false;
    }
    out.width = static_cast<uint32_t>(w);
    out.height = static_cast<uint32_t>(h);
    out.argb.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < out.argb.size(); ++i) {
        const stbi_uc* p = rgba + 4 * i;
        out.argb[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                      static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    stbi_image_free(rgba);
    out.own_format = texture_format::a8r8g8b8;
    out.dxt3_blocks.clear();
    return true;
}

} // namespace

bool decode_image(const uint8_t* data, size_t size, decoded_image& out, std::string& error)
{
    if (!data || size == 0) {
        error = "empty image";
        return false;
    }
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0)
        return decode_dds(data, size, out, error);
    return decode_stb(data, size, out, error);
}

bool decode_image_file(const char* name, decoded_image& out, std::string& error)
{
    std::vector<uint8_t> bytes;
    if (!name || !read_whole_file(name, &bytes)) {
        error = "cannot read the file";
        return false;
    }
    return decode_image(bytes.data(), bytes.size(), out, error);
}
