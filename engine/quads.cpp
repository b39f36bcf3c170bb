#include "engine/quads.h"

#include "core/globals.h"
#include "engine/render_context.h"
#include "engine/textures.h"

#include <cmath>

namespace {

// Placement of the image on the quad: u at the left and right edges, v at the lower and upper
// edges as seen on screen.
struct tex_coords {
    float u_left, u_right, v_lower, v_upper;
};

tex_coords coords_for(int32_t flip, float f, float du, float dv)
{
    tex_coords c{f, 1 - f, 1 - f, f};
    switch (flip) {
    case 1: c = {f, 1 - f, f, 1 - f}; break;
    case 2: c = {1 - f, f, 1 - f, f}; break;
    case 3: c = {1 - f, f, f, 1 - f}; break;
    default: break;
    }
    c.u_left += du;
    c.u_right += du;
    c.v_lower += dv;
    c.v_upper += dv;
    return c;
}

device_vertex vertex(float x, float y, float z, float u, float v)
{
    return {x, y, z, 0.0f, 0.0f, 1.0f, u, v};
}

// Sets texture and material and draws the four vertices as one strip.
int32_t draw_strip(int32_t slot, const device_material& material, const device_vertex (&v)[4])
{
    render_device* d = g_d3d_device;
    if (!d)
        return -1;
    d->set_texture(g_textures[slot].surface);
    d->set_material(material);
    d->draw_primitive(primitive_type::triangle_strip, v, 4);
    return 0;
}

device_material sprite_material_for(float base_r, float base_g, float base_b, float alpha, float r, float g, float b)
{
    device_material m;
    init_material(m, base_r, base_g, base_b, alpha);
    set_sprite_material(m, r, g, b);
    return m;
}

// A centred, axis-aligned quad in view units.
int32_t draw_centred(int32_t slot, float cx, float cy, float z, float half_w, float half_h, const tex_coords& c,
                     const device_material& material)
{
    const device_vertex v[4] = {
        vertex(cx - half_w, cy - half_h, z, c.u_left, c.v_lower),
        vertex(cx - half_w, cy + half_h, z, c.u_left, c.v_upper),
        vertex(cx + half_w, cy - half_h, z, c.u_right, c.v_lower),
        vertex(cx + half_w, cy + half_h, z, c.u_right, c.v_upper),
    };
    return draw_strip(slot, material, v);
}

// Corners in view units in the order bottom-left, top-left, top-right, bottom-right.
int32_t draw_corners(int32_t slot, const float (&vx)[4], const float (&vy)[4], const tex_coords& c, float alpha,
                     int32_t black, int32_t opaque, float r, float g, float b)
{
    device_material m;
    if (black)
        init_material(m, 0, 0, 0, alpha);
    else
        m = sprite_material_for(r, g, b, alpha, r, g, b);
    if (opaque)
        m = sprite_material_for(r, g, b, 1, r, g, b);
    const device_vertex v[4] = {
        vertex(vx[0], vy[0], 0, c.u_left, c.v_lower),
        vertex(vx[1], vy[1], 0, c.u_left, c.v_upper),
        vertex(vx[3], vy[3], 0, c.u_right, c.v_lower),
        vertex(vx[2], vy[2], 0, c.u_right, c.v_upper),
    };
    return draw_strip(slot, m, v);
}

// Sprites: unlit texels modulated by alpha, in screen pixels under a pixel projection.
int32_t draw_sprite_vertices(int32_t slot, const float (&px)[4], const float (&py)[4], float alpha,
                             const sprite_rect* source)
{
    render_device* d = g_d3d_device;
    const texture_record& t = g_textures[slot];
    if (!d || t.width == 0 || t.height == 0)
        return -1;
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
    if (source) {
        u0 = static_cast<float>(source->left) / t.width;
        u1 = static_cast<float>(source->right) / t.width;
        v0 = static_cast<float>(source->top) / t.height;
        v1 = static_cast<float>(source->bottom) / t.height;
    }
    matrix4 pixels = matrix_identity();
    pixels.m[0][0] = 2.0f / static_cast<float>(g_screen_width);
    pixels.m[1][1] = -2.0f / static_cast<float>(g_screen_height);
    pixels.m[3][0] = -1.0f;
    pixels.m[3][1] = 1.0f;
    const matrix4 identity = matrix_identity();
    transform_guard world(*d, transform_kind::world, identity);
    transform_guard view(*d, transform_kind::view, identity);
    transform_guard projection(*d, transform_kind::projection, pixels);
    device_material m{};
    m.diffuse.a = alpha;
    m.emissive = {1, 1, 1, 0};
    // Corners: top-left, top-right, bottom-right, bottom-left; the strip runs bottom-left,
    // top-left, bottom-right, top-right.
    const device_vertex v[4] = {
        vertex(px[3], py[3], 0, u0, v1),
        vertex(px[0], py[0], 0, u0, v0),
        vertex(px[2], py[2], 0, u1, v1),
        vertex(px[1], py[1], 0, u1, v0),
    };
    return draw_strip(slot, m, v);
}

int32_t draw_sprite_at(int32_t slot, float x, float y, float alpha, float scale, float radians,
                       const sprite_rect* source)
{
    const texture_record& t = g_textures[slot];
    const float w = source ? static_cast<float>(source->right - source->left) : static_cast<float>(t.width);
    const float h = source ? static_cast<float>(source->bottom - source->top) : static_cast<float>(t.height);
    const float hw = w * scale / 2, hh = h * scale / 2;
    const float c = std::cos(radians), s = std::sin(radians);
    const float ox[4] = {-hw, hw, hw, -hw}, oy[4] = {-hh, -hh, hh, hh};
    float px[4], py[4];
    for (int i = 0; i < 4; ++i) {
        px[i] = x + ox[i] * c - oy[i] * s;
        py[i] = y + ox[i] * s + oy[i] * c;
    }
    return draw_sprite_vertices(slot, px, py, alpha, source);
}

} // namespace

