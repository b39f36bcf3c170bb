#include "engine/sprite_font.h"

#include "engine/packed_stream.h"
#include "engine/textures.h"

#include "draw_test_support.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct glyph_entry {
    uint32_t width = 4, height = 6, format = 2, pitch = 16;
    bool truncated = false; // the entry ends after its header
};

void put_u32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A font file: widths and metrics for characters 33 to 122, then `entries` glyph entries (the
// rest missing when fewer are given).
void write_font(const char* name, const std::vector<int32_t>& widths, const std::vector<glyph_entry>& entries)
{
    std::vector<uint8_t> bytes;
    for (int i = 0; i < k_sprite_font_glyphs; ++i) {
        put_u32(bytes, static_cast<uint32_t>(widths[i]));
        put_u32(bytes, 100 + i);
    }
    for (const glyph_entry& e : entries) {
        put_u32(bytes, e.width);
        if (e.width == 0)
            continue;
        put_u32(bytes, e.height);
        put_u32(bytes, e.format);
        put_u32(bytes, e.pitch);
        if (!e.truncated)
            bytes.insert(bytes.end(), static_cast<size_t>(e.pitch) * e.height, 0xFF);
    }
    packed_stream* s = stream_open(name, "wp");
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(stream_write(bytes.data(), static_cast<int>(bytes.size()), s), static_cast<int>(bytes.size()));
    ASSERT_EQ(stream_close(s), 0);
}

std::vector<int32_t> widths_from(int32_t start)
{
    std::vector<int32_t> w(k_sprite_font_glyphs);
    for (int i = 0; i < k_sprite_font_glyphs; ++i)
        w[i] = start + i % 7;
    return w;
}

class SpriteFont : public ::testing::Test {
protected:
    void SetUp() override { clear_texture_table(); }
    void TearDown() override { clear_texture_table(); }

    temp_folder folder;
    recording_device dev{1024, 768};
    use_device device{&dev};
    sprite_font font = {};
};

TEST_F(SpriteFont, WidthsSumTheAdvancesWithEightForEverythingElse)
{
    const auto widths = widths_from(5);
    write_font("main.fn", widths, std::vector<glyph_entry>(k_sprite_font_glyphs));
    ASSERT_EQ(load_sprite_font(&font, "main.fn"), 1);
    EXPECT_EQ(font.second_metric[0], 100);
    EXPECT_EQ(font.width[90], 8); // character 123 keeps its start value
    EXPECT_EQ(sprite_text_width(&font, "A"), widths['A' - 33]);
    EXPECT_EQ(sprite_text_width(&font, "Az!"), widths['A' - 33] + widths['z' - 33] + widths['!' - 33]);
    EXPECT_EQ(sprite_text_width(&font, "   "), 24);
    EXPECT_EQ(sprite_text_width(&font, "{|\t\xE9\x80"), 40); // 123, 124, a control, two high bytes
    EXPECT_EQ(sprite_text_width(&font, ""), 0);
    EXPECT_EQ(sprite_text_width(&font, nullptr), 0);
}

TEST_F(SpriteFont, AMissingFileLeavesWidthsOfEightAndNoGlyphs)
{
    g_sprite_font.width[3] = 99;
    EXPECT_EQ(load_sprite_font(&g_sprite_font, "global/main.fn"), -1);
    for (int32_t w : g_sprite_font.width)
        EXPECT_EQ(w, 8);
    for (int32_t slot : g_sprite_font.glyphs)
        EXPECT_EQ(slot, -1);
    EXPECT_EQ(sprite_text_width(&g_sprite_font, "abc"), 24);
    dev.set_texture_stage_state(texture_stage_state::min_filter, texture_filter::point);
    draw_sprite_text(&g_sprite_font, 10, 10, "abc", 1, 1, 1, 1);
    EXPECT_TRUE(dev.draws().empty());
    EXPECT_EQ(dev.get_texture_stage_state(texture_stage_state::min_filter), static_cast<uint32_t>(texture_filter::linear));
}

TEST_F(SpriteFont, GlyphsAreDrawnCentredOnThePenWithPointFiltering)
{
    const auto widths = widths_from(9);
    write_font("main.fn", widths, std::vector<glyph_entry>(k_sprite_font_glyphs));
    ASSERT_EQ(load_sprite_font(&font, "main.fn"), 1);
    for (int32_t slot : font.glyphs)
        ASSERT_GE(slot, 0);
    dev.set_texture_stage_state(texture_stage_state::mag_filter, texture_filter::point);

    draw_sprite_text(&font, 100.5f, 200, "a b{c", 1, 0.5f, 0.25f, 0.75f);
    ASSERT_EQ(dev.draws().size(), 3u); // a, b and c; the space and '{' draw nothing
    const float k = 1024 / 640.0f * 50.7f;
    const float pens[3] = {100.5f, 100.5f + widths['a' - 33] + 8, 100.5f + widths['a' - 33] + 8 + widths['b' - 33] + 8};
    for (int i = 0; i < 3; ++i) {
        const recorded_draw& draw = dev.draws()[i];
        const lit_vertex* v = dev.vertices_of(draw);
        EXPECT_NEAR((v[0].x + v[3].x) / 2, (pens[i] - 512) / k, 1e-4) << i;
        EXPECT_NEAR((v[0].y + v[3].y) / 2, -(200.0f - 384) / k, 1e-4) << i;
        EXPECT_NEAR(v[3].x - v[0].x, 4 / k, 1e-4) << "a 4 x 6 glyph at scale 1";
        EXPECT_EQ(draw.texture, g_textures[font.glyphs["abc"[i] - 33]].surface);
        EXPECT_EQ(dev.states_of(draw).get(texture_stage_state::min_filter), static_cast<uint32_t>(texture_filter::point));
        EXPECT_EQ(dev.states_of(draw).get(texture_stage_state::mag_filter), static_cast<uint32_t>(texture_filter::point));
    }
    EXPECT_EQ(dev.get_texture_stage_state(texture_stage_state::min_filter), static_cast<uint32_t>(texture_filter::linear));
    EXPECT_EQ(dev.get_texture_stage_state(texture_stage_state::mag_filter), static_cast<uint32_t>(texture_filter::linear));
}

TEST_F(SpriteFont, BadInputIsRefusedWithoutLosingWhatWasRead)
{
    // Short metrics: nothing is taken.
    write_bytes("short.fn", {'A', 'G', 'P', '.', 9, 0, 0, 0});
    EXPECT_EQ(load_sprite_font(&font, "short.fn"), -1);
    EXPECT_EQ(font.width[0], 8);

    // A hostile width counts 8; an empty entry gives no glyph but reading goes on; the first bad
    // entry (a height above 1024) ends it.
    auto widths = widths_from(5);
    widths[1] = -3;
    widths[2] = 0x7FFFFFFF;
    std::vector<glyph_entry> entries(6);
    entries[2].width = 0;
    entries[4].height = 5000;
    write_font("bad.fn", widths, entries);
    ASSERT_EQ(load_sprite_font(&font, "bad.fn"), 1);
    EXPECT_EQ(font.width[0], widths[0]);
    EXPECT_EQ(font.width[1], 8);
    EXPECT_EQ(font.width[2], 8);
    EXPECT_GE(font.glyphs[0], 0);
    EXPECT_GE(font.glyphs[1], 0);
    EXPECT_EQ(font.glyphs[2], -1);
    EXPECT_GE(font.glyphs[3], 0);
    for (int i = 4; i < k_sprite_font_glyphs; ++i)
        EXPECT_EQ(font.glyphs[i], -1) << i;
    EXPECT_EQ(sprite_text_width(&font, "\x23"), 8);

    // A truncated entry ends it as well; the glyphs of the earlier load are freed.
    const int32_t earlier = font.glyphs[0];
    entries = std::vector<glyph_entry>(2);
    entries[1].truncated = true;
    write_font("cut.fn", widths_from(5), entries);
    ASSERT_EQ(load_sprite_font(&font, "cut.fn"), 1);
    EXPECT_GE(font.glyphs[0], 0);
    EXPECT_EQ(font.glyphs[1], -1);
    EXPECT_EQ(g_textures[earlier].surface, nullptr);
}

TEST_F(SpriteFont, TheDemoDataFontHasEveryGlyph)
{
    const std::string command = std::string(ZORV_DEMO_TOOL) + " " + folder.path().string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_EQ(load_sprite_font(&font, "global/main.fn"), 1);
    for (int i = 0; i < k_sprite_font_glyphs; ++i) {
        ASSERT_GE(font.glyphs[i], 0) << i;
        EXPECT_EQ(g_textures[font.glyphs[i]].width, 16u);
        EXPECT_EQ(font.width[i], 12);
    }
    EXPECT_EQ(sprite_text_width(&font, "Hello world"), 10 * 12 + 8);
}

} // namespace
