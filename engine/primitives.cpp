#include "engine/primitives.h"

#include "core/game_globals.h"
#include "core/globals.h"
#include "engine/quads.h"
#include "engine/render_context.h"
#include "engine/textures.h"
#include "platform/render_device.h"

#include <climits>
#include <cmath>

namespace {

struct view_point {
    float x, y;
};

view_point from_world(float x, float y)
{
    view_point p;
    world_to_view(x, y, p.x, p.y);
    return p;
}

view_point from_screen(float x, float y)
{
    view_point p;
    screen_to_view(x, y, p.x, p.y);
    return p;
}

device_vertex vertex(view_point p)
{
    return {p.x, p.y, 0.0f, 0.0f, 0.0f, -1.0f, 0.0f, 0.0f};
}

// The colour as a lit material.
void set_colour(render_device& d, float r, float g, float b, float a)
{
    device_material material;
    init_material(material, r, g, b, a);
    d.set_material(material);
}

void draw_line(view_point p1, view_point p2, float r, float g, float b, float a)
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    const device_vertex v[2] = {vertex(p1), vertex(p2)};
    d->set_texture(nullptr);
    set_colour(*d, r, g, b, a);
    d->draw_primitive(primitive_type::line_strip, v, 2);
}

// The strip (x1, y1), (x2, y1), (x1, y2), (x2, y2) with the device's texture and material.
void draw_strip(render_device& d, view_point (*project)(float, float), float x1, float y1, float x2, float y2)
{
    const device_vertex v[4] = {vertex(project(x1, y1)), vertex(project(x2, y1)), vertex(project(x1, y2)),
                                vertex(project(x2, y2))};
    d.draw_primitive(primitive_type::triangle_strip, v, 4);
}

device_texture* surface_of(int32_t slot)
{
    return slot >= 0 && slot < k_texture_slots ? g_textures[slot].surface : nullptr;
}

// A whole number of the float, truncated toward zero and kept within int range.
int32_t truncated(float v)
{
    if (!(v > static_cast<float>(INT_MIN)))
        return INT_MIN;
    if (!(v < static_cast<float>(INT_MAX)))
        return INT_MAX;
    return static_cast<int32_t>(v);
}

// The view's span in world units; false when the zoom gives none.
bool view_span(float& sx, float& sy)
{
    if (!(g_zoom > 0.0f) || !std::isfinite(g_zoom))
        return false;
    sx = static_cast<float>(g_screen_width) / g_zoom;
    sy = static_cast<float>(g_screen_height) / g_zoom;
    return std::isfinite(sx) && std::isfinite(sy);
}

} // namespace

void draw_world_line(float x1, float y1, float x2, float y2, float r, float g, float b, float a)
{
    draw_line(from_world(x1, y1), from_world(x2, y2), r, g, b, a);
}

void draw_screen_line(float x1, float y1, float x2, float y2, float r, float g, float b, float a)
{
    draw_line(from_screen(x1, y1), from_screen(x2, y2), r, g, b, a);
}

void draw_world_rect_outline(float x1, float y1, float x2, float y2, float r, float g, float b, float a)
{
    draw_world_line(x1, y1, x1, y2, r, g, b, a);
    draw_world_line(x2, y1, x2, y2, r, g, b, a);
    draw_world_line(x1, y1, x2, y1, r, g, b, a);
    draw_world_line(x1, y2, x2, y2, r, g, b, a);
}

void draw_screen_rect_outline(float x1, float y1, float x2, float y2, float r, float g, float b, float a)
{
    draw_screen_line(x1, y1, x1, y2, r, g, b, a);
    draw_screen_line(x2, y1, x2, y2, r, g, b, a);
    draw_screen_line(x1, y1, x2, y1, r, g, b, a);
    draw_screen_line(x1, y2, x2, y2, r, g, b, a);
}

void draw_colored_rect(float x1, float y1, float x2, float y2, float r, float g, float b, float a, int16_t mode)
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    static const fixed_texture k_mode_textures[] = {k_texture_black, k_texture_green, k_texture_red, k_texture_blue};
    if (mode == k_rect_plain) {
        d->set_texture(nullptr);
        set_colour(*d, r, g, b, a);
    } else if (mode >= k_rect_black && mode <= k_rect_blue) {
        d->set_texture(surface_of(g_fixed_textures[k_mode_textures[mode - k_rect_black]]));
        set_colour(*d, 1.0f, 1.0f, 1.0f, a);
    }
    draw_strip(*d, from_screen, x1, y1, x2, y2);
}

void draw_screen_rect_textured(float x1, float y1, float x2, float y2, float r, float g, float b, float a)
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    d->set_texture_stage_state(texture_stage_state::mip_filter, texture_filter::linear);
    set_colour(*d, r, g, b, a);
    d->set_texture(surface_of(g_interface.text_background_texture));
    draw_strip(*d, from_screen, x1, y1, x2, y2);
}

void draw_world_filled_rect(float x1, float y1, float x2, float y2, float r, float g, float b, float a)
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    d->set_texture(nullptr);
    set_colour(*d, r, g, b, a);
    draw_strip(*d, from_world, x1, y1, x2, y2);
}

void draw_world_point(float x, float y, float r, float g, float b, float a)
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    const device_vertex v = vertex(from_world(x, y));
    d->set_texture(nullptr);
    set_colour(*d, r, g, b, a);
    d->draw_primitive(primitive_type::point_list, &v, 1);
}

void snap_to_cursor_grid(float mx, float my, float sx, float sy, float* x, float* y)
{
    *x = mx;
    *y = my;
    const float gx = static_cast<float>(truncated(mx) / 16), gy = static_cast<float>(truncated(my) / 32);
    // The lattice's corners first, then its cell centres; the last point near enough wins.
    const float offsets[2][2] = {{16.0f, 32.0f}, {8.0f, 16.0f}};
    for (const auto& offset : offsets) {
        for (int i = 0; static_cast<float>(i) < sx / 16.0f + 2.0f; ++i) {
            for (int j = 0; static_cast<float>(j) < sy / 16.0f; ++j) {
                const float px = gx * 16.0f - offset[0] + 16.0f * static_cast<float>(i);
                const float py = gy * 32.0f - offset[1] + 32.0f * static_cast<float>(j);
                if (std::fabs(px - mx) < 4.0f && std::fabs(py - my) < 4.0f) {
                    *x = px;
                    *y = py;
                }
            }
        }
    }
}

bool cursor_grid_span(float* sx, float* sy)
{
    return view_span(*sx, *sy);
}

void draw_cursor_grid(float mx, float my, float sx, float sy)
{
    render_device* d = g_d3d_device;
    if (!d)
        return;
    render_state_guard unlit(*d, render_state::lighting, 0u);
    const float hx = static_cast<float>(truncated(mx) / 32), hy = static_cast<float>(truncated(my) / 64);
    for (int i = 0; static_cast<float>(i) < sx / 32.0f + 2.0f; ++i) {
        for (int j = 0; static_cast<float>(j) < sy / 32.0f; ++j) {
            const float fi = static_cast<float>(i), fj = static_cast<float>(j);
            draw_world_point(hx * 32.0f - 32.0f + 32.0f * fi, hy * 64.0f - 64.0f + 64.0f * fj, 1.0f, 1.0f, 1.0f, 1.0f);
            draw_world_point(hx * 32.0f - 16.0f + 32.0f * fi, hy * 64.0f - 32.0f + 64.0f * fj, 1.0f, 1.0f, 1.0f, 1.0f);
        }
    }
}

void empty_frame_hook() {}
