// The per-frame object pass: every object is updated and drawn in index order, then the
// depth-sorted ones are reordered by their depth keys.
#include "world/world_objects.h"

#include "core/editor_globals.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "engine/primitives.h"
#include "engine/quads.h"
#include "engine/render_context.h"
#include "world/game_clock.h"
#include "world/object_behaviour.h"
#include "world/object_draw_internal.h"
#include "world/object_models.h"
#include "world/object_order.h"
#include "world/object_protos.h"
#include "world/scene_header.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

bool playing()
{
    return g_work_mode == k_work_play;
}

bool in_array(const world_object* o)
{
    return o >= g_objects && o < g_objects + g_object_count;
}

// The draw position of the object the pass is at.
uint32_t s_position = 0;

// The passes fetch the leading lines of a record this many records ahead of the one they are at:
// what the pass and the behaviour step read of every object, and with `drawn` also what a visible
// object is drawn with. The fetching functions are always inlined: the optimiser drops a call to a
// function that only fetches as a call without effect.
constexpr uint32_t k_prefetch_distance = 16;

[[gnu::always_inline]] inline void prefetch_record(uint32_t index, bool drawn)
{
    static_assert(k_object_pass_bytes == 128 && k_object_draw_bytes == 192);
    const char* record = reinterpret_cast<const char*>(g_objects + index);
    __builtin_prefetch(record);
    __builtin_prefetch(record + 64);
    if (drawn)
        __builtin_prefetch(record + 128);
}

// An object a few draw positions ahead that the depth sort placed out of the array's order was
// visible when it was sorted: it is fetched as one to be drawn.
[[gnu::always_inline]] inline void prefetch_draw_position(uint32_t k)
{
    if (k >= g_object_count)
        return;
    const uint32_t index = object_at_draw_position(k);
    prefetch_record(index, k == 0 || index != object_at_draw_position(k - 1) + 1);
}

// A visible depth-sorted object of the array joins the depth list (ground decals are placed apart).
void append_depth(const world_object* o, uint32_t index, uint32_t limit)
{
    if (o->depth_sorted && o->depth_sorted != k_depth_ground && in_array(o))
        note_depth_sorted(index, s_position, limit);
}

int32_t current_frames(const object_proto& p, const world_object& o)
{
    return o.anim < k_proto_animations ? std::clamp(p.frame_counts[o.anim], 0, k_proto_frames) : 0;
}

int32_t current_texture(const object_proto& p, const world_object& o)
{
    if (o.frame < 0 || o.frame >= current_frames(p, o))
        return -1;
    return p.frames[o.anim][o.frame];
}

world_object* char_world_object(int32_t slot)
{
    if (!g_object_links.char_object)
        return nullptr;
    int32_t index = g_object_links.char_object(slot);
    return index >= 0 && uint32_t(index) < g_object_count ? &g_objects[index] : nullptr;
}

// The brush preview in the editor's modes other than insertion is drawn as an unlit sprite.
bool simple_sprite_path(const world_object& o)
{
    return o.cursor && g_work_mode != k_work_insert;
}

void draw_simple_sprite(int32_t texture, const world_object& o, float alpha)
{
    float scale = playing() ? o.scale / g_zoom : o.scale;
    draw_sprite_world(texture, o.x, o.y, alpha, scale, o.angle_a, nullptr);
}

void draw_sprite_object(const object_proto& p, const world_object& o, int32_t highlighted, float alpha)
{
    int32_t texture = current_texture(p, o);
    if (simple_sprite_path(o)) {
        draw_simple_sprite(texture, o, alpha);
    } else if (!o.has_corners) {
        draw_texture_world(texture, o.x, o.y, alpha, o.scale, o.angle_a, o.drift_x, o.drift_y, p.depth_correction,
                           o.red, o.green, o.blue);
    } else {
        const float* c = o.corners;
        draw_quad_world(texture, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], alpha, o.drift_x, o.drift_y,
                        int32_t(o.light), p.depth_correction, highlighted, o.angle_a, o.red, o.green, o.blue, 0,
                        o.angle_b);
    }
}

int32_t model_frame_of(const world_object& o)
{
    int32_t entries = std::clamp(o.entry_count, 0, 5);
    for (int32_t e = 0; e < entries; ++e)
        if (o.entry_kinds[e] == k_entry_model_frames)
            return o.entry_ints[e][3];
    return 0;
}

