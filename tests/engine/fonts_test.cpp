#include "engine/fonts.h"

#include "core/settings.h"
#include "engine/font_glyphs.h"

#include "core/console_log.h"
#include "draw_test_support.h"
#include "platform/files.h"
#include "support/saved_globals.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

class Fonts : public ::testing::Test {
protected:
    void SetUp() override
    {
        font_create(&font, "", "Georgia", 18);
        if (!font.font || !font.font->face)
            GTEST_SKIP() << "no font installed";
    }
    void TearDown() override { font_remove(&font); }

    // The glyph a byte has in the look in use.
    const font_glyph& glyph(char c) { return font_style_glyph(*font.font, static_cast<uint8_t>(c)); }

    // A face opened as the font's first look is: upright, monochrome, weight 500.
    static std::unique_ptr<text_face> open_upright_mono_face(std::string& error)
    {
        text_face_request request;
        request.family = "Georgia";
        request.cell_height = 18;
        request.weight = 500;
        request.antialiased = false;
        return text_face::open(request, error);
    }

    font_record font = {};
    recording_device dev{1024, 768};
    use_device device{&dev};
};

TEST_F(Fonts, ExtentsAreTheSumOfAdvancesAndTheCellHeight)
{
    EXPECT_EQ(font_measure_text(&font, ""), 0);
    EXPECT_EQ(font.extent.cx, 0);
    EXPECT_EQ(font.extent.cy, 18);

    const int32_t a = font_measure_text(&font, "A"), v = font_measure_text(&font, "V");
    EXPECT_GT(a, 0);
    EXPECT_EQ(font_measure_text(&font, "AVAV"), 2 * (a + v)); // no kerning
    EXPECT_EQ(font.extent.cx, 2 * (a + v));
    EXPECT_EQ(font.extent.cy, 18);
    EXPECT_EQ(font_measure_text(&font, nullptr), 0);

    font_record small = {};
    font_create(&small, "", "Georgia", 14);
    EXPECT_LT(font_measure_text(&small, "Wanderer"), font_measure_text(&font, "Wanderer"));
    EXPECT_EQ(small.extent.cy, 14);
    font_remove(&small);
}

TEST_F(Fonts, LooksFollowCreationBeginAndTheItalicSwitch)
{
    // Created upright and monochrome; a batch starts upright and grey; italic is monochrome.
    EXPECT_EQ(font.italic, 0u);
    EXPECT_EQ(font.antialiased, 0u);
    const font_glyph& mono = glyph('e');
    EXPECT_TRUE(std::all_of(mono.coverage.begin(), mono.coverage.end(), [](uint8_t c) { return c == 0 || c == 255; }));

    font_begin(&font);
    EXPECT_EQ(font.dc, &dev);
    EXPECT_EQ(font.antialiased, 1u);
    const font_glyph& grey = glyph('e');
    EXPECT_TRUE(std::any_of(grey.coverage.begin(), grey.coverage.end(), [](uint8_t c) { return c > 0 && c < 255; }));
    font_set_italic(&font);
    EXPECT_EQ(font.italic, 1u);
    EXPECT_EQ(font.antialiased, 0u);
    EXPECT_NE(font.font, font.styles[1]);
    font_set_normal(&font);
    EXPECT_EQ(font.font, font.styles[1]);
    font_end(&font);
    EXPECT_EQ(font.dc, nullptr);
}

TEST_F(Fonts, DrawnWidthsAgreeWithMeasuredOnesInEveryLook)
{
    const char* text = "Quest log: \x93Heroes\x94 \xE9t\xE9 \x80 12";
    font_begin(&font);
    for (int italic = 0; italic < 2; ++italic) {
        if (italic)
            font_set_italic(&font);
        const int32_t measured = font_text_width(&font, text);
        EXPECT_EQ(font_text_out(&font, 10, 10, text, 0xFFFFFF), measured);
        EXPECT_EQ(font.extent.cx, measured);
        EXPECT_EQ(font.extent.cy, 18);
    }
    font_end(&font);
}

