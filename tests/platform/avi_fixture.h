// Test videos: uncompressed 24-bit AVI files of generated frames.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// The colour (0x00RRGGBB) of pixel (x, y) of frame n, y counted from the top.
using video_pixel_rule = std::function<uint32_t(uint32_t frame, uint32_t x, uint32_t y)>;

// The bytes of an AVI file of `frames` frames of width × height at rate / scale frames per second.
std::vector<uint8_t> make_test_avi(uint32_t width, uint32_t height, uint32_t frames, uint32_t rate, uint32_t scale,
                                   const video_pixel_rule& pixel);

// A frame whose every pixel has the colour (frame × 16, x × 8, y × 8), each byte cut to 0..255.
uint32_t gradient_pixel(uint32_t frame, uint32_t x, uint32_t y);
