// Test helpers for the interface's drawing: plain images in texture slots of their own, the
// screen centres where the recording device drew a texture slot, and a comparison of places
// within the view's scale error.
#pragma once

#include "engine/textures.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"

#include <gtest/gtest.h>

#include <cmath>
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

using screen_point = std::pair<float, float>;

// The screen centres of the draws made with that texture slot, in drawing order.
inline std::vector<screen_point> centres_of(const recording_device& device, uint16_t slot)
{
    std::vector<screen_point> out;
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

// The view's scale differs from a pixel by half a percent, away from the screen's centre.
inline bool near(screen_point a, screen_point b)
{
    return std::fabs(a.first - b.first) <= 0.5f + 0.005f * std::fabs(b.first - 512.0f) &&
           std::fabs(a.second - b.second) <= 0.5f + 0.005f * std::fabs(b.second - 384.0f);
}

// The same places in the same order.
inline ::testing::AssertionResult places(const std::vector<screen_point>& actual,
                                         const std::vector<screen_point>& expected)
{
    bool same = actual.size() == expected.size();
    for (size_t i = 0; same && i < actual.size(); ++i)
        same = near(actual[i], expected[i]);
    if (same)
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    for (screen_point p : actual)
        failure << "(" << p.first << ", " << p.second << ") ";
    return failure;
}
