#include "engine/lights.h"

#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "engine/packed_stream.h"
#include "engine/quads.h"
#include "engine/record_io.h"
#include "engine/render_context.h"
#include "engine/textures.h"

#include <cstring>

light_record g_lights[k_light_slots];
uint8_t g_light_count = 0;

namespace {

// Table slot i is device light i; nothing reaches the device before it exists.
void device_set_light(int32_t slot, const light_record& light)
{
    if (g_d3d_device)
        g_d3d_device->set_light(uint32_t(slot), light.device);
}

void device_enable_light(int32_t slot, bool on)
{
    if (g_d3d_device)
        g_d3d_device->light_enable(uint32_t(slot), on);
}

// The editor's light mode marks each light, and a spot light's target as well.
void draw_light_markers(const light_record& light)
{
    static const sprite_rect k_marker = {0, 0, 8, 8};
    draw_sprite_world(g_fixed_textures[k_texture_select], light.x, light.y, 1.0f, 1.5f, 0, &k_marker);
    if (light.kind == k_light_kind_spot)
        draw_sprite_world(g_fixed_textures[k_texture_select3], light.target_x, light.target_y, 1.0f, 1.5f, 0,
                          &k_marker);
}

void move_lights_z(float dz)
{
    for (int i = 0; i < g_light_count; ++i) {
        light_record& light = g_lights[i];
        if (light.state == k_light_free)
            continue;
        light.device.position.z += dz;
        if (light.kind == k_light_kind_spot)
            light.device.direction.z += dz;
        device_set_light(i, light);
    }
}

template <class Io>
void colour_fields(Io& io, uint32_t at, auto& c)
{
    io.f32(at, c.r);
    io.f32(at + 4, c.g);
    io.f32(at + 8, c.b);
    io.f32(at + 12, c.a);
}

template <class Io>
void vector_fields(Io& io, uint32_t at, auto& v)
{
    io.f32(at, v.x);
    io.f32(at + 4, v.y);
    io.f32(at + 8, v.z);
}

// The 180-byte record of the level map file.
template <class Io, class Light>
void light_fields(Io& io, Light& l)
{
    auto& d = l.device;
    io.u32(0, d.type);
    colour_fields(io, 4, d.diffuse);
    colour_fields(io, 20, d.specular);
    colour_fields(io, 36, d.ambient);
    vector_fields(io, 52, d.position);
    vector_fields(io, 64, d.direction);
    io.f32(76, d.range);
    io.f32(80, d.falloff);
    io.f32(84, d.attenuation0);
    io.f32(88, d.attenuation1);
    io.f32(92, d.attenuation2);
    io.f32(96, d.theta);
    io.f32(100, d.phi);
    io.u8(104, l.state);
    io.bytes(105, l.pad105, 3);
    io.f32(108, l.x);
    io.f32(112, l.y);
    io.f32(116, l.z);
    io.f32(120, l.r);
    io.f32(124, l.g);
    io.f32(128, l.b);
    io.u32(132, l.unused132);
    io.u32(136, l.selected);
    io.u8(140, l.kind);
    io.bytes(141, l.pad141, 3);
    io.f32(144, l.target_x);
    io.f32(148, l.target_y);
    io.u32(152, l.unused152);
    io.f32(156, l.range);
    io.f32(160, l.theta);
    io.f32(164, l.phi);
    io.u32(168, l.next_fade_tick);
    io.bytes(172, l.unused172, 8);
}

} // namespace

void light_init(light_record* light, uint8_t kind, float x, float y, float z, float range)
{
    light->state = k_light_on;
    light->device = device_light{};
    light->kind = kind;
    if (kind == k_light_kind_spot) {
        light->device.type = k_light_kind_spot;
        light->device.falloff = 1.0f;
    } else {
        light->device.type = k_light_kind_point;
    }
    light->x = x;
    light->y = y;
    light->z = z;
    light->range = range;
    light->device.position = {x, y, z};
    if (kind == k_light_kind_spot) {
        light->theta = light->device.theta = 1.0f;
        light->phi = light->device.phi = 2.0f;
        light->target_x = x + 20.0f;
        light->target_y = y;
        light->device.direction = {light->target_x, light->target_y, z};
    }
    light->device.attenuation0 = 1.0f;
    light->device.range = range;
    light->next_fade_tick = 0;
}

void light_set_colour(light_record* light, float r, float g, float b)
{
    light->r = r;
    light->g = g;
    light->b = b;
}

int32_t create_light(uint8_t kind, float x, float y, float z, float r, float g, float b)
{
    int32_t slot = -1;
    for (int32_t i = 0; i < g_light_count; ++i) {
        if (g_lights[i].state == k_light_free) {
            slot = i;
            break;
        }
    }
    if (slot < 0) {
        if (g_light_count >= k_light_slots)
            return -1;
        slot = g_light_count++;
    }
    light_record* light = &g_lights[slot];
    light_init(light, kind, x, y, z, 10.0f);
    light_set_colour(light, r, g, b);
    device_set_light(slot, *light);
    device_enable_light(slot, true);
    return slot;
}

