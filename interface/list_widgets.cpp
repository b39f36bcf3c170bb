#include "interface/list_widgets.h"

#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/fonts.h"
#include "engine/quads.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t k_upside_down = 1;

// An arrow centred at (x, y): drawn lit or not; true on a new press of the left button over it.
bool arrow_pressed(float x, float y, int32_t flip, uint32_t& latch)
{
    const float mx = g_mouse_screen_x, my = g_mouse_screen_y;
    const bool over = mx > x - 8.0f && mx < x + 8.0f && my > y - 8.0f && my < y + 8.0f;
    draw_list_widget(over ? k_list_arrow_lit : k_list_arrow, x, y, flip);
    return over && press_edge(g_mouse_left, latch);
}

} // namespace

void draw_list_widget(int piece, float x, float y, int32_t flip)
{
    const uint16_t slot = g_interface.list_widgets[piece];
    if (slot != k_no_texture_slot)
        draw_texture_screen(slot, x, y, 1.0f, 1.0f, flip, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f);
}

void cut_to_width(font_record* font, char* text, size_t size, int32_t room)
{
    if (font_measure_text(font, text) <= room)
        return;
    // A width is the sum of its characters' advances, so it grows with the prefix: the longest
    // shorter prefix that fits, which removing one character at a time would reach, is found by
    // halving. `fits` fits (the empty prefix does), `over` does not.
    size_t fits = 0, over = std::strlen(text);
    while (over - fits > 1) {
        const size_t middle = fits + (over - fits) / 2;
        const char kept = text[middle];
        text[middle] = '\0';
        const bool narrow = font_measure_text(font, text) <= room;
        text[middle] = kept;
        (narrow ? fits : over) = middle;
    }
    fits = std::min(fits, size - 4);
    std::memcpy(text + fits, "...", 4);
}

int list_scroll_bar(float x, float top, float length, int pieces, uint32_t& latch)
{
    draw_list_widget(k_list_cap, x, top, 0);
    draw_list_widget(k_list_cap, x, top + length, k_upside_down);
    for (int k = 0; k < pieces; ++k)
        draw_list_widget(k_list_bar, x, top + 16.0f * float(k + 1), 0);
    const bool up = arrow_pressed(x - 7.0f, top - 10.0f, 0, latch);
    const bool down = arrow_pressed(x - 7.0f, top + length + 10.0f, k_upside_down, latch);
    return up ? -1 : down ? 1 : 0;
}
