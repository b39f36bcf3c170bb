#include "engine/curves.h"

#include "engine/primitives.h"

#include "core/frame_timing.h"
#include "core/globals.h"

curve g_curves[k_curve_slots];
int16_t g_curve_count = 0;
uint32_t g_curve_next_tick = 0;

namespace {

curve_point bezier_at(const curve* c, float t)
{
    float t2 = t * t;
    float t3 = t2 * t;
    return {c->c0.x + c->c1.x * t + c->c2.x * t2 + c->c3.x * t3,
            c->c0.y + c->c1.y * t + c->c2.y * t2 + c->c3.y * t3};
}

} // namespace

void curve_init(curve* c, float p0x, float p0y, float p1x, float p1y, float p2x, float p2y, float p3x,
                float p3y)
{
    c->p0 = {p0x, p0y};
    c->p1 = {p1x, p1y};
    c->p2 = {p2x, p2y};
    c->p3 = {p3x, p3y};
    c->c0 = c->p0;
    c->c1 = {3.0f * (p1x - p0x), 3.0f * (p1y - p0y)};
    c->c2 = {3.0f * (p0x + p2x - 2.0f * p1x), 3.0f * (p0y + p2y - 2.0f * p1y)};
    c->c3 = {p3x - 3.0f * p2x + 3.0f * p1x - p0x, p3y - 3.0f * p2y + 3.0f * p1y - p0y};
    c->current = c->p0;
    c->progress = 0.0f;
    c->step = 0.005f;
    c->active = 1;
}

int16_t create_curve(float x0, float y0, float x1, float y1)
{
    int16_t slot = -1;
    for (int16_t i = 0; i < g_curve_count; ++i)
        if (!g_curves[i].active)
            slot = i;
    if (slot < 0) {
        if (g_curve_count >= k_curve_slots)
            return -1;
        slot = g_curve_count++;
    }
    float cx = g_camera_x;
    float cy = g_camera_y;
    float h = float(g_screen_height);
    if (y0 <= y1)
        curve_init(&g_curves[slot], x1, y1, cx, cy, cx, cy + h, x0, y0);
    else
        curve_init(&g_curves[slot], x0, y0, cx, cy + h, cx, cy, x1, y1);
    return slot;
}

void update_curves()
{
    if (!(g_curve_next_tick < g_ticks))
        return;
    for (int i = 0; i < g_curve_count; ++i)
        if (g_curves[i].active == 1)
            advance_curve(&g_curves[i]);
    g_curve_next_tick = g_ticks + 3;
}

void advance_curve(curve* c)
{
    if (!c->active)
        return;
    c->progress += c->step;
    if (c->progress > 1.0f) {
        c->progress = 1.0f;
        c->active = 0;
    }
}

float curve_x(const curve* c)
{
    return bezier_at(c, c->progress).x;
}

float curve_y(const curve* c)
{
    return bezier_at(c, c->progress).y;
}

void draw_curve(curve* c)
{
    for (c->draw_t = 0.0f; c->draw_t < 1.0f; c->draw_t += 0.005f) {
        c->previous = c->current;
        c->current = bezier_at(c, c->draw_t);
        draw_world_line(c->previous.x, c->previous.y, c->current.x, c->current.y, 1.0f, 0.0f, 0.0f, 1.0f);
    }
}
