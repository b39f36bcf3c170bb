#include "editor/dialogs/effect_editor.h"

#include "core/console_log.h"
#include "core/editor_globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/message_box.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/record_text.h"
#include "editor/dialogs/editor_window_parts.h"
#include "editor/dialogs/level_references.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "items/items.h"
#include "level/level_effects.h"

#include <algorithm>
#include <string>

dialog_handle g_effect_editor_window = 0;

const char* const k_effect_kind_names[k_effect_kind_count] = {
    "nothing",    "rotation",           "add light",      "x move",        "y move",        "dyn. light",
    "dyn. ambient light", "add flashlight", "3D X rotation", "3D Y rotation", "3D Z rotation",
};

namespace {

constexpr int32_t k_width = 190;
constexpr int32_t k_height = 330;

int32_t effect_count()
{
    return int32_t(std::min<uint32_t>(g_level_effect_count, k_level_effect_slots));
}

int32_t proto_count()
{
    return std::clamp<int32_t>(g_efect_proto_count, 0, k_efect_proto_slots);
}

// The effect that the selected row names, or -1.
int32_t selected_effect(dialog_handle dialog)
{
    char text[k_number_field_size] = {};
    const int32_t row = get_list_sel(dialog, k_efe_list);
    if (row < 0 || get_list_text(dialog, k_efe_list, row, text, sizeof text) < 0)
        return -1;
    const int32_t i = parse_leading_int(text);
    return i >= 0 && i < effect_count() ? i : -1;
}

int32_t selected_proto(dialog_handle dialog)
{
    return selected_record(dialog, k_efe_proto_list, uint32_t(std::max<int16_t>(g_efect_proto_count, 0)), k_efect_proto_slots);
}

// The nine fractions at 40 to 72.
float& fraction(level_effect& e, int k)
{
    effect_channel& c = e.channel[k / 3];
    return k % 3 == 0 ? c.lower : k % 3 == 1 ? c.upper : c.step;
}

void show_effect(dialog_handle dialog, int32_t i)
{
    level_effect& e = g_level_effects[i];
    set_combo_sel(dialog, k_efe_type, e.kind < uint32_t(k_effect_kind_count) ? int32_t(e.kind) : -1);
    set_item_int(dialog, k_efe_ident, "%d", e.target);
    set_item_int(dialog, k_efe_speed, "%d", int32_t(e.period));
    for (int k = 0; k < k_efe_params; ++k)
        set_item_text(dialog, k_efe_param + k, "");
    switch (e.kind) {
    case k_effect_counter:
        set_item_int(dialog, k_efe_param, "%d", e.direction[2]);
        set_item_int(dialog, k_efe_param + 1, "%d", e.editor_value);
        set_item_int(dialog, k_efe_param + 2, "%d", e.counter);
        break;
    case k_effect_add_light:
    case k_effect_flashlight:
        set_item_int(dialog, k_efe_param, "%d", e.direction[0]);
        break;
    case k_effect_x_move:
    case k_effect_y_move:
        set_item_int(dialog, k_efe_param, "%d", e.direction[0]);
        set_item_int(dialog, k_efe_param + 1, "%d", e.editor_value);
        break;
    case k_effect_light_pulse:
    case k_effect_ambient_pulse:
        for (int k = 0; k < k_efe_params; ++k)
            set_item_float(dialog, k_efe_param + k, "%f", fraction(e, k));
        break;
    default:
        break;
    }
}

void update_effect(dialog_handle dialog)
{
    const int32_t i = selected_effect(dialog);
    if (i < 0)
        return;
    level_effect& e = g_level_effects[i];
    e.target = get_item_int(dialog, k_efe_ident);
    const int32_t kind = get_combo_sel(dialog, k_efe_type);
    if (kind >= 0)
        e.kind = uint32_t(kind);
    e.period = uint32_t(get_item_int(dialog, k_efe_speed));
    switch (e.kind) {
    case k_effect_counter:
        e.direction[2] = get_item_int(dialog, k_efe_param);
        e.editor_value = get_item_int(dialog, k_efe_param + 1);
        e.counter = 0;
        break;
    case k_effect_add_light:
    case k_effect_flashlight:
        e.direction[0] = get_item_int(dialog, k_efe_param);
        break;
    case k_effect_x_move:
    case k_effect_y_move:
        e.direction[0] = get_item_int(dialog, k_efe_param);
        e.editor_value = get_item_int(dialog, k_efe_param + 1);
        e.direction[2] = 0;
        e.direction[1] = e.editor_value;
        break;
    case k_effect_light_pulse:
    case k_effect_ambient_pulse:
        for (int k = 0; k < k_efe_params; ++k)
            fraction(e, k) = get_item_float(dialog, k_efe_param + k);
        break;
    default:
        break;
    }
    g_map_dirty = 1;
}

// The first slot below the count that is not active, else the slot at the count.
void new_effect(dialog_handle dialog)
{
    int32_t slot = 0;
    while (slot < effect_count() && g_level_effects[slot].active == 1)
        ++slot;
    if (slot >= k_level_effect_slots) {
        console_log("efekty: uz je %d efektov, novy nepridam", k_level_effect_slots);
        return;
    }
    add_list_string(dialog, k_efe_list, std::to_string(slot).c_str());
    level_effect& e = g_level_effects[slot];
    e.active = 1;
    e.kind = 0;
    e.period = 1;
    if (slot == effect_count())
        g_level_effect_count = uint32_t(slot + 1);
    g_map_dirty = 1;
}

void delete_effect(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_efe_list);
    if (row < 0)
        return;
    const int32_t i = selected_effect(dialog);
    delete_list_string(dialog, k_efe_list, row);
    if (i >= 0)
        g_level_effects[i].active = 0;
    g_map_dirty = 1;
}

