// The layout of a text window's words, shared by the run pass and the draw pass so that both put
// every word, picture and option link in the same place.
//
// A walk over the words starts the pen at x1 + 16 and at y1 + 16 (y1 + 8 in a window at most
// 100 pixels high), with a fixed line height of 16 whatever the font. Each plain word is measured
// with font_text_width in the look in use and followed by an 8-pixel gap; a word that would end
// past x2 - 16 - 8 first ends the line (the next starts at x1 + 16, or x1 + 31 inside an option
// link), and a word wider than the line is placed at a line start and sticks out. A full line is
// justified to end at x2 - 16; the line before "^l" and the last line are not. A row holds at most
// 32 words: a 33rd ends the line early. Words inside option links never join a row.
//
// The walk itself handles the layout commands ("^l", "^set_x", "^set_y", "^c", "^gl_a",
// "^italic", "^normal", "^p_pohyb", "^o1", "^break"), the condition blocks, the option links and
// the over text of "^add_over_text"; every other command the passes know goes to the caller, and
// a "^" word that they do not know is a plain word. Every y handed out has the window's vertical
// scroll offset taken off.
#pragma once

#include "script/text_window.h"

#include <cstdint>

struct font_record;
struct markup_keyword;

constexpr int k_layout_row_words = 32;
constexpr float k_layout_line_height = 16.0f;
constexpr int k_over_text_size = 100;  // the over text holds at most 99 characters

// A word of a row: where it goes and the colour that was current when it was placed (each
// channel of the window's colour times 255, truncated and held to 0 to 255).
struct layout_row_word {
    int16_t word;
    int32_t width;
    float x;
    uint8_t red, green, blue;
};

struct layout_row {
    layout_row_word words[k_layout_row_words];
    int32_t count;
};

// What a pass does with what the walk places.
class layout_visitor {
public:
    virtual ~layout_visitor() = default;
    // A finished line, its words at their final x (justified when `justified`), its top at y.
    virtual void line(const layout_row& row, float y, bool justified);
    // Picture `index` of the window, centred on (x, y).
    virtual void picture(int32_t index, float x, float y);
    // A command the walk leaves to the pass, with its keyword at word `index`; the walk goes on
    // after its argument words. True ends the word loop at once, as "^break" does.
    virtual bool command(const markup_keyword& keyword, int32_t index);
};

struct layout_result {
    float pen_y;              // the top of the last line
    bool broken;              // the word loop was ended by "^break" or a command
    bool unterminated_over_text;  // "^add_over_text" without "^endover": the walk stopped there
    int32_t speaker;          // the character slot of the last "^add_over_text", -1 none
    char over_text[k_over_text_size];  // its words, each followed by one blank, cut at 99
};

// Walks the window's words with the font (already begun by the caller) from the start values:
// the window's colour becomes (1, 1, 1, 1) and its link count 0, the font upright. Option links
// are registered into the window's link table, except those of "^lnst" and "^lnstart" while the
// first-pass flag is set; a 17th link is ignored. Unless the loop is broken, the last row goes to
// the visitor as an unjustified line.
layout_result lay_out_text_window(text_window* window, font_record* font, layout_visitor& visitor);

// Pen start of a window: its x and y.
float layout_start_x(const text_window& window);
float layout_start_y(const text_window& window);

// The extra pixels of each word of a full row of n words (1 to 32) with the given widths, spread
// so that the row fills `space` pixels: offsets[k] is the sum of the bonuses of words 1 to k,
// offsets[0] 0. The slack (space minus the widths and the 8-pixel gaps) is truncated to 16
// bits; each gap gets the slack divided by n - 1, and the remainder r goes one pixel each to the
// first r gaps when 0 < r < n, else all to the first gap.
void justify_offsets(const int32_t* widths, int32_t n, float space, int32_t* offsets);

// Which option links the pointer (g_mouse_screen_x, g_mouse_screen_y) is over. The links lie
// one below the other from link 0's y, each wrapping at x2 - 16 onto lines that start at
// x1 + 39. All false while the first-pass flag is set.
void layout_link_hover(const text_window& window, font_record* font, bool over[k_window_links]);

// The width of word i of the window in the font's look in use; 0 for a word outside the text.
int32_t layout_word_width(const text_window& window, font_record* font, int32_t i);

// The lines of option link i, the first at line y `y`: fn(start x, end x, y, last) for each. A
// line starts at x1 + 16, a wrapped one at x1 + 39; the first `skip_words` words of the link
// are passed over, each moving the start right by its width and 10. A line ends at x2 - 16 when
// the next word wraps, the last one at the pen after its last word and gap. Returns the y of the
// line after the link.
template <class Fn>
float for_each_link_line(const text_window& window, font_record* font, int32_t i, int32_t skip_words, float y, Fn fn)
{
    const window_link& link = window.links[i];
    float start = window.x1 + 16.0f;
    int32_t word = link.first_word;
    for (int32_t k = 0; k < skip_words && word < link.end_word; ++k, ++word)
        start += float(layout_word_width(window, font, word)) + 10.0f;
    float x = start;
    const float right = window.x2 - 16.0f;
    for (; word < link.end_word; ++word) {
        const float width = float(layout_word_width(window, font, word));
        if (x + width + 8.0f > right) {
            fn(start, right, y, false);
            y += k_layout_line_height;
            start = x = window.x1 + 39.0f;
        }
        x += width + 8.0f;
    }
    fn(start, x, y, true);
    return y + k_layout_line_height;
}

// Widths of a window, by the layout above, for a text of plain words ("^" words are not
// counted) in the text windows' font: one that holds every word on one line, and one whose
// line is as wide as the widest word.
int32_t window_width_for_one_line(const char* text);
int32_t window_width_for_widest_word(const char* text);
