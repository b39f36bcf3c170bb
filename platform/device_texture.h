// Textures as device objects: the pixels are kept on the CPU in the texture's own format, so
// that a lock can read and write them; a back end uploads them on unlock.
#pragma once

#include <cstdint>
#include <vector>

// Pixel formats, numbered as the texture records and texture packs store them.
enum class texture_format : uint32_t {
    a8r8g8b8 = 2, // 32-bit, little-endian bytes B, G, R, A
    r5g6b5 = 4,   // 16-bit, red in the high bits
    a4r4g4b4 = 10,
    dxt3 = 19,    // 4 × 4 blocks of 16 bytes: 64 bits of 4-bit alpha, then a colour block
};

struct device_texture {
    uint32_t width = 0;
    uint32_t height = 0;
    texture_format format = texture_format::a8r8g8b8;
    bool mipmaps = false;
    uint32_t pitch = 0; // bytes per row (per row of blocks for dxt3)
    uint32_t rows = 0;  // rows of pixels (rows of blocks for dxt3)
    std::vector<uint8_t> pixels;
    bool locked = false;
    uint32_t handle = 0; // the back end's record of the texture
};

struct texture_lock {
    uint8_t* bits = nullptr;
    uint32_t pitch = 0;
    uint32_t rows = 0;
};

bool texture_format_known(uint32_t code);
// Bytes per row and number of rows of a level-0 image; 0 for an unknown format or zero size.
uint32_t texture_pitch(texture_format format, uint32_t width);
uint32_t texture_rows(texture_format format, uint32_t height);

enum class dxt_kind { dxt1, dxt3, dxt5 };

// Decodes the DXT blocks of a width × height image (row by row, (width + 3) / 4 blocks a row, of
// 8 bytes for DXT1 and 16 for DXT3 and DXT5) into out's 32-bit texels 0xAARRGGBB, top row first;
// out holds width × height texels.
void decode_dxt(const uint8_t* blocks, uint32_t width, uint32_t height, dxt_kind kind, std::vector<uint32_t>& out);

// Whether every texel of the image has alpha 255 (always for r5g6b5).
bool texture_opaque(const device_texture& texture);

// Converts the texture's pixels to 32-bit texels 0xAARRGGBB, top row first (width × height).
void texture_to_argb(const device_texture& texture, std::vector<uint32_t>& out);
