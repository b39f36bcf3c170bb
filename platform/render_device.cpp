#include "platform/render_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

struct render_device::internals {
    struct active_light {
        float px, py, pz;    // view-space position
        float dx, dy, dz;    // view-space spot direction, unit length (0 when it has none)
        float range;
        float r, g, b;       // material diffuse × light colour
        float a0, a1, a2;
        bool plain_attenuation; // a0 = 1, a1 = a2 = 0
        bool spot;
        float cos_half_theta, cos_half_phi, falloff;
    };

    matrix4 world_view;
    float normal[3][3]; // row-vector matrix taking object normals to view space
    active_light lights[k_device_light_slots];
    int light_count = 0;
    float base_r = 0, base_g = 0, base_b = 0;
    uint8_t alpha = 0;
    // The colour of a vertex no light reaches: the base terms clamped, and the alpha.
    uint8_t unlit_r = 0, unlit_g = 0, unlit_b = 0;
    std::unordered_set<device_texture*> textures;
};

namespace {

uint8_t to_byte(float c)
{
    if (!(c > 0.0f)) // also NaN
        return 0;
    if (c >= 1.0f)
        return 255;
    return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

uint32_t minimum_count(primitive_type type)
{
    switch (type) {
    case primitive_type::point_list: return 1;
    case primitive_type::line_strip: return 2;
    default: return 3;
    }
}

// Transpose of the inverse of the upper 3 × 3 of m; identity when m is singular there.
void normal_matrix(const matrix4& m, float out[3][3])
{
    const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
    const float co00 = e * i - f * h, co01 = -(d * i - f * g), co02 = d * h - e * g;
    const float det = a * co00 + b * co01 + c * co02;
    if (std::fabs(det) < 1e-20f) {
        for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 3; ++k)
                out[r][k] = r == k ? 1.0f : 0.0f;
        return;
    }
    const float s = 1.0f / det;
    // inverse = adjugate / det; the transpose of the inverse is the cofactor matrix / det.
    out[0][0] = co00 * s;
    out[0][1] = co01 * s;
    out[0][2] = co02 * s;
    out[1][0] = -(b * i - c * h) * s;
    out[1][1] = (a * i - c * g) * s;
    out[1][2] = -(a * h - b * g) * s;
    out[2][0] = (b * f - c * e) * s;
    out[2][1] = -(a * f - c * d) * s;
    out[2][2] = (a * e - b * d) * s;
}

} // namespace

render_device::render_device(uint32_t width, uint32_t height)
    : width_(width), height_(height), inner_(std::make_unique<internals>())
{
    static uint64_t made = 0;
    serial_ = ++made;
    using rs = render_state;
    auto set = [this](rs s, uint32_t v) { states_[static_cast<int>(s)] = v; };
    set(rs::lighting, 1);
    set(rs::ambient, 0);
    set(rs::z_enable, static_cast<uint32_t>(z_mode::on));
    set(rs::z_write, 1);
    set(rs::shade_mode, static_cast<uint32_t>(shade_mode::gouraud));
    set(rs::alpha_test, 0);
    set(rs::alpha_ref, 0);
    set(rs::alpha_func, static_cast<uint32_t>(compare_func::always));
    set(rs::alpha_blend, 0);
    set(rs::src_blend, static_cast<uint32_t>(blend_factor::one));
    set(rs::dest_blend, static_cast<uint32_t>(blend_factor::zero));
    set(rs::cull_mode, static_cast<uint32_t>(cull_mode::counter_clockwise));
    set(rs::fill_mode, static_cast<uint32_t>(fill_mode::solid));
    set(rs::dither, 0);
    set(rs::texture_perspective, 1);
    set(rs::last_pixel, 1);

    using ts = texture_stage_state;
    auto stage = [this](ts s, uint32_t v) { stage_[static_cast<int>(s)] = v; };
    stage(ts::colour_op, static_cast<uint32_t>(texture_op::modulate));
    stage(ts::colour_arg1, static_cast<uint32_t>(texture_arg::texture));
    stage(ts::colour_arg2, static_cast<uint32_t>(texture_arg::diffuse));
    stage(ts::alpha_op, static_cast<uint32_t>(texture_op::select_arg1));
    stage(ts::alpha_arg1, static_cast<uint32_t>(texture_arg::texture));
    stage(ts::alpha_arg2, static_cast<uint32_t>(texture_arg::diffuse));
    stage(ts::min_filter, static_cast<uint32_t>(texture_filter::point));
    stage(ts::mag_filter, static_cast<uint32_t>(texture_filter::point));
    stage(ts::mip_filter, static_cast<uint32_t>(texture_filter::none));
    stage(ts::address_u, static_cast<uint32_t>(texture_address::wrap));
    stage(ts::address_v, static_cast<uint32_t>(texture_address::wrap));
    stage(ts::max_anisotropy, 1);

    for (auto& t : transforms_)
        t = matrix_identity();
    viewport_ = {0, 0, width, height, 0.0f, 1.0f};
    std::memset(&material_, 0, sizeof material_);
    std::memset(lights_, 0, sizeof lights_);
    std::memset(light_on_, 0, sizeof light_on_);
}

