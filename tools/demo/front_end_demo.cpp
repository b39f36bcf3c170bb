// The front end's two splash cards, 1024 x 512: a weather vane over a toll gate at dusk, and
// three interlocking rings on slate.
#include "tools/demo/demo_data.h"

#include "platform/image_writer.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr uint32_t k_card_width = 1024;
constexpr uint32_t k_card_height = 512;

uint32_t rgb(float r, float g, float b)
{
    auto channel = [](float v) { return uint32_t(std::clamp(v, 0.0f, 255.0f)); };
    return 0xFF000000u | channel(r) << 16 | channel(g) << 8 | channel(b);
}

void write_card(const char* name, const std::function<uint32_t(float x, float y)>& rule)
{
    std::vector<uint32_t> texels(size_t(k_card_width) * k_card_height);
    for (uint32_t y = 0; y < k_card_height; ++y)
        for (uint32_t x = 0; x < k_card_width; ++x)
            texels[size_t(y) * k_card_width + x] = rule(float(x), float(y));
    require(write_image_file(name, texels.data(), k_card_width, k_card_height), name);
}

// Dusk sky, a dark gate of two posts and a bar, and on the left post a vane turned east.
uint32_t vane_over_gate(float x, float y)
{
    const bool left_post = std::fabs(x - 380.0f) < 14.0f && y > 170.0f;
    const bool right_post = std::fabs(x - 644.0f) < 14.0f && y > 250.0f;
    const bool bar = y > 250.0f && y < 270.0f && x > 380.0f && x < 644.0f;
    const bool vane_rod = std::fabs(x - 380.0f) < 3.0f && y > 90.0f && y <= 170.0f;
    const float arrow_dx = x - 380.0f, arrow_dy = y - 110.0f;
    const bool arrow = arrow_dx > -50.0f && arrow_dx < 70.0f && std::fabs(arrow_dy) < 4.0f;
    const bool head = arrow_dx >= 55.0f && arrow_dx < 80.0f && std::fabs(arrow_dy) < (80.0f - arrow_dx) * 0.6f;
    const bool tail = arrow_dx > -60.0f && arrow_dx < -35.0f && std::fabs(arrow_dy) < 16.0f;
    const bool ground = y > 430.0f;
    if (left_post || right_post || bar || vane_rod || arrow || head || tail)
        return rgb(22, 18, 24);
    if (ground)
        return rgb(30 + 0.01f * x, 26, 22);
    const float t = y / 430.0f;
    return rgb(40 + 200 * t, 30 + 110 * t, 70 + 10 * t);
}

// Three rings in a row, each a band between two radii, on a slate ground with a soft light.
uint32_t three_rings(float x, float y)
{
    const float centres[3] = {392.0f, 512.0f, 632.0f};
    for (int i = 0; i < 3; ++i) {
        const float d = std::hypot(x - centres[i], y - 256.0f);
        if (d > 70.0f && d < 90.0f)
            return i == 1 ? rgb(220, 180, 90) : rgb(190, 200, 210);
    }
    const float light = 1.0f - std::min(1.0f, std::hypot(x - 512.0f, y - 256.0f) / 600.0f);
    return rgb(30 + 40 * light, 36 + 40 * light, 44 + 44 * light);
}

} // namespace

void write_front_end_demo_data()
{
    write_card("data/tollvane.tga", vane_over_gate);
    write_card("data/p3.tga", three_rings);
}
