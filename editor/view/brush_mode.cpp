#include "editor/view/brush_mode.h"

#include "core/console_log.h"
#include "core/hooks.h"
#include "core/input_state.h"
#include "editor/editor_frame.h"
#include "editor/editor_links.h"
#include "editor/store/undo_snapshots.h"
#include "editor/windows/mode_tabs.h"
#include "platform/key_codes.h"
#include "world/object_protos.h"
#include "world/world_objects.h"

#include <algorithm>

brush_latches g_brush_latches = {};

namespace {

constexpr int k_proto_editor_tab = 1;  // the prototype editor's place in the mode tabs
constexpr int32_t k_max_brush_efects = 4;

bool down(uint8_t key)
{
    return (g_key_state[key] & k_key_down_bit) != 0;
}

bool proto_editor_shown()
{
    const dialog_handle page = *g_mode_tab_pages[k_proto_editor_tab].window;
    return page != 0 && g_tab_window == page;
}

void next_proto(editor_state& e)
{
    if (proto_editor_shown()) {
        run_hook(g_editor_links.select_next_proto, "select_next_proto");
        return;
    }
    if (int64_t(e.brush_proto) < int64_t(g_object_proto_count) - 1)
        ++e.brush_proto;
    rebuild_brush_preview(e);
}

void prev_proto(editor_state& e)
{
    if (proto_editor_shown()) {
        run_hook(g_editor_links.select_prev_proto, "select_prev_proto");
        return;
    }
    if (e.brush_proto > 1)
        --e.brush_proto;
    rebuild_brush_preview(e);
}

void tune_brush(editor_state& e)
{
    const bool ctrl = down(k_key_lcontrol);
    if (down(k_key_a))
        e.brush_scale += 0.01f;
    if (down(k_key_z) && !ctrl)
        e.brush_scale -= 0.01f;
    if (down(k_key_q))
        e.brush_scale = 1.0f;
    e.brush_rot1 += (down(k_key_e) ? 1 : 0) - (down(k_key_r) ? 1 : 0);
    e.brush_rot2 += (down(k_key_d) ? 1 : 0) - (down(k_key_f) ? 1 : 0);
    e.brush_rot3 += (down(k_key_c) ? 1 : 0) - (down(k_key_v) ? 1 : 0);
    if (down(k_key_s) && !ctrl && e.brush_alfa < 1.0f)
        e.brush_alfa += 0.01f;
    if (down(k_key_x) && e.brush_alfa > 0.01f)
        e.brush_alfa -= 0.01f;
    if (down(k_key_w))
        e.brush_alfa = 1.0f;
    if (down(k_key_0)) {
        e.brush_alfa = e.brush_scale = 1.0f;
        e.brush_rot1 = e.brush_rot2 = e.brush_rot3 = 0;
    }
}

void place_object(const editor_state& e)
{
    if (e.brush_proto < 0 || uint32_t(e.brush_proto) >= g_object_proto_count) {
        console_log("stetec: prototyp %d nie je v leveli, nic nevkladam", int(e.brush_proto));
        return;
    }
    push_undo_snapshot();
    std::copy(std::begin(g_brush_preview.corners), std::end(g_brush_preview.corners), g_stored_corners);
    const int32_t index = add_object(g_brush_preview.x, g_brush_preview.y, e.brush_proto, e.brush_alfa, e.brush_scale,
                                     e.brush_rot1, 1);
    if (index < 0) {
        console_log("stetec: objekt sa nezmestil");
        return;
    }
    world_object& o = g_objects[index];
    apply_brush_corner_kind(&o, true);
    o.angle_b = e.brush_rot2;
    o.angle_c = e.brush_rot3;
    if (e.brush_efect_type != -1 && o.entry_count < k_max_brush_efects) {
        const int32_t k = std::max(o.entry_count, 0);
        o.entry_kinds[k] = uint8_t(e.brush_efect_type);
        std::copy(std::begin(e.brush_efect_float), std::end(e.brush_efect_float), o.entry_floats[k]);
        std::copy(std::begin(e.brush_efect_int), std::end(e.brush_efect_int), o.entry_ints[k]);
        o.entry_count = k + 1;
    }
    sort_objects();
}

} // namespace

void apply_brush_corner_kind(world_object* o, bool copied)
{
    o->light = g_brush_corner_mode == 2 ? 1 : 0;
    if (g_brush_corner_mode == 0) {
        o->has_corners = 0;
        return;
    }
    if (copied) {
        std::copy(std::begin(g_stored_corners), std::end(g_stored_corners), o->corners);
        o->has_corners = 1;
    } else {
        set_corner_diamond(o);
    }
}

void run_brush_mode(editor_state& e)
{
    if (press_edge(down(k_key_next), e.page_down_latch))
        next_proto(e);
    if (press_edge(down(k_key_prior), e.page_up_latch))
        prev_proto(e);
    if (g_wheel_up)
        prev_proto(e);
    if (g_wheel_down)
        next_proto(e);

    tune_brush(e);
    g_brush_preview.alpha = e.brush_alfa;
    g_brush_preview.scale = e.brush_scale;
    g_brush_preview.angle_a = e.brush_rot1;
    g_brush_preview.angle_b = e.brush_rot2;
    g_brush_preview.angle_c = e.brush_rot3;

    if ((g_mouse_left == 1 || down(k_key_space)) && e.brush_proto != -1) {
        if (!e.action_latch) {
            e.action_latch = 1;
            place_object(e);
        }
    } else {
        e.action_latch = 0;
    }

    if (press_edge(down(k_key_back), g_brush_latches.backspace))
        e.brush_rot1 = e.brush_rot1 < 7 ? e.brush_rot1 + 1 : 0;
    if (press_edge(down(k_key_backslash), g_brush_latches.backslash))
        e.brush_rot2 = e.brush_rot2 < 3 ? e.brush_rot2 + 1 : 0;

    for (uint32_t kind = 0; kind < 3; ++kind) {
        if (down(uint8_t(k_key_1 + kind))) {
            g_brush_corner_mode = kind;
            rebuild_brush_preview(e);
        }
    }
}
