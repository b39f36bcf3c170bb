// The layout and run pass of text windows, with a font whose every byte is 10 pixels wide: pen
// start, wrapping, justification, rows, pictures, conditions, the frame, option links with their
// hover and underlines, the dialogue's first-pass move and the over text.
#include "script/text_window_fixture.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/textures.h"
#include "fixed_advance_font.h"
#include "platform/device_test_support.h"
#include "script/script_links.h"
#include "script/text_window_layout.h"
#include "support/saved_globals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int32_t k_advance = 10;  // pixels of every byte

struct placed {
    std::string word;
    float x, y;
    bool justified;
    uint8_t red, green, blue;
};

struct pixel_point {
    float x, y;
};

// Keeps what the walk hands out.
class recorder : public layout_visitor {
public:
    explicit recorder(const text_window& w) : w_(w) {}
    void line(const layout_row& row, float y, bool justified) override
    {
        for (int32_t k = 0; k < row.count; ++k) {
            const layout_row_word& r = row.words[k];
            words.push_back({w_.words[r.word], r.x, y, justified, r.red, r.green, r.blue});
        }
    }

    std::vector<placed> words;

private:
    const text_window& w_;
};

class TextWindowLayout : public text_window_test {
protected:
    void SetUp() override
    {
        text_window_test::SetUp();
        saved_.keep(g_interface);
        saved_.keep(g_mouse_screen_x);
        saved_.keep(g_mouse_screen_y);
        saved_.keep(g_char_count);
        saved_.keep(g_chars[0]);
        saved_.keep(g_chars[1]);
        saved_.keep(g_chars[2]);
        g_mouse_screen_x = g_mouse_screen_y = -100.0f;
        for (uint16_t& slot : g_interface.text_frame)
            slot = k_no_texture_slot;
        g_interface.text_background_texture = k_no_texture_slot;
    }
    void TearDown() override
    {
        saved_.restore();
        text_window_test::TearDown();
    }

    // Parses the text into the window with the given rectangle, ready to be laid out after its
    // first pass.
    void load(const std::string& text, float x1, float y1, float x2, float y2, bool first_pass = false)
    {
        parse(text);
        window_->x1 = x1, window_->y1 = y1, window_->x2 = x2, window_->y2 = y2;
        window_->first_pass = first_pass ? 1 : 0;
    }

    recorder lay_out(layout_result* result = nullptr)
    {
        recorder r(*window_);
        const layout_result got = lay_out_text_window(window_.get(), &g_font_large, r);
        if (result)
            *result = got;
        return r;
    }

    // A texture slot with a surface of w x h texels.
    int32_t texture(const char* name, uint32_t w, uint32_t h)
    {
        const int32_t slot = append_texture_slot(name);
        texture_record& t = g_textures[slot];
        t.surface = device_->create_texture(w, h, texture_format::a8r8g8b8, false);
        t.width = w, t.height = h;
        t.loaded = 1;
        return slot;
    }

    pixel_point pixel_of(const lit_vertex& v) const
    {
        const float k = view_scale(device_->width());
        return {v.x * k + float(device_->width() / 2), -v.y * k + float(device_->height() / 2)};
    }

    struct drawn_piece {
        device_texture* texture;
        pixel_point centre;
        bool mirrored;
        float u_left;
        float alpha;
    };
    // The textured quads drawn, in order.
    std::vector<drawn_piece> pieces() const
    {
        std::vector<drawn_piece> out;
        for (const recorded_draw& d : device_->draws()) {
            if (!d.texture || d.type != primitive_type::triangle_strip || d.vertex_count != 4)
                continue;
            const lit_vertex* v = device_->vertices_of(d);
            const pixel_point a = pixel_of(v[0]), b = pixel_of(v[3]);
            out.push_back({d.texture, {(a.x + b.x) / 2, (a.y + b.y) / 2}, v[0].u > v[2].u, v[0].u, device_->material_of(d).diffuse.a});
        }
        return out;
    }

