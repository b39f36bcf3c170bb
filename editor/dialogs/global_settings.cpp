#include "editor/dialogs/global_settings.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/editor_frame.h"
#include "editor/store/undo_snapshots.h"
#include "engine/render_context.h"
#include "world/world_objects.h"

#include <algorithm>
#include <iterator>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int32_t k_width = 191;
constexpr int32_t k_height = 337;
constexpr int32_t k_timer = 275;
constexpr int32_t k_ambient_max = 100;
constexpr int32_t k_tint_max = 200;
constexpr int32_t k_tint_neutral = 100;
constexpr int32_t k_number_chars = 24;
constexpr int32_t k_max_entries = 4;
constexpr int32_t k_layer_columns = 6;
constexpr int32_t k_first_dream_layer = 29;

constexpr const char* k_work_rows[] = {"inserting", "editing",   "light",       "move map",
                                       "game test", "characters", "grounditems", "monsterpoints"};
constexpr const char* k_efect_rows[] = {"no efect",       "alfa change",    "zoom change",    "x rotation",
                                        "y rotation",     "z rotation",     "add light",      "r_color change",
                                        "g_color change", "b_color change", "anim texture on 3d"};

std::string layer_label(int32_t layer)
{
    return layer < k_first_dream_layer ? std::to_string(layer) : "dream" + std::to_string(layer - k_first_dream_layer + 1);
}

dialog_template page_template()
{
    dialog_template t;
    t.caption = "Global";
    t.width = k_width;
    t.height = k_height;
    t.title_bar = false;
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, std::string text = {}) {
        t.controls.push_back(make_control(kind, id, x, y, w, h, std::move(text)));
        return &t.controls.back();
    };
    add(control_kind::group_box, 0, 2, 2, 187, 72, "Layer:");
    for (int32_t i = 0; i < k_glset_layer_count; ++i) {
        const bool dream = i >= k_first_dream_layer;
        const int32_t x = dream ? 6 + (i - k_first_dream_layer) * 45 : 6 + (i % k_layer_columns) * 30;
        const int32_t y = 12 + (dream ? 5 : i / k_layer_columns) * 10;
        control_template* radio =
            add(control_kind::radio, k_glset_layer + i, x, y, dream ? 45 : 30, 10, layer_label(i));
        radio->group = 1;
    }
    add(control_kind::static_text, 0, 4, 80, 50, 10, "work type:");
    add(control_kind::combo, k_glset_work_type, 60, 78, 125, 100);

    add(control_kind::group_box, 0, 2, 94, 187, 30, "Texture movement:");
    const char* axes[] = {"x", "y", "s"};
    for (int32_t i = 0; i < 3; ++i) {
        add(control_kind::static_text, 0, 6 + i * 44, 107, 8, 10, axes[i]);
        add(control_kind::edit, k_glset_tex_x + i, 14 + i * 44, 105, 34, 13);
    }
    add(control_kind::button, k_glset_tex_set, 144, 105, 40, 14, "SET");

    add(control_kind::group_box, 0, 2, 126, 187, 50, "Ambient light:");
    const char* channels[] = {"r", "g", "b"};
    for (int32_t i = 0; i < 3; ++i) {
        add(control_kind::static_text, 0, 6, 138 + i * 12, 8, 10, channels[i]);
        add(control_kind::slider, k_glset_ambient_r + i, 14, 136 + i * 12, 124, 12);
    }
    add(control_kind::button, k_glset_ambient_set, 144, 148, 40, 14, "SET");

    add(control_kind::group_box, 0, 2, 178, 187, 62, "Object coloring:");
    add(control_kind::static_text, 0, 14, 188, 12, 8, "-1");
    add(control_kind::static_text, 0, 72, 188, 4, 8, "|");
    add(control_kind::static_text, 0, 126, 188, 6, 8, "1");
    for (int32_t i = 0; i < 3; ++i) {
        add(control_kind::static_text, 0, 6, 198 + i * 12, 8, 10, channels[i]);
        add(control_kind::slider, k_glset_tint_r + i, 14, 196 + i * 12, 118, 12);
    }
    add(control_kind::button, k_glset_tint_reset, 135, 196, 52, 14, "Reset");
    add(control_kind::button, k_glset_coloring, 135, 214, 52, 14, "coloring off");

    add(control_kind::group_box, 0, 2, 242, 187, 74, "Efects:");
    add(control_kind::static_text, 0, 6, 254, 24, 10, "Type:");
    add(control_kind::combo, k_glset_efect_type, 32, 252, 100, 120);
    add(control_kind::static_text, 0, 6, 270, 44, 10, "p. float:");
    add(control_kind::static_text, 0, 6, 286, 44, 10, "p. int:");
    for (int32_t i = 0; i < k_glset_efect_params; ++i) {
        add(control_kind::edit, k_glset_efect_float + i, 52 + i * 34, 268, 32, 13);
        add(control_kind::edit, k_glset_efect_int + i, 52 + i * 34, 284, 32, 13);
    }
    add(control_kind::button, k_glset_efect_set, 136, 252, 48, 14, "SET");
    add(control_kind::button, k_glset_set_selected, 6, 300, 84, 14, "SET SELECTED");
    add(control_kind::button, k_glset_remove_last, 96, 300, 88, 14, "REMOVE LAST");

    add(control_kind::button, k_glset_undo, 4, 320, 60, 14, "undo");
    add(control_kind::button, k_glset_def_layers, 96, 320, 88, 14, "Def layers off");
    return t;
}

