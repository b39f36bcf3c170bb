#include "editor/view/object_mode.h"

#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/object_hits.h"
#include "platform/key_codes.h"
#include "world/object_draw_internal.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

int32_t g_dragged_object = -1;
object_mode_latches g_object_mode_latches = {};

namespace {

constexpr int32_t k_max_effects = 4;
constexpr float k_nudge = 0.05f;
constexpr float k_turn_step = 0.1f;

bool down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

// A press that fires only while `allowed`; the latch clears in every frame the key is up.
bool press_if(bool allowed, bool is_down, uint32_t& latch)
{
    if (!is_down) {
        latch = 0;
        return false;
    }
    if (!allowed || latch)
        return false;
    latch = 1;
    return true;
}

bool editable(const world_object& o)
{
    return o.state != 0 && o.proto >= 0;
}

bool selected(const world_object& o)
{
    return editable(o) && o.highlight != 0;
}

// The held object, or null when none is held or its index no longer names an editable object.
world_object* held_object()
{
    if (g_dragged_object < 0 || uint32_t(g_dragged_object) >= g_object_count)
        return nullptr;
    world_object& o = g_objects[g_dragged_object];
    return editable(o) ? &o : nullptr;
}

void copy_selected(const editor_state& e)
{
    std::vector<world_object> sources;
    for (uint32_t i = 0; i < g_object_count; ++i)
        if (selected(g_objects[i]))
            sources.push_back(g_objects[i]);
    if (sources.empty())
        return;
    float minx = INFINITY, miny = INFINITY;
    for (const world_object& s : sources) {
        minx = std::min(minx, s.has_corners ? s.corners[0] : s.x);
        miny = std::min(miny, s.has_corners ? s.corners[1] : s.y);
    }
    const float dx = g_mouse_x - minx, dy = g_mouse_y - miny;
    for (const world_object& s : sources) {
        const int32_t index = add_object(s.x, s.y, e.brush_proto, e.brush_alfa, e.brush_scale, e.brush_rot1, 0);
        if (index < 0) {
            console_log("kopia: objekt sa nezmestil");
            break;
        }
        world_object& copy = g_objects[index];
        copy = s;
        copy.highlight = 0;
        if (copy.has_corners) {
            for (int c = 0; c < 8; c += 2) {
                copy.corners[c] += dx;
                copy.corners[c + 1] += dy;
            }
        } else {
            copy.x += dx;
            copy.y += dy;
        }
    }
    sort_objects();
    g_map_dirty = 1;
}

void turn_selected(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    bool turned = false;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (!selected(o) || !o.has_corners || o.layer != g_active_layer)
            continue;
        const float x0 = o.corners[0], y0 = o.corners[1];
        for (int k = 2; k < 8; k += 2) {
            const float px = o.corners[k] - x0, py = o.corners[k + 1] - y0;
            o.corners[k] = x0 + px * c - py * s;
            o.corners[k + 1] = y0 + px * s + py * c;
        }
        turned = true;
    }
    if (turned)
        g_map_dirty = 1;
}

void turn_step()
{
    const float angle = down(k_key_numpad6) ? k_turn_step : down(k_key_numpad4) ? -k_turn_step : 0.0f;
    if (angle == 0.0f || g_edit_step_tick >= g_ticks)
        return;
    g_edit_step_tick = g_ticks + 1;
    turn_selected(angle);
}

void unselect_all(bool active_layer_only)
{
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (editable(o) && (!active_layer_only || o.layer == g_active_layer))
            o.highlight = 0;
    }
}

void toggle_under_mouse()
{
    const uint32_t value = down(k_key_lmenu) ? 0 : 1;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (is_candidate(o) && o.particle_role != k_role_emitter && hits_for(o, hit_use::toggle) > 0)
            o.highlight = value;
    }
}

