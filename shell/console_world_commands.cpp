// The console's commands on world objects, object prototypes, the movement map, the weather and
// the render states.
#include "shell/console_command_parts.h"

#include "characters/placements.h"
#include "core/console_log.h"
#include "core/editor_globals.h"
#include "core/globals.h"
#include "engine/models.h"
#include "engine/render_context.h"
#include "engine/texture_packs.h"
#include "script/entities.h"
#include "world/camera_shake.h"
#include "world/movement_map.h"
#include "world/object_protos.h"
#include "world/weather.h"
#include "world/world_objects.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Each movement map side is held to this many cells (a level of 128 x 128 screens).
constexpr int32_t k_max_map_cells = 4096;
constexpr int32_t k_object_layers = 250;  // layer 250 marks a free slot

bool is_used(const world_object& o)
{
    return o.state != 0;
}

bool is_selected(const world_object& o)
{
    return o.highlight != 0;
}

template <class F>
void for_each_object(F f)
{
    for (uint32_t i = 0; i < g_object_count; ++i)
        f(g_objects[i], i);
}

template <class F>
void for_each_selected(F f)
{
    for_each_object([&](world_object& o, uint32_t i) {
        if (is_selected(o))
            f(o, i);
    });
}

bool layer_ok(int32_t layer)
{
    return console_index_ok(layer, k_object_layers, "layer");
}

bool map_size_ok(int32_t columns, int32_t rows, int32_t origin_column, int32_t origin_row)
{
    const bool ok = columns >= 1 && rows >= 1 && columns <= k_max_map_cells && rows <= k_max_map_cells &&
                    origin_column >= -k_max_map_cells && origin_column <= k_max_map_cells &&
                    origin_row >= -k_max_map_cells && origin_row <= k_max_map_cells;
    if (!ok)
        console_log("movement map %d x %d at %d, %d refused", columns, rows, origin_column, origin_row);
    return ok;
}

void set_fill_mode(fill_mode mode)
{
    if (g_d3d_device)
        g_d3d_device->set_render_state(render_state::fill_mode, mode);
}

void toggle_weather(const char* line, weather_emitters* weather, void (*start)(weather_emitters*, int16_t, float),
                    void (*stop)(weather_emitters*))
{
    int32_t strength = 1;
    std::sscanf(line, "%*s %d", &strength);
    if (weather->active) {
        stop(weather);
        return;
    }
    if (strength < 0 || strength > k_weather_members) {
        console_log("weather strength %d out of range", strength);
        return;
    }
    start(weather, int16_t(strength), g_zoom);
}

void start_snow_at_zoom(weather_emitters* weather, int16_t density, float)
{
    start_snow(weather, density);
}

} // namespace

void run_posunall(const char* line)
{
    int32_t dx = 0, dy = 0;
    std::sscanf(line, "%*s %d %d", &dx, &dy);
    for_each_object([&](world_object& o, uint32_t) {
        if (!is_used(o))
            return;
        if (o.has_corners) {
            for (int k = 0; k < 4; ++k) {
                o.corners[2 * k] += float(dx);
                o.corners[2 * k + 1] += float(dy);
            }
        } else {
            o.x += float(dx);
            o.y += float(dy);
        }
    });
}

void run_vymaz(const char*)
{
    for_each_object([](world_object& o, uint32_t) { reset_object(&o); });
}

void run_resetobjs(const char*)
{
    for_each_selected([](world_object& o, uint32_t) {
        o.entry_count = 0;
        if (const object_proto* p = proto_at(o.proto)) {
            o.anim_mode = p->anim_mode;
            o.frame_delay = p->frame_delay;
        }
    });
    g_char_placements.count = 0;
}

void run_simsort(const char*)
{
    for_each_selected([](world_object& s, uint32_t si) {
        for_each_object([&](world_object& o, uint32_t i) {
            if (i != si && is_used(o) && o.proto == s.proto && o.scale == s.scale && o.layer == s.layer) {
                o.depth_sorted = 1;
                o.depth_offset = s.depth_offset;
            }
        });
    });
}

void run_analyse(const char* line)
{
    int32_t layer = 7;
    std::sscanf(line, "%*s %d", &layer);
    for_each_object([&](world_object& o, uint32_t i) {
        if (!is_used(o) || o.particle_role == k_role_particle)
            return;
        if (o.layer <= layer && o.depth_sorted)
            console_log("objekt %u prototypu %d layeru %d nema byt sortovany", i, o.proto, int(o.layer));
        else if (o.layer > layer && !o.depth_sorted)
            console_log("objekt %u prototypu %d  layeru %d ma byt sortovany", i, o.proto, int(o.layer));
    });
}

void run_sort(const char*)
{
    for_each_selected([](world_object& o, uint32_t) { o.depth_sorted = o.depth_sorted ? 0 : 1; });
}

void run_unsort(const char*)
{
    for_each_selected([](world_object& o, uint32_t) { o.depth_sorted = 0; });
}

