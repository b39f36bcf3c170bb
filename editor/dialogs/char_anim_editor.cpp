#include "editor/dialogs/char_anim_editor.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "editor/controls/dialog_controls.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"

#include <cstring>
#include <string>

dialog_handle g_char_anim_editor_window = 0;

namespace {

// The clip array of group box `group`, in the order of k_groups.
int16_t* array_of(char_record& c, int32_t group)
{
    switch (group) {
    case 0: return c.clip_stand;
    case 1: return c.clip_move;
    case 2: return c.clip_attack;
    case 3: return c.clip_death;
    case 4: return c.clip_hit;
    default: return c.clip_spell;
    }
}

// The group boxes in order; their fields are numbered k_anim_clip + k in this order.
const struct {
    const char* title;
    int32_t count;
} k_groups[] = {
    {"Standing Animations", 3}, {"Move Animations", 2}, {"Attack Animations", 4},
    {"Die Animations", 2},      {"Hit Animations", 2},  {"Spell Animations", 3},
};

const char* const k_ordinals[] = {"1st", "2nd", "3rd", "4th"};

int32_t selected_char(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_anim_chars);
    return row >= 0 && uint32_t(row) < g_char_count ? row : -1;
}

void show_char(dialog_handle dialog, int32_t slot)
{
    char_record& c = g_chars[slot];
    for (int32_t k = 0; k < k_anim_clip_fields; ++k) {
        const int32_t clip = anim_clip_slot(c, k);
        // A clip beyond the table shows no row, which UPDATE leaves as it is.
        set_combo_sel(dialog, k_anim_clip + k, clip >= -1 && clip < g_move_proto_count ? clip + 1 : -1);
    }
}

void update_char(dialog_handle dialog, int32_t slot)
{
    char_record& c = g_chars[slot];
    for (int32_t k = 0; k < k_anim_clip_fields; ++k) {
        const int32_t row = get_combo_sel(dialog, k_anim_clip + k);
        if (row >= 0)
            anim_clip_slot(c, k) = int16_t(row - 1);
    }
}

void fill(dialog_handle dialog)
{
    for (uint32_t s = 0; s < g_char_count && s < uint32_t(k_char_slots); ++s)
        add_list_string(dialog, k_anim_chars, std::string(g_chars[s].name, strnlen(g_chars[s].name, 20)).c_str());
    for (int32_t k = 0; k < k_anim_clip_fields; ++k) {
        add_combo_string(dialog, k_anim_clip + k, "nothing");
        for (int32_t p = 0; p < g_move_proto_count; ++p)
            add_combo_string(dialog, k_anim_clip + k, g_move_protos[p].name);
        set_combo_sel(dialog, k_anim_clip + k, 0);
    }
}

void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    fill(dialog);
}

void run_command(dialog_handle dialog, int32_t id)
{
    const int32_t slot = selected_char(dialog);
    if (slot < 0)
        return;
    if (id == k_anim_chars)
        show_char(dialog, slot);
    else if (id == k_anim_update)
        update_char(dialog, slot);
}

dialog_template page_template()
{
    dialog_template t;
    t.caption = "ChAnim";
    t.width = 190;
    t.x = 0;
    t.y = k_tab_window_top;
    // The drop-downs first: controls are found by a scan in template order, and creation fills
    // these sixteen row by row.
    int32_t y = 4, k = 0;
    for (const auto& group : k_groups) {
        for (int32_t i = 0; i < group.count; ++i, ++k)
            t.controls.push_back(make_control(control_kind::combo, k_anim_clip + k, 94, y + 11 + i * 16, 88, 120));
        y += 12 + group.count * 16 + 3;
    }
    t.height = y;  // the groups, one under the other, fill the page
    t.controls.push_back(make_control(control_kind::static_text, -1, 4, 4, 60, 10, "Characters:"));
    t.controls.push_back(make_control(control_kind::list_box, k_anim_chars, 4, 16, 60, 290));
    t.controls.push_back(make_control(control_kind::button, k_anim_update, 4, 310, 60, 14, "UPDATE"));
    y = 4;
    for (const auto& group : k_groups) {
        const int32_t height = 12 + group.count * 16;
        t.controls.push_back(make_control(control_kind::group_box, -1, 70, y, 116, height, group.title));
        for (int32_t i = 0; i < group.count; ++i)
            t.controls.push_back(make_control(control_kind::static_text, -1, 74, y + 13 + i * 16, 18, 10, k_ordinals[i]));
        y += height + 3;
    }
    return t;
}

} // namespace

int16_t& anim_clip_slot(char_record& character, int32_t k)
{
    int32_t group = 0;
    while (group < 5 && k >= k_groups[group].count)
        k -= k_groups[group++].count;
    return array_of(character, group)[k];
}

bool char_anim_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_char_anim_editor_window, {init_page, run_command}, dialog, m);
}

void create_char_anim_editor()
{
    create_dialog(page_template(), char_anim_editor_proc);
}