void add_proto(dialog_handle dialog)
{
    const int32_t n = proto_count();
    if (n >= k_efect_proto_slots) {
        console_log("efekt prototypy: uz je %d prototypov, novy nepridam", k_efect_proto_slots);
        return;
    }
    init_efect_proto_entry(&g_efect_protos[n]);
    g_efect_protos[n].name[0] = '\0';  // the designer names the entry with "Upd"
    add_list_string(dialog, k_efe_proto_list, record_text(g_efect_protos[n].name).c_str());
    g_efect_proto_count = int16_t(n + 1);
    show_changed_table({record_table::efect_protos});
}

// Refused while an item's effect names the entry; otherwise the later entries move up and the
// items' numbers follow them.
void remove_proto(dialog_handle dialog)
{
    const int32_t r = selected_proto(dialog);
    if (r < 0)
        return;
    const int32_t item = item_naming_efect_proto(r);
    if (item >= 0) {
        const std::string name = record_text(g_efect_protos[r].name), user = record_text(g_item_protos[item].key_name);
        console_log("efekt prototyp %s nezmazem: pouziva ho predmet %d %s", name.c_str(), item, user.c_str());
        const std::string text = "The effect prototype " + name + " is not removed: item " + std::to_string(item) +
                                 " " + user + " uses it.";
        message_box(dialog, text.c_str(), "Rem", message_box_kind::ok);
        return;
    }
    const int32_t n = proto_count();
    std::copy(g_efect_protos + r + 1, g_efect_protos + n, g_efect_protos + r);
    g_efect_proto_count = int16_t(n - 1);
    renumber_efect_proto_references(r);
    delete_list_string(dialog, k_efe_proto_list, r);
    show_changed_table({record_table::efect_protos, r});
}

void rename_proto(dialog_handle dialog)
{
    const int32_t r = selected_proto(dialog);
    if (r < 0)
        return;
    get_item_text(dialog, k_efe_proto_name, g_efect_protos[r].name, k_efect_name_size);
    delete_list_string(dialog, k_efe_proto_list, r);
    insert_list_string(dialog, k_efe_proto_list, r, record_text(g_efect_protos[r].name).c_str());
    set_list_sel(dialog, k_efe_proto_list, r);
}

