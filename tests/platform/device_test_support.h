// Helpers for device tests: the OpenGL device on a hidden window, the fixed camera the program
// uses, quads in view units, materials.
#pragma once

#include "platform/gl_device.h"
#include "platform/gl_window.h"
#include "platform/render_device.h"

#include <array>
#include <cmath>
#include <memory>
#include <string>

// The OpenGL device on a hidden 1024 × 768 window, or null with the reason in why.
inline std::unique_ptr<render_device> open_hidden_gl_device(std::string& why)
{
    gl_window_options options;
    options.visible = false;
    if (!gl_window_open(options, why))
        return nullptr;
    auto device = create_gl_device(1024, 768, why);
    if (!device)
        gl_window_close();
    return device;
}

// Pixels per view unit of the quad drawing's coordinate contract: width / 640 × 50.7.
inline float view_scale(uint32_t width)
{
    return width / 640.0f * 50.7f;
}

// The camera at (0, 0, -465) looking at the plane z = 0, and the sprite states.
inline void use_fixed_camera(render_device& d)
{
    matrix4 view, projection;
    matrix_look_at_lh({0, 0, -465}, {0, 0, 0}, {0, 0, 0}, view);
    matrix_perspective_fov_lh(3.14159265358979f / 155.0f, static_cast<float>(d.height()) / d.width(), 1.0f,
                              2000.0f, projection);
    d.set_transform(transform_kind::view, view);
    d.set_transform(transform_kind::projection, projection);
    d.set_render_state(render_state::ambient, 0x00FFFFFFu);
    d.set_render_state(render_state::src_blend, blend_factor::src_alpha);
    d.set_render_state(render_state::dest_blend, blend_factor::inv_src_alpha);
    d.set_render_state(render_state::alpha_blend, 1u);
    d.set_render_state(render_state::alpha_test, 1u);
    d.set_render_state(render_state::alpha_ref, 1u);
    d.set_render_state(render_state::alpha_func, compare_func::greater_equal);
    d.set_texture_stage_state(texture_stage_state::alpha_op, texture_op::modulate);
    d.set_texture_stage_state(texture_stage_state::alpha_arg2, texture_arg::diffuse);
}

// A quad as the quad drawing makes it: left-lower, left-upper, right-lower, right-upper, for a
// triangle strip; centre and half sizes in view units, normal (0, 0, 1).
inline std::array<device_vertex, 4> quad_at(float cx, float cy, float half_w, float half_h, float z = 0.0f)
{
    return {{{cx - half_w, cy - half_h, z, 0, 0, 1, 0, 1},
             {cx - half_w, cy + half_h, z, 0, 0, 1, 0, 0},
             {cx + half_w, cy - half_h, z, 0, 0, 1, 1, 1},
             {cx + half_w, cy + half_h, z, 0, 0, 1, 1, 0}}};
}

// The same quad placed by its centre in screen pixels and its size in pixels.
inline std::array<device_vertex, 4> screen_quad(const render_device& d, float px, float py, float w, float h,
                                                float z = 0.0f)
{
    const float k = view_scale(d.width());
    const float cx = (px - static_cast<float>(d.width() / 2)) / k;
    const float cy = -(py - static_cast<float>(d.height() / 2)) / k;
    return quad_at(cx, cy, w / k / 2, h / k / 2, z);
}

// The sprite material: diffuse 1 - ambient, ambient (1, 1, 1), emissive colour - 1.
inline device_material sprite_material(float r, float g, float b, float a, float ambient = 1.0f)
{
    device_material m{};
    m.diffuse = {1 - ambient, 1 - ambient, 1 - ambient, a};
    m.ambient = {1, 1, 1, a};
    m.emissive = {r - 1, g - 1, b - 1, 0};
    return m;
}

inline device_light point_light(float x, float y, float z, float range, float r, float g, float b)
{
    device_light l{};
    l.type = k_light_point;
    l.diffuse = {r, g, b, 0};
    l.position = {x, y, z};
    l.range = range;
    l.attenuation0 = 1.0f;
    return l;
}

inline uint32_t byte_of(float c)
{
    return static_cast<uint32_t>(std::lround(std::fmin(1.0f, std::fmax(0.0f, c)) * 255.0f));
}

inline uint32_t argb_of(const lit_vertex& v)
{
    return 0xFF000000u | uint32_t(v.r) << 16 | uint32_t(v.g) << 8 | v.b;
}
