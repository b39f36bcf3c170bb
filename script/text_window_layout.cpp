#include "script/text_window_layout.h"

#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/textures.h"
#include "script/markup_keywords.h"
#include "script/script_conditions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace {

// What the walk itself does with a keyword the passes know.
enum class layout_action : uint8_t {
    pass_on,      // the pass's own command
    nothing,      // "^0", "^then", "^endif", "^endover"
    line_break,
    set_y,
    set_x,
    colour,
    alpha,
    italic,
    upright,
    frame_move,
    picture,
    stop,
    condition,
    link_start,
    link_end,
    link_word,
    over_text,
};

struct action_name {
    const char* word;
    layout_action action;
};

constexpr action_name k_actions[] = {
    {"^0", layout_action::nothing},          {"^then", layout_action::nothing},
    {"^endif", layout_action::nothing},      {"^endover", layout_action::nothing},
    {"^l", layout_action::line_break},       {"^set_y", layout_action::set_y},
    {"^set_x", layout_action::set_x},        {"^c", layout_action::colour},
    {"^gl_a", layout_action::alpha},         {"^italic", layout_action::italic},
    {"^normal", layout_action::upright},     {"^p_pohyb", layout_action::frame_move},
    {"^o1", layout_action::picture},         {"^break", layout_action::stop},
    {"^if", layout_action::condition},       {"^lnst", layout_action::link_start},
    {"^lnstart", layout_action::link_start}, {"^lnend", layout_action::link_end},
    {"^ln", layout_action::link_word},       {"^add_over_text", layout_action::over_text},
};

// The walk's action of each keyword of the table, by its position there.
layout_action action_of(const markup_keyword& keyword)
{
    static const auto table = [] {
        const std::span<const markup_keyword> keywords = markup_keywords();
        std::array<layout_action, 256> out{};
        for (size_t i = 0; i < keywords.size() && i < out.size(); ++i)
            for (const action_name& a : k_actions)
                if (markup_equal(keywords[i].word, a.word))
                    out[i] = a.action;
        return out;
    }();
    const size_t index = size_t(&keyword - markup_keywords().data());
    return index < table.size() ? table[index] : layout_action::pass_on;
}

uint8_t colour_byte(float channel)
{
    const float v = channel * 255.0f;
    if (!(v > 0.0f))
        return 0;
    return v >= 255.0f ? 255 : uint8_t(v);
}

class layout_walk {
public:
    layout_walk(text_window* window, font_record* font, layout_visitor& visitor)
        : w_(*window), font_(font), visitor_(visitor),
          count_(std::clamp<int32_t>(window->word_count, 0, k_window_word_limit))
    {
        result_.speaker = -1;
    }

    layout_result run()
    {
        w_.colour[0] = w_.colour[1] = w_.colour[2] = w_.colour[3] = 1.0f;
        w_.link_count = 0;
        pen_x_ = layout_start_x(w_);
        pen_y_ = layout_start_y(w_);
        font_set_normal(font_);
        int32_t i = 0;
        while (i < count_) {
            const markup_keyword* keyword = find_pass_keyword(w_.words[i]);
            if (!keyword) {
                place_word(i);
                ++i;
                continue;
            }
            const int32_t next = i + 1 + keyword->args;
            const layout_action action = action_of(*keyword);
            if (action == layout_action::stop) {
                result_.broken = true;
                break;
            }
            if (action == layout_action::condition) {
                i = next_word_after_condition(&w_, i);
                continue;
            }
            if (action == layout_action::over_text) {
                i = over_text(i);
                if (result_.unterminated_over_text)
                    break;
                continue;
            }
            if (action == layout_action::pass_on) {
                if (visitor_.command(*keyword, i)) {
                    result_.broken = true;
                    break;
                }
            } else {
                act(action, i);
            }
            i = next;
        }
        if (!result_.broken && !result_.unterminated_over_text)
            end_line(false);
        result_.pen_y = pen_y_;
        return result_;
    }

private:
    const char* arg(int32_t i) const { return i < count_ ? w_.words[i] : ""; }
    float y() const { return pen_y_ - w_.scroll_y; }

    void place_word(int32_t i)
    {
        const int32_t width = font_text_width(font_, w_.words[i]);
        const bool row_full = !in_link_ && row_.count == k_layout_row_words;
        if (pen_x_ + float(width) + 8.0f > w_.x2 - 16.0f || row_full) {
            end_line(true);
            pen_y_ += k_layout_line_height;
            pen_x_ = w_.x1 + (in_link_ ? 31.0f : 16.0f);
        }
        if (!in_link_)
            row_.words[row_.count++] = {int16_t(i), width, pen_x_, colour_byte(w_.colour[0]),
                                        colour_byte(w_.colour[1]), colour_byte(w_.colour[2])};
        pen_x_ += float(width) + 8.0f;
    }