render_device::~render_device()
{
    for (device_texture* t : inner_->textures)
        delete t;
}

void render_device::set_render_state(render_state state, uint32_t value)
{
    const int i = static_cast<int>(state);
    if (i >= static_cast<int>(render_state::count) || states_[i] == value)
        return;
    states_[i] = value;
    dirty_ |= dirty_render_states;
    dirty_states_ |= 1u << i;
    if (state == render_state::ambient || state == render_state::lighting)
        lighting_stale_ = true;  // lit into the vertices: a batch goes on
    else
        touch_batch();
    render_state_changed(state, value);
}

void render_device::set_texture_stage_state(texture_stage_state state, uint32_t value)
{
    const int i = static_cast<int>(state);
    if (i >= static_cast<int>(texture_stage_state::count) || stage_[i] == value)
        return;
    stage_[i] = value;
    dirty_ |= dirty_stage;
    dirty_stage_states_ |= 1u << i;
    touch_batch();
    stage_state_changed(state, value);
}

void render_device::set_transform(transform_kind kind, const matrix4& m)
{
    const int i = static_cast<int>(kind);
    if (i >= static_cast<int>(transform_kind::count))
        return;
    if (std::memcmp(&transforms_[i], &m, sizeof m) == 0)
        return;
    transforms_[i] = m;
    dirty_ |= dirty_transforms;
    touch_batch();
    if (kind != transform_kind::projection)
        view_stale_ = true;
    transform_changed(kind);
}

void render_device::set_viewport(const device_viewport& viewport)
{
    if (std::memcmp(&viewport_, &viewport, sizeof viewport) == 0)
        return;
    viewport_ = viewport;
    dirty_ |= dirty_viewport;
    touch_batch();
    viewport_changed();
}

void render_device::set_material(const device_material& material)
{
    if (std::memcmp(&material_, &material, sizeof material) == 0)
        return;
    material_ = material;
    lighting_stale_ = true;
    material_changed();
}

bool render_device::set_light(uint32_t index, const device_light& light)
{
    if (index >= k_device_light_slots)
        return false;
    if (std::memcmp(&lights_[index], &light, sizeof light) == 0)
        return true;
    lights_[index] = light;
    if (light_on_[index])
        lighting_stale_ = true;
    light_changed(index);
    return true;
}

bool render_device::get_light(uint32_t index, device_light& out) const
{
    if (index >= k_device_light_slots)
        return false;
    out = lights_[index];
    return true;
}

bool render_device::light_enable(uint32_t index, bool on)
{
    if (index >= k_device_light_slots)
        return false;
    if (light_on_[index] == on)
        return true;
    light_on_[index] = on;
    lighting_stale_ = true;
    light_enable_changed(index, on);
    return true;
}

bool render_device::is_light_enabled(uint32_t index) const
{
    return index < k_device_light_slots && light_on_[index];
}

void render_device::set_texture(device_texture* texture)
{
    if (texture_ == texture)
        return;
    texture_ = texture;
    dirty_ |= dirty_texture;
    texture_bound(texture);
}

