// Textures made from images: the surface has the image's own size (a side above
// k_texture_max_side is cut to it and the image stretched to fit), the texels are converted to
// the requested format (with that format's quantisation) and uploaded. Video textures round
// their sides up to powers of two (texture_side_for).
#pragma once

#include "platform/image_loader.h"
#include "platform/render_device.h"

#include <cstdint>
#include <string>
#include <vector>

// The largest side a texture surface gets.
constexpr uint32_t k_texture_max_side = 2048;

// The side a surface gets for an image side: the next power of two, at most k_texture_max_side;
// 0 stays 0.
uint32_t texture_side_for(uint32_t side);

// Converts 32-bit texels (width × height, top row first) to the format's level-0 layout:
// texture_pitch × texture_rows bytes. Channels are cut to the format's bits (4444 keeps the top
// four bits of each channel); DXT3 keeps four bits of alpha and encodes each 4 × 4 block.
std::vector<uint8_t> convert_texels(const uint32_t* argb, uint32_t width, uint32_t height, texture_format format);

// Stretches 32-bit texels to a new size.
std::vector<uint32_t> stretch_texels(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height,
                                     uint32_t new_width, uint32_t new_height);

// A texture of the image in the format code (2, 4, 10, 19, or 0 for the image's own format),
// of the image's own size (each side at most k_texture_max_side). Null with a reason in error when the device refuses it.
device_texture* create_texture_from_image(render_device& device, const decoded_image& image, uint32_t format_code,
                                          bool mipmaps, std::string& error);

// Decodes the file and makes its texture; null with a reason in error.
device_texture* create_texture_from_image_file(render_device& device, const char* name, uint32_t format_code,
                                               bool mipmaps, std::string& error);