const char* switch_text(uint32_t on, const char* on_text, const char* off_text)
{
    return on ? on_text : off_text;
}

void init_page(dialog_handle dialog)
{
    g_global_settings_window = dialog;
    move_dialog(dialog, 0, k_tab_window_top);
    const float ambient[3] = {g_ambient_color.red, g_ambient_color.green, g_ambient_color.blue};
    for (int32_t i = 0; i < 3; ++i) {
        set_slider_range(dialog, k_glset_ambient_r + i, 0, k_ambient_max);
        set_slider_range(dialog, k_glset_tint_r + i, 0, k_tint_max);
        set_slider_pos(dialog, k_glset_ambient_r + i, int32_t(ambient[i] * 100.0f));
        set_slider_pos(dialog, k_glset_tint_r + i, k_tint_neutral);
    }
    char text[32];
    // The texture movement as typed: the stored step times 128 (exact for a power of two).
    set_item_float(dialog, k_glset_tex_x, "%.2f", g_editor.tex_move_x * 128.0f);
    set_item_float(dialog, k_glset_tex_y, "%.2f", g_editor.tex_move_y * 128.0f);
    std::snprintf(text, sizeof text, "%d", int(g_editor.tex_move_period));
    set_item_text(dialog, k_glset_tex_s, text);
    if (g_active_layer < k_glset_layer_count)
        set_check(dialog, k_glset_layer + g_active_layer, 1);
    set_item_text(dialog, k_glset_def_layers, switch_text(g_editor.def_layers, "Def layers on", "Def layers off"));
    set_item_text(dialog, k_glset_coloring, switch_text(g_editor.coloring, "coloring on", "coloring off"));
    for (const char* row : k_work_rows)
        add_combo_string(dialog, k_glset_work_type, row);
    set_combo_sel(dialog, k_glset_work_type, 0);
    enable_item(dialog, k_glset_undo, g_undo_counter != 0 ? 1 : 0);
    for (const char* row : k_efect_rows)
        add_combo_string(dialog, k_glset_efect_type, row);
    set_combo_sel(dialog, k_glset_efect_type, 0);
    set_timer(dialog, k_timer, 1);
}

void choose_layer(dialog_handle dialog)
{
    for (int32_t i = 0; i < k_glset_layer_count; ++i) {
        if (get_check(dialog, k_glset_layer + i) == 1) {
            g_active_layer = uint8_t(i);
            return;
        }
    }
}

void choose_work_type(dialog_handle dialog)
{
    const int32_t row = get_combo_sel(dialog, k_glset_work_type);
    if (row < 0)
        return;
    g_work_mode = uint32_t(row);
    sort_objects();
    if (row == 0) {
        rebuild_brush_preview(g_editor);
    } else {
        reset_object(&g_brush_preview);
        init_object(&g_brush_preview, g_mouse_x, g_mouse_y, 0, 0.8f, 1.5f, 0, 0);
    }
}

void set_texture_movement(dialog_handle dialog)
{
    g_editor.tex_move_x = get_item_float(dialog, k_glset_tex_x, k_number_chars) / 128.0f;
    g_editor.tex_move_y = get_item_float(dialog, k_glset_tex_y, k_number_chars) / 128.0f;
    g_editor.tex_move_period = uint32_t(get_item_int(dialog, k_glset_tex_s, k_number_chars));
}

void set_ambient(dialog_handle dialog)
{
    g_ambient_color.red = float(get_slider_pos(dialog, k_glset_ambient_r)) / 100.0f;
    g_ambient_color.green = float(get_slider_pos(dialog, k_glset_ambient_g)) / 100.0f;
    g_ambient_color.blue = float(get_slider_pos(dialog, k_glset_ambient_b)) / 100.0f;
    set_device_ambient_light();
}

