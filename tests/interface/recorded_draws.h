// Test helpers for the interface's drawing: plain images in texture slots of their own and the
// screen places the recording device saw them drawn at.
#pragma once

#include "engine/textures.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A white 32 x 32 image "<name>.tga" in the working folder, loaded into a texture slot of its own.
inline uint16_t test_texture(const std::string& name)
{
    std::vector<uint32_t> texels(32 * 32, 0xFFFFFFFFu);
    const std::string file = name + ".tga";
    EXPECT_TRUE(write_image_file(file.c_str(), texels.data(), 32, 32));
    return uint16_t(get_texture(file.c_str(), 0, 0, 0, 0, 1, 0));
}

// The screen centres of the draws made with that texture slot, in drawing order.
inline std::vector<std::pair<float, float>> draw_centres(const recording_device& device, uint16_t slot)
{
    std::vector<std::pair<float, float>> out;
    for (const recorded_draw& d : device.draws()) {
        if (!d.texture || d.texture != g_textures[slot].surface)
            continue;
        float sx = 0, sy = 0;
        for (uint32_t i = 0; i < d.vertex_count; ++i) {
            float x, y, z;
            device.screen_position(d, i, x, y, z);
            sx += x, sy += y;
        }
        out.emplace_back(sx / float(d.vertex_count), sy / float(d.vertex_count));
    }
    return out;
}
