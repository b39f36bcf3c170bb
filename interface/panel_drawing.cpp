#include "interface/panel_drawing.h"

#include "core/game_globals.h"
#include "core/input_state.h"
#include "engine/primitives.h"
#include "engine/quads.h"

namespace {

constexpr float k_cell_side = 32.0f;
constexpr float k_tint_alpha = 0.2f;

struct tint {
    float r, g, b;
};
// Damage types 4 to 7.
constexpr tint k_tints[4] = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.5f, 0.5f, 1.0f}, {0.0f, 1.0f, 0.0f}};

void draw_centred(uint16_t texture, float x, float y)
{
    if (texture == k_no_texture_slot)
        return;
    draw_texture_screen(texture, k_panel_x0 + x + 16.0f, k_panel_y0 + y + 16.0f, 1.0f, 1.0f, 0, 0.0f, 0.0f, 0.0f,
                        1.0f, 1.0f, 1.0f);
}

} // namespace

bool cursor_in(float x1, float y1, float x2, float y2)
{
    const float x = g_mouse_screen_x - k_panel_x0;
    const float y = g_mouse_screen_y - k_panel_y0;
    return x >= x1 && x < x2 && y >= y1 && y < y2;
}

bool cursor_strictly_in(float x1, float y1, float x2, float y2)
{
    const float x = g_mouse_screen_x - k_panel_x0;
    const float y = g_mouse_screen_y - k_panel_y0;
    return x > x1 && x < x2 && y > y1 && y < y2;
}

void draw_cell_background(float x, float y)
{
    draw_centred(g_interface.slot_box, x, y);
}

void draw_damage_tint(float x, float y, uint8_t damage_type)
{
    if (damage_type < 4 || damage_type > 7)
        return;
    const tint& t = k_tints[damage_type - 4];
    const float sx = k_panel_x0 + x;
    const float sy = k_panel_y0 + y;
    draw_colored_rect(sx, sy, sx + k_cell_side, sy + k_cell_side, t.r, t.g, t.b, k_tint_alpha, k_rect_plain);
}

void draw_cell_icon(uint16_t texture, float x, float y)
{
    draw_centred(texture, x, y);
}
