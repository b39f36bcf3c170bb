// The quad family on the OpenGL device under the offscreen driver: what reaches the pixels.
#include "engine/texture_fixture.h"

#include "engine/quads.h"
#include "engine/textures.h"
#include "platform/image_writer.h"

#include <vector>

namespace {

constexpr uint32_t k_red = 0xFFFF0000u, k_green = 0xFF00FF00u, k_blue = 0xFF0000FFu, k_white = 0xFFFFFFFFu;

class quad_gl_test : public texture_test {
protected:
    void SetUp() override
    {
        texture_test::SetUp();
        std::string why;
        if (!use_gl_device(why))
            GTEST_SKIP() << "no OpenGL device: " << why;
        // Quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
        std::vector<uint32_t> texels(64 * 64);
        for (uint32_t y = 0; y < 64; ++y)
            for (uint32_t x = 0; x < 64; ++x)
                texels[y * 64 + x] = y < 32 ? (x < 32 ? k_red : k_green) : (x < 32 ? k_blue : k_white);
        ASSERT_TRUE(write_image_file("quarters.tga", texels.data(), 64, 64));
        slot_ = get_texture("quarters.tga", 0, 0, 0, 0, 1, 0);
        ASSERT_NE(g_textures[slot_].surface, nullptr);
    }

    // The four quadrant colours around a 128-pixel image centred at (x, y): top-left,
    // top-right, bottom-left, bottom-right.
    std::vector<uint32_t> quadrants(int x, int y)
    {
        if (frame_.empty()) {
            EXPECT_TRUE(gl_->read_frame(frame_));
        }
        auto at = [&](int px, int py) { return frame_[static_cast<size_t>(py) * 1024 + px]; };
        return {at(x - 32, y - 32), at(x + 32, y - 32), at(x - 32, y + 32), at(x + 32, y + 32)};
    }

    std::vector<uint32_t> frame_;
    int32_t slot_ = -1;
};

TEST_F(quad_gl_test, FlipModesTurnsAndOffsetsShowOnTheScreen)
{
    for (int flip = 0; flip < 4; ++flip)
        ASSERT_EQ(draw_texture_screen(slot_, 100 + 200.0f * flip, 150, 1, 2, flip, 0, 0, 0, 1, 1, 1), 0);
    // One quarter turn: the image's bottom-left corner at the fourth given corner.
    draw_quad_world(slot_, 36, 364, 36, 236, 164, 236, 164, 364, 1, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0);
    // Half the width of offset: the right half shows on the left.
    draw_texture_screen(slot_, 300, 300, 1, 2, 0, 0.5f, 0, 0, 1, 1, 1);

    const std::vector<uint32_t> expected[] = {
        {k_red, k_green, k_blue, k_white},
        {k_blue, k_white, k_red, k_green},
        {k_green, k_red, k_white, k_blue},
        {k_white, k_blue, k_green, k_red},
    };
    for (int flip = 0; flip < 4; ++flip)
        EXPECT_EQ(quadrants(100 + 200 * flip, 150), expected[flip]) << "flip " << flip;
    EXPECT_EQ(quadrants(100, 300), (std::vector<uint32_t>{k_green, k_white, k_red, k_blue}));
    EXPECT_EQ(quadrants(300, 300), (std::vector<uint32_t>{k_green, k_red, k_white, k_blue}));
}

TEST_F(quad_gl_test, ColourAlphaAndScaleReachThePixels)
{
    // Half alpha over black, green halved: red 128, white (128, 64, 128).
    draw_texture_world(slot_, 200, 200, 0.5f, 2, 0, 0, 0, 0, 1, 0.5f, 1);
    const std::vector<uint32_t> q = quadrants(200, 200);
    auto near = [](uint32_t got, uint32_t want) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 3)
                return false;
        return true;
    };
    EXPECT_TRUE(near(q[0], 0xFF800000u)) << std::hex << q[0];
    EXPECT_TRUE(near(q[3], 0xFF804080u)) << std::hex << q[3];

    // Scale 1 covers about 64 pixels: points 40 pixels from the centre stay black.
    draw_texture_screen(slot_, 600, 200, 1, 1, 0, 0, 0, 0, 1, 1, 1);
    std::vector<uint32_t> frame;
    ASSERT_TRUE(gl_->read_frame(frame));
    EXPECT_EQ(frame[185 * 1024 + 585], k_red);
    EXPECT_EQ(frame[215 * 1024 + 615], k_white);
    EXPECT_EQ(frame[200 * 1024 + 640], 0xFF000000u);
    EXPECT_EQ(frame[160 * 1024 + 600], 0xFF000000u);
}

} // namespace
