// What the interface's lists share: names cut to the room of a row, and the scroll bar made of
// the list widgets (g_interface.list_widgets).
#pragma once

#include <cstddef>
#include <cstdint>

struct font_record;

// Text wider than `room` pixels in the font is cut as if one character at a time were removed
// from its end (the first cut removes one) until the rest is no wider than `room`, then "..." is
// appended. The text is terminated in a buffer of `size` bytes (at least 4); the cut text always
// fits it.
void cut_to_width(font_record* font, char* text, size_t size, int32_t room);

// The list widgets' places in g_interface.list_widgets.
enum list_widget : int {
    k_list_divider, k_list_slot_box, k_list_cap, k_list_bar, k_list_slider, k_list_close, k_list_close_lit,
    k_list_arrow, k_list_arrow_lit, k_list_title_plate
};

// Draws the list widget `piece` (its place in g_interface.list_widgets) centred at (x, y) in screen
// pixels, opaque, at its own size; flip 1 turns it upside down.
void draw_list_widget(int piece, float x, float y, int32_t flip);

// A vertical scroll bar in screen pixels: the end piece at (x, top) and, upside down, at
// (x, top + length); `pieces` bar pieces at (x, top + 16 (i + 1)); the up arrow at (x - 7, top - 10)
// and, upside down, the down arrow at (x - 7, top + length + 10), each lit while the cursor lies
// strictly inside the 16 x 16 box around it. Returns -1 (up) or 1 (down) for a press of the left
// button on an arrow, once per press: `latch` is set on the press and cleared when the button is
// up over an arrow. Else 0.
int list_scroll_bar(float x, float top, float length, int pieces, uint32_t& latch);