// A tile is drawn when it comes within 32 x scale of the view before it and 64 after it.
bool tile_in_view(float left, float top, float right, float bottom, float s)
{
    const object_view& view = current_object_view();
    const float view_w = view.width, view_h = view.height;
    float lead = 32.0f * std::fabs(s);
    return left - lead - g_camera_x < view_w && right + 64.0f - g_camera_x > 0 && top - lead - g_camera_y < view_h &&
           bottom + 64.0f - g_camera_y > 0;
}

void draw_surface_tiles(const object_proto& p, const world_object& o, float alpha)
{
    int32_t columns = std::clamp(p.anim_count, 0, k_proto_animations);
    int32_t rows = std::clamp(p.frame_counts[0], 0, k_proto_frames);
    int32_t layout = o.angle_a >= 0 && o.angle_a <= 7 ? o.angle_a : 0;
    int32_t flip = layout & 3;
    bool diamonds = layout >= 4;
    float s = o.scale, tile = k_tile_size * s;
    for (int32_t c = 0; c < columns; ++c) {
        for (int32_t r = 0; r < rows; ++r) {
            int32_t mc = flip >= 2 ? columns - 1 - c : c;
            int32_t mr = flip == 1 || flip == 3 ? rows - 1 - r : r;
            if (!test_proto_mask(&p, mc, mr))
                continue;
            int32_t texture = p.frames[mc][mr];
            if (!diamonds) {
                float x = (o.x + float(k_tile_size * c)) * s, y = (o.y + float(k_tile_size * r)) * s;
                if (!tile_in_view(x, y, x + tile, y + tile, s))
                    continue;
                draw_quad_world(texture, x, y + tile, x, y, x + tile, y, x + tile, y + tile, alpha, 0, 0, 0, 0, 0, 0,
                                o.red, o.green, o.blue, 1, flip);
            } else {
                float x = (o.x + float(32 * rows - 48 * r + 48 * c)) * s, y = (o.y + float(32 * r + 32 * c)) * s;
                float half_w = 48.0f * s, half_h = 32.0f * s;
                if (!tile_in_view(x - half_w, y, x + half_w, y + tile, s))
                    continue;
                draw_quad_world(texture, x - half_w, y + half_h, x, y, x + half_w, y + half_h, x, y + tile, alpha, 0, 0,
                                0, 0, 0, 0, o.red, o.green, o.blue, 1, flip);
            }
        }
    }
}

void draw_surface_object(const object_proto& p, const world_object& o, float alpha)
{
    int32_t layout = o.angle_a >= 0 && o.angle_a <= 7 ? o.angle_a : 0;
    if (layout < 6 || !g_d3d_device) {
        draw_surface_tiles(p, o, alpha);
        return;
    }
    const matrix4 mirrored =
        matrix_multiply(matrix_scaling(1.0f, 1.0f, -1.0f), g_d3d_device->get_transform(transform_kind::world));
    transform_guard guard(*g_d3d_device, transform_kind::world, mirrored);
    draw_surface_tiles(p, o, alpha);
}

void draw_particle_object(const object_proto& p, world_object* o, int32_t index, float alpha)
{
    if (o->particle_role == k_role_particle) {
        if (!is_object_visible(o))
            return;
        append_depth(o, uint32_t(index), k_depth_list_size);
        draw_texture_scaled_world(current_texture(p, *o), o->x, o->y, o->z, particle_value(*o, k_particle_red),
                                  particle_value(*o, k_particle_green), particle_value(*o, k_particle_blue), alpha,
                                  o->scale, 0, 0, 0, p.depth_correction);
        return;
    }
    if (simple_sprite_path(*o))
        draw_simple_sprite(current_texture(p, *o), *o, alpha);
    emit_particle(o, index);
}

bool is_picked(int32_t index)
{
    int32_t count = std::clamp(g_editor.pick_count, 0, k_max_picked_objects);
    return std::find(g_editor.picked, g_editor.picked + count, index) != g_editor.picked + count;
}

bool is_highlighted(const world_object& o, int32_t index)
{
    if (playing())
        return o.highlight != 0;
    if (g_editor.pick_count < 1)
        return false;
    return (is_picked(index) || o.highlight) && (g_work_mode == k_work_select || g_current_tab == 6);
}

void step_drift(world_object* o)
{
    if (g_ticks <= o->next_drift_tick)
        return;
    o->next_drift_tick = g_ticks + o->drift_interval;
    o->drift_x += o->drift_step_x;
    o->drift_y += o->drift_step_y;
}