TEST_F(Fonts, TextIsDrawnOverTheFrameAndLeavesEveryStateAsItWas)
{
    use_fixed_camera(dev);
    dev.set_texture_stage_state(texture_stage_state::min_filter, texture_filter::linear);
    dev.set_material(sprite_material(0.5f, 0.5f, 0.5f, 1));
    dev.set_viewport({10, 20, 300, 200, 0.0f, 1.0f});
    const device_snapshot before(dev);

    font_begin(&font);
    const int32_t width = font_text_out(&font, 100, 50, "Hi", 0x00FF8040); // blue FF, green 80, red 40
    font_end(&font);

    expect_same_device_state(before, device_snapshot(dev));
    ASSERT_EQ(dev.draws().size(), 1u);
    const recorded_draw& draw = dev.draws()[0];
    EXPECT_EQ(draw.type, primitive_type::triangle_list);
    EXPECT_EQ(draw.vertex_count, 12u); // two glyphs with pixels
    ASSERT_NE(draw.texture, nullptr);
    const recorded_states& states = dev.states_of(draw);
    EXPECT_EQ(states.get(render_state::z_enable), static_cast<uint32_t>(z_mode::off));
    EXPECT_EQ(states.get(render_state::alpha_blend), 1u);
    EXPECT_EQ(states.get(texture_stage_state::min_filter), static_cast<uint32_t>(texture_filter::point));
    EXPECT_EQ(states.viewport.width, 1024u);

    // The colour is the GDI value's, whatever the scene's ambient light.
    const lit_vertex& v = dev.vertices_of(draw)[0];
    EXPECT_EQ(argb_of(v), 0xFF4080FFu);
    EXPECT_EQ(v.a, 255);

    // Each glyph's quad lies at its bitmap's place in back-buffer pixels (pixel centres on whole
    // numbers), the second after the first's advance.
    const font_glyph& h = glyph('H');
    const font_glyph& i = glyph('i');
    EXPECT_EQ(width, h.advance + i.advance);
    float x = 0, y = 0, z = 0;
    ASSERT_TRUE(dev.screen_position(draw, 0, x, y, z));
    EXPECT_NEAR(x, 100 + h.left - 0.5f, 1e-3);
    EXPECT_NEAR(y, 50 + h.top - 0.5f, 1e-3);
    ASSERT_TRUE(dev.screen_position(draw, 4, x, y, z));
    EXPECT_NEAR(x, 100 + h.left + h.width - 0.5f, 1e-3);
    EXPECT_NEAR(y, 50 + h.top + h.height - 0.5f, 1e-3);
    ASSERT_TRUE(dev.screen_position(draw, 6, x, y, z));
    EXPECT_NEAR(x, 100 + h.advance + i.left - 0.5f, 1e-3);
}

TEST_F(Fonts, NothingIsDrawnOutsideABatchOrForAnEmptyString)
{
    const int32_t width = font_text_out(&font, 0, 0, "outside", 0xFFFFFF);
    EXPECT_EQ(width, font_measure_text(&font, "outside"));
    font_begin(&font);
    EXPECT_EQ(font_text_out(&font, 0, 0, "", 0xFFFFFF), 0);
    EXPECT_EQ(font.extent.cx, 0);
    EXPECT_EQ(font_text_out(&font, 0, 0, "   ", 0xFFFFFF), font_measure_text(&font, "   "));
    font_end(&font);
    EXPECT_TRUE(dev.draws().empty());
    EXPECT_TRUE(dev.calls().empty());
}

TEST_F(Fonts, Windows1252BytesAreDecodedBeforeLookUp)
{
    EXPECT_EQ(windows_1252_to_unicode('A'), 0x41u);
    EXPECT_EQ(windows_1252_to_unicode(0x80), 0x20ACu); // euro sign
    EXPECT_EQ(windows_1252_to_unicode(0x93), 0x201Cu);
    EXPECT_EQ(windows_1252_to_unicode(0x9F), 0x178u);
    EXPECT_EQ(windows_1252_to_unicode(0x81), 0x81u); // undefined: kept
    EXPECT_EQ(windows_1252_to_unicode(0xE9), 0xE9u);

    std::string error;
    auto face = open_upright_mono_face(error);
    ASSERT_TRUE(face) << error;
    text_glyph euro;
    ASSERT_TRUE(face->render(0x20AC, euro));
    const font_glyph& drawn = glyph('\x80');
    EXPECT_EQ(drawn.advance, euro.advance);
    EXPECT_EQ(drawn.width, euro.width);
    EXPECT_EQ(drawn.coverage, euro.coverage);
}