void run_command(dialog_handle dialog, int32_t id)
{
    switch (id) {
    case k_efe_list: {
        const int32_t i = selected_effect(dialog);
        if (i >= 0)
            show_effect(dialog, i);
        break;
    }
    case k_efe_update:
        update_effect(dialog);
        break;
    case k_efe_menu_new:
        new_effect(dialog);
        break;
    case k_efe_menu_delete:
        delete_effect(dialog);
        break;
    case k_efe_proto_list: {
        const int32_t r = selected_proto(dialog);
        if (r >= 0)
            set_item_text(dialog, k_efe_proto_name, record_text(g_efect_protos[r].name).c_str());
        break;
    }
    case k_efe_proto_add:
        add_proto(dialog);
        break;
    case k_efe_proto_rem:
        remove_proto(dialog);
        break;
    case k_efe_proto_upd:
        rename_proto(dialog);
        break;
    case k_efe_proto_reload:
        for (int32_t r = 0; r < proto_count(); ++r)
            attach_efect_proto(&g_efect_protos[r]);
        break;
    default:
        break;
    }
}

void fill_page(dialog_handle dialog)
{
    for (const char* kind : k_effect_kind_names)
        add_combo_string(dialog, k_efe_type, kind);
    for (int32_t i = 0; i < effect_count(); ++i)
        if (g_level_effects[i].active == 1)
            add_list_string(dialog, k_efe_list, std::to_string(i).c_str());
    for (int32_t r = 0; r < proto_count(); ++r)
        add_list_string(dialog, k_efe_proto_list, record_text(g_efect_protos[r].name).c_str());
}

dialog_template effect_template()
{
    dialog_template t;
    t.caption = "EFEKT";
    t.width = k_width;
    t.height = k_height;
    t.x = 0;
    t.y = k_tab_window_top;
    t.menu = {{"efect", 0, {{"new", k_efe_menu_new, {}}, {"delete", k_efe_menu_delete, {}}}}};
    add_control(t, control_kind::static_text, 0, 4, 4, 40, 10, "Efects:");
    add_control(t, control_kind::list_box, k_efe_list, 4, 16, 50, 150);
    add_control(t, control_kind::static_text, 0, 60, 6, 30, 10, "Type:");
    add_control(t, control_kind::combo, k_efe_type, 92, 4, 94, 120);
    add_control(t, control_kind::static_text, 0, 60, 22, 30, 10, "Ident:");
    add_control(t, control_kind::edit, k_efe_ident, 92, 20, 94, 13);
    add_control(t, control_kind::static_text, 0, 60, 38, 30, 10, "Speed:");
    add_control(t, control_kind::edit, k_efe_speed, 92, 36, 94, 13);
    for (int k = 0; k < k_efe_params; ++k) {
        const std::string label = std::to_string(k + 1);
        add_control(t, control_kind::static_text, 0, 60, 54 + k * 12, 10, 10, label.c_str());
        add_control(t, control_kind::edit, k_efe_param + k, 72, 52 + k * 12, 114, 11);
    }
    add_control(t, control_kind::button, k_efe_update, 140, 162, 46, 14, "update");
    add_control(t, control_kind::group_box, 0, 2, 182, 186, 144, "Efekt prototypes");
    add_control(t, control_kind::list_box, k_efe_proto_list, 8, 194, 90, 126);
    add_control(t, control_kind::static_text, 0, 104, 196, 24, 10, "name:");
    add_control(t, control_kind::edit, k_efe_proto_name, 104, 208, 80, 13)->limit = k_efect_name_size - 1;
    add_control(t, control_kind::button, k_efe_proto_add, 104, 226, 38, 14, "Add");
    add_control(t, control_kind::button, k_efe_proto_rem, 146, 226, 38, 14, "Rem");
    add_control(t, control_kind::button, k_efe_proto_upd, 104, 244, 38, 14, "Upd");
    add_control(t, control_kind::button, k_efe_proto_reload, 104, 262, 80, 14, "Reload prtypes");
    return t;
}

void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    fill_page(dialog);
}

} // namespace

bool effect_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_effect_editor_window, {init_page, run_command}, dialog, m);
}

void open_effect_editor()
{
    if (!g_effect_editor_window)
        create_dialog(effect_template(), effect_editor_proc);
}