void init_material(device_material& material, float r, float g, float b, float a)
{
    material = {};
    material.diffuse = {r, g, b, a};
    material.ambient = {r, g, b, a};
}

void set_sprite_material(device_material& material, float r, float g, float b)
{
    material.diffuse.r = 1.0f - g_ambient_color.red;
    material.diffuse.g = 1.0f - g_ambient_color.green;
    material.diffuse.b = 1.0f - g_ambient_color.blue;
    material.emissive.r = r - 1.0f;
    material.emissive.g = g - 1.0f;
    material.emissive.b = b - 1.0f;
}

namespace {

// Where a member centred on a point draws the slot's image: centre and half sizes in view units.
struct placement {
    float cx, cy, hw, hh;
};

// In line: a placement returned from a call goes through memory, and reading it back stalls.
[[gnu::always_inline]] inline placement world_placement(int32_t slot, float x, float y, float scale)
{
    const texture_record& t = g_textures[slot];
    const float per_pixel = view_units_per_pixel();
    placement p;
    world_to_view(x, y, p.cx, p.cy, per_pixel);
    p.hw = (float(t.width) * per_pixel / 2) * scale * g_zoom;
    p.hh = (float(t.height) * per_pixel / 2) * scale * g_zoom;
    return p;
}

[[gnu::always_inline]] inline placement screen_placement(int32_t slot, float x, float y, float scale)
{
    const texture_record& t = g_textures[slot];
    const float per_pixel = view_units_per_pixel();
    placement p;
    screen_to_view(x, y, p.cx, p.cy, per_pixel);
    p.hw = float(t.width) * per_pixel / 2 * scale;
    p.hh = float(t.height) * per_pixel / 2 * scale;
    return p;
}

} // namespace

int32_t draw_texture_world(int32_t slot, float x, float y, float alpha, float scale, int32_t flip, float du, float dv,
                           float inset, float r, float g, float b)
{
    if (ensure_texture(slot) == -1)
        return -1;
    const placement p = world_placement(slot, x, y, scale);
    return draw_centred(slot, p.cx, p.cy, 0, p.hw, p.hh, coords_for(flip, inset, du, dv),
                        sprite_material_for(1, 1, 1, alpha, r, g, b));
}

int32_t draw_texture_screen(int32_t slot, float x, float y, float alpha, float scale, int32_t flip, float du, float dv,
                            float inset, float r, float g, float b)
{
    if (ensure_texture(slot) == -1)
        return -1;
    const placement p = screen_placement(slot, x, y, scale);
    return draw_centred(slot, p.cx, p.cy, 0, p.hw, p.hh, coords_for(flip, inset, du, dv),
                        sprite_material_for(r, g, b, alpha, r, g, b));
}

pointer_area texture_screen_area(int32_t slot, float x, float y)
{
    if (ensure_texture(slot) == -1)
        return {x, y, x, y};
    const texture_record& t = g_textures[slot];
    const float half_width = float(t.width) / 2, half_height = float(t.height) / 2;
    return {x - half_width, y - half_height, x + half_width, y + half_height};
}