// Rebuilds the view-space light list and the colour terms that do not depend on the vertex.
void render_device::prepare_lighting()
{
    internals& c = *inner_;
    if (view_stale_) {
        c.world_view = matrix_multiply(get_transform(transform_kind::world), get_transform(transform_kind::view));
        normal_matrix(c.world_view, c.normal);
    }
    const device_material& m = material_;
    const uint32_t ambient = states_[static_cast<int>(render_state::ambient)];
    const float ar = ((ambient >> 16) & 0xFF) / 255.0f;
    const float ag = ((ambient >> 8) & 0xFF) / 255.0f;
    const float ab = (ambient & 0xFF) / 255.0f;
    c.base_r = m.emissive.r + m.ambient.r * ar;
    c.base_g = m.emissive.g + m.ambient.g * ag;
    c.base_b = m.emissive.b + m.ambient.b * ab;
    c.alpha = to_byte(m.diffuse.a);
    c.unlit_r = to_byte(c.base_r);
    c.unlit_g = to_byte(c.base_g);
    c.unlit_b = to_byte(c.base_b);

    const matrix4& view = get_transform(transform_kind::view);
    c.light_count = 0;
    for (uint32_t i = 0; i < k_device_light_slots; ++i) {
        if (!light_on_[i])
            continue;
        const device_light& l = lights_[i];
        if (l.type != k_light_point && l.type != k_light_spot)
            continue;
        internals::active_light& a = c.lights[c.light_count++];
        float p[4];
        matrix_transform_point(view, l.position, p);
        a.px = p[0];
        a.py = p[1];
        a.pz = p[2];
        a.range = l.range;
        a.r = m.diffuse.r * l.diffuse.r;
        a.g = m.diffuse.g * l.diffuse.g;
        a.b = m.diffuse.b * l.diffuse.b;
        a.a0 = l.attenuation0;
        a.a1 = l.attenuation1;
        a.a2 = l.attenuation2;
        a.plain_attenuation = l.attenuation0 == 1.0f && l.attenuation1 == 0.0f && l.attenuation2 == 0.0f;
        a.spot = l.type == k_light_spot;
        const vec3& d = l.direction;
        float dx = d.x * view.m[0][0] + d.y * view.m[1][0] + d.z * view.m[2][0];
        float dy = d.x * view.m[0][1] + d.y * view.m[1][1] + d.z * view.m[2][1];
        float dz = d.x * view.m[0][2] + d.y * view.m[1][2] + d.z * view.m[2][2];
        const float len = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (len > 1e-20f) {
            dx /= len;
            dy /= len;
            dz /= len;
        } else {
            dx = dy = dz = 0.0f;
        }
        a.dx = dx;
        a.dy = dy;
        a.dz = dz;
        a.cos_half_theta = std::cos(l.theta * 0.5f);
        a.cos_half_phi = std::cos(l.phi * 0.5f);
        a.falloff = l.falloff;
    }
    lighting_stale_ = false;
    view_stale_ = false;
}