    struct drawn_line {
        pixel_point from, to;
        device_colour colour;
    };
    std::vector<drawn_line> lines() const
    {
        std::vector<drawn_line> out;
        for (const recorded_draw& d : device_->draws())
            if (d.type == primitive_type::line_strip) {
                const lit_vertex* v = device_->vertices_of(d);
                out.push_back({pixel_of(v[0]), pixel_of(v[1]), device_->material_of(d).diffuse});
            }
        return out;
    }

    fixed_advance_font font_{k_advance};
    saved_globals saved_;
};

TEST_F(TextWindowLayout, PenStartWrappingRowsAndColours)
{
    struct start_case {
        float height, first_line;
    };
    for (const start_case& c : {start_case{100.0f, 58.0f}, start_case{101.0f, 66.0f}}) {
        load("word", 20.0f, 50.0f, 300.0f, 50.0f + c.height);
        const recorder r = lay_out();
        ASSERT_EQ(r.words.size(), 1u);
        EXPECT_EQ(r.words[0].y, c.first_line) << "height " << c.height;
        EXPECT_EQ(r.words[0].x, 36.0f);
    }

    // Rows end where the next word and its gap would pass x2 - 16; a full row is justified to
    // end at x2 - 16, the row before "^l" and the last row are not; a word wider than the line
    // goes alone to a line start and sticks out; scrolling lifts every line.
    load("aaa bbb ccc ddd ^l eee ^c 1 0.5 0 1 fff WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW ggg", 0.0f, 0.0f, 168.0f, 30.0f);
    window_->scroll_y = 4.0f;
    layout_result result;
    const recorder r = lay_out(&result);
    const std::vector<placed> expected = {
        // Slack 136 - 106 = 30 over two gaps; "ccc" ends at 122 + 30 = x2 - 16.
        {"aaa", 16, 4, true, 255, 255, 255},   {"bbb", 54 + 15, 4, true, 255, 255, 255},
        {"ccc", 92 + 30, 4, true, 255, 255, 255}, {"ddd", 16, 20, false, 255, 255, 255},
        {"eee", 16, 36, true, 255, 255, 255},  {"fff", 54 + 68, 36, true, 255, 127, 0},     {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 16, 52, true, 255, 127, 0},
        {"ggg", 16, 68, false, 255, 127, 0},
    };
    ASSERT_EQ(r.words.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(expected[k].word);
        EXPECT_EQ(r.words[k].word, expected[k].word);
        EXPECT_EQ(r.words[k].x, expected[k].x);
        EXPECT_EQ(r.words[k].y, expected[k].y);
        EXPECT_EQ(r.words[k].justified, expected[k].justified);
        EXPECT_EQ(r.words[k].green, expected[k].green);
        EXPECT_EQ(r.words[k].blue, expected[k].blue);
    }
    EXPECT_EQ(result.pen_y, 72.0f);  // the top of the last line, before scrolling
    EXPECT_EQ(window_->colour[1], 0.5f);

    // A row takes at most 32 words: the 33rd starts the next line, the row ended early is
    // justified to the line's end.
    std::string many;
    for (int k = 0; k < 40; ++k)
        many += "a ";
    load(many, 0.0f, 0.0f, 2000.0f, 30.0f);
    const recorder rows = lay_out();
    ASSERT_EQ(rows.words.size(), 40u);
    EXPECT_EQ(rows.words[31].y, 8.0f);
    EXPECT_EQ(rows.words[31].x + k_advance, 2000.0f - 16.0f);
    EXPECT_EQ(rows.words[32].y, 24.0f);
    EXPECT_EQ(rows.words[32].x, 16.0f);
}

