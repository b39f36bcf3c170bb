#include "core/pointer_areas.h"

#include "core/game_globals.h"
#include "core/input_state.h"

bool pointer_area_holds(const pointer_area& a, float x, float y)
{
    return (a.edges & k_edge_left ? x >= a.x1 : x > a.x1) && (a.edges & k_edge_right ? x <= a.x2 : x < a.x2) &&
           (a.edges & k_edge_top ? y >= a.y1 : y > a.y1) && (a.edges & k_edge_bottom ? y <= a.y2 : y < a.y2);
}

void begin_pointer_areas()
{
    g_interface.pointer_area_count = 0;
    g_interface.mouse_over_ui = 0;
}

bool claim_pointer_area(const pointer_area& a)
{
    game_interface& gi = g_interface;
    if (gi.pointer_area_count < k_pointer_areas)
        gi.pointer_areas[gi.pointer_area_count++] = a;
    if (!pointer_area_holds(a, g_mouse_screen_x, g_mouse_screen_y))
        return false;
    gi.mouse_over_ui = 1;
    return true;
}

bool pointer_taking_window_open()
{
    return g_interface.menu_open || g_interface.attunement_select_open;
}

bool pointer_over_interface()
{
    if (pointer_taking_window_open())
        return true;
    const game_interface& gi = g_interface;
    const uint32_t n = gi.pointer_area_count < k_pointer_areas ? gi.pointer_area_count : k_pointer_areas;
    for (uint32_t i = 0; i < n; ++i)
        if (pointer_area_holds(gi.pointer_areas[i], g_mouse_screen_x, g_mouse_screen_y))
            return true;
    return false;
}