void nudge_selected()
{
    if (!down(k_key_numpad7) && !down(k_key_numpad9) && !down(k_key_numpad8) && !down(k_key_numpad5))
        return;
    const float dx = (down(k_key_numpad9) ? k_nudge : 0.0f) - (down(k_key_numpad7) ? k_nudge : 0.0f);
    const float dy = (down(k_key_numpad5) ? k_nudge : 0.0f) - (down(k_key_numpad8) ? k_nudge : 0.0f);
    bool moved = false;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (!selected(o))
            continue;
        o.x += dx;
        o.y += dy;
        moved = true;
    }
    if (moved)
        g_map_dirty = 1;
}

void write_info_text(const world_object& held)
{
    const int32_t index = g_dragged_object;
    const int32_t kind = proto_kind_at(held.proto);
    if (kind == k_proto_mesh) {
        std::snprintf(g_mode_info_text, sizeof g_mode_info_text,
                      "\n3d_object: %d, pr: %d, id: %d, z: %f, rot1: %d, rot2 %d, rot3: %d \ntriedenie: %d/%d", index,
                      held.proto, held.entity, double(held.z), held.angle_a, held.angle_b, held.angle_c,
                      int32_t(held.depth_sorted), held.depth_key);
    } else if (kind == k_proto_particle) {
        if (held.particle_role == k_role_emitter)
            std::snprintf(g_mode_info_text, sizeof g_mode_info_text, "\nobject: %d, pr: %d, part_sys: %d \ntriedenie: %d/%d",
                          index, held.proto, held.particle_role, int32_t(held.depth_sorted), held.depth_key);
    } else {
        std::snprintf(g_mode_info_text, sizeof g_mode_info_text,
                      "\nobject: %d, pr: %d, id: %d, scale: %f, rot: %d, alfa: %f\nnum_efect: %d \ntriedenie: %d/%d", index,
                      held.proto, held.entity, double(held.scale), held.angle_a, double(held.alpha), held.entry_count,
                      int32_t(held.depth_sorted), held.depth_key);
    }
}

void drag(world_object& o)
{
    const bool ctrl = down(k_key_lcontrol);
    const float dx = float(g_marker_dx), dy = float(g_marker_dy);
    const int32_t kind = proto_kind_at(o.proto);
    if (!o.has_corners || kind == k_proto_mesh) {
        if (ctrl) {
            o.x = g_brush_preview.x;
            o.y = g_brush_preview.y;
        } else {
            o.x += dx;
            o.y += dy;
        }
        if (kind == k_proto_surface) {
            o.x += float(g_marker_dx / 30);
            o.y += float(g_marker_dy / 30);
        }
        return;
    }
    if (down(k_key_lshift)) {
        if (o.grabbed_corner < 1 || o.grabbed_corner > 4)
            return;
        float* corner = &o.corners[(o.grabbed_corner - 1) * 2];
        corner[0] = ctrl ? g_brush_preview.x : corner[0] + dx;
        corner[1] = ctrl ? g_brush_preview.y : corner[1] + dy;
        return;
    }
    for (int c = 0; c < 8; c += 2) {
        o.corners[c] += dx;
        o.corners[c + 1] += dy;
    }
}

// The angle one up while `up` is down and one down while `down_key` is, wrapping at the ends of
// the 32-bit range (a level file may hold any value).
int32_t turn_by(int32_t angle, uint8_t up, uint8_t down_key)
{
    const uint32_t step = uint32_t(down(up) ? 1 : 0) - uint32_t(down(down_key) ? 1 : 0);
    return int32_t(uint32_t(angle) + step);
}

void tune(world_object& o, const editor_state& e)
{
    const bool ctrl = down(k_key_lcontrol);
    if (down(k_key_o))
        o.z += k_nudge;
    if (down(k_key_p))
        o.z -= k_nudge;
    if (down(k_key_a))
        o.scale += 0.01f;
    if (down(k_key_z) && !ctrl && o.scale > 0.01f)
        o.scale -= 0.01f;
    if (down(k_key_q))
        o.scale = 1.0f;
    if (down(k_key_s) && !ctrl && o.alpha < 1.0f)
        o.alpha += 0.01f;
    if (down(k_key_x) && o.alpha > 0.01f)
        o.alpha -= 0.01f;
    if (down(k_key_w))
        o.alpha = 1.0f;
    o.angle_a = turn_by(o.angle_a, k_key_e, k_key_r);
    o.angle_b = turn_by(o.angle_b, k_key_d, k_key_f);
    o.angle_c = turn_by(o.angle_c, k_key_c, k_key_v);
    if (down(k_key_1)) {
        o.drift_interval = uint8_t(e.tex_move_period & 0xFF);
        o.drift_step_x = e.tex_move_x;
        o.drift_step_y = e.tex_move_y;
    }
    if (down(k_key_0))
        clear_object_motion(&o);
}