TEST_F(TextWindowLayout, JustificationSpreadsTheSlackOverTheGaps)
{
    struct justify_case {
        std::vector<int32_t> widths;
        float space;
        std::vector<int32_t> offsets;
    };
    // Three words of 30 with two gaps of 8 take 106 pixels.
    const justify_case cases[] = {
        {{30, 30, 30}, 113.0f, {0, 4, 7}},       // slack 7: 4 + 3
        {{30, 30, 30}, 114.0f, {0, 4, 8}},       // slack 8: 4 + 4
        {{30, 30, 30}, 103.0f, {0, -2, -3}},     // slack -3: -2 - 1
        {{30, 30, 30}, 113.9f, {0, 4, 7}},       // the slack is truncated
        {{10, 10, 10, 10}, 69.0f, {0, 2, 4, 5}}, // slack 5 over 3 gaps: 2 + 2 + 1
        {{50}, 10.0f, {0}},                      // a single word stays
    };
    for (const justify_case& c : cases) {
        std::vector<int32_t> got(c.widths.size(), 99);
        justify_offsets(c.widths.data(), int32_t(c.widths.size()), c.space, got.data());
        EXPECT_EQ(got, c.offsets) << "space " << c.space;
    }
}

TEST_F(TextWindowLayout, PicturesConditionsAndTheBreak)
{
    // The pictures are the parse's to load; they are set here after it.
    load("^o1 a.tga ^o1 b.tga ^o1 c.tga x", 100.0f, 0.0f, 300.0f, 300.0f);
    window_->pictures[0] = texture("tall", 16, 41);  // half of 41 is 20
    window_->pictures[1] = texture("short", 16, 30);
    window_->picture_count = 2;
    window_->alpha = 0.75f;
    window_->draw_rect = 0;
    device_->clear_recording();
    EXPECT_EQ(run_text_window(window_.get()), 86.0f);  // 16 + 20 + 20 + 15 + 15; the third places nothing
    std::vector<drawn_piece> drawn = pieces();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_NEAR(drawn[0].centre.x, 200.0f, 0.01f);
    EXPECT_NEAR(drawn[0].centre.y, 36.0f, 0.01f);
    EXPECT_NEAR(drawn[1].centre.y, 71.0f, 0.01f);
    EXPECT_FLOAT_EQ(drawn[1].alpha, 0.75f);

    // The first pass moves the pen the same but draws nothing.
    window_->first_pass = 1;
    device_->clear_recording();
    EXPECT_EQ(run_text_window(window_.get()), 86.0f);
    EXPECT_TRUE(pieces().empty());

    g_script_links.last_flag_value = [](const char*, int32_t* value) {
        *value = 2;
        return true;
    };
    struct condition_case {
        const char* text;
        std::vector<std::string> shown;
    };
    const condition_case cases[] = {
        {"^if flagstate.door = 2 ^then A ^endif B", {"A", "B"}},
        {"^if flagstate.door = 3 ^then A ^endif B", {"B"}},
        {"^if flagstate.door = 3 ^then A B", {}},          // no "^endif": the rest is hidden
        {"A ^break B", {}},                               // the row broken off is not handed out
        {"A ^endif ^0 ^then ^unknown", {"A", "^unknown"}},  // a "^" word no pass knows is a word
    };
    for (const condition_case& c : cases) {
        load(c.text, 0.0f, 0.0f, 400.0f, 30.0f);
        std::vector<std::string> shown;
        for (const placed& p : lay_out().words)
            shown.push_back(p.word);
        EXPECT_EQ(shown, c.shown) << c.text;
    }
    EXPECT_NE(log_text().find("neukoncena vetva"), std::string::npos);
}