void flip(dialog_handle dialog, int32_t id, uint32_t& flag, const char* on_text, const char* off_text)
{
    flag = flag ? 0 : 1;
    set_item_text(dialog, id, switch_text(flag, on_text, off_text));
}

struct efect_entry {
    int32_t kind;
    float floats[k_glset_efect_params];
    int32_t ints[k_glset_efect_params];
};

efect_entry read_efect(dialog_handle dialog)
{
    efect_entry e{};
    e.kind = get_combo_sel(dialog, k_glset_efect_type) - 1;
    for (int32_t i = 0; i < k_glset_efect_params; ++i) {
        e.floats[i] = get_item_float(dialog, k_glset_efect_float + i, k_number_chars);
        e.ints[i] = get_item_int(dialog, k_glset_efect_int + i, k_number_chars);
    }
    return e;
}

void set_brush_efect(dialog_handle dialog)
{
    const efect_entry e = read_efect(dialog);
    g_editor.brush_efect_type = e.kind;
    std::copy(std::begin(e.floats), std::end(e.floats), g_editor.brush_efect_float);
    std::copy(std::begin(e.ints), std::end(e.ints), g_editor.brush_efect_int);
}

void add_efect_to_selected(dialog_handle dialog)
{
    const efect_entry e = read_efect(dialog);
    if (e.kind < 0)
        return;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (!o.highlight || o.entry_count >= k_max_entries)
            continue;
        const int32_t k = std::max(o.entry_count, 0);
        o.entry_kinds[k] = uint8_t(e.kind);
        std::copy(std::begin(e.floats), std::end(e.floats), o.entry_floats[k]);
        std::copy(std::begin(e.ints), std::end(e.ints), o.entry_ints[k]);
        o.entry_count = k + 1;
        g_map_dirty = 1;
    }
}

void remove_last_efect()
{
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (o.highlight && o.entry_count >= 1) {
            --o.entry_count;
            g_map_dirty = 1;
        }
    }
}

void undo(dialog_handle dialog)
{
    pop_undo_snapshot();
    if (g_undo_counter == 0)
        enable_item(dialog, k_glset_undo, 0);
}

void command(dialog_handle dialog, int32_t id)
{
    if (id >= k_glset_layer && id < k_glset_layer + k_glset_layer_count) {
        choose_layer(dialog);
        return;
    }
    switch (id) {
    case k_glset_work_type:
        choose_work_type(dialog);
        break;
    case k_glset_tex_set:
        set_texture_movement(dialog);
        break;
    case k_glset_ambient_set:
        set_ambient(dialog);
        break;
    case k_glset_tint_reset:
        for (int32_t i = 0; i < 3; ++i)
            set_slider_pos(dialog, k_glset_tint_r + i, k_tint_neutral);
        break;
    case k_glset_coloring:
        flip(dialog, id, g_editor.coloring, "coloring on", "coloring off");
        break;
    case k_glset_def_layers:
        flip(dialog, id, g_editor.def_layers, "Def layers on", "Def layers off");
        break;
    case k_glset_efect_set:
        set_brush_efect(dialog);
        break;
    case k_glset_set_selected:
        add_efect_to_selected(dialog);
        break;
    case k_glset_remove_last:
        remove_last_efect();
        break;
    case k_glset_undo:
        undo(dialog);
        break;
    default:
        break;
    }
}

} // namespace

void apply_global_tint(dialog_handle dialog)
{
    if (g_work_mode != k_work_select || !g_editor.coloring)
        return;
    const float r = float(get_slider_pos(dialog, k_glset_tint_r)) / 100.0f;
    const float g = float(get_slider_pos(dialog, k_glset_tint_g)) / 100.0f;
    const float b = float(get_slider_pos(dialog, k_glset_tint_b)) / 100.0f;
    for (uint32_t i = 0; i < g_object_count; ++i) {
        world_object& o = g_objects[i];
        if (!o.highlight)
            continue;
        if (o.red != r || o.green != g || o.blue != b)
            g_map_dirty = 1;
        o.red = r;
        o.green = g;
        o.blue = b;
    }
}

bool global_settings_proc(dialog_handle dialog, const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init:
        init_page(dialog);
        return true;
    case dialog_message_kind::timer:
        if (m.id == k_timer)
            apply_global_tint(dialog);
        return true;
    case dialog_message_kind::command:
        command(dialog, m.id);
        return true;
    case dialog_message_kind::close:
        g_global_settings_window = 0;
        end_dialog(dialog, 0);
        return true;
    case dialog_message_kind::destroy:
        if (g_global_settings_window == dialog)
            g_global_settings_window = 0;
        return true;
    }
    return false;
}

void open_global_settings()
{
    create_dialog(page_template(), global_settings_proc);
}
