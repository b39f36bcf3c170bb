#include "editor/view/object_hits.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "world/object_draw_internal.h"
#include "world/object_protos.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double k_corner_reach = 4.0;
constexpr double k_anchor_reach = 8.0;
constexpr double k_erase_anchor_reach = 6.0;

// Strictly within `reach` of the whole point (x, y) on both axes; in double so that no bound
// overflows.
bool near(int32_t x, int32_t y, double reach_x, double reach_y)
{
    const double mx = g_mouse_x, my = g_mouse_y;
    return double(x) - reach_x < mx && mx < double(x) + reach_x && double(y) - reach_y < my && my < double(y) + reach_y;
}

bool corner_hit(const world_object& o, int c)
{
    return near(safe_int(o.corners[c * 2]), safe_int(o.corners[c * 2 + 1]), k_corner_reach, k_corner_reach);
}

int32_t corner_hits(const world_object& o)
{
    int32_t n = 0;
    for (int c = 0; c < 4; ++c)
        n += corner_hit(o, c) ? 1 : 0;
    return n;
}

// Whether the mouse lies outside the bounding box of the corner points (false when a corner is
// not a number). The crossing test finds such a point outside the closed quad as well: on no
// side change of its row, or on an even number of them all to one side.
bool outside_corner_bounds(const world_object& o)
{
    float x0 = o.corners[0], x1 = x0, y0 = o.corners[1], y1 = y0;
    for (int k = 0; k < 8; k += 2) {
        const float x = o.corners[k], y = o.corners[k + 1];
        if (std::isnan(x) || std::isnan(y))
            return false;
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    return g_mouse_x < x0 || g_mouse_x > x1 || g_mouse_y < y0 || g_mouse_y > y1;
}

bool quad_hit(const world_object& o)
{
    if (outside_corner_bounds(o))
        return false;
    map_sector polygon;
    build_quad_polygon(&polygon, o.corners);
    return point_in_polygon(g_mouse_x, g_mouse_y, &polygon, 1.0f) != 0;
}

bool box_hit(const world_object& o)
{
    const int32_t w = safe_int(float(o.width) / g_zoom * o.scale);
    const int32_t h = safe_int(float(o.height) / g_zoom * o.scale);
    return near(safe_int(o.x), safe_int(o.y), double(w / 2), double(h / 2));
}

bool anchor_hit(const world_object& o, double reach)
{
    int32_t x = safe_int(o.x), y = safe_int(o.y);
    if (proto_kind_at(o.proto) == k_proto_surface) {
        x = safe_int(float(x) * o.scale);
        y = safe_int(float(y) * o.scale);
    }
    return near(x, y, reach, reach);
}

// Whether the picked list and the grab test a plain object by its box (else by its anchor).
bool picked_by_box(const world_object& o, int32_t kind)
{
    return kind == k_proto_sprite || kind == k_proto_sprite16 ||
           (kind == k_proto_particle && o.particle_role != k_role_emitter);
}

// The picked list's and the grab's test of an object that is not handled by its corners.
bool plain_pick_hit(const world_object& o)
{
    const int32_t kind = proto_kind_at(o.proto);
    if (picked_by_box(o, kind))
        return box_hit(o);
    if (kind == k_proto_mesh || kind == k_proto_surface || kind == k_proto_particle)
        return anchor_hit(o, k_anchor_reach);
    return false;
}

bool by_corners(const world_object& o)
{
    return o.has_corners && proto_kind_at(o.proto) != k_proto_mesh;
}

} // namespace

bool is_candidate(const world_object& o)
{
    return o.state != 0 && o.proto >= 0 && o.layer == g_active_layer;
}

void build_quad_polygon(map_sector* polygon, const float xy[8])
{
    clear_sector(polygon);
    begin_sector(polygon, 0, xy[0], xy[1]);
    for (int k = 2; k <= 8; k += 2)
        add_sector_point(polygon, xy[k % 8], xy[k % 8 + 1]);
}

int32_t hits_for(const world_object& o, hit_use use)
{
    const int32_t kind = proto_kind_at(o.proto);
    switch (use) {
    case hit_use::pick:
        if (by_corners(o))
            return corner_hits(o) + (quad_hit(o) ? 1 : 0);
        return plain_pick_hit(o) ? 1 : 0;
    case hit_use::toggle:
        if (o.has_corners)
            return corner_hits(o) > 0 || quad_hit(o) ? 1 : 0;
        if (kind == k_proto_sprite || kind == k_proto_particle || kind == k_proto_sprite16)
            return box_hit(o) ? 1 : 0;
        if (kind == k_proto_mesh || kind == k_proto_surface)
            return anchor_hit(o, k_anchor_reach) ? 1 : 0;
        return 0;
    case hit_use::erase:
        if (o.has_corners)
            return corner_hits(o) > 0 || quad_hit(o) ? 1 : 0;
        if (kind == k_proto_sprite || kind == k_proto_sprite16)
            return box_hit(o) ? 1 : 0;
        if (kind == k_proto_particle)
            return o.particle_role == k_role_emitter && anchor_hit(o, k_anchor_reach) ? 1 : 0;
        if (kind == k_proto_mesh || kind == k_proto_surface)
            return anchor_hit(o, k_erase_anchor_reach) ? 1 : 0;
        return 0;
    }
    return 0;
}

grab_hit grab_test(const world_object& o)
{
    if (by_corners(o)) {
        uint8_t corner = 0;
        for (int c = 0; c < 4; ++c)
            if (corner_hit(o, c))
                corner = uint8_t(c + 1);
        if (corner)
            return {grab_hit_kind::corner, corner};
        return quad_hit(o) ? grab_hit{grab_hit_kind::quad, 5} : grab_hit{grab_hit_kind::none, 0};
    }
    if (!plain_pick_hit(o))
        return {grab_hit_kind::none, 0};
    return {picked_by_box(o, proto_kind_at(o.proto)) ? grab_hit_kind::box : grab_hit_kind::anchor, 0};
}