int32_t draw_texture_scaled_world(int32_t slot, float x, float y, float z, float r, float g, float b, float alpha,
                                  float scale, int32_t, float du, float dv, float inset)
{
    if (ensure_texture(slot) == -1)
        return -1;
    const placement p = world_placement(slot, x, y, scale);
    return draw_centred(slot, p.cx, p.cy, z, p.hw, p.hh, coords_for(0, inset, du, dv),
                        sprite_material_for(1, 1, 1, alpha, r, g, b));
}

int32_t draw_texture_direct_screen(int32_t slot, float x, float y, float alpha, float scale, float r, float g, float b)
{
    if (slot < 0 || slot >= k_texture_slots || !g_textures[slot].surface)
        return -1;
    const placement p = screen_placement(slot, x, y, scale);
    return draw_centred(slot, p.cx, p.cy, 0, p.hw, p.hh, {0, 1, 1, 0}, sprite_material_for(r, g, b, alpha, r, g, b));
}

int32_t draw_texture_gauge_screen(int32_t slot, float x, float y, float alpha, float scale, float fraction, float r,
                                  float g, float b)
{
    if (ensure_texture(slot) == -1)
        return -1;
    const placement p = screen_placement(slot, x, y, scale);
    const float top = p.cy + (2 * fraction - 1) * p.hh;
    const device_vertex v[4] = {
        vertex(p.cx - p.hw, p.cy - p.hh, 0, 0, 1),
        vertex(p.cx - p.hw, top, 0, 0, 1 - fraction),
        vertex(p.cx + p.hw, p.cy - p.hh, 0, 1, 1),
        vertex(p.cx + p.hw, top, 0, 1, 1 - fraction),
    };
    return draw_strip(slot, sprite_material_for(r, g, b, alpha, r, g, b), v);
}

int32_t draw_quad_world(int32_t slot, float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                        float alpha, float du, float dv, int32_t black, float inset, int32_t opaque,
                        int32_t quarter_turns, float r, float g, float b, int32_t no_turn, int32_t flip)
{
    if (ensure_texture(slot) == -1)
        return -1;
    const float wx[4] = {x0, x1, x2, x3}, wy[4] = {y0, y1, y2, y3};
    float vx[4], vy[4];
    const float per_pixel = view_units_per_pixel();
    for (int i = 0; i < 4; ++i)
        world_to_view(wx[i], wy[i], vx[i], vy[i], per_pixel);
    if (quarter_turns >= 0 && quarter_turns < 4 && no_turn == 0) {
        for (int turn = 0; turn < quarter_turns; ++turn) {
            const float lx = vx[3], ly = vy[3];
            for (int i = 3; i > 0; --i) {
                vx[i] = vx[i - 1];
                vy[i] = vy[i - 1];
            }
            vx[0] = lx;
            vy[0] = ly;
        }
    }
    return draw_corners(slot, vx, vy, coords_for(flip, inset, du, dv), alpha, black, opaque, r, g, b);
}

int32_t draw_quad_screen(int32_t slot, float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                         float alpha, float du, float dv, int32_t black, float inset, int32_t opaque, int32_t flip,
                         float r, float g, float b)
{
    if (ensure_texture(slot) == -1)
        return -1;
    const float sx[4] = {x0, x1, x2, x3}, sy[4] = {y0, y1, y2, y3};
    float vx[4], vy[4];
    for (int i = 0; i < 4; ++i)
        screen_to_view(sx[i], sy[i], vx[i], vy[i]);
    return draw_corners(slot, vx, vy, coords_for(flip, inset, du, dv), alpha, black, opaque, r, g, b);
}

int32_t draw_sprite_world(int32_t slot, float x, float y, float alpha, float scale, int32_t angle,
                          const sprite_rect* source)
{
    if (ensure_texture(slot) == -1)
        return -1;
    return draw_sprite_at(slot, (x - g_camera_x) * g_zoom, (y - g_camera_y) * g_zoom, alpha, scale * g_zoom,
                          static_cast<float>(angle) * 0.017453292f, source);
}

int32_t draw_sprite_screen(int32_t slot, float x, float y, const sprite_rect* source)
{
    if (ensure_texture(slot) == -1)
        return -1;
    return draw_sprite_at(slot, x, y, 1, 1, 0, source);
}

int32_t draw_sprite_quad_screen(int32_t slot, const float corners[8], float alpha, const sprite_rect* source)
{
    if (!corners || ensure_texture(slot) == -1)
        return -1;
    const float px[4] = {corners[0], corners[2], corners[4], corners[6]};
    const float py[4] = {corners[1], corners[3], corners[5], corners[7]};
    return draw_sprite_vertices(slot, px, py, alpha, source);
}
