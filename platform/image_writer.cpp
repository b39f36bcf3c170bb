#include "platform/image_writer.h"

#include "platform/files.h"

#include <stb_image_write.h>

#include <cstring>
#include <strings.h>

namespace {

void append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

bool encode_image(const uint32_t* argb, uint32_t width, uint32_t height, image_file_kind kind,
                  std::vector<uint8_t>& out)
{
    if (!argb || width == 0 || height == 0 || width > 65535 || height > 65535)
        return false;
    const int channels = kind == image_file_kind::bmp ? 3 : 4;
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        const uint32_t t = argb[i];
        uint8_t* p = bytes.data() + i * channels;
        p[0] = static_cast<uint8_t>(t >> 16);
        p[1] = static_cast<uint8_t>(t >> 8);
        p[2] = static_cast<uint8_t>(t);
        if (channels == 4)
            p[3] = static_cast<uint8_t>(t >> 24);
    }
    out.clear();
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    int ok = 0;
    switch (kind) {
    case image_file_kind::tga: ok = stbi_write_tga_to_func(append, &out, w, h, channels, bytes.data()); break;
    case image_file_kind::bmp: ok = stbi_write_bmp_to_func(append, &out, w, h, channels, bytes.data()); break;
    case image_file_kind::png: ok = stbi_write_png_to_func(append, &out, w, h, channels, bytes.data(), w * channels); break;
    }
    return ok != 0 && !out.empty();
}

bool write_image_file(const char* name, const uint32_t* argb, uint32_t width, uint32_t height)
{
    const size_t length = name ? std::strlen(name) : 0;
    const bool tga = length >= 3 && strcasecmp(name + length - 3, "tga") == 0;
    const bool png = length >= 3 && strcasecmp(name + length - 3, "png") == 0;
    const image_file_kind kind = tga ? image_file_kind::tga : png ? image_file_kind::png : image_file_kind::bmp;
    std::vector<uint8_t> bytes;
    return length > 0 && encode_image(argb, width, height, kind, bytes) &&
           write_whole_file(name, bytes.data(), bytes.size());
}