void draw_markers()
{
    for (uint32_t i = 0; i < g_object_count; ++i) {
        const world_object& o = g_objects[i];
        if (o.state == 0)
            continue;
        uint32_t marker = o.highlight || is_picked(int32_t(i)) ? k_marker_highlighted : k_marker_plain;
        if (g_work_mode == k_work_characters) {
            if (o.proto < -1)
                run_hook(g_object_links.draw_object_marker, "draw_object_marker", o.x, o.y, marker);
            continue;
        }
        if (o.layer != g_active_layer || o.cursor || o.particle_role == k_role_particle)
            continue;
        const object_proto* p = proto_at(o.proto);
        if (p && p->kind == k_proto_surface)
            run_hook(g_object_links.draw_object_marker, "draw_object_marker", o.x * o.scale, o.y * o.scale, marker);
        else if (!o.has_corners || (p && p->kind == k_proto_mesh))
            run_hook(g_object_links.draw_object_marker, "draw_object_marker", o.x, o.y, marker);
        else
            for (int c = 0; c < 8; c += 2)
                run_hook(g_object_links.draw_object_marker, "draw_object_marker", o.corners[c], o.corners[c + 1], marker);
        if (o.depth_sorted)
            run_hook(g_object_links.draw_object_marker, "draw_object_marker", o.x, float(o.depth_key), k_marker_depth);
    }
}

// update_draw_object with the object's prototype looked up (null for none or a character).
void draw_object(world_object* o, const object_proto* p, int32_t highlighted, int32_t index)
{
    if (o->proto >= 0) {
        if (!p || current_frames(*p, *o) == 0)
            return;
    } else if (o->proto == -1) {
        return;
    }

    float m = 1.0f;
    if (o->layer >= 29 && o->layer <= 32 && playing())
        m = g_object_links.dream_alpha ? g_object_links.dream_alpha() : 0.0f;
    if (o->object_class == k_class_attached) {
        const world_object* character = char_world_object(o->entity);
        if (!character) {
            reset_object(o);
            return;
        }
        if (character->proto < -1 && g_object_links.draw_attached_model)
            m *= g_object_links.draw_attached_model(o, o->entity);
    } else if (o->object_class == k_class_pinned) {
        if (const world_object* character = char_world_object(o->entity)) {
            o->x = character->x;
            o->y = character->y - (o->entry_ints[0][0] == 1 ? 100.0f : 0.0f);
        }
    }
    if (o->owner != k_no_owner) {
        if (g_object_links.char_life_state && g_object_links.char_life_state(o->owner) == 3)
            return;
        if (g_object_links.char_drawn_alpha)
            m *= g_object_links.char_drawn_alpha(o->owner);
    }
    if (o->proto < -1 && g_object_links.set_char_object)
        g_object_links.set_char_object(-2 - o->proto, index);

    if (!is_object_visible(o))
        return;
    ++g_objects_drawn;
    bool particle_kind = p && p->kind == k_proto_particle;
    if (!particle_kind)
        append_depth(o, uint32_t(index), k_depth_list_size - 1);
    if (o->state > 1) {
        --o->state;
        return;
    }
    if (o->particle_role == k_role_particle && g_ticks > o->next_particle_tick) {
        for (int32_t steps = take_due_steps(&o->next_particle_tick); steps > 0; --steps)
            step_particle(o);
    }

    float alpha = g_object_alpha * o->alpha * m;
    if (o->proto < -1) {
        if (alpha > 0.01f && g_object_links.draw_char)
            g_object_links.draw_char(-2 - o->proto, *o, o->scale * g_scene_header.scale, alpha);
        return;
    }
    if (!p->frames_loaded)
        load_proto_textures(o->proto, 1);
    switch (p->kind) {
    case k_proto_sprite:
    case k_proto_sprite16:
        o->depth_key = depth_key_sum(safe_int(o->y), safe_int(o->depth_offset));
        draw_sprite_object(*p, *o, highlighted, alpha);
        break;
    case k_proto_particle:
        o->depth_key = depth_key_sum(safe_int(o->y), safe_int(o->depth_offset));
        draw_particle_object(*p, o, index, alpha);
        break;
    case k_proto_mesh:
        o->z = -1.0f - std::fabs(o->y) / 55.0f;
        o->depth_key = depth_key_sum(safe_int(o->y), safe_int(o->depth_offset));
        draw_mesh_object(*o, *p, o->z, alpha, model_frame_of(*o));
        break;
    case k_proto_surface: {
        float rows = float(std::clamp(p->frame_counts[0], 0, k_proto_frames));
        o->depth_key = depth_key_sum(safe_int(o->y * o->scale), safe_int(rows * k_tile_size * o->scale),
                                     safe_int(o->depth_offset));
        draw_surface_object(*p, *o, alpha);
        break;
    }
    default:
        break;
    }
}

} // namespace

void update_draw_object(world_object* o, int32_t highlighted, int32_t index)
{
    draw_object(o, proto_at(o->proto), highlighted, index);
}

