#include "platform/image_loader.h"

#include "platform/byte_order.h"
#include "platform/files.h"

#include <stb_image.h>

#include <bit>
#include <cstring>

namespace {

uint32_t fourcc(const char* s)
{
    return le_u32(reinterpret_cast<const uint8_t*>(s));
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
    if (size < k_dds_header_end || le_u32(data + 4) != 124) {
        error = "damaged DDS header";
        return false;
    }
    const uint32_t width = le_u32(data + k_dds_width), height = le_u32(data + k_dds_height);
    if (width == 0 || height == 0 || width > k_image_max_side || height > k_image_max_side) {
        error = "bad DDS size";
        return false;
    }
    const uint8_t* body = data + k_dds_header_end;
    const size_t body_size = size - k_dds_header_end;
    const uint32_t pf_flags = le_u32(data + k_dds_pf_flags);
    const size_t texels = static_cast<size_t>(width) * height;
    const size_t blocks = static_cast<size_t>((width + 3) / 4) * ((height + 3) / 4);
    out.width = width;
    out.height = height;
    out.dxt3_blocks.clear();

    if (pf_flags & k_ddpf_fourcc) {
        const uint32_t code = le_u32(data + k_dds_pf_fourcc);
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
    const uint32_t bits = le_u32(data + k_dds_pf_bits);
    if (bits != 16 && bits != 24 && bits != 32) {
        error = "unsupported DDS bit count";
        return false;
    }
    const uint32_t bytes = bits / 8;
    if (body_size / bytes / width < height) {
        error = "truncated DDS data";
        return false;
    }
    const uint32_t r_mask = le_u32(data + k_dds_pf_masks), g_mask = le_u32(data + k_dds_pf_masks + 4);
    const uint32_t b_mask = le_u32(data + k_dds_pf_masks + 8);
    const uint32_t a_mask = pf_flags & k_ddpf_alpha ? le_u32(data + k_dds_pf_masks + 12) : 0;
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

// Whether an uncompressed or run-length TGA holds every pixel its head announces (the decoder
// would read zeros past the end). Other image types are left to the decoder.
bool tga_complete(const uint8_t* data, size_t size)
{
    if (size < 3)
        return true;
    const uint8_t type = data[2];
    const bool run_length = type >= 9 && type <= 11;
    if (data[1] > 1 || (!(type >= 1 && type <= 3) && !run_length))
        return true;  // not a TGA head this check knows; the decoder decides
    if (size < 18)
        return false;
    const size_t map_entries = data[1] ? le_u16(data + 5) : 0;
    size_t at = 18 + size_t(data[0]) + map_entries * ((size_t(data[7]) + 7) / 8);
    const size_t pixels = size_t(le_u16(data + 12)) * le_u16(data + 14);
    const size_t pixel_size = (size_t(data[16]) + 7) / 8;
    if (!run_length)
        return at <= size && pixels * pixel_size <= size - at;
    for (size_t done = 0; done < pixels;) {
        if (at >= size)
            return false;
        const uint8_t head = data[at++];
        const size_t run = size_t(head & 0x7F) + 1;
        const size_t bytes = head & 0x80 ? pixel_size : run * pixel_size;
        if (bytes > size - at)
            return false;
        at += bytes;
        done += run;
    }
    return true;
}

// Whether an uncompressed BMP holds every row its head announces. Other BMPs and other image types
// are left to the decoder.
bool bmp_complete(const uint8_t* data, size_t size)
{
    if (size < 2 || data[0] != 'B' || data[1] != 'M')
        return true;
    if (size < 34)
        return false;
    const uint32_t compression = le_u32(data + 30);
    if (compression != 0 && compression != 3)
        return true;
    const uint64_t width = le_u32(data + 18), bits = le_u16(data + 28);
    const int32_t height = int32_t(le_u32(data + 22));
    const uint64_t rows = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
    const uint64_t stride = (width * bits + 31) / 32 * 4;
    return uint64_t(le_u32(data + 10)) + stride * rows <= size;
}

bool decode_stb(const uint8_t* data, size_t size, decoded_image& out, std::string& error)
{
    if (size > 0x7FFFFFFF) {
        error = "image too large";
        return false;
    }
    if (!bmp_complete(data, size) || !tga_complete(data, size)) {
        error = "image data cut short";
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