void run_psort(const char* line)
{
    const float offset = console_float_at(line, 6);
    for_each_selected([&](world_object& o, uint32_t) { o.depth_offset = offset; });
}

void run_layer(const char* line)
{
    const int32_t layer = console_int_at(line, 6);
    if (!layer_ok(layer))
        return;
    for_each_selected([&](world_object& o, uint32_t) { o.layer = uint8_t(layer); });
}

void run_slayer(const char* line)
{
    const int32_t layer = console_int_at(line, 7);
    if (!layer_ok(layer))
        return;
    const uint8_t from = g_active_layer;
    for_each_object([&](world_object& o, uint32_t) {
        if (is_used(o) && o.layer == from)
            o.layer = uint8_t(layer);
    });
}

void run_colorall(const char*)
{
    for_each_object([](world_object& o, uint32_t) { o.red = o.green = o.blue = 1.0f; });
}

void run_colorit(const char* line)
{
    float r = 1, g = 1, b = 1;
    std::sscanf(line, "%*s %f %f %f", &r, &g, &b);
    for_each_selected([&](world_object& o, uint32_t) {
        o.red = r;
        o.green = g;
        o.blue = b;
    });
}

void run_skin(const char* line)
{
    const int32_t skin = console_int_at(line, 5);
    if (!console_index_ok(skin, k_model_skin_entries, "skin"))
        return;
    for_each_selected([&](world_object& o, uint32_t) {
        if (proto_kind_at(o.proto) == k_proto_mesh)
            o.model_variant = skin;
    });
}

void run_remscale(const char*)
{
    for_each_object([](world_object& o, uint32_t) {
        if (proto_kind_at(o.proto) == k_proto_surface)
            o.scale = 1.0f;
    });
}

void run_fuckrot(const char*)
{
    for_each_object([](world_object& o, uint32_t) {
        if (o.angle_a > 3)
            o.angle_a = 0;
    });
}

void run_blur(const char*)
{
    for_each_selected([](world_object& o, uint32_t) {
        o.entry_kinds[0] = 0x80;
        o.entry_count = 0;
    });
}

void run_sync(const char*)
{
    for_each_selected([](world_object& o, uint32_t) {
        o.frame = 0;
        o.backward = 0;
    });
}

void run_id(const char* line)
{
    const int32_t entity = console_int_at(line, 3);
    if (entity != -1 && !console_index_ok(entity, int32_t(g_entity_count), "entity"))
        return;
    for_each_selected([&](world_object& o, uint32_t) {
        if (is_used(o))
            o.entity = entity;
    });
}

void run_efect(const char* line)
{
    g_editor.brush_efect_type = console_int_at(line, 6);
}

// "epf<k> <value>" or "epi<k> <value>": parameter k (0 to 4) of the attached entry.
void run_ep(const char* line)
{
    const char which = line[2];
    const int32_t k = line[2] && line[3] ? line[3] - '0' : -1;
    if (which != 'f' && which != 'i') {
        console_log("efect parameter kind %c refused", which ? which : '-');
        return;
    }
    if (!console_index_ok(k, k_effect_entry_params, "parameter"))
        return;
    if (which == 'f')
        g_editor.brush_efect_float[k] = console_float_at(line, 5);
    else
        g_editor.brush_efect_int[k] = console_int_at(line, 5);
}

void run_addefect(const char*)
{
    if (g_editor.brush_efect_type == -1)
        return;
    if (!console_index_ok(g_editor.brush_efect_type, 256, "efect kind"))
        return;
    for_each_selected([](world_object& o, uint32_t) {
        if (!is_used(o) || o.entry_count < 0 || o.entry_count >= 4)
            return;
        const int32_t e = o.entry_count++;
        o.entry_kinds[e] = uint8_t(g_editor.brush_efect_type);
        std::memcpy(o.entry_floats[e], g_editor.brush_efect_float, sizeof o.entry_floats[e]);
        std::memcpy(o.entry_ints[e], g_editor.brush_efect_int, sizeof o.entry_ints[e]);
    });
}

void run_removeefect(const char*)
{
    for_each_selected([](world_object& o, uint32_t) {
        if (is_used(o) && o.entry_count > 0)
            --o.entry_count;
    });
}

void run_find(const char*)
{
    for_each_object([](world_object& o, uint32_t i) {
        if (is_used(o) && proto_kind_at(o.proto) == k_proto_particle && o.particle_role == k_role_emitter)
            console_log("part system %u", i);
    });
}