void render_device::light_vertices(const device_vertex* vertices, uint32_t count)
{
    if (lit_.size() < count)
        lit_.resize(std::max<size_t>(count, 64));
    lit_vertex* out = lit_.data();
    const bool lighting = states_[static_cast<int>(render_state::lighting)] != 0;
    if (lighting && (lighting_stale_ || view_stale_))
        prepare_lighting();
    const internals& c = *inner_;
    if (!lighting || c.light_count == 0) {
        // One colour for every vertex: white without lighting, else what no light adds to.
        const uint8_t r = lighting ? c.unlit_r : 255, g = lighting ? c.unlit_g : 255,
                      b = lighting ? c.unlit_b : 255, a = lighting ? c.alpha : 255;
        for (uint32_t i = 0; i < count; ++i) {
            const device_vertex& v = vertices[i];
            out[i] = {v.x, v.y, v.z, v.u, v.v, r, g, b, a};
        }
        return;
    }
    const matrix4& wv = c.world_view;
    for (uint32_t i = 0; i < count; ++i) {
        const device_vertex& v = vertices[i];
        out[i].x = v.x;
        out[i].y = v.y;
        out[i].z = v.z;
        out[i].u = v.u;
        out[i].v = v.v;
        const float px = v.x * wv.m[0][0] + v.y * wv.m[1][0] + v.z * wv.m[2][0] + wv.m[3][0];
        const float py = v.x * wv.m[0][1] + v.y * wv.m[1][1] + v.z * wv.m[2][1] + wv.m[3][1];
        const float pz = v.x * wv.m[0][2] + v.y * wv.m[1][2] + v.z * wv.m[2][2] + wv.m[3][2];
        const float nx = v.nx * c.normal[0][0] + v.ny * c.normal[1][0] + v.nz * c.normal[2][0];
        const float ny = v.nx * c.normal[0][1] + v.ny * c.normal[1][1] + v.nz * c.normal[2][1];
        const float nz = v.nx * c.normal[0][2] + v.ny * c.normal[1][2] + v.nz * c.normal[2][2];
        float r = c.base_r, g = c.base_g, b = c.base_b;
        for (int k = 0; k < c.light_count; ++k) {
            const internals::active_light& l = c.lights[k];
            float lx = l.px - px, ly = l.py - py, lz = l.pz - pz;
            const float d2 = lx * lx + ly * ly + lz * lz;
            if (d2 > l.range * l.range)
                continue;
            const float d = std::sqrt(d2);
            if (d > 0.0f) {
                lx /= d;
                ly /= d;
                lz /= d;
            }
            const float n_dot_l = nx * lx + ny * ly + nz * lz;
            if (!(n_dot_l > 0.0f))
                continue;
            float f = n_dot_l;
            if (!l.plain_attenuation) {
                const float att = l.a0 + l.a1 * d + l.a2 * d2;
                if (att > 0.0f)
                    f /= att;
            }
            if (l.spot) {
                const float rho = -(lx * l.dx + ly * l.dy + lz * l.dz);
                if (rho <= l.cos_half_phi)
                    continue;
                if (rho < l.cos_half_theta) {
                    float s = (rho - l.cos_half_phi) / (l.cos_half_theta - l.cos_half_phi);
                    if (l.falloff != 1.0f)
                        s = std::pow(s, l.falloff);
                    f *= s;
                }
            }
            r += l.r * f;
            g += l.g * f;
            b += l.b * f;
        }
        out[i].r = to_byte(r);
        out[i].g = to_byte(g);
        out[i].b = to_byte(b);
        out[i].a = c.alpha;
    }
}

bool same_drawing_states(const draw_states& a, const draw_states& b)
{
    for (int i = 0; i < static_cast<int>(render_state::count); ++i) {
        const auto s = static_cast<render_state>(i);
        if (a.render[i] != b.render[i] && s != render_state::lighting && s != render_state::ambient)
            return false;
    }
    return std::memcmp(a.stage, b.stage, sizeof a.stage) == 0 &&
           std::memcmp(a.transforms, b.transforms, sizeof a.transforms) == 0 &&
           std::memcmp(&a.viewport, &b.viewport, sizeof a.viewport) == 0 && a.scissor_on == b.scissor_on &&
           std::memcmp(&a.scissor, &b.scissor, sizeof a.scissor) == 0;
}

draw_states render_device::current_states() const
{
    draw_states s;
    std::memcpy(s.render, states_, sizeof states_);
    std::memcpy(s.stage, stage_, sizeof stage_);
    std::memcpy(s.transforms, transforms_, sizeof transforms_);
    s.viewport = viewport_;
    s.scissor_on = scissor_on_;
    s.scissor = scissor_;
    return s;
}

batch_join render_device::join_batch(primitive_type type, uint32_t count, const uint16_t* indices)
{
    const bool quad = type == primitive_type::triangle_strip && count == 4 && !indices;
    batch_join join = batch_join::starts;
    if (quad && batch_open_ && (!batch_touched_ || same_drawing_states(batch_states_, current_states())))
        join = texture_ == batch_texture_ ? batch_join::continues : batch_join::other_texture;
    batch_open_ = quad;
    batch_touched_ = false;
    if (join == batch_join::starts && quad)
        batch_states_ = current_states();
    batch_texture_ = texture_;
    return join;
}

bool render_device::draw_primitive(primitive_type type, const device_vertex* vertices, uint32_t count)
{
    if (!vertices || count < minimum_count(type))
        return false;
    light_vertices(vertices, count);
    submit(type, lit_.data(), count, nullptr, 0, join_batch(type, count, nullptr));
    return true;
}

