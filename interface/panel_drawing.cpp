#include "interface/panel_drawing.h"

#include "core/game_globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "core/pointer_areas.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/list_widgets.h"
#include "interface/side_panel.h"

#include <algorithm>

namespace {

constexpr float k_cell_side = 32.0f;
constexpr float k_tint_alpha = 0.2f;

struct tint {
    float r, g, b;
};
// Damage types 4 to 7.
constexpr tint k_tints[4] = {{1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.5f, 0.5f, 1.0f}, {0.0f, 1.0f, 0.0f}};

constexpr float k_beside_panel = 315.0f;  // a log panel moves right by this for each open panel
constexpr float k_log_panel_top = 45.0f;
constexpr int16_t k_log_panel_frame = 0;  // the panel background of a log panel

bool mouse_left_held()
{
    return g_mouse_left != 0;
}

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

bool cursor_strictly_on_screen(float x1, float y1, float x2, float y2)
{
    const float x = g_mouse_screen_x, y = g_mouse_screen_y;
    return x > x1 && x < x2 && y > y1 && y < y2;
}

bool wait_for_left_release()
{
    return run_hook_or(g_interface_links.wait_until_released, "wait_until_released", true, mouse_left_held);
}

panel_origin log_panel_origin()
{
    panel_origin o{0.0f, k_log_panel_top};
    if (g_interface.side_panel_open)
        o.x += k_beside_panel;
    if (g_interface.character_panel_open)
        o.x += k_beside_panel;
    return o;
}

bool begin_log_panel(const panel_origin& o, void (*close)())
{
    draw_panel_frame(k_log_panel_frame, o.x, o.y, 1.0f);
    if (g_mouse_left && cursor_strictly_on_screen(o.x + 290.0f, o.y + 10.0f, o.x + 305.0f, o.y + 30.0f)) {
        if (!wait_for_left_release())
            return false;
        cancel_item_drag();
        close();
        return false;
    }
    claim_pointer_area(panel_frame_area(k_log_panel_frame, o.x, o.y));
    return true;
}

void update_list_scroll_bar(float x, float top, int32_t n, int32_t shown, int32_t wheel, uint32_t& latch,
                            int32_t& offset)
{
    const int32_t last = n - shown;
    offset = std::clamp(offset, 0, last);
    if ((wheel < 0 && offset > 0) || (wheel > 0 && offset < last))
        offset += wheel < 0 ? -1 : 1;
    const int32_t step = list_scroll_bar(x + 300.0f, top, 114.0f, 6, latch);
    if ((step < 0 && offset > 0) || (step > 0 && offset < last))
        offset += step;
    draw_list_widget(k_list_slider, x + 293.0f, top + 15.0f + float(offset * 86 / last), 0);
}
