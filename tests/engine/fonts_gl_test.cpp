// Text on the OpenGL device under the offscreen driver: the pixels that reach the frame.
#include "engine/fonts.h"

#include "engine/font_glyphs.h"

#include "draw_test_support.h"

#include <gtest/gtest.h>


namespace {

constexpr uint32_t k_black = 0xFF000000u;

class FontsOnGl : public gl_draw_test {
protected:
    void SetUp() override
    {
        gl_draw_test::SetUp();
        if (IsSkipped())
            return;
        font_create(&font, "", "Georgia", 18);
        if (!font.font || !font.font->face)
            GTEST_SKIP() << "no font installed";
    }

    void TearDown() override
    {
        font_remove(&font);
        gl_draw_test::TearDown();
    }

    // The coverage a string's glyphs leave, drawn from (x, y) one over the other: 0 to 255 per
    // pixel.
    std::vector<int> expected_coverage(const char* text, int x, int y)
    {
        std::vector<int> cover(1024 * 768, 0);
        for (const char* c = text; *c; ++c) {
            const font_glyph& g = font_style_glyph(*font.font, static_cast<uint8_t>(*c));
            for (int row = 0; row < g.height; ++row)
                for (int col = 0; col < g.width; ++col) {
                    const int px = x + g.left + col, py = y + g.top + row;
                    if (px < 0 || px >= 1024 || py < 0 || py >= 768)
                        continue;
                    int& under = cover[static_cast<size_t>(py) * 1024 + px];
                    const int over = g.coverage[static_cast<size_t>(row) * g.width + col];
                    under = over + under * (255 - over) / 255;
                }
            x += g.advance;
        }
        return cover;
    }

    font_record font = {};
};

TEST_F(FontsOnGl, MonochromeGlyphsLandOnExactlyTheirPixels)
{
    const char* text = "Wizard's \xC6sir \x80 5";
    font_begin(&font);
    font_set_italic(&font); // the monochrome look
    font_text_out(&font, 37, 101, text, 0x00FFFFFF);
    font_end(&font);
    std::vector<uint32_t> frame;
    ASSERT_TRUE(dev->read_frame(frame));
    const std::vector<int> cover = expected_coverage(text, 37, 101);
    int lit = 0, wrong = 0;
    for (size_t i = 0; i < frame.size(); ++i) {
        const uint32_t want = cover[i] ? 0xFFFFFFFFu : k_black;
        lit += cover[i] != 0;
        wrong += frame[i] != want;
    }
    EXPECT_GT(lit, 100);
    EXPECT_EQ(wrong, 0);
}

TEST_F(FontsOnGl, GreyGlyphsBlendTheirCoverageInTheTextColour)
{
    const char* text = "Georgia";
    font_begin(&font);
    font_text_out(&font, 200, 300, text, 0x000000FF); // red
    font_end(&font);
    std::vector<uint32_t> frame;
    ASSERT_TRUE(dev->read_frame(frame));
    const std::vector<int> cover = expected_coverage(text, 200, 300);
    int partial = 0;
    for (size_t i = 0; i < frame.size(); ++i) {
        EXPECT_EQ(frame[i] & 0xFFFFu, 0u) << "green and blue stay black at " << i;
        EXPECT_NEAR(static_cast<int>((frame[i] >> 16) & 0xFF), cover[i], 2) << "at " << i;
        partial += cover[i] > 0 && cover[i] < 255;
    }
    EXPECT_GT(partial, 20);
}

} // namespace
