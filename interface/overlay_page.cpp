#include "interface/overlay_page.h"

#include "core/game_globals.h"
#include "core/game_interface.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "script/text_window.h"

namespace {

constexpr float k_inset = 0.008f;
constexpr int32_t k_upside_down = 1;
constexpr int32_t k_mirrored = 2;

// The frame pieces' places in g_interface.save_load_frame.
enum frame_piece : int {
    f_bottom_corner, f_top_corner, f_bottom_bar, f_top_bar, f_side_bar, f_joint, f_joint_2, f_line
};

void draw_piece(uint16_t slot, const overlay_origin& o, float x, float y, float alpha, int32_t flip,
                float inset = k_inset)
{
    if (slot != k_no_texture_slot)
        draw_texture_screen(slot, o.x + x, o.y + y, alpha, 1.0f, flip, 0.0f, 0.0f, inset, 1.0f, 1.0f, 1.0f);
}

void draw_frame_piece(frame_piece piece, const overlay_origin& o, float x, float y, int32_t flip = 0)
{
    draw_piece(g_interface.save_load_frame[piece], o, x, y, 1.0f, flip);
}

} // namespace

overlay_origin overlay_page_origin(int32_t height)
{
    return {float((g_screen_width - k_overlay_page_width) / 2), float((g_screen_height - height) / 2)};
}

void clear_overlay_message()
{
    reset_text_window(&g_message_window);
    g_message_shown = 0;
}

void draw_overlay_page(const overlay_origin& o, int32_t height)
{
    // An opaque ground first: the world does not show through the page's texts.
    draw_screen_rect_textured(o.x, o.y, o.x + float(k_overlay_page_width), o.y + float(height), 0.1f, 0.1f, 0.1f, 1.0f);
    const int rows = height / 64;
    for (int c = 0; c < 12; ++c)
        for (int r = 0; r < rows; ++r)
            draw_piece(g_interface.text_background, o, float(32 + 64 * c), float(32 + 64 * r), 0.5f, 0);

    const float right = float(k_overlay_page_width - 16), bottom = float(height - 16);
    draw_frame_piece(f_top_corner, o, 16.0f, 16.0f);
    draw_frame_piece(f_top_corner, o, right, 16.0f, k_mirrored);
    for (int i = 0; i < 22; ++i)
        draw_frame_piece(f_top_bar, o, float(48 + 32 * i), 16.0f);
    for (int i = 0; i < (height - 64) / 32; ++i) {
        draw_frame_piece(f_side_bar, o, 16.0f, float(48 + 32 * i));
        draw_frame_piece(f_side_bar, o, right, float(48 + 32 * i), k_mirrored);
    }
    draw_frame_piece(f_bottom_corner, o, 16.0f, bottom);
    draw_frame_piece(f_bottom_corner, o, right, bottom, k_mirrored);
    for (int i = 0; i < 22; ++i)
        draw_frame_piece(f_bottom_bar, o, float(48 + 32 * i), float(height - 11));
}

void draw_overlay_divider(const overlay_origin& o, float joint_x, int32_t height)
{
    draw_frame_piece(f_joint, o, joint_x, 38.0f);
    for (int i = 0; i < (height - 96) / 32; ++i)
        draw_frame_piece(f_line, o, joint_x + 3.0f, float(70 + 32 * i));
    draw_frame_piece(f_joint, o, joint_x, float(height - 38), k_upside_down);
}

void draw_overlay_image(const overlay_origin& o, uint16_t slot, float x, float y, int32_t flip)
{
    draw_piece(slot, o, x, y, 1.0f, flip, 0.0f);
}

bool overlay_cursor_in(const overlay_origin& o, float x1, float y1, float x2, float y2)
{
    const float x = g_mouse_screen_x - o.x, y = g_mouse_screen_y - o.y;
    return x > x1 && x < x2 && y > y1 && y < y2;
}

bool overlay_latched_press(bool over, uint32_t button, uint32_t& latch)
{
    return over && press_edge(button, latch);
}

bool draw_overlay_button(const overlay_origin& o, overlay_button button, float x, float y, float x1, float y1,
                         float x2, float y2)
{
    const bool over = overlay_cursor_in(o, x1, y1, x2, y2);
    draw_overlay_image(o, g_interface.save_load_buttons[2 * button + (over ? 1 : 0)], x, y);
    return over;
}
