#include "characters/char_outline.h"

#include "characters/char_table.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>

namespace {

constexpr uint8_t k_outline_type = 2;
constexpr float k_outline_shrink = 0.35f;

float outline_scale(const char_record* c)
{
    return c->scale_x - k_outline_shrink;
}

} // namespace

bool char_set_outline_from_sector(char_record* c, int32_t sector)
{
    const world_object* o = world_object_of(*c);
    if (!o || sector < 0 || sector >= k_sector_slots)
        return false;
    c->outline = g_sectors[sector];
    c->outline.type = k_outline_type;
    const int32_t points = std::clamp(c->outline.count, 0, k_sector_points);
    for (int32_t i = 0; i < points; ++i) {
        c->outline.x[i] -= o->x;
        c->outline.y[i] -= o->y;
    }
    return true;
}

void char_copy_outline(char_record* c, int32_t other_slot)
{
    if (const char_record* other = char_at(other_slot))
        c->outline = other->outline;
}

int32_t char_outline_contains(const char_record* c, float x, float y)
{
    const world_object* o = world_object_of(*c);
    if (!o)
        return 0;
    return point_in_polygon(x - o->x, y - o->y, &c->outline, outline_scale(c));
}

void char_draw_outline(const char_record* c)
{
    if (const world_object* o = world_object_of(*c))
        draw_sector_scaled(&c->outline, o->x, o->y, outline_scale(c));
}