void run_count(const char*)
{
    int64_t triangles = 0;
    for_each_object([&](world_object& o, uint32_t) {
        const object_proto* p = proto_at(o.proto);
        if (!p)
            return;
        switch (p->kind) {
        case k_proto_sprite:
        case k_proto_particle:
        case k_proto_sprite16:
            triangles += 2;
            break;
        case k_proto_mesh: {
            const int32_t m = p->frames[0][0];
            if (m >= 0 && m < k_model_capacity && g_models[m].mesh)
                triangles += int64_t(g_models[m].mesh->indices.size() / 3);
            break;
        }
        case k_proto_surface:
            triangles += 2 * int64_t(p->anim_count) * int64_t(p->frame_counts[0]);
            break;
        default:
            break;
        }
    });
    console_log("num tris in scene %lld", static_cast<long long>(triangles));
}

void run_scale(const char* line)
{
    g_editor.brush_scale = console_float_at(line, 6);
}

void run_deflayer(const char*)
{
    g_editor.def_layers = g_editor.def_layers ? 0 : 1;
}

void run_tspeed(const char* line)
{
    const char* rest = console_text_at(line, 7);
    char* end = nullptr;
    const float x = std::strtof(rest, &end);
    const float y = std::strtof(end, nullptr);
    g_editor.tex_move_x = x / 128.0f;
    g_editor.tex_move_y = y / 128.0f;
}

void run_odjeb(const char* line)
{
    int32_t slot = 1;
    std::sscanf(line, "%*s %d", &slot);
    object_proto* p = proto_at(slot);
    if (!p) {
        console_log("prototype %d out of range", slot);
        return;
    }
    std::memset(p, 0, sizeof *p);
}

void run_savedat(const char*)
{
    save_texture_pack(0);
}

void run_savepr(const char*)
{
    save_texture_pack(1);
}

void run_prepare(const char*)
{
    sort_and_trim_objects();
}

void run_resetmap(const char* line)
{
    int32_t w = 0, h = 0, x = 0, y = 0;
    std::sscanf(line, "%*s %d %d %d %d", &w, &h, &x, &y);
    if (!map_size_ok(w, h, x, y))
        return;
    movement_map fresh = {};
    if (!create_movemap(&fresh, int16_t(w), int16_t(h), int16_t(x), int16_t(y))) {
        console_log("movement map %d x %d could not be made", w, h);
        return;
    }
    free_movemap(&g_movement_map);
    g_movement_map = fresh;
}

void run_addmap(const char* line)
{
    int32_t dw = 0, dh = 0;
    std::sscanf(line, "%*s %d %d", &dw, &dh);
    if (dw < 0 || dh < 0 || dw > k_max_map_cells || dh > k_max_map_cells) {
        console_log("movement map growth %d, %d refused", dw, dh);
        return;
    }
    movement_map& old = g_movement_map;
    const int32_t columns = (old.cells ? old.columns : 0) + dw;
    const int32_t rows = (old.cells ? old.rows : 0) + dh;
    if (!map_size_ok(columns, rows, old.origin_column, old.origin_row))
        return;
    movement_map grown = {};
    if (!create_movemap(&grown, int16_t(columns), int16_t(rows), old.origin_column, old.origin_row)) {
        console_log("movement map %d x %d could not be made", columns, rows);
        return;
    }
    if (old.cells)
        for (int32_t r = 0; r < old.rows; ++r)
            std::memcpy(grown.cells + size_t(r) * size_t(columns), old.cells + size_t(r) * size_t(old.columns),
                        size_t(old.columns));
    free_movemap(&old);
    old = grown;
}

void run_rain(const char* line)
{
    toggle_weather(line, &g_rain, start_rain, stop_rain);
}

void run_fog(const char* line)
{
    toggle_weather(line, &g_fog, start_fog, stop_fog);
}

void run_snow(const char* line)
{
    toggle_weather(line, &g_snow, start_snow_at_zoom, stop_snow);
}

void run_quake(const char* line)
{
    float x = 4.0f, y = 4.0f;
    int32_t ticks = 400;
    std::sscanf(line, "%*s %f %f %d", &x, &y, &ticks);
    if (g_camera_shake.active) {
        stop_camera_shake(&g_camera_shake);
        return;
    }
    if (ticks < 0 || !std::isfinite(x) || !std::isfinite(y)) {
        console_log("quake of %d ticks refused", ticks);
        return;
    }
    start_camera_shake(&g_camera_shake, x, y, uint32_t(ticks));
}

void run_strike(const char*)
{
    toggle_lightning(&g_lightning);
}

void run_ambient(const char* line)
{
    const char* rest = console_text_at(line, 8);
    char* end = nullptr;
    const float r = std::strtof(rest, &end);
    const char* next = end;
    const float g = std::strtof(next, &end);
    const float b = std::strtof(end, nullptr);
    g_ambient_color = {r, g, b};
    set_device_ambient_light();
}

// The device draws without edge antialiasing; the word is kept and changes nothing.
void run_antialias(const char*) {}

void run_wireframe(const char*)
{
    set_fill_mode(fill_mode::wireframe);
}

void run_points(const char*)
{
    set_fill_mode(fill_mode::point);
}

void run_solid(const char*)
{
    set_fill_mode(fill_mode::solid);
}
