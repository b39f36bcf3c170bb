#include "editor/view/light_mode.h"

#include "core/globals.h"
#include "editor/store/undo_snapshots.h"
#include "editor/view/view_picking.h"
#include "engine/lights.h"
#include "engine/render_context.h"
#include "platform/render_device.h"

#include <cstdio>
#include <cstring>

int32_t g_selected_light = -1;
uint32_t g_selected_light_handle = 0;

namespace {

constexpr float k_handle_half = 4.0f;
constexpr float k_max_phi = 3.0f;

light_record* held_light()
{
    return g_selected_light >= 0 && g_selected_light < k_light_slots ? &g_lights[g_selected_light] : nullptr;
}

void pick_light()
{
    if (g_mouse_left) {
        if (!held_light())
            push_undo_snapshot();
        if (held_light())
            return;
        for (int32_t i = 0; i < k_light_slots; ++i) {
            light_record& l = g_lights[i];
            if (l.state != k_light_on)
                continue;
            for (uint32_t handle : {1u, 2u}) {
                const float hx = handle == 1 ? l.x : l.target_x;
                const float hy = handle == 1 ? l.y : l.target_y;
                if (view_pick_hit(hx, hy, k_handle_half)) {
                    l.selected = 1;
                    g_selected_light = i;
                    g_selected_light_handle = handle;
                }
            }
        }
        return;
    }
    if (light_record* l = held_light())
        l->selected = 0;
    g_selected_light = -1;
}

void show_info()
{
    g_mode_info_text[0] = '\0';
    const light_record* l = held_light();
    if (!l)
        return;
    std::snprintf(g_mode_info_text, sizeof g_mode_info_text,
                  "\nsvetlo: %d | typ: %d | z: %.2f | r %.2f | g: %.2f | b: %.2f | theta: %.2f | phi: %.2f | range: %.2f",
                  int(g_selected_light), int(l->kind), double(l->z), double(l->r), double(l->g), double(l->b),
                  double(l->theta), double(l->phi), double(l->range));
}

void step(float& value, uint8_t up, uint8_t down_key, float by, bool up_allowed = true, bool down_allowed = true)
{
    if (up_allowed && view_key_down(up))
        value += by;
    if (down_allowed && view_key_down(down_key))
        value -= by;
}

void tune_spot(light_record& l)
{
    if (view_key_down(k_key_g) && l.phi < k_max_phi)
        l.phi += 0.01f;
    if (view_key_down(k_key_b)) {
        l.phi -= 0.01f;
        if (l.phi < l.theta)
            l.phi = l.theta + 0.01f;
    }
    if (view_key_down(k_key_t))
        l.phi = 1.0f;
    if (view_key_down(k_key_h)) {
        l.theta += 0.01f;
        if (l.phi < l.theta)
            l.theta = l.phi - 0.01f;
    }
    if (view_key_down(k_key_n) && l.theta > 0.0f)
        l.theta -= 0.01f;
}

void move_and_tune(light_record& l)
{
    if (g_selected_light_handle == 2) {
        l.target_x = g_mouse_x;
        l.target_y = g_mouse_y;
    } else {
        l.x = g_mouse_x;
        l.y = g_mouse_y;
    }
    const bool ctrl = view_key_down(k_key_lcontrol);
    step(l.z, k_key_a, k_key_z, 0.01f, true, !ctrl);
    step(l.r, k_key_s, k_key_x, 0.01f, !ctrl, true);
    if (view_key_down(k_key_w))
        l.r = 1.0f;
    step(l.g, k_key_d, k_key_c, 0.01f);
    if (view_key_down(k_key_e))
        l.g = 1.0f;
    step(l.b, k_key_f, k_key_v, 0.01f);
    if (view_key_down(k_key_r))
        l.b = 1.0f;
    step(l.range, k_key_j, k_key_m, 0.1f);
    if (l.kind == k_light_kind_spot)
        tune_spot(l);
}

void switch_off_hit_lights()
{
    for (int32_t i = 0; i < k_light_slots; ++i) {
        light_record& l = g_lights[i];
        if (l.state != k_light_on || !view_pick_hit(l.x, l.y, k_handle_half))
            continue;
        light_switch_off(&l);
        if (g_d3d_device)
            g_d3d_device->light_enable(uint32_t(i), false);
        g_map_dirty = 1;
    }
}

} // namespace

void run_light_mode(editor_state& e)
{
    pick_light();
    show_info();
    if (light_record* l = held_light()) {
        light_record before;
        std::memcpy(&before, l, sizeof before);
        move_and_tune(*l);
        if (std::memcmp(&before, l, sizeof before) != 0)
            g_map_dirty = 1;
    }
    if (press_edge(view_key_down(k_key_return) || view_key_down(k_key_space), e.action_latch)) {
        push_undo_snapshot();
        if (create_light(uint8_t(e.new_light_type), g_mouse_x, g_mouse_y, 1.0f, 1.0f, 1.0f, 1.0f) >= 0)
            g_map_dirty = 1;
    }
    if (g_mouse_right && !held_light())
        switch_off_hit_lights();
    if (view_key_down(k_key_1))
        e.new_light_type = k_light_kind_point;
    if (view_key_down(k_key_2))
        e.new_light_type = k_light_kind_spot;
}