TEST_F(TextWindowLayout, FrameOfSmallAndLargeWindows)
{
    device_texture* surface[6];
    for (int k = 0; k < 6; ++k) {
        g_interface.text_frame[k] = uint16_t(texture(("frame" + std::to_string(k)).c_str(), 64, 64));
        surface[k] = g_textures[g_interface.text_frame[k]].surface;
    }
    // Height 50 without a dialogue: an outline under and over the fill, no frame pieces.
    load("^p_pohyb 0.25 0", 100.0f, 100.0f, 388.0f, 150.0f);
    run_text_window(window_.get());
    EXPECT_TRUE(pieces().empty());
    const std::vector<drawn_line> outline = lines();
    ASSERT_EQ(outline.size(), 8u);
    EXPECT_FLOAT_EQ(outline[0].colour.a, 0.4f);
    EXPECT_FLOAT_EQ(outline[0].colour.r, 0.6f);

    // Height 51: the eight pieces in order; edges repeat while k < (size / 64 - 2), here 2.5
    // across and 0.8 down, so three and one.
    window_->y2 = 100.0f + 51.0f + 128.0f;  // 179 high: 0.796875 down
    device_->clear_recording();
    run_text_window(window_.get());
    struct piece_case {
        int slot;
        float x, y;
        bool mirrored;
    };
    const piece_case expected[] = {
        {5, 132, 132, false}, {1, 196, 116, false}, {1, 260, 116, false}, {1, 324, 116, false},
        {5, 356, 132, true},  {3, 115.75f, 196, false}, {3, 372.25f, 196, true}, {4, 132, 247, false},
        {0, 196, 263, false}, {0, 260, 263, false}, {0, 324, 263, false}, {4, 356, 247, true},
    };
    const std::vector<drawn_piece> drawn = pieces();
    ASSERT_EQ(drawn.size(), std::size(expected));
    for (size_t k = 0; k < drawn.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(drawn[k].texture, surface[expected[k].slot]);
        EXPECT_NEAR(drawn[k].centre.x, expected[k].x, 0.01f);
        EXPECT_NEAR(drawn[k].centre.y, expected[k].y, 0.01f);
        EXPECT_EQ(drawn[k].mirrored, expected[k].mirrored);
        EXPECT_FLOAT_EQ(drawn[k].alpha, 1.0f);
        // The inset, then the frame offset as "^p_pohyb" of the run before left it.
        EXPECT_NEAR(drawn[k].u_left, (expected[k].mirrored ? 1 - 0.008f : 0.008f) + 0.25f, 1e-5);
    }
    // A window far beyond any screen draws at most a screenful of edge pieces, and ends.
    window_->x1 = -1.0e30f;
    window_->x2 = 1.0e30f;
    device_->clear_recording();
    run_text_window(window_.get());
    EXPECT_LE(pieces().size(), 2 * (1024 / 64 + 4) + 2 * (768 / 64 + 4) + 4);
    // One wholly before the screen draws no piece along that edge.
    window_->x1 = -1.0e30f;
    window_->x2 = -1.0e29f;
    device_->clear_recording();
    run_text_window(window_.get());
    EXPECT_LE(pieces().size(), 2 * (768 / 64 + 4) + 4);
    window_->x1 = 100.0f;
    window_->x2 = 388.0f;

    // A dialogue makes even a low window a framed one; no frame in the first pass or when the
    // window draws no rectangle.
    window_->y2 = 150.0f;
    g_dialogue_running = 1;
    device_->clear_recording();
    run_text_window(window_.get());
    EXPECT_EQ(pieces().size(), 10u);  // no side edges: they repeat while k < -1.2
    window_->draw_rect = 0;
    device_->clear_recording();
    run_text_window(window_.get());
    EXPECT_TRUE(device_->draws().empty());
}

TEST_F(TextWindowLayout, AWindowsFillHidesWhatLiesBehindItsText)
{
    // The fill of a window whose markup asks for any opacity is opaque; one of opacity 0 shows
    // nothing. Its place is the window's rectangle.
    const auto fill_alphas = [&] {
        std::vector<float> out;
        for (const recorded_draw& d : device_->draws())
            if (d.type == primitive_type::triangle_strip && d.vertex_count == 4) {
                const lit_vertex* v = device_->vertices_of(d);
                const pixel_point a = pixel_of(v[0]), b = pixel_of(v[3]);
                if (std::fabs(std::min(a.x, b.x) - 100.0f) < 0.5f && std::fabs(std::max(a.y, b.y) - 150.0f) < 0.5f)
                    out.push_back(device_->material_of(d).diffuse.a);
            }
        return out;
    };
    for (const char* markup : {"^gl_a 0.6 word", "^gl_a 0.2 word", "^gl_a 0 word"}) {
        SCOPED_TRACE(markup);
        load(markup, 100.0f, 100.0f, 388.0f, 150.0f);
        device_->clear_recording();
        run_text_window(window_.get());
        EXPECT_EQ(fill_alphas(), std::vector<float>{window_->alpha > 0.0f ? 1.0f : 0.0f});
    }
}