void add_effect_entry(world_object& o, const editor_state& e)
{
    if (e.brush_efect_type == -1 || o.entry_count >= k_max_effects)
        return;
    const int32_t k = std::max(o.entry_count, 0);
    o.entry_kinds[k] = uint8_t(e.brush_efect_type);
    std::copy(std::begin(e.brush_efect_float), std::end(e.brush_efect_float), o.entry_floats[k]);
    std::copy(std::begin(e.brush_efect_int), std::end(e.brush_efect_int), o.entry_ints[k]);
    o.entry_count = k + 1;
    g_map_dirty = 1;
}

void drop_effect_entry(world_object& o)
{
    if (o.entry_count > 0) {
        --o.entry_count;
        g_map_dirty = 1;
    }
}

// The presses of the keys that act on the held object (or, N and M, on every selected one).
struct held_presses {
    bool back, backslash, diamond, add_effect, drop_effect, forward, backward, space;
};

held_presses read_held_presses(bool held)
{
    object_mode_latches& l = g_object_mode_latches;
    held_presses p;
    p.back = press_if(held, down(k_key_back), l.back);
    p.backslash = press_if(held, down(k_key_backslash), l.backslash);
    p.diamond = press_if(held, down(k_key_l), l.diamond);
    p.add_effect = press_if(held, down(k_key_n), l.add_effect);
    p.drop_effect = press_if(held, down(k_key_m), l.drop_effect);
    p.forward = press_if(held, down(k_key_add), l.forward);
    p.backward = press_if(held, down(k_key_subtract), l.backward);
    p.space = press_if(held, down(k_key_space), l.space);
    return p;
}

void make_mouse_diamond(world_object& o)
{
    const object_proto* p = proto_at(o.proto);
    const float w = p ? float(p->width) : 0.0f;
    const float h = p ? float(p->height) : 0.0f;
    const float mx = g_mouse_x, my = g_mouse_y;
    const float diamond[8] = {mx, my - h / 2, mx + 3 * w / 4, my, mx, my + h / 2, mx - 3 * w / 4, my};
    std::copy(std::begin(diamond), std::end(diamond), o.corners);
    o.has_corners = 1;
    o.highlight = 0;
}

// Space: a cornered object loses its corners (it stays held); a plain one gets a rectangle of its
// scaled size around the mouse and is let go.
void switch_corners(world_object& o)
{
    o.highlight = 0;
    if (o.has_corners) {
        o.has_corners = 0;
        return;
    }
    const float w = float(o.width) * o.scale, h = float(o.height) * o.scale;
    const float mx = g_mouse_x, my = g_mouse_y;
    const float rect[8] = {mx - w / 2, my + h / 2, mx - w / 2, my - h / 2, mx + w / 2, my - h / 2, mx + w / 2, my + h / 2};
    std::copy(std::begin(rect), std::end(rect), o.corners);
    o.has_corners = 1;
    g_dragged_object = -1;
}

// Moves the held object one place within its layer and lets it go.
void reorder_held(bool backward)
{
    const int32_t at = swap_object_in_layer(g_dragged_object, backward);
    g_objects[at >= 0 ? at : g_dragged_object].highlight = 0;
    g_dragged_object = -1;
}

void held_keys(const held_presses& p)
{
    world_object& held = g_objects[g_dragged_object];
    if (p.back)
        held.angle_a = held.angle_a >= 7 ? 0 : held.angle_a + 1;
    if (p.backslash)
        held.angle_b = held.angle_b >= 3 ? 0 : held.angle_b + 1;
    if (p.diamond)
        make_mouse_diamond(held);
    if (p.forward && uint32_t(g_dragged_object) + 1 < g_object_count) {
        reorder_held(false);
        return;
    }
    if (p.backward && g_dragged_object >= 1) {
        reorder_held(true);
        return;
    }
    if (p.space)
        switch_corners(held);
}

