#include "platform/recording_device.h"

#include <utility>

recording_device::recording_device(uint32_t width, uint32_t height) : render_device(width, height) {}

void recording_device::clear(uint32_t flags, uint32_t argb, float)
{
    break_batch();
    if (flags & k_clear_target)
        clear_colour_ = argb;
    log(device_call::clear, flags, argb);
}

void recording_device::begin_scene()
{
    break_batch();
    log(device_call::begin_scene);
}

void recording_device::end_scene()
{
    break_batch();
    log(device_call::end_scene);
}

bool recording_device::present()
{
    break_batch();
    log(device_call::present);
    return true;
}

bool recording_device::read_frame(std::vector<uint32_t>& argb)
{
    break_batch();
    if (!frame_.empty()) {
        argb = frame_;
        return true;
    }
    argb.assign(static_cast<size_t>(width()) * height(), clear_colour_ | 0xFF000000u);
    return true;
}

void recording_device::set_frame(std::vector<uint32_t> argb)
{
    frame_ = std::move(argb);
    if (frame_.size() != static_cast<size_t>(width()) * height())
        frame_.clear();
}

void recording_device::submit(primitive_type type, const lit_vertex* vertices, uint32_t vertex_count,
                              const uint16_t* indices, uint32_t index_count, batch_join join)
{
    if (states_.empty() ||
        (dirty_ & (dirty_render_states | dirty_stage | dirty_transforms | dirty_viewport | dirty_scissor)))
        states_.push_back(current_states());
    dirty_ = 0;
    recorded_draw d;
    d.type = type;
    d.join = join;
    if (join != batch_join::continues)
        ++draw_calls_;
    d.texture = get_texture();
    if (!material_recorded_) {
        materials_.push_back(get_material());
        material_recorded_ = true;
    }
    d.material = static_cast<uint32_t>(materials_.size() - 1);
    d.first_vertex = static_cast<uint32_t>(vertices_.size());
    d.vertex_count = vertex_count;
    d.first_index = static_cast<uint32_t>(indices_.size());
    d.index_count = indices ? index_count : 0;
    d.states = static_cast<uint32_t>(states_.size() - 1);
    vertices_.insert(vertices_.end(), vertices, vertices + vertex_count);
    if (indices)
        indices_.insert(indices_.end(), indices, indices + index_count);
    log(device_call::draw, 0, static_cast<uint32_t>(draws_.size()));
    draws_.push_back(d);
}

bool recording_device::screen_position(const recorded_draw& draw, uint32_t i, float& x, float& y, float& z) const
{
    if (i >= draw.vertex_count)
        return false;
    const recorded_states& s = states_of(draw);
    const matrix4 m = matrix_multiply(
        matrix_multiply(s.get(transform_kind::world), s.get(transform_kind::view)), s.get(transform_kind::projection));
    const lit_vertex& v = vertices_of(draw)[i];
    float clip[4];
    matrix_transform_point(m, {v.x, v.y, v.z}, clip);
    if (!(clip[3] > 0.0f))
        return false;
    const device_viewport& vp = s.viewport;
    x = vp.x + (clip[0] / clip[3] + 1.0f) * 0.5f * vp.width;
    y = vp.y + (1.0f - clip[1] / clip[3]) * 0.5f * vp.height;
    z = vp.min_z + clip[2] / clip[3] * (vp.max_z - vp.min_z);
    return true;
}

void recording_device::clear_recording()
{
    calls_.clear();
    draws_.clear();
    states_.clear();
    materials_.clear();
    material_recorded_ = false;
    vertices_.clear();
    indices_.clear();
}

void recording_device::render_state_changed(render_state s, uint32_t v)
{
    log(device_call::render_state, static_cast<uint32_t>(s), v);
}

void recording_device::stage_state_changed(texture_stage_state s, uint32_t v)
{
    log(device_call::stage_state, static_cast<uint32_t>(s), v);
}

void recording_device::transform_changed(transform_kind k)
{
    log(device_call::transform, static_cast<uint32_t>(k));
}

void recording_device::material_changed()
{
    material_recorded_ = false;
    log(device_call::material);
}

void recording_device::light_changed(uint32_t index)
{
    log(device_call::light, index);
}

void recording_device::light_enable_changed(uint32_t index, bool on)
{
    log(device_call::light_enable, index, on ? 1 : 0);
}

void recording_device::texture_bound(device_texture* t)
{
    log(device_call::texture, 0, t ? 1 : 0);
}

void recording_device::viewport_changed()
{
    log(device_call::viewport);
}

void recording_device::scissor_changed()
{
    device_rect r;
    log(device_call::scissor, 0, get_scissor(r) ? 1 : 0);
}