TEST_F(TextWindowLayout, LinksRegisterHoverAndUnderline)
{
    // "^lnst" links are not registered in the first pass, "^ln" ones always; a 17th is ignored.
    const std::string two = "intro ^lnst go on ^lnend next.txt ^ln solo there.txt";
    load(two, 0.0f, 0.0f, 400.0f, 30.0f, true);
    lay_out();
    ASSERT_EQ(window_->link_count, 1);
    EXPECT_EQ(window_->links[0].first_word, 7);
    EXPECT_EQ(window_->links[0].end_word, 8);
    EXPECT_EQ(window_->links[0].target_word, 8);
    window_->first_pass = 0;
    lay_out();
    ASSERT_EQ(window_->link_count, 2);
    EXPECT_EQ(window_->links[0].first_word, 2);
    EXPECT_EQ(window_->links[0].end_word, 4);
    EXPECT_EQ(window_->links[0].target_word, 5);
    EXPECT_EQ(window_->links[0].x, 16.0f + 5 * k_advance + 8);
    std::string seventeen;
    for (int k = 0; k < 17; ++k)
        seventeen += "^lnst x ^lnend t" + std::to_string(k) + " ";
    load(seventeen + "^ln y last", 0.0f, 0.0f, 400.0f, 30.0f);
    lay_out();
    EXPECT_EQ(window_->link_count, 16);
    EXPECT_STREQ(window_->words[window_->links[15].target_word], "t15");

    // Numbered options, the first wrapping: words of 60 pixels, lines end at x2 - 16 = 234.
    // Link 0 at y 8: "1." and two words fit (16 to 180), the third wraps to the next line, where
    // hover and underline start at x1 + 39 while placement goes on from x1 + 31.
    // "^l" starts the next line at x1 + 16 even inside a link, and no word after a link's start
    // joins a row.
    load("^lnst aaaaaa ^l ^lnend one ^ln bb two cc", 0.0f, 0.0f, 250.0f, 30.0f);
    EXPECT_TRUE(lay_out().words.empty());
    EXPECT_EQ(window_->links[1].x, 16.0f);
    EXPECT_EQ(window_->links[1].y, 24.0f);

    load("^lnst 1. aaaaaa bbbbbb cccccc dddddd ^lnend one ^lnst 2. eeeeee ^lnend two", 0.0f, 0.0f, 250.0f, 30.0f);
    lay_out();
    ASSERT_EQ(window_->link_count, 2);
    EXPECT_EQ(window_->links[0].y, 8.0f);
    EXPECT_EQ(window_->links[1].x, 31.0f + 68 + 68);  // after "dddddd" on the wrapped line
    EXPECT_EQ(window_->links[1].y, 24.0f);
    struct hover_case {
        float x, y;
        bool over0, over1;
    };
    const hover_case hovers[] = {
        {20, 10, true, false},   // the first line of link 0
        {233, 10, true, false},  // a wrapped line reaches x2 - 16
        {41, 30, true, false},   // its wrapped line starts at x1 + 39
        {37, 30, false, false},
        {40, 44, false, true},   // link 1 on the line after link 0's last
        {20, 25, false, false},  // the bounds are open: y 8 + 17, and x 16 + 23 on the next line
        {111, 45, false, true},  // link 1 ends after its last word's gap: 16 + 28 + 68
        {113, 45, false, false},
    };
    for (const hover_case& h : hovers) {
        g_mouse_screen_x = h.x, g_mouse_screen_y = h.y;
        bool over[k_window_links];
        layout_link_hover(*window_, &g_font_large, over);
        EXPECT_EQ(over[0], h.over0) << h.x << ", " << h.y;
        EXPECT_EQ(over[1], h.over1) << h.x << ", " << h.y;
    }

    // Underlines: red under the pointer, white otherwise, half transparent; the numbers left
    // out (16 + 20 + 10 = 46).
    g_mouse_screen_x = 60.0f, g_mouse_screen_y = 42.0f;
    window_->draw_rect = 0;
    device_->clear_recording();
    run_text_window(window_.get());
    const std::vector<drawn_line> drawn = lines();
    ASSERT_EQ(drawn.size(), 3u);
    const float expected[3][4] = {{46, 24, 234, 24}, {39, 40, 39 + 68 + 68 - 8, 40}, {46, 56, 46 + 60, 56}};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(drawn[k].from.x, expected[k][0], 0.01f) << k;
        EXPECT_NEAR(drawn[k].from.y, expected[k][1], 0.01f) << k;
        EXPECT_NEAR(drawn[k].to.x, expected[k][2], 0.01f) << k;
        EXPECT_FLOAT_EQ(drawn[k].colour.a, 0.5f);
        EXPECT_FLOAT_EQ(drawn[k].colour.g, k == 2 ? 0.0f : 1.0f) << k;
    }
    // No underline in the first pass or when nothing is drawn.
    window_->no_draw = 1;
    device_->clear_recording();
    run_text_window(window_.get());
    EXPECT_TRUE(lines().empty());
}

