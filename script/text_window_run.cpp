// The run pass of a text window: its background and frame, its pictures, the run-time commands
// (script/run_time_commands.h), the layout and the option links' underlines; a dialogue's first
// pass moves the window to the bottom of the screen.
#include "script/text_window.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/fonts.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "script/markup_keywords.h"
#include "script/run_time_commands.h"
#include "script/text_window_layout.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float k_piece_size = 64.0f;
constexpr float k_frame_inset = 0.008f;
constexpr int32_t k_mirrored = 2;

// The frame pieces in the game interface's slots.
enum frame_piece { bottom_edge, top_edge, top_edge_2, side_edge, bottom_corner, top_corner };

void draw_piece(const text_window& w, frame_piece piece, float x, float y, bool mirrored)
{
    const uint16_t slot = g_interface.text_frame[piece];
    if (slot == k_no_texture_slot)
        return;
    draw_texture_screen(slot, x, y, 1.0f, 1.0f, mirrored ? k_mirrored : 0, w.frame_offset[0], w.frame_offset[1],
                        k_frame_inset, 1.0f, 1.0f, 1.0f);
}

// Pieces at first + 64k for k = 0, 1, ... while k < count, leaving out those that lie wholly off
// a screen of `screen` pixels along the edge, so that any rectangle costs at most a screenful.
template <class Draw>
void repeat_along(double first, double count, double screen, Draw draw)
{
    if (!std::isfinite(first) || std::isnan(count) || !std::isfinite(screen))
        return;
    const double k = std::max(0.0, std::floor((-k_piece_size - first) / k_piece_size));
    const double end = std::min(count, std::ceil((screen + k_piece_size - first) / k_piece_size));
    // Counted in whole steps (at a huge k adding 1 would no longer change it), never more than the
    // screen holds; none when the rectangle ends before the screen begins.
    const double pieces =
        std::clamp(std::ceil(end - k), 0.0, std::ceil(std::max(screen, 0.0) / k_piece_size) + 4.0);
    for (int64_t i = 0; i < int64_t(pieces); ++i)
        draw(float(first + k_piece_size * (k + double(i))));
}

void draw_frame(const text_window& w)
{
    const bool small = w.y2 - w.y1 <= 50.0f && !g_dialogue_running;
    const bool outline = small && w.alpha != 0.0f;
    if (outline)
        draw_screen_rect_outline(w.x1, w.y1, w.x2, w.y2, 0.6f, 0.6f, 0.6f, 0.4f);
    // A window with any fill hides what lies behind its text.
    draw_screen_rect_textured(w.x1, w.y1, w.x2, w.y2, 0.1f, 0.1f, 0.1f, w.alpha > 0.0f ? 1.0f : 0.0f);
    if (outline)
        draw_screen_rect_outline(w.x1, w.y1, w.x2, w.y2, 0.6f, 0.6f, 0.6f, 0.4f);
    if (small)
        return;
    const double across = double(w.x2 - w.x1) / k_piece_size - 2.0;
    const double down = double(w.y2 - w.y1) / k_piece_size - 2.0;
    const double screen_w = g_screen_width, screen_h = g_screen_height;
    draw_piece(w, top_corner, w.x1 + 32.0f, w.y1 + 32.0f, false);
    repeat_along(w.x1 + 96.0, across, screen_w, [&](float x) { draw_piece(w, top_edge, x, w.y1 + 16.0f, false); });
    draw_piece(w, top_corner, w.x2 - 32.0f, w.y1 + 32.0f, true);
    repeat_along(w.y1 + 96.0, down, screen_h, [&](float y) { draw_piece(w, side_edge, w.x1 + 15.75f, y, false); });
    repeat_along(w.y1 + 96.0, down, screen_h, [&](float y) { draw_piece(w, side_edge, w.x2 - 15.75f, y, true); });
    draw_piece(w, bottom_corner, w.x1 + 32.0f, w.y2 - 32.0f, false);
    repeat_along(w.x1 + 96.0, across, screen_w,
                 [&](float x) { draw_piece(w, bottom_edge, x, w.y2 - 16.0f, false); });
    draw_piece(w, bottom_corner, w.x2 - 32.0f, w.y2 - 32.0f, true);
}

bool shows_drawing(const text_window& w)
{
    return !w.first_pass && !w.no_draw;
}

// The run pass's share of the walk: it draws the pictures and carries out the run-time commands.
class run_pass : public layout_visitor {
public:
    explicit run_pass(text_window& w) : w_(w) {}

    void picture(int32_t index, float x, float y) override
    {
        if (shows_drawing(w_))
            draw_texture_screen(w_.pictures[index], x, y, w_.alpha, 1.0f, 0, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
    }

    bool command(const markup_keyword& keyword, int32_t index) override
    {
        return run_time_command(&w_, keyword, index);
    }

private:
    text_window& w_;
};

// Each link underlined, red under the pointer and white otherwise; a numbered option's number
// is left out.
void draw_link_underlines(const text_window& w, font_record* font)
{
    bool over[k_window_links];
    layout_link_hover(w, font, over);
    const int32_t count = std::min<int32_t>(w.link_count, k_window_links);
    const bool numbered = count > 0 && w.words[w.links[0].first_word][0] == '1';
    float y = w.links[0].y;
    for (int32_t i = 0; i < count; ++i) {
        const float green_blue = over[i] ? 0.0f : 1.0f;
        y = for_each_link_line(w, font, i, numbered ? 1 : 0, y, [&](float start, float end, float line_y, bool last) {
            draw_screen_line(start, line_y + 16.0f, last ? end - 8.0f : end, line_y + 16.0f, 1.0f, green_blue,
                             green_blue, 0.5f);
        });
    }
}

} // namespace

float run_text_window(text_window* window)
{
    text_window& w = *window;
    if (w.draw_rect && shows_drawing(w))
        draw_frame(w);
    font_record* font = &g_font_large;
    font_begin(font);
    font_set_normal(font);
    run_pass pass(w);
    const layout_result result = lay_out_text_window(&w, font, pass);
    if (result.unterminated_over_text) {
        font_end(font);
        return 0.0f;
    }
    if (!result.broken) {
        if (shows_drawing(w))
            draw_link_underlines(w, font);
        if (g_dialogue_running && w.first_pass) {
            w.y1 = float(g_screen_height) - (result.pen_y - w.y1 + 96.0f);
            w.y2 = float(g_screen_height) - 46.0f;
            w.first_pass = 0;
        }
    }
    font_end(font);
    if (result.speaker >= 0)
        char_say(result.speaker, result.over_text);
    return result.pen_y;
}