    // Hands the row to the visitor (justified when asked) and empties it.
    void end_line(bool justify)
    {
        if (row_.count == 0)
            return;
        if (justify) {
            int32_t widths[k_layout_row_words] = {}, offsets[k_layout_row_words] = {};
            for (int32_t k = 0; k < row_.count; ++k)
                widths[k] = row_.words[k].width;
            justify_offsets(widths, row_.count, w_.x2 - w_.x1 - 32.0f, offsets);
            for (int32_t k = 0; k < row_.count; ++k)
                row_.words[k].x += float(offsets[k]);
        }
        visitor_.line(row_, y(), justify);
        row_.count = 0;
    }

    void act(layout_action action, int32_t i)
    {
        switch (action) {
        case layout_action::line_break:
            end_line(false);
            pen_x_ = w_.x1 + 16.0f;
            pen_y_ += k_layout_line_height;
            break;
        case layout_action::set_y:
            pen_y_ = w_.y1 + markup_float(arg(i + 1));
            break;
        case layout_action::set_x:
            pen_x_ = w_.x1 + markup_float(arg(i + 1));
            break;
        case layout_action::colour:
            for (int c = 0; c < 4; ++c)
                w_.colour[c] = markup_float(arg(i + 1 + c));
            break;
        case layout_action::alpha:
            w_.alpha = markup_float(arg(i + 1));
            break;
        case layout_action::italic:
            font_set_italic(font_);
            break;
        case layout_action::upright:
            font_set_normal(font_);
            break;
        case layout_action::frame_move:
            w_.frame_offset[0] += markup_float(arg(i + 1));
            w_.frame_offset[1] += markup_float(arg(i + 2));
            break;
        case layout_action::picture:
            picture();
            break;
        case layout_action::link_start:
            link_start(i);
            break;
        case layout_action::link_end:
            link_end(i);
            break;
        case layout_action::link_word:
            link_word(i);
            break;
        default:
            break;
        }
    }

    // The next picture of the window: half its height down, centred, then half its height more.
    // A "^o1" beyond the loaded pictures places nothing.
    void picture()
    {
        const int32_t index = pictures_++;
        if (index >= std::min<int32_t>(w_.picture_count, k_window_pictures))
            return;
        const int32_t slot = w_.pictures[index];
        const uint32_t height = slot >= 0 && slot < k_texture_slots ? g_textures[slot].height : 0;
        const float half = float(height / 2);
        pen_y_ += half;
        pen_x_ = w_.x1 + (w_.x2 - w_.x1) / 2.0f;
        visitor_.picture(index, pen_x_, y());
        pen_y_ += half;
    }

    // Links are registered into the entry after the last one; a 17th is ignored.
    window_link* next_link() { return w_.link_count < k_window_links ? &w_.links[w_.link_count] : nullptr; }

    void link_start(int32_t i)
    {
        if (w_.first_pass)
            return;
        in_link_ = true;
        window_link* link = next_link();
        if (!link)
            return;
        link->first_word = int16_t(i + 1);
        link->x = pen_x_;
        link->y = y();
        open_link_ = true;
    }

    // Registers the open link; an "^lnend" with no "^lnst" before it in this pass, or without
    // its target word, registers nothing.
    void link_end(int32_t i)
    {
        if (w_.first_pass || !open_link_ || i + 1 >= count_)
            return;
        window_link* link = next_link();
        open_link_ = false;
        if (!link)
            return;
        link->end_word = int16_t(i);
        link->target_word = int16_t(i + 1);
        ++w_.link_count;
    }

    void link_word(int32_t i)
    {
        window_link* link = next_link();
        if (!link || i + 2 >= count_)
            return;
        *link = {int16_t(i + 1), int16_t(i + 2), int16_t(i + 2), pen_x_, y()};
        ++w_.link_count;
        open_link_ = false;
    }

