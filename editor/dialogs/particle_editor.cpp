#include "editor/dialogs/particle_editor.h"

#include "core/editor_globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/windows/page_procedure.h"
#include "world/object_protos.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

dialog_handle g_particle_editor_window = 0;

namespace {

#define PF(row, column, member, format) {row, column, uint32_t(offsetof(object_proto, member)), particle_field::format}

// The dialog's colour rows show "vb" before "vg": the columns keep their labels and fields.
constexpr particle_field k_fields[] = {
    PF("", "stable", anim_count, whole_i),
    PF("", "speed", emit_interval, whole),
    PF("", "live", particle_lifetime, whole),
    PF("", "fx", alpha_mode_value, real),
    PF("", "fy", second_param_value, real),
    PF("position:", "x", spawn_offset[0], real),
    PF("position:", "y", spawn_offset[1], real),
    PF("position:", "z", spawn_offset[2], real),
    PF("position:", "vx", spawn_spread[0], real),
    PF("position:", "vy", spawn_spread[1], real),
    PF("position:", "vz", spawn_spread[2], real),
    PF("speed:", "x", velocity[0], real),
    PF("speed:", "y", velocity[1], real),
    PF("speed:", "z", velocity[2], real),
    PF("speed:", "vx", velocity_spread[0], real),
    PF("speed:", "vy", velocity_spread[1], real),
    PF("speed:", "vz", velocity_spread[2], real),
    PF("accel:", "x", acceleration[0], real),
    PF("accel:", "y", acceleration[1], real),
    PF("accel:", "z", acceleration[2], real),
    PF("accel:", "vx", acceleration_spread[0], real),
    PF("accel:", "vy", acceleration_spread[1], real),
    PF("accel:", "vz", acceleration_spread[2], real),
    PF("color:", "r", colour[0], real),
    PF("color:", "g", colour[1], real),
    PF("color:", "b", colour[2], real),
    PF("color:", "alfa", colour[3], real),
    PF("color:", "vr", colour_spread[0], real),
    PF("color:", "vb", colour_spread[2], real),
    PF("color:", "vg", colour_spread[1], real),
    PF("color:", "valfa", colour_spread[3], real),
    PF("color ch:", "r", colour_change[0], real),
    PF("color ch:", "g", colour_change[1], real),
    PF("color ch:", "b", colour_change[2], real),
    PF("color ch:", "alfa", colour_change[3], real),
    PF("color ch:", "vr", colour_change_spread[0], real),
    PF("color ch:", "vb", colour_change_spread[2], real),
    PF("color ch:", "vg", colour_change_spread[1], real),
    PF("color ch:", "valfa", colour_change_spread[3], real),
    PF("scale:", "s", scale, real),
    PF("scale:", "vs", scale_spread, real),
    PF("scale:", "ds", scale_change, real),
    PF("scale:", "vds", scale_change_spread, real),
};
#undef PF
constexpr int32_t k_field_count = int32_t(sizeof k_fields / sizeof k_fields[0]);
static_assert(k_particle_first_field + k_field_count <= k_particle_centre);
static_assert(offsetof(object_proto, colour_spread[2]) == 10484);
static_assert(offsetof(object_proto, colour_change_spread[1]) == 10512);

constexpr int32_t k_read_chars = 24;

// The particle prototype shown in the prototype editor, or null.
object_proto* shown_emitter()
{
    object_proto* p = g_shown_proto >= 0 && g_shown_proto < int32_t(g_object_proto_count) ? &g_object_protos[g_shown_proto]
                                                                                           : nullptr;
    return p && p->kind == k_proto_particle ? p : nullptr;
}

void show_fields(dialog_handle dialog, const object_proto& p)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&p);
    char text[64];
    for (int32_t i = 0; i < k_field_count; ++i) {
        const particle_field& f = k_fields[i];
        if (f.format == particle_field::real) {
            float value;
            std::memcpy(&value, bytes + f.offset, sizeof value);
            std::snprintf(text, sizeof text, "%f", double(value));
        } else {
            int32_t value;
            std::memcpy(&value, bytes + f.offset, sizeof value);
            std::snprintf(text, sizeof text, f.format == particle_field::whole ? "%d" : "%i", int(value));
        }
        text[k_particle_shown_chars] = '\0';
        set_item_text(dialog, k_particle_first_field + i, text);
    }
    set_check(dialog, k_particle_centre, p.aim_at_centre);
}

void store_fields(dialog_handle dialog, object_proto& p)
{
    auto* bytes = reinterpret_cast<uint8_t*>(&p);
    for (int32_t i = 0; i < k_field_count; ++i) {
        const particle_field& f = k_fields[i];
        if (f.format == particle_field::real) {
            const float value = get_item_float(dialog, k_particle_first_field + i, k_read_chars);
            std::memcpy(bytes + f.offset, &value, sizeof value);
        } else {
            const int32_t value = int32_t(get_item_int(dialog, k_particle_first_field + i, k_read_chars));
            std::memcpy(bytes + f.offset, &value, sizeof value);
        }
    }
    p.aim_at_centre = uint8_t(get_check(dialog, k_particle_centre) == 1 ? 1 : 0);
    g_map_dirty = 1;
}

dialog_template particle_template()
{
    dialog_template t;
    t.caption = "particle";
    t.width = 330;
    t.height = 170;
    t.x = 300;
    t.y = 80;
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "") {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text));
    };
    std::string row;
    int32_t y = -14, column = 0;
    for (int32_t i = 0; i < k_field_count; ++i) {
        const particle_field& f = k_fields[i];
        if (i == 0 || row != f.row) {
            row = f.row;
            y += 18;
            column = 0;
            add(control_kind::static_text, 0, 4, y + 8, 36, 10, f.row);
        }
        const int32_t x = 42 + column * 34;
        add(control_kind::static_text, 0, x, y, 32, 8, f.column);
        add(control_kind::edit, k_particle_first_field + i, x, y + 8, 32, 10);
        ++column;
    }
    add(control_kind::check, k_particle_centre, 4, y + 24, 90, 10, "move to center");
    add(control_kind::button, k_particle_update, 100, y + 22, 50, 14, "update");
    return t;
}

void open_window(dialog_handle dialog)
{
    g_particle_editor_window = dialog;
    if (const object_proto* p = shown_emitter())
        show_fields(dialog, *p);
}

void run_command(dialog_handle dialog, int32_t id)
{
    object_proto* p = id == k_particle_update ? shown_emitter() : nullptr;
    if (p)
        store_fields(dialog, *p);
}

} // namespace

particle_field_table particle_fields()
{
    return {k_fields, k_field_count};
}

void open_particle_editor()
{
    if (!g_particle_editor_window)
        create_dialog(particle_template(), particle_editor_proc);
}

bool particle_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_particle_editor_window, {open_window, run_command}, dialog, m);
}
