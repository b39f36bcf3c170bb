// Image files written from 32-bit texels: TGA (with alpha, run-length coded), PNG (with alpha)
// and BMP (24-bit), chosen by the name's extension.
#pragma once

#include <cstdint>
#include <vector>

enum class image_file_kind { tga, bmp, png };

// Encodes width × height texels 0xAARRGGBB (top row first). False for a zero size.
bool encode_image(const uint32_t* argb, uint32_t width, uint32_t height, image_file_kind kind,
                  std::vector<uint8_t>& out);

// Writes the image as TGA or PNG when the name ends in "tga" or "png" (any case), else as BMP; the file is
// replaced only after a complete write.
bool write_image_file(const char* name, const uint32_t* argb, uint32_t width, uint32_t height);
