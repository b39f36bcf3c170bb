// The part editor of the "MoveG" page: colour, scale, skin and texture animation of one body
// part of one move prototype. It shows the part it was opened for; its "U P D A T E" writes into
// the target at the time of the press.
#include "editor/dialogs/move_proto_editor.h"

#include "characters/char_models.h"
#include "core/console_log.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/windows/page_procedure.h"
#include "engine/models.h"

#include <cstdio>

dialog_handle g_body_part_editor_window = 0;

namespace {

constexpr const char* k_anim_types[] = {"no anim", "cyclic", "oscilating", "oneway"};
constexpr int32_t k_scale_chars = 19;

// The target's record, or null (logged) when the target is no prototype's body part.
char_move_proto* target()
{
    if (g_edited_move_proto < 0 || g_edited_move_proto >= g_move_proto_count || g_edited_body_part >= k_body_parts) {
        console_log("editovana cast %d prototypu %d neexistuje", g_edited_body_part, g_edited_move_proto);
        return nullptr;
    }
    return &g_move_protos[g_edited_move_proto];
}

// The registry entry of the part's model while it is in use, else -1.
int32_t part_entry(const char_move_proto& m, int32_t part)
{
    const int32_t entry = m.part_model[part];
    return entry >= 0 && uint32_t(entry) < g_chardata_count && entry < k_chardata_capacity ? entry : -1;
}

void show(dialog_handle dialog)
{
    const char_move_proto* m = target();
    if (!m)
        return;
    const int32_t part = g_edited_body_part;
    set_slider_range(dialog, k_bpe_red, 0, 200);
    set_slider_range(dialog, k_bpe_green, 0, 200);
    set_slider_range(dialog, k_bpe_blue, 0, 200);
    set_slider_range(dialog, k_bpe_alpha, 0, 100);
    for (int32_t k = 0; k < 4; ++k)
        set_slider_pos(dialog, k_bpe_red + k, int32_t(m->part_values[k][part] * 100.0f));
    const int32_t entry = part_entry(*m, part);
    char title[k_chardata_text_size + 16];
    std::snprintf(title, sizeof title, "editing %s", entry >= 0 ? g_chardata[entry].name : "(none)");
    set_window_text(dialog, title);
    const int32_t skins = entry >= 0 && g_chardata[entry].loaded ? g_char_models[entry].skin_count : 0;
    for (int32_t s = 0; s < skins; ++s) {
        char row[24];
        std::snprintf(row, sizeof row, "skin %d", s);
        add_combo_string(dialog, k_bpe_skin, row);
    }
    set_combo_sel(dialog, k_bpe_skin, m->part_mode[part]);
    for (const char* type : k_anim_types)
        add_combo_string(dialog, k_bpe_anim_type, type);
    set_combo_sel(dialog, k_bpe_anim_type, m->part_extra_byte[part]);
    set_item_float(dialog, k_bpe_scale, "%.2f", m->part_values[4][part]);
    set_item_int(dialog, k_bpe_anim_speed, m->part_extra[part]);
}

void update(dialog_handle dialog)
{
    char_move_proto* m = target();
    if (!m)
        return;
    const int32_t part = g_edited_body_part;
    m->part_values[4][part] = get_item_float(dialog, k_bpe_scale, k_scale_chars);
    m->part_extra[part] = int16_t(get_item_int(dialog, k_bpe_anim_speed));
    for (int32_t k = 0; k < 4; ++k)
        m->part_values[k][part] = float(get_slider_pos(dialog, k_bpe_red + k)) / 100.0f;
    if (const int32_t skin = get_combo_sel(dialog, k_bpe_skin); skin >= 0)
        m->part_mode[part] = uint8_t(skin);
    if (const int32_t type = get_combo_sel(dialog, k_bpe_anim_type); type >= 0)
        m->part_extra_byte[part] = uint8_t(type);
}

dialog_template editor_template()
{
    dialog_template t;
    t.caption = "Edit";
    t.width = 170;
    t.height = 150;
    t.x = 300;
    t.y = 200;
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "") {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text));
    };
    const char* const labels[] = {"r", "g", "b", "a"};
    for (int32_t k = 0; k < 4; ++k) {
        add(control_kind::static_text, -1, 4, 6 + k * 16, 10, 10, labels[k]);
        add(control_kind::slider, k_bpe_red + k, 16, 4 + k * 16, 150, 14);
    }
    add(control_kind::static_text, -1, 4, 72, 68, 10, "skin:");
    add(control_kind::combo, k_bpe_skin, 74, 70, 92, 80);
    add(control_kind::static_text, -1, 4, 88, 68, 10, "text_anim_typ:");
    add(control_kind::combo, k_bpe_anim_type, 74, 86, 92, 60);
    add(control_kind::static_text, -1, 4, 104, 68, 10, "scale:");
    add(control_kind::edit, k_bpe_scale, 74, 102, 38, 13);
    add(control_kind::static_text, -1, 4, 120, 68, 10, "text_anim_speed:");
    add(control_kind::edit, k_bpe_anim_speed, 74, 118, 38, 13);
    add(control_kind::button, k_bpe_update, 116, 118, 50, 14, "U P D A T E");
    return t;
}

} // namespace

bool body_part_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    auto command = [](dialog_handle d, int32_t id) {
        if (id == k_bpe_update)
            update(d);
    };
    return run_page_message(&g_body_part_editor_window, {show, command}, dialog, m);
}

void open_body_part_editor()
{
    if (!g_body_part_editor_window)
        create_dialog(editor_template(), body_part_editor_proc);
}
