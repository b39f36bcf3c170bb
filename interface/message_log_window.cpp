#include "interface/message_log_window.h"

#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "interface/container_windows.h"
#include "platform/key_codes.h"

#include <algorithm>

uint32_t g_message_log_tab_latch = 0;
uint32_t g_message_log_height_latch = 0;

namespace {

constexpr float k_width = 512.0f;
constexpr float k_step = 64.0f;             // growth per click on the bottom strip
constexpr float k_first_top = 140.0f;       // the smallest window's top, above the screen bottom
constexpr float k_highest_top = 300.0f;     // no growth once the top is this high
constexpr float k_bottom = 44.0f;           // the window's bottom above the screen bottom
constexpr float k_strip = 16.0f;            // the bottom strip that cycles the height
constexpr float k_tile = 64.0f;
constexpr int k_max_tiles = 64;             // tiles per edge, whatever the rectangle says
constexpr uint32_t k_scroll_ticks = 4;
constexpr int k_line_height = 12;
constexpr int k_rows[4] = {6, 11, 17, 21};
constexpr uint32_t k_colours[4] = {0xC8C8C8, 0x64FFFF, 0x6464FF, 0xFFFFFF};  // grey, yellow, red, white
constexpr int32_t k_mirrored = 2;

// The frame pieces in the interface's text-frame slots.
enum frame_piece { bottom_edge, top_edge, top_edge_2, side_edge, bottom_corner, top_corner };

bool key_down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

void draw_piece(frame_piece piece, float x, float y, bool mirrored)
{
    const uint16_t slot = g_interface.text_frame[piece];
    if (slot == k_no_texture_slot)
        return;
    draw_texture_screen(slot, x, y, 1.0f, 1.0f, mirrored ? k_mirrored : 0, 0.0f, 0.0f, 0.008f, 1.0f, 1.0f, 1.0f);
}

// The count of tiles along an edge of `length` pixels, less the two corners.
int edge_tiles(float length)
{
    int n = 0;
    while (n < k_max_tiles && float(n) < length / k_tile - 2.0f)
        ++n;
    return n;
}

void draw_frame(const message_log& log)
{
    if (!(log.y2 - log.y1 > 50.0f))
        return;
    draw_colored_rect(log.x1, log.y1, log.x2, log.y2, 0.1f, 0.1f, 0.1f, 0.5f, k_rect_plain);
    const int across = edge_tiles(log.x2 - log.x1);
    const int down = edge_tiles(log.y2 - log.y1);
    draw_piece(top_corner, log.x1 + 32.0f, log.y1 + 32.0f, false);
    draw_piece(top_corner, log.x2 - 32.0f, log.y1 + 32.0f, true);
    for (int i = 0; i < across; ++i)
        draw_piece(top_edge, log.x1 + 96.0f + k_tile * float(i), log.y1 + 16.0f, false);
    for (int j = 0; j < down; ++j) {
        draw_piece(side_edge, log.x1 + 16.0f, log.y1 + 96.0f + k_tile * float(j), false);
        draw_piece(side_edge, log.x2 + 7.5f, log.y1 + 96.0f + k_tile * float(j), false);
    }
    draw_piece(bottom_corner, log.x1 + 32.0f, log.y2 - 32.0f, false);
    draw_piece(bottom_corner, log.x2 - 32.0f, log.y2 - 32.0f, true);
    for (int i = 0; i < across; ++i)
        draw_piece(bottom_edge, log.x1 + 96.0f + k_tile * float(i), log.y2 - 16.0f, false);
}

int rows_of(const message_log& log)
{
    return k_rows[std::min<int>(log.size_step, 3)];
}

int64_t line_count(const message_log& log)
{
    return std::min<int64_t>(log.count, k_message_log_lines);
}

// The window takes the pointer (x1 <= x < x2, y1 < y < y2); a click on its bottom strip changes
// the height.
void handle_mouse(message_log& log)
{
    if (!claim_pointer_area({log.x1, log.y1, log.x2, log.y2, k_edge_left}))
        return;
    const float y = g_mouse_screen_y;
    if (y <= log.y2 - k_strip || !g_mouse_left || g_message_log_height_latch)
        return;
    g_message_log_height_latch = 1;
    const float screen_h = float(g_screen_height);
    if (screen_h - k_highest_top < log.y1) {
        log.y1 -= k_step;
        log.size_step = uint8_t(std::min(log.size_step + 1, 3));
    } else {
        log.y1 = screen_h - k_first_top;
        log.size_step = 0;
    }
    log.view_offset = 0;
}

void scroll(message_log& log)
{
    if (!(log.next_scroll_tick < g_ticks))
        return;
    log.next_scroll_tick = g_ticks + k_scroll_ticks;
    const int64_t offset = log.view_offset;
    const int64_t room = line_count(log) - rows_of(log);
    if (key_down(k_key_up) && room > offset && room > 0)
        log.view_offset = uint32_t(offset + 1);
    if (key_down(k_key_down) && offset >= 1)
        log.view_offset = uint32_t(offset - 1);
}

void draw_lines(const message_log& log)
{
    const int64_t count = line_count(log), offset = log.view_offset;
    const int64_t first = count - 1 - offset;
    const int64_t stop = std::max<int64_t>(count - rows_of(log) - 1 - offset, -1);
    if (first <= stop)
        return;
    const int32_t x = int32_t(log.x1 + 25.0f);
    // A line that a container window, drawn later over the log, would cover in part is left out.
    const float covered = container_windows_bottom();
    font_begin(&g_font_small);
    for (int64_t n = first; n > stop; --n) {
        const int32_t y = int32_t(log.y2 - 20.0f + 1.0f - float((count - n - 1 - offset) * k_line_height));
        if (float(y) < covered)
            break;
        const uint8_t colour = log.colours[n];
        char line[k_message_log_width + 1] = {};
        std::copy_n(log.lines[n], k_message_log_width, line);
        font_text_out(&g_font_small, x, y, line, colour < 4 ? k_colours[colour] : k_colours[0]);
    }
    font_end(&g_font_small);
}

} // namespace

void init_message_log(message_log* log)
{
    const float screen_h = float(g_screen_height);
    log->window_shown = 1;
    log->size_step = 0;
    log->view_offset = 0;
    log->x1 = 0.0f;
    log->y1 = screen_h - k_first_top;
    log->x2 = k_width;
    log->y2 = screen_h - k_bottom;
    log->next_scroll_tick = 0;
}

void draw_message_log(message_log* log)
{
    if (!g_mouse_left)
        g_message_log_height_latch = 0;
    if (!key_down(k_key_tab)) {
        g_message_log_tab_latch = 0;
    } else if (!g_message_log_tab_latch) {
        g_message_log_tab_latch = 1;
        log->window_shown = !log->window_shown;
    }
    if (!log->window_shown || g_dialogue_running)
        return;
    handle_mouse(*log);
    draw_frame(*log);
    scroll(*log);
    draw_lines(*log);
}
