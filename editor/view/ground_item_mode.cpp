#include "editor/view/ground_item_mode.h"

#include "characters/monster_points.h"
#include "characters/monster_spawning.h"
#include "core/console_log.h"
#include "core/globals.h"
#include "editor/editor_frame.h"
#include "editor/view/view_picking.h"
#include "items/ground_items.h"
#include "items/items.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstdio>

int32_t g_selected_monster_point = -1;

namespace {

constexpr float k_item_half = 16.0f;
constexpr float k_point_half = 8.0f;
constexpr int32_t k_ground_cell = 24;

void remove_hit_items()
{
    const int32_t count = std::clamp<int32_t>(g_ground_item_count, 0, k_ground_item_slots);
    for (int32_t i = 0; i < count; ++i) {
        ground_item& g = g_ground_items[i];
        if (g.state == k_ground_item_free || !view_pick_hit(float(g.x), float(g.y), k_item_half))
            continue;
        if (world_object* o = ground_item_object(i))
            reset_object(o);
        g.state = k_ground_item_free;
        g_map_dirty = 1;
    }
}

void drop_item(const editor_state& e)
{
    if (e.ground_item_choice < 0 || e.ground_item_choice >= g_item_proto_count) {
        console_log("predmety: predmet %d nie je v tabulke", int(e.ground_item_choice));
        return;
    }
    const int16_t cell_x = int16_t(safe_int(g_mouse_x) / k_ground_cell);
    const int16_t cell_y = int16_t(safe_int(g_mouse_y) / k_ground_cell);
    if (drop_ground_item(uint16_t(e.ground_item_choice), 1, cell_x, cell_y, false, 0, k_ground_item_no_element))
        g_map_dirty = 1;
}

void choose_item(editor_state& e)
{
    const int32_t last = g_item_proto_count - 1;
    if (g_wheel_up && e.ground_item_choice > 0) {
        --e.ground_item_choice;
        rebuild_item_preview(e);
    }
    if (g_wheel_down && e.ground_item_choice < last) {
        ++e.ground_item_choice;
        rebuild_item_preview(e);
    }
    if (press_edge(view_key_down(k_key_next), e.page_down_latch)) {
        if (e.ground_item_choice < last)
            ++e.ground_item_choice;
        rebuild_item_preview(e);
    }
    if (press_edge(view_key_down(k_key_prior), e.page_up_latch)) {
        if (e.ground_item_choice > 0)
            --e.ground_item_choice;
        rebuild_item_preview(e);
    }
}

int32_t point_count()
{
    return std::clamp<int32_t>(g_monster_points.count, 0, k_monster_point_slots);
}

} // namespace

void run_ground_item_mode(editor_state& e)
{
    if (g_mouse_right)
        remove_hit_items();
    const bool action = g_mouse_left || view_key_down(k_key_return) || view_key_down(k_key_space);
    if (press_edge(action, e.action_latch))
        drop_item(e);
    choose_item(e);
}

void run_monster_point_mode(editor_state& e)
{
    if (!g_mouse_left) {
        g_selected_monster_point = -1;
    } else if (g_selected_monster_point == -1) {
        for (int32_t i = 0; i < point_count(); ++i)
            if (view_pick_hit(g_monster_points.points[i].x, g_monster_points.points[i].y, k_point_half))
                g_selected_monster_point = i;
    }
    if (press_edge(view_key_down(k_key_return) || view_key_down(k_key_space), e.action_latch)) {
        if (add_monster_point(&g_monster_points, g_mouse_x, g_mouse_y))
            g_map_dirty = 1;
        else
            console_log("monster pointy: tabulka je plna");
    }
    g_mode_info_text[0] = '\0';
    if (g_selected_monster_point < 0 || g_selected_monster_point >= point_count())
        return;
    monster_point& p = g_monster_points.points[g_selected_monster_point];
    std::snprintf(g_mode_info_text, sizeof g_mode_info_text, "\nmonster point: %d", int(g_selected_monster_point));
    if (p.x != g_mouse_x || p.y != g_mouse_y)
        g_map_dirty = 1;
    p.x = g_mouse_x;
    p.y = g_mouse_y;
}
