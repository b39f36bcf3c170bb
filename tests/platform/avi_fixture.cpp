#include "platform/avi_fixture.h"

namespace {

void put_u32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void put_u16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put_tag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

void set_u32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Opens a chunk or list; returns where its size goes.
size_t open_chunk(std::vector<uint8_t>& out, const char* tag, const char* list_type = nullptr)
{
    put_tag(out, tag);
    const size_t at = out.size();
    put_u32(out, 0);
    if (list_type)
        put_tag(out, list_type);
    return at;
}

void close_chunk(std::vector<uint8_t>& out, size_t at)
{
    set_u32(out, at, static_cast<uint32_t>(out.size() - at - 4));
    if (out.size() % 2)
        out.push_back(0);
}

} // namespace

uint32_t gradient_pixel(uint32_t frame, uint32_t x, uint32_t y)
{
    auto cut = [](uint32_t v) { return v > 255 ? 255u : v; };
    return cut(frame * 16) << 16 | cut(x * 8) << 8 | cut(y * 8);
}

std::vector<uint8_t> make_test_avi(uint32_t width, uint32_t height, uint32_t frames, uint32_t rate, uint32_t scale,
                                   const video_pixel_rule& pixel)
{
    const uint32_t row = (width * 3 + 3) & ~3u;
    const uint32_t frame_size = row * height;
    std::vector<uint8_t> out;
    const size_t riff = open_chunk(out, "RIFF", "AVI ");
    const size_t hdrl = open_chunk(out, "LIST", "hdrl");
    const size_t avih = open_chunk(out, "avih");
    for (uint32_t v : {static_cast<uint32_t>(1000000ull * scale / rate), frame_size * rate / scale, 0u, 0x10u, frames,
                       0u, 1u, frame_size, width, height, 0u, 0u, 0u, 0u})
        put_u32(out, v);
    close_chunk(out, avih);
    const size_t strl = open_chunk(out, "LIST", "strl");
    const size_t strh = open_chunk(out, "strh");
    put_tag(out, "vids");
    put_u32(out, 0); // handler: uncompressed
    put_u32(out, 0);
    put_u16(out, 0);
    put_u16(out, 0);
    for (uint32_t v : {0u, scale, rate, 0u, frames, frame_size, 0xFFFFFFFFu, 0u})
        put_u32(out, v);
    for (uint16_t v : {uint16_t(0), uint16_t(0), static_cast<uint16_t>(width), static_cast<uint16_t>(height)})
        put_u16(out, v);
    close_chunk(out, strh);
    const size_t strf = open_chunk(out, "strf");
    put_u32(out, 40);
    put_u32(out, width);
    put_u32(out, height); // positive: bottom row first
    put_u16(out, 1);
    put_u16(out, 24);
    for (uint32_t v : {0u, frame_size, 0u, 0u, 0u, 0u})
        put_u32(out, v);
    close_chunk(out, strf);
    close_chunk(out, strl);
    close_chunk(out, hdrl);

    const size_t movi = open_chunk(out, "LIST", "movi");
    const size_t movi_base = movi + 4;
    std::vector<uint32_t> offsets;
    for (uint32_t f = 0; f < frames; ++f) {
        offsets.push_back(static_cast<uint32_t>(out.size() - movi_base));
        const size_t chunk = open_chunk(out, "00db");
        for (uint32_t r = 0; r < height; ++r) {
            const uint32_t y = height - 1 - r;
            for (uint32_t x = 0; x < width; ++x) {
                const uint32_t c = pixel(f, x, y);
                out.push_back(static_cast<uint8_t>(c));
                out.push_back(static_cast<uint8_t>(c >> 8));
                out.push_back(static_cast<uint8_t>(c >> 16));
            }
            out.resize(out.size() + (row - width * 3), 0);
        }
        close_chunk(out, chunk);
    }
    close_chunk(out, movi);
    const size_t idx1 = open_chunk(out, "idx1");
    for (uint32_t f = 0; f < frames; ++f) {
        put_tag(out, "00db");
        put_u32(out, 0x10);
        put_u32(out, offsets[f]);
        put_u32(out, frame_size);
    }
    close_chunk(out, idx1);
    close_chunk(out, riff);
    return out;
}