void edit_held(const editor_state& e)
{
    const world_object* held = held_object();
    const held_presses presses = read_held_presses(held != nullptr);
    if (!held)
        return;
    bool first = true;
    for (uint32_t i = 0; i < g_object_count && held_object(); ++i) {
        world_object& o = g_objects[i];
        if (!selected(o))
            continue;
        write_info_text(*held_object());
        drag(o);
        tune(o, e);
        if (presses.add_effect)
            add_effect_entry(o, e);
        if (presses.drop_effect)
            drop_effect_entry(o);
        if (first)
            held_keys(presses);
        first = false;
    }
}

void left_button(editor_state&)
{
    object_mode_latches& l = g_object_mode_latches;
    if (g_mouse_left != 1) {
        if (world_object* held = held_object())
            held->highlight = 0;
        g_dragged_object = -1;
        l.grab_snapshot = 0;
        return;
    }
    l.left_down = 1;
    if (g_dragged_object != -1 && held_object())
        return;
    g_dragged_object = -1;
    g_mouse_x = float(safe_int(g_brush_preview.x));
    g_mouse_y = float(safe_int(g_brush_preview.y));
    if (!l.grab_snapshot) {
        l.grab_snapshot = 1;
        push_undo_snapshot();
    }
    grab_objects();
}

void erase_under_mouse()
{
    push_undo_snapshot();
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (is_candidate(o) && hits_for(o, hit_use::erase) > 0)
            reset_object(&o);
    }
}

} // namespace

void rebuild_picked_list(editor_state& e)
{
    const int32_t old = std::clamp(e.pick_count, 0, k_max_picked_objects);
    std::fill(e.picked, e.picked + old, -1);
    e.pick_count = 0;
    for (uint32_t i = 0; i < g_object_count && e.pick_count < k_max_picked_objects; ++i) {
        const world_object& o = g_objects[i];
        if (!is_candidate(o))
            continue;
        for (int32_t n = hits_for(o, hit_use::pick); n > 0 && e.pick_count < k_max_picked_objects; --n)
            e.picked[e.pick_count++] = int32_t(i);
    }
}

int32_t grab_objects()
{
    int32_t held = -1;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (!is_candidate(o))
            continue;
        o.grabbed_corner = 0;
        const grab_hit hit = grab_test(o);
        if (hit.kind == grab_hit_kind::none)
            continue;
        o.grabbed_corner = hit.corner;
        o.highlight = 1;
        held = int32_t(i);
        if (hit.kind == grab_hit_kind::anchor)
            console_log("object %d typ %d partsys %d", int(i), int(proto_kind_at(o.proto)), int(o.particle_role));
    }
    if (held >= 0)
        g_dragged_object = held;
    return held;
}

void run_object_mode(editor_state& e)
{
    if (g_object_count == 0)
        return;
    object_mode_latches& l = g_object_mode_latches;

    const bool enter = down(k_key_return);
    if (press_if(true, enter, e.action_latch))
        copy_selected(e);
    if (enter)
        unselect_all(false);

    turn_step();

    if (press_if(true, down(k_key_delete), l.erase)) {
        push_undo_snapshot();
        for (uint32_t i = 0; i < g_object_count; ++i)
            if (selected(g_objects[i]))
                reset_object(&g_objects[i]);
    }

    if (down(k_key_home))
        unselect_all(true);

    if (press_if(held_object() == nullptr, g_mouse_middle != 0 || down(k_key_insert), l.toggle))
        toggle_under_mouse();

    rebuild_picked_list(e);

    if (l.left_down && g_mouse_left == 0) {
        unselect_all(false);
        l.left_down = 0;
    }
    left_button(e);

    g_mode_info_text[0] = '\0';
    nudge_selected();
    edit_held(e);

    if (press_if(true, g_mouse_right != 0, l.right))
        erase_under_mouse();
}
