#include "tests/interface/log_panels_fixture.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/draw_test_support.h"
#include "engine/fonts.h"
#include "engine/textures.h"
#include "platform/image_writer.h"
#include "platform/recording_device.h"

#include <cmath>
#include <cstring>

::testing::AssertionResult same_places(const std::vector<screen_point>& actual,
                                       const std::vector<screen_point>& expected)
{
    const auto near = [](screen_point a, screen_point b) {
        return std::fabs(a.first - b.first) <= 0.5f + 0.005f * std::fabs(b.first - 512.0f) &&
               std::fabs(a.second - b.second) <= 0.5f + 0.005f * std::fabs(b.second - 384.0f);
    };
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

void log_panels_test::SetUp()
{
    folder_ = std::make_unique<temp_folder>();
    saved_.keep(g_interface), saved_.keep(g_key_state), saved_.keep(g_mouse_screen_x), saved_.keep(g_mouse_screen_y);
    saved_.keep(g_ticks), saved_.keep(g_dialogue_running), saved_.keep(g_font_small);
    font_ = std::make_unique<fixed_advance_font>(10);
    if (!font_->make_drawable())
        GTEST_SKIP() << "no font face to draw with";
    g_font_small = g_font_large;
    device_ = std::make_unique<recording_device>(1024, 768);
    device_guard_ = std::make_unique<use_device>(device_.get());
    use_fixed_camera(*device_);
    clear_texture_table();
    std::memset(g_key_state, 0, sizeof g_key_state);
    g_mouse_screen_x = g_mouse_screen_y = -100.0f;
    g_dialogue_running = 0;
}

void log_panels_test::TearDown()
{
    clear_texture_table();
    device_guard_.reset();
    device_.reset();
    saved_.restore();  // the small font comes back before the replacement's looks are freed
    font_.reset();
    folder_.reset();
}

uint16_t log_panels_test::texture(const std::string& name)
{
    std::vector<uint32_t> texels(32 * 32, 0xFFFFFFFFu);
    const std::string file = name + ".tga";
    EXPECT_TRUE(write_image_file(file.c_str(), texels.data(), 32, 32));
    return uint16_t(get_texture(file.c_str(), 0, 0, 0, 0, 1, 0));
}

std::vector<drawn_string> log_panels_test::strings() const
{
    std::vector<drawn_string> out;
    for (const recorded_draw& d : device_->draws()) {
        if (d.type != primitive_type::triangle_list)
            continue;
        float x = 0, y = 0, z = 0;
        device_->screen_position(d, 0, x, y, z);
        const device_colour& c = d.material.emissive;
        const auto byte = [](float v) { return uint32_t(std::lround(v * 255.0f)); };
        out.push_back({d.vertex_count / 6, int(std::lround(x + 0.5f)), int(std::lround(y + 0.5f)),
                       byte(c.r) | byte(c.g) << 8 | byte(c.b) << 16});
    }
    return out;
}

std::vector<screen_point> log_panels_test::centres_of(uint16_t slot) const
{
    std::vector<std::pair<float, float>> out;
    for (const recorded_draw& d : device_->draws()) {
        if (!d.texture || d.texture != g_textures[slot].surface)
            continue;
        float sx = 0, sy = 0;
        for (uint32_t i = 0; i < d.vertex_count; ++i) {
            float x, y, z;
            device_->screen_position(d, i, x, y, z);
            sx += x, sy += y;
        }
        out.emplace_back(sx / float(d.vertex_count), sy / float(d.vertex_count));
    }
    return out;
}

void log_panels_test::clear_draws()
{
    device_->clear_recording();
}
