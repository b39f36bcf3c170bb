#include "engine/model_draw.h"

#include "core/globals.h"
#include "engine/models.h"
#include "engine/render_context.h"
#include "engine/textures.h"

#include <algorithm>
#include <cstring>
#include <vector>


namespace {

constexpr float k_degrees = 0.017453292f;
constexpr float k_depth_span = 650.0f;
constexpr float k_vertex_scale_x = 1.35f;
constexpr float k_shadow_squash = 0.6f;

// Pixels per view unit at the model's height, for the scale and axis factor f.
float placement_unit(float z, float s, float f)
{
    const float d = 1.0f - z / k_depth_span;
    return pixels_per_view_unit() / d * s * f;
}

// The placement matrix: rotations about z, y and x, then the move to (X, Y, z).
matrix4 placement(float x, float y, float z, float s, float f, int32_t ax, int32_t ay, int32_t az, bool shadow)
{
    const float zoom = g_zoom;
    const float k = placement_unit(z, s, f);
    const float vx = ((x * zoom - float(g_screen_width / 2)) - g_camera_x * zoom) / k;
    float vy = -((y * zoom - float(g_screen_height / 2)) - g_camera_y * zoom) / k;
    if (shadow)
        vy /= k_shadow_squash;
    matrix4 p = matrix_multiply(matrix_rotation_z(float(az) * k_degrees), matrix_rotation_y(float(ay) * k_degrees));
    p = matrix_multiply(p, matrix_rotation_x(float(ax) * k_degrees));
    return matrix_multiply(p, matrix_translation(vx, vy, z));
}

// A released texture slot: no surface and no name left.
bool texture_released(int32_t slot)
{
    return slot >= 0 && slot < g_texture_count && !g_textures[slot].surface && g_textures[slot].name[0] == '\0';
}

device_texture* texture_surface(int32_t slot)
{
    return slot >= 0 && slot < g_texture_count ? g_textures[slot].surface : nullptr;
}

// Draws one material's run of indices over only the vertices it uses, so that the device
// lights each vertex once per draw rather than once per material.
void draw_run(render_device& device, const model_mesh& mesh, size_t first, size_t count)
{
    const uint16_t* run = mesh.indices.data() + first;
    uint16_t low = 0xFFFF, high = 0;
    for (size_t i = 0; i < count; ++i) {
        low = std::min(low, run[i]);
        high = std::max(high, run[i]);
    }
    if (high >= mesh.vertices.size())
        return;
    if (low > 0) {
        static std::vector<uint16_t> rebased;
        rebased.resize(count);
        for (size_t i = 0; i < count; ++i)
            rebased[i] = uint16_t(run[i] - low);
        run = rebased.data();
    }
    device.draw_indexed_primitive(primitive_type::triangle_list, mesh.vertices.data() + low,
                                  uint32_t(high - low + 1), run, uint32_t(count));
}

} // namespace

void draw_model(model* m, float x, float y, float z, float scale, int32_t angle_x, int32_t angle_y, int32_t angle_z,
                uint32_t depth_test, int32_t frame, uint32_t /*mirrored*/, uint32_t shadow, int32_t skin, float scale_x,
                float scale_y, int32_t variant)
{
    if (!m->mesh)
        return;
    select_model_skin(m, skin, variant);
    if (frame != m->current_frame && frame >= 0 && frame < m->frame_count) {
        set_model_frame(m, frame);
        m->current_frame = frame;
    }
    render_device* device = g_d3d_device;
    if (!device)
        return;

    const float s = scale * g_zoom;
    const matrix4 place = placement(x, y, z, s, scale_x, angle_x, angle_y, angle_z, shadow != 0);
    const matrix4 view0 = device->get_transform(transform_kind::view);
    const float squash = shadow ? k_shadow_squash : 1.0f;
    device->set_transform(transform_kind::view,
                          matrix_multiply(matrix_scaling(s * scale_x, squash * s * scale_y, -s), view0));
    const matrix4 world0 = device->get_transform(transform_kind::world);
    device->set_transform(transform_kind::world, matrix_multiply(place, world0));

    if (depth_test == 0)
        device->set_render_state(render_state::z_enable, z_mode::off);
    else
        device->set_render_state(render_state::z_enable, g_wbuffer_switch == 0 ? z_mode::w_buffer : z_mode::on);
    if (shadow) {
        device->set_render_state(render_state::shade_mode, shade_mode::flat);
        device->set_render_state(render_state::z_enable, z_mode::off);
    }

    model_mesh& mesh = *m->mesh;
    size_t first = 0;
    for (uint32_t i = 0; i < mesh.material_count && i < k_model_max_materials; ++i) {
        const model_material& material = mesh.materials[i];
        const size_t count = material.index_count;
        if (count == 0)
            continue;
        if (first + count > mesh.indices.size())
            break;
        device->set_texture_stage_state(texture_stage_state::mip_filter, texture_filter::linear);
        const int32_t t = m->material_textures[i];
        if (texture_released(t)) {
            char path[k_model_name_size];
            std::memcpy(path, mesh.materials[0].texture_name, sizeof path);
            path[sizeof path - 1] = '\0';
            load_model_skins(m, path);
        }
        if (device_texture* surface = texture_surface(t))
            device->set_texture(surface);
        device->set_material(material.colour);
        draw_run(*device, mesh, first, count);
        first += count;
    }

    if (shadow)
        device->set_render_state(render_state::shade_mode, shade_mode::gouraud);
    device->set_transform(transform_kind::view, view0);
    device->set_render_state(render_state::z_enable, z_mode::off);
    device->set_transform(transform_kind::world, world0);
}

float* get_model_vertex_world_pos(const model* m, float x, float y, float z, float scale, int32_t angle_x,
                                  int32_t angle_y, int32_t angle_z, uint32_t vertex, float out[4])
{
    if (!m->mesh || vertex >= m->mesh->vertices.size())
        return nullptr;
    const float zoom = g_zoom;
    const float s = scale * zoom;
    const matrix4 place = placement(x, y, z, s, k_vertex_scale_x, angle_x, angle_y, angle_z, false);
    const device_vertex& v = m->mesh->vertices[vertex];
    float q[4];
    matrix_transform_point(place, {v.x, v.y, v.z}, q);
    const float k = placement_unit(q[2], s, k_vertex_scale_x);
    out[0] = (k * q[0] + float(g_screen_width / 2) + g_camera_x * zoom) / zoom;
    out[1] = (-q[1] * k + float(g_screen_height / 2) + g_camera_y * zoom) / zoom;
    out[2] = q[2];
    out[3] = q[3];
    return out;
}

void set_model_colour(model* m, float r, float g, float b, float a)
{
    if (!m->mesh)
        return;
    for (model_material& material : m->mesh->materials) {
        device_material& c = material.colour;
        c = device_material{};
        c.diffuse = {1.0f - g_ambient_color.red, 1.0f - g_ambient_color.green, 1.0f - g_ambient_color.blue, a};
        c.ambient = {1.0f, 1.0f, 1.0f, a};
        c.emissive = {r - 1.0f, g - 1.0f, b - 1.0f, 0.0f};
    }
}

void set_model_rgba(model* m, float r, float g, float b, float a)
{
    if (!m->mesh)
        return;
    for (model_material& material : m->mesh->materials) {
        material.colour = device_material{};
        material.colour.diffuse = {r, g, b, a};
        material.colour.ambient = material.colour.diffuse;
    }
}