TEST_F(TextWindowLayout, DialogueFirstPassMovesTheWindowAndOverText)
{
    load("one two ^l three", 10.0f, 20.0f, 400.0f, 300.0f, true);
    EXPECT_EQ(run_text_window(window_.get()), 52.0f);  // 20 + 16, then a line down
    EXPECT_EQ(window_->y1, 20.0f);                     // no dialogue: the window stays
    EXPECT_EQ(window_->first_pass, 1u);

    g_dialogue_running = 1;
    EXPECT_EQ(run_text_window(window_.get()), 52.0f);
    EXPECT_EQ(window_->y1, 768.0f - (52.0f - 20.0f + 96.0f));
    EXPECT_EQ(window_->y2, 768.0f - 46.0f);
    EXPECT_EQ(window_->first_pass, 0u);
    const float moved = window_->y1;
    EXPECT_EQ(run_text_window(window_.get()), moved + 8 + 16);  // later passes leave it
    EXPECT_EQ(window_->y1, moved);

    // "^add_over_text": the last character of that key name speaks the words, cut at 99.
    g_char_count = 3;
    for (int slot = 0; slot < 3; ++slot) {
        g_chars[slot] = char_record{};
        std::snprintf(g_chars[slot].name, sizeof g_chars[slot].name, slot == 0 ? "hero" : "Guard");
    }
    std::string words;
    for (int k = 0; k < 30; ++k)
        words += "word" + std::to_string(k) + " ";
    load("before ^add_over_text guard " + words + "^endover after", 0.0f, 0.0f, 400.0f, 300.0f);
    layout_result result;
    const recorder r = lay_out(&result);
    EXPECT_EQ(result.speaker, 2);
    EXPECT_EQ(std::strlen(result.over_text), 99u);
    EXPECT_EQ(std::string(result.over_text).substr(0, 13), "word0 word1 w");
    ASSERT_EQ(r.words.size(), 2u);
    EXPECT_EQ(r.words[1].word, "after");
    run_text_window(window_.get());
    EXPECT_EQ(std::string(g_chars[2].speech).substr(0, 12), "word0 word1 ");
    EXPECT_EQ(g_chars[1].speech[0], '\0');

    // Without "^endover" the pass stops there: 0, no speech, the window not moved.
    g_chars[2].speech[0] = '\0';
    load("before ^add_over_text guard hello", 0.0f, 0.0f, 400.0f, 300.0f, true);
    EXPECT_EQ(run_text_window(window_.get()), 0.0f);
    EXPECT_EQ(g_chars[2].speech[0], '\0');
    EXPECT_EQ(window_->y1, 0.0f);
    EXPECT_EQ(window_->first_pass, 1u);
    EXPECT_NE(log_text().find("neukonceny over text"), std::string::npos);
}

} // namespace