TEST_F(Fonts, SlovakTextIsReadAsWindows1250AndTheGlyphsFollowTheLanguage)
{
    EXPECT_EQ(windows_1250_to_unicode('A'), 0x41u);
    EXPECT_EQ(windows_1250_to_unicode(0x8A), 0x160u);  // the same as in 1252
    EXPECT_EQ(windows_1250_to_unicode(0x9D), 0x165u);  // undefined in 1252
    EXPECT_EQ(windows_1250_to_unicode(0xE8), 0x10Du);
    EXPECT_EQ(windows_1250_to_unicode(0x98), 0x98u);   // undefined: kept

    std::string error;
    auto face = open_upright_mono_face(error);
    ASSERT_TRUE(face) << error;
    text_glyph e_grave, c_caron;
    ASSERT_TRUE(face->render(0xE8, e_grave));
    ASSERT_TRUE(face->render(0x10D, c_caron));
    ASSERT_NE(e_grave.coverage, c_caron.coverage);

    const std::string language = g_language;
    for (const char* code : {"eng", "sk", "eng"}) {
        std::strcpy(g_language, code);
        const text_glyph& expected = code[0] == 's' ? c_caron : e_grave;
        EXPECT_EQ(font_measure_text(&font, "\xE8"), expected.advance) << code;
        EXPECT_EQ(glyph('\xE8').coverage, expected.coverage) << code;
    }
    std::strcpy(g_language, language.c_str());
}

TEST_F(Fonts, TheAtlasIsMadeAgainOnANewDevice)
{
    font_begin(&font);
    font_text_out(&font, 0, 0, "abc", 0);
    font_end(&font);
    {
        recording_device second(800, 600);
        use_device other(&second);
        font_begin(&font);
        font_text_out(&font, 0, 0, "abc", 0);
        font_end(&font);
        ASSERT_EQ(second.draws().size(), 1u);
        texture_lock lock;
        EXPECT_TRUE(second.lock_texture(second.draws()[0].texture, lock)); // the second device's own
        second.unlock_texture(second.draws()[0].texture, false);
    }
    font_begin(&font);
    font_text_out(&font, 0, 0, "abc", 0);
    font_end(&font);
    ASSERT_EQ(dev.draws().size(), 2u);
    texture_lock lock;
    EXPECT_TRUE(dev.lock_texture(dev.draws()[1].texture, lock));
}

TEST(FontRecord, NamesAreCutToTheirFieldsAndAMissingFontFileIsLogged)
{
    temp_folder folder;
    make_folder("global");
    saved_globals saved;
    saved.keep(g_console_enabled);
    g_console_enabled = 1;
    font_record font = {};
    const std::string long_name(400, 'x');
    font_create(&font, "no/such/font.ttf", long_name.c_str(), 14);
    EXPECT_EQ(std::string(font.face), long_name.substr(0, 255));
    EXPECT_STREQ(font.file, "no/such/font.ttf");
    EXPECT_EQ(font.height, 14);
    EXPECT_NE(read_text(k_console_log_file).find("font no/such/font.ttf: nemozem pridat subor\n"), std::string::npos);
    // The unknown family falls back to an installed serif, like the missing file.
    if (font.font && font.font->face) {
        EXPECT_GT(font_measure_text(&font, "x"), 0);
    }
    font_remove(&font);
    EXPECT_EQ(font.font, nullptr);
    EXPECT_EQ(font_measure_text(&font, "x"), 0);
    EXPECT_EQ(font_text_out(nullptr, 0, 0, "x", 0), 0);
}

} // namespace
