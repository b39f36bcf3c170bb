#include "editor/dialogs/monster_point_editor.h"

#include "characters/monster_points.h"
#include "characters/monster_protos.h"
#include "core/editor_globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/windows/editor_windows.h"
#include "editor/windows/page_procedure.h"
#include "editor/windows/mode_tabs.h"
#include "world/object_draw_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

dialog_handle g_monster_point_editor_window = 0;

namespace {

constexpr int32_t k_levels = 25;
constexpr const char* k_roll_labels[k_monster_kinds] = {"1-3",   "4-6",   "7-9", "10-12", "13-14",
                                                        "15-16", "17-18", "19",  "20"};

void init(dialog_handle dialog)
{
    g_monster_point_editor_window = dialog;
    move_dialog(dialog, 0, k_tab_window_top);
    monster_point_block& b = g_monster_points;
    const int32_t protos = std::clamp<int32_t>(g_monster_proto_count, 0, k_monster_proto_slots);
    char text[128];
    for (int32_t k = 0; k < k_monster_kinds; ++k) {
        for (int32_t level = 1; level <= k_levels; ++level) {
            std::snprintf(text, sizeof text, "L%d", level);
            add_combo_string(dialog, k_mpt_level + k, text);
        }
        set_combo_sel(dialog, k_mpt_level + k, b.kind_level[k] - 1);
        add_combo_string(dialog, k_mpt_class + k, "empty");
        for (int32_t c = 0; c < protos; ++c) {
            const char* name = g_monster_protos[c].name;
            add_combo_string(dialog, k_mpt_class + k, std::string(name, strnlen(name, sizeof g_monster_protos[c].name)).c_str());
        }
        set_combo_sel(dialog, k_mpt_class + k, b.kind_class[k] + 1);
    }
    const int32_t points = std::clamp<int32_t>(b.count, 0, k_monster_point_slots);
    for (int32_t i = 0; i < points; ++i) {
        const monster_point& p = b.points[i];
        // Positions outside the int range show as that range's ends, not-a-number as 0.
        std::snprintf(text, sizeof text, "%d - x:%d y:%d (%d)", i, safe_int(p.x), safe_int(p.y), int32_t(p.stamp));
        add_list_string(dialog, k_mpt_points, text);
    }
}

// Stores a value, marking the map changed when it differs.
void store(int16_t& field, int32_t value)
{
    if (field != int16_t(value)) {
        field = int16_t(value);
        g_map_dirty = 1;
    }
}

void run_command(dialog_handle dialog, int32_t id)
{
    monster_point_block& b = g_monster_points;
    const int32_t row = get_combo_sel(dialog, id);
    if (id >= k_mpt_class && id < k_mpt_class + k_monster_kinds) {
        if (row >= 0)
            store(b.kind_class[id - k_mpt_class], row - 1);
    } else if (id >= k_mpt_level && id < k_mpt_level + k_monster_kinds) {
        if (row >= 0)
            store(b.kind_level[id - k_mpt_level], row + 1);
    } else if (id == k_mpt_move_sector) {
        monster_point* p = monster_point_at(&b, get_list_sel(dialog, k_mpt_points));
        char text[10] = {};
        get_item_text(dialog, id, text, sizeof text);
        if (p)
            store(p->move_sector, int32_t(std::strtol(text, nullptr, 10)));
    }
}

dialog_template monster_point_template()
{
    dialog_template t;
    t.caption = "MPoint";
    t.width = 190;
    t.height = 240;
    t.title_bar = false;
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "") {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text));
    };
    add(control_kind::static_text, 0, 4, 4, 80, 10, "Monster Points:");
    add(control_kind::list_box, k_mpt_points, 4, 14, 182, 70);
    add(control_kind::static_text, 0, 4, 90, 50, 10, "move sector:");
    add(control_kind::edit, k_mpt_move_sector, 56, 88, 50, 12);
    add(control_kind::group_box, 0, 2, 104, 186, 134, "Respawn monsters table");
    for (int32_t k = 0; k < k_monster_kinds; ++k) {
        const int32_t y = 114 + k * 13;
        add(control_kind::static_text, 0, 6, y + 2, 24, 10, k_roll_labels[k]);
        add(control_kind::combo, k_mpt_class + k, 32, y, 100, 120);
        add(control_kind::combo, k_mpt_level + k, 136, y, 48, 120);
    }
    return t;
}

} // namespace

bool monster_point_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_monster_point_editor_window, {init, run_command}, dialog, m);
}

void open_monster_point_editor()
{
    if (!g_monster_point_editor_window)
        create_dialog(monster_point_template(), monster_point_editor_proc);
}
