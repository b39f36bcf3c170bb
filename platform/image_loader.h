// Image files decoded for textures: TGA, BMP and the other formats stb_image reads, and DDS
// (DXT1, DXT3, DXT5 and uncompressed 16- and 32-bit), decoded here.
#pragma once

#include "platform/device_texture.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t k_image_max_side = 4096;

struct decoded_image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> argb; // 0xAARRGGBB, top row first
    // The device format closest to the file's own pixels.
    texture_format own_format = texture_format::a8r8g8b8;
    // A DXT3 file's level-0 blocks as stored (pitch (width + 3) / 4 × 16), else empty.
    std::vector<uint8_t> dxt3_blocks;
};

// Decodes an image held in memory. False with a reason in error for an unknown, damaged or
// truncated image or a side above k_image_max_side.
bool decode_image(const uint8_t* data, size_t size, decoded_image& out, std::string& error);

// Reads and decodes an image file (names resolved as platform/files.h does).
bool decode_image_file(const char* name, decoded_image& out, std::string& error);