void light_switch_off(light_record* light)
{
    light->state = k_light_free;
}

void light_fade_out(light_record* light)
{
    light->state = k_light_fading;
}

void convert_light(light_record* light)
{
    device_light& d = light->device;
    float z = g_zoom;
    world_to_view(light->x, light->y, d.position.x, d.position.y);
    d.position.z = light->z;

    float f = z > 1.0f ? 0.85f : 1.0001f;
    d.range = light->range / (1.0f + (1.0f - z) * f);

    if (light->kind == k_light_kind_spot) {
        float tx, ty;
        world_to_view(light->target_x, light->target_y, tx, ty);
        d.direction = {tx - d.position.x, ty - d.position.y, light->z};
        d.theta = light->theta;
        d.phi = light->phi;
    }

    float m = g_screen_width <= 640 ? 2.0f : g_screen_width <= 800 ? 1.5f : 1.0f;
    d.diffuse.r = light->r * z * m;
    d.diffuse.g = light->g * z * m;
    d.diffuse.b = light->b * z * m;
}

void apply_lights()
{
    for (int32_t i = 0; i < g_light_count; ++i) {
        light_record& light = g_lights[i];
        if (light.state == k_light_on || light.state == k_light_fading) {
            convert_light(&light);
            device_set_light(i, light);
            device_enable_light(i, true);
            if (g_work_mode == k_work_light)
                draw_light_markers(light);
        }
        if (light.state == k_light_fading && light.next_fade_tick < g_ticks) {
            light.next_fade_tick = g_ticks + 2;
            float* channels[3] = {&light.r, &light.g, &light.b};
            bool lit = false;
            for (float* c : channels) {
                if (*c > 0.0f)
                    *c -= 0.05f;
                lit = lit || *c > 0.0f;
            }
            if (!lit) {
                light.state = k_light_free;
                device_enable_light(i, false);
            }
        }
    }
}

void raise_lights_z(float a, float b)
{
    move_lights_z(a / b);
}

void lower_lights_z(float a, float b)
{
    move_lights_z(-(a / b));
}

bool write_lights(packed_stream* stream)
{
    if (!stream)
        return false;
    if (stream_write_u32le(k_light_record_size, stream) < 0)
        return false;
    return write_table_records<k_light_record_size>(stream, k_light_slots, [](uint32_t i, uint8_t* bytes) {
        record_writer out{bytes};
        light_fields(out, g_lights[i]);
    });
}

bool read_lights(packed_stream* stream)
{
    if (!stream)
        return false;
    int64_t stored_size = stream_read_u32le(stream);
    if (stored_size < 0)
        return false;

    // Lights that are on or fading go off; those the table turns on come back below.
    for (int32_t i = 0; i < k_light_slots; ++i) {
        if (g_lights[i].state != k_light_free) {
            device_enable_light(i, false);
            g_lights[i].state = k_light_free;
        }
    }

    bool complete = true;
    for (light_record& light : g_lights) {
        uint8_t bytes[k_light_record_size] = {};
        if (complete)
            complete = read_stored_record(stream, bytes, sizeof bytes, uint32_t(stored_size));
        if (!complete)
            std::memset(bytes, 0, sizeof bytes);  // records after the end of the data stay free
        record_reader in{bytes};
        light_fields(in, light);
        light.next_fade_tick = 0;
    }

    g_light_count = 0;
    for (int32_t i = 0; i < k_light_slots; ++i) {
        light_record& light = g_lights[i];
        if (light.state != k_light_on)
            continue;
        float target_x = light.target_x, target_y = light.target_y;
        float theta = light.theta, phi = light.phi;
        light_init(&light, light.kind, light.x, light.y, light.z, light.range);
        if (light.kind == k_light_kind_spot) {
            light.target_x = target_x;
            light.target_y = target_y;
            light.theta = theta;
            light.phi = phi;
        }
        light_set_colour(&light, light.r, light.g, light.b);
        device_set_light(i, light);
        device_enable_light(i, true);
        g_light_count = uint8_t(i + 1);
    }
    return complete;
}

bool skip_lights(packed_stream* stream)
{
    const int64_t stored_size = stream ? stream_read_u32le(stream) : -1;
    return stored_size >= 0 && skip_stream_bytes(stream, uint64_t(stored_size) * k_light_slots);
}

namespace {

void enable_lit_lights(int slots, bool on)
{
    for (int32_t i = 0; i < slots && i < k_light_slots; ++i)
        if (g_lights[i].state == k_light_on)
            device_enable_light(i, on);
}

} // namespace

void begin_full_light(int slots)
{
    if (!g_d3d_device)
        return;
    enable_lit_lights(slots, false);
    g_d3d_device->set_render_state(render_state::ambient, 0xFFFFFFFFu);
}

void end_full_light(int slots)
{
    if (!g_d3d_device)
        return;
    enable_lit_lights(slots, true);
    set_device_ambient_light();
}