bool render_device::draw_indexed_primitive(primitive_type type, const device_vertex* vertices, uint32_t vertex_count,
                                           const uint16_t* indices, uint32_t index_count)
{
    if (!vertices || !indices || vertex_count == 0 || index_count < minimum_count(type))
        return false;
    for (uint32_t i = 0; i < index_count; ++i)
        if (indices[i] >= vertex_count)
            return false;
    light_vertices(vertices, vertex_count);
    submit(type, lit_.data(), vertex_count, indices, index_count, join_batch(type, vertex_count, indices));
    return true;
}

bool render_device::draw_coloured_primitive(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count,
                                            const uint16_t* indices, uint32_t index_count)
{
    if (!vertices || vertex_count == 0)
        return false;
    if (!indices) {
        if (vertex_count < minimum_count(type))
            return false;
        submit(type, vertices, vertex_count, nullptr, 0, join_batch(type, vertex_count, nullptr));
        return true;
    }
    if (index_count < minimum_count(type))
        return false;
    for (uint32_t i = 0; i < index_count; ++i)
        if (indices[i] >= vertex_count)
            return false;
    submit(type, vertices, vertex_count, indices, index_count, join_batch(type, vertex_count, indices));
    return true;
}

void render_device::set_scissor(const device_rect* rect)
{
    const bool on = rect != nullptr;
    if (on == scissor_on_ && (!on || std::memcmp(rect, &scissor_, sizeof scissor_) == 0))
        return;
    scissor_on_ = on;
    scissor_ = on ? *rect : device_rect{};
    dirty_ |= dirty_scissor;
    touch_batch();
    scissor_changed();
}

bool render_device::get_scissor(device_rect& out) const
{
    if (scissor_on_)
        out = scissor_;
    return scissor_on_;
}

device_texture* render_device::create_texture(uint32_t width, uint32_t height, texture_format format, bool mipmaps,
                                              const void* pixels)
{
    if (!texture_format_known(static_cast<uint32_t>(format)) || width == 0 || height == 0 || width > 8192 ||
        height > 8192)
        return nullptr;
    auto* t = new device_texture;
    t->width = width;
    t->height = height;
    t->format = format;
    t->mipmaps = mipmaps;
    t->pitch = texture_pitch(format, width);
    t->rows = texture_rows(format, height);
    const size_t size = static_cast<size_t>(t->pitch) * t->rows;
    if (pixels)
        t->pixels.assign(static_cast<const uint8_t*>(pixels), static_cast<const uint8_t*>(pixels) + size);
    else
        t->pixels.assign(size, 0);
    inner_->textures.insert(t);
    texture_created(t);
    return t;
}

bool render_device::lock_texture(device_texture* texture, texture_lock& lock)
{
    if (!texture || texture->locked || !inner_->textures.count(texture))
        return false;
    texture->locked = true;
    lock.bits = texture->pixels.data();
    lock.pitch = texture->pitch;
    lock.rows = texture->rows;
    return true;
}

void render_device::unlock_texture(device_texture* texture, bool changed)
{
    if (!texture || !texture->locked || !inner_->textures.count(texture))
        return;
    texture->locked = false;
    if (changed) {
        break_batch();
        texture_changed(texture);
    }
}

std::vector<device_texture*> render_device::live_textures() const
{
    return {inner_->textures.begin(), inner_->textures.end()};
}

void render_device::release_texture(device_texture* texture)
{
    if (!texture || !inner_->textures.erase(texture))
        return;
    if (texture_ == texture)
        set_texture(nullptr);
    break_batch();
    texture_released(texture);
    delete texture;
}

render_state_guard::render_state_guard(render_device& device, render_state state, uint32_t value)
    : device_(device), state_(state), saved_(device.get_render_state(state))
{
    device.set_render_state(state, value);
}

render_state_guard::~render_state_guard()
{
    device_.set_render_state(state_, saved_);
}

stage_state_guard::stage_state_guard(render_device& device, texture_stage_state state, uint32_t value)
    : device_(device), state_(state), saved_(device.get_texture_stage_state(state))
{
    device.set_texture_stage_state(state, value);
}

stage_state_guard::~stage_state_guard()
{
    device_.set_texture_stage_state(state_, saved_);
}

transform_guard::transform_guard(render_device& device, transform_kind kind, const matrix4& m)
    : device_(device), kind_(kind), saved_(device.get_transform(kind))
{
    device.set_transform(kind, m);
}

transform_guard::~transform_guard()
{
    device_.set_transform(kind_, saved_);
}
