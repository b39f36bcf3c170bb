// The dream world's overlay: twelve frames of a dark blue mist that swirls around a clear centre.
#include "tools/demo/demo_data.h"

#include "platform/files.h"
#include "platform/image_writer.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t k_size = 128;

// Frame f: the mist's opacity grows with the distance from the centre and ripples along a
// spiral that turns a twelfth further each frame.
std::vector<uint32_t> mist_frame(int f)
{
    std::vector<uint32_t> texels(k_size * k_size);
    const float half = float(k_size) / 2.0f;
    const float turn = 6.2831853f * float(f) / 12.0f;
    for (uint32_t y = 0; y < k_size; ++y) {
        for (uint32_t x = 0; x < k_size; ++x) {
            float dx = (float(x) + 0.5f - half) / half, dy = (float(y) + 0.5f - half) / half;
            float d = std::sqrt(dx * dx + dy * dy);
            float swirl = 0.5f + 0.5f * std::sin(5.0f * std::atan2(dy, dx) + 8.0f * d - turn);
            float opacity = std::fmin(1.0f, std::fmax(0.0f, (d - 0.08f) * 1.6f)) * (0.75f + 0.25f * swirl);
            uint32_t a = uint32_t(255.0f * opacity);
            uint32_t r = uint32_t(20.0f + 30.0f * swirl), g = uint32_t(30.0f + 40.0f * swirl), b = 90;
            texels[size_t(y) * k_size + x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return texels;
}

} // namespace

void write_environment_demo_data()
{
    require(make_folder("data/dreamworld"), "data/dreamworld");
    for (int f = 0; f < 12; ++f) {
        char name[64];
        std::snprintf(name, sizeof name, "data/dreamworld/dream%02d.tga", f + 1);
        std::vector<uint32_t> texels = mist_frame(f);
        require(write_image_file(name, texels.data(), k_size, k_size), name);
    }
}