void draw_objects()
{
    if (g_object_links.clear_entity_objects)
        g_object_links.clear_entity_objects();
    sync_object_order();
    begin_depth_pass();
    begin_behaviour_marks();
    g_objects_drawn = 0;
    if (g_object_links.clear_weather_members)
        g_object_links.clear_weather_members();

    for (uint32_t k = 0; k < g_object_count; ++k) {
        const uint32_t i = object_at_draw_position(k);
        s_position = k;
        prefetch_draw_position(k + k_prefetch_distance);
        world_object* o = &g_objects[i];
        if (o->object_class == k_class_weather && g_object_links.offer_weather_member)
            g_object_links.offer_weather_member(int32_t(i));
        if (o->state == 0)
            continue;
        if (g_ticks > o->next_behaviour_tick || o->proto < -1 || o->particle_role == k_role_emitter)
            mark_for_behaviour(i);
        if (o->depth_sorted == k_depth_ground)
            note_ground_decal(i, k);
        else if (o->proto < -1)
            note_char_object(k);
        if (o->entity >= 0 && o->object_class < k_class_attached) {
            if (g_object_links.add_entity_object)
                g_object_links.add_entity_object(o->entity, int32_t(i));
            if (g_object_links.entity_hidden && g_object_links.entity_hidden(o->entity) &&
                g_work_mode != k_work_select)
                continue;
        }
        const object_proto* p = proto_at(o->proto);
        if (!is_highlighted(*o, int32_t(i))) {
            draw_object(o, p, 0, int32_t(i));
            o = &g_objects[i];  // an emitter may have grown the array
            animate_object(o);
            step_drift(o);
            continue;
        }
        const float saved[4] = {o->alpha, o->red, o->green, o->blue};
        if (g_editor_enabled) {
            o->red = 2.0f;
            o->green = o->blue = 0.0f;
        }
        draw_object(o, p, 1, int32_t(i));
        o = &g_objects[i];
        animate_object(o);
        step_drift(o);
        if (o->state != 0) {
            o->alpha = saved[0];
            o->red = saved[1];
            o->green = saved[2];
            o->blue = saved[3];
        }
    }

    if ((g_work_mode == k_work_select || g_work_mode == k_work_characters) && g_d3d_device) {
        g_d3d_device->set_render_state(render_state::ambient, 0xFFFFFFFFu);
        draw_markers();
        set_device_ambient_light();
    }

    for (uint32_t i = 0; i < g_object_count; ++i) {
        if (i + k_prefetch_distance < g_object_count && marked_for_behaviour(i + k_prefetch_distance))
            prefetch_record(i + k_prefetch_distance, false);
        if (!marked_for_behaviour(i))
            continue;
        world_object* o = &g_objects[i];
        if (o->state == 0)
            continue;
        update_missile_object(o, int32_t(i));
        o = &g_objects[i];
        if (o->state != 0 && o->proto < -1 && g_object_links.set_char_object)
            g_object_links.set_char_object(-2 - o->proto, int32_t(i));
        if (o->particle_role == k_role_emitter)
            count_timed_emitter(i);
    }
    end_oldest_timed_emitters();
}

void follow_owner_objects()
{
    if (g_object_links.char_object && g_object_links.char_last_position) {
        int32_t player = scene_player_slot();
        for (uint32_t i = 0; i < g_object_count; ++i) {
            world_object& o = g_objects[i];
            if (o.state == 0 || o.owner == k_no_owner || o.has_corners)
                continue;
            const world_object* owner = char_world_object(o.owner);
            if (!owner || owner == &o)
                continue;
            const object_proto* p = proto_at(o.proto);
            if (p && p->kind == k_proto_mesh && o.owner != player) {
                o.x = owner->x;
                o.y = owner->y;
                continue;
            }
            float last_x, last_y;
            if (g_object_links.char_last_position(o.owner, &last_x, &last_y)) {
                o.x += owner->x - last_x;
                o.y += owner->y - last_y;
            }
        }
    }
    sort_draw_order();
}

void draw_cursor_marker()
{
    float sx = 0.0f, sy = 0.0f;
    if (!g_cursor_grid || !cursor_grid_span(&sx, &sy)) {
        set_object_position(&g_brush_preview, g_mouse_x, g_mouse_y);
        return;
    }
    float x = 0.0f, y = 0.0f;
    snap_to_cursor_grid(g_mouse_x, g_mouse_y, sx, sy, &x, &y);
    set_object_position(&g_brush_preview, x, y);
    draw_cursor_grid(g_mouse_x, g_mouse_y, sx, sy);
}