    // "^add_over_text" speaker words ... "^endover": the speaker is the last character with
    // that key name; returns the word after "^endover".
    int32_t over_text(int32_t i)
    {
        int32_t end = i + 2;
        while (end < count_ && !markup_equal(w_.words[end], "^endover"))
            ++end;
        if (end >= count_) {
            console_log("neukonceny over text");
            result_.unterminated_over_text = true;
            return count_;
        }
        result_.speaker = -1;
        const char* name = arg(i + 1);
        for (uint32_t slot = 0; slot < g_char_count && slot < uint32_t(k_char_slots); ++slot) {
            char key[sizeof g_chars[slot].name + 1] = {};
            std::memcpy(key, g_chars[slot].name, sizeof g_chars[slot].name);
            if (markup_equal(key, name))
                result_.speaker = int32_t(slot);
        }
        size_t length = 0;
        char* text = result_.over_text;
        for (int32_t k = i + 2; k < end; ++k) {
            const size_t word = std::strlen(w_.words[k]);
            const size_t room = k_over_text_size - 1 - length;
            const size_t take = std::min(word, room);
            std::memcpy(text + length, w_.words[k], take);
            length += take;
            if (length < k_over_text_size - 1)
                text[length++] = ' ';
        }
        text[length] = '\0';
        return end + 1;
    }

    text_window& w_;
    font_record* font_;
    layout_visitor& visitor_;
    const int32_t count_;
    float pen_x_ = 0.0f, pen_y_ = 0.0f;
    layout_row row_{};
    bool in_link_ = false;
    bool open_link_ = false;
    int32_t pictures_ = 0;
    layout_result result_{};
};

} // namespace

void layout_visitor::line(const layout_row&, float, bool) {}
void layout_visitor::picture(int32_t, float, float) {}
bool layout_visitor::command(const markup_keyword&, int32_t)
{
    return false;
}

float layout_start_x(const text_window& window)
{
    return window.x1 + 16.0f;
}

float layout_start_y(const text_window& window)
{
    return window.y1 + (window.y2 - window.y1 > 100.0f ? 16.0f : 8.0f);
}

layout_result lay_out_text_window(text_window* window, font_record* font, layout_visitor& visitor)
{
    return layout_walk(window, font, visitor).run();
}

void justify_offsets(const int32_t* widths, int32_t n, float space, int32_t* offsets)
{
    n = std::clamp(n, 0, k_layout_row_words);
    if (n == 0)
        return;
    double total = 8.0 * (n - 1);
    for (int32_t k = 0; k < n; ++k)
        total += widths[k];
    const double exact = std::trunc(double(space) - total);
    // Truncated to 16 bits as a short holds it; a slack outside that range is held to it.
    const int32_t slack = std::isnan(exact) ? 0 : int32_t(int16_t(std::clamp(exact, -32768.0, 32767.0)));
    const int32_t gap = n > 1 ? slack / (n - 1) : 0;
    const int32_t rest = slack - gap * (n - 1);
    int32_t bonus[k_layout_row_words] = {};
    for (int32_t k = 1; k < n; ++k)
        bonus[k] = gap;
    if (rest > 0 && rest < n) {
        for (int32_t k = 1; k <= rest && k < n; ++k)
            bonus[k] += 1;
    } else if (n > 1) {
        bonus[1] += rest;
    }
    offsets[0] = 0;
    for (int32_t k = 1; k < n; ++k)
        offsets[k] = offsets[k - 1] + bonus[k];
}

int32_t layout_word_width(const text_window& window, font_record* font, int32_t i)
{
    if (i < 0 || i >= std::min<int32_t>(window.word_count, k_window_word_limit))
        return 0;
    return font_text_width(font, window.words[i]);
}

void layout_link_hover(const text_window& window, font_record* font, bool over[k_window_links])
{
    std::fill(over, over + k_window_links, false);
    if (window.first_pass)
        return;
    const float cx = g_mouse_screen_x, cy = g_mouse_screen_y;
    float y = window.links[0].y;
    const int32_t count = std::min<int32_t>(window.link_count, k_window_links);
    for (int32_t i = 0; i < count; ++i)
        y = for_each_link_line(window, font, i, 0, y, [&](float start, float end, float line_y, bool) {
            if (start < cx && cx < end && line_y < cy && cy < line_y + 17.0f)
                over[i] = true;
        });
}

namespace {

// The widths of the plain words of the text, in the text windows' font.
std::vector<int32_t> plain_word_widths(const char* text)
{
    std::vector<int32_t> widths;
    std::string word;
    for (const char* p = text;; ++p) {
        if (*p && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
            word += *p;
            continue;
        }
        if (!word.empty() && word[0] != '^')
            widths.push_back(font_text_width(&g_font_large, word.c_str()));
        word.clear();
        if (!*p)
            return widths;
    }
}

} // namespace

int32_t window_width_for_one_line(const char* text)
{
    int32_t width = 32;
    for (int32_t w : plain_word_widths(text))
        width += w + 8;
    return width;
}

int32_t window_width_for_widest_word(const char* text)
{
    const std::vector<int32_t> widths = plain_word_widths(text);
    return 40 + (widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end()));
}
