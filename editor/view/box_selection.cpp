#include "editor/view/box_selection.h"

#include "core/editor_globals.h"
#include "core/input_state.h"
#include "editor/view/object_hits.h"
#include "engine/lights.h"
#include "engine/primitives.h"
#include "platform/key_codes.h"
#include "world/object_protos.h"
#include "world/sectors.h"
#include "world/world_objects.h"

uint32_t g_box_active = 0;
box_corner g_box_start = {};
box_corner g_box_end = {};

namespace {

bool down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

bool inside(const map_sector& box, float x, float y)
{
    return point_in_polygon(x, y, &box, 1.0f) != 0;
}

bool object_inside(const map_sector& box, const world_object& o)
{
    const int32_t kind = proto_kind_at(o.proto);
    if (kind == k_proto_surface)
        return inside(box, o.x * o.scale, o.y * o.scale);
    if (!o.has_corners || kind == k_proto_mesh)
        return inside(box, o.x, o.y);
    for (int c = 0; c < 8; c += 2)
        if (inside(box, o.corners[c], o.corners[c + 1]))
            return true;
    return false;
}

void draw_box()
{
    begin_full_light(k_light_slots);
    draw_world_rect_outline(g_box_start.x, g_box_start.y, g_box_end.x, g_box_end.y, 1.0f, 1.0f, 1.0f, 1.0f);
    end_full_light(k_light_slots);
}

void select_inside()
{
    const float corners[8] = {g_box_start.x, g_box_start.y, g_box_start.x, g_box_end.y,
                              g_box_end.x,   g_box_end.y,   g_box_end.x,   g_box_start.y};
    map_sector box;
    build_quad_polygon(&box, corners);
    const bool every_layer = down(k_key_lcontrol);
    const uint32_t value = down(k_key_lmenu) ? 0 : 1;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (o.state == 0 || o.proto < 0 || (!every_layer && o.layer != g_active_layer))
            continue;
        if (object_inside(box, o))
            o.highlight = value;
    }
}

} // namespace

void select_objects_in_box()
{
    if (g_mouse_middle != 0) {
        if (!g_box_active) {
            g_box_active = 1;
            g_box_start = {g_mouse_x, g_mouse_y};
            return;
        }
        g_box_end = {g_mouse_x, g_mouse_y};
        draw_box();
        return;
    }
    if (!g_box_active)
        return;
    g_box_end = {g_mouse_x, g_mouse_y};
    select_inside();
    g_box_start = g_box_end;
    g_box_active = 0;
}
