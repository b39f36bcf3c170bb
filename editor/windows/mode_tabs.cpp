#include "editor/windows/mode_tabs.h"

#include "core/editor_globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/dialogs/char_anim_editor.h"
#include "editor/dialogs/char_editor.h"
#include "editor/dialogs/chardata_editor.h"
#include "editor/dialogs/container_editor.h"
#include "editor/dialogs/effect_editor.h"
#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/global_settings.h"
#include "editor/dialogs/level_editor.h"
#include "editor/dialogs/monster_point_editor.h"
#include "editor/dialogs/move_proto_editor.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/dialogs/quest_list.h"

dialog_handle g_tabs_window = 0;
dialog_handle g_tab_window = 0;
dialog_handle g_global_settings_window = 0;

namespace {

// The strip is 191 x 31 dialog units.
constexpr int32_t k_strip_width = 191;
constexpr int32_t k_strip_height = 31;

bool mode_tabs_proc(dialog_handle dialog, const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init:
        g_tabs_window = dialog;
        move_dialog(dialog, 0, k_tabs_window_top);
        set_timer(dialog, k_mode_tabs_timer, 1);
        return true;
    case dialog_message_kind::timer:
        if (m.id == k_mode_tabs_timer)
            mode_tabs_tick();
        return true;
    case dialog_message_kind::close:
        destroy_dialog(dialog);
        return true;
    case dialog_message_kind::destroy:
        if (g_tabs_window == dialog)
            g_tabs_window = 0;
        return true;
    default:
        return false;
    }
}

} // namespace

editor_window_entry g_mode_tab_pages[k_mode_tab_count] = {
    {"Global", "GLSET", &g_global_settings_window, open_global_settings},
    {"Prtyp", "GRAFIKA", &g_proto_editor_window, open_proto_editor},
    {"Efect", "EFEKT", &g_effect_editor_window, open_effect_editor},
    {"MoveG", "CHARGEN", &g_move_proto_editor_window, create_move_proto_editor},
    {"ChMain", "CHARACTER", &g_char_editor_window, create_char_editor},
    {"ChAnim", "CHARANIM", &g_char_anim_editor_window, create_char_anim_editor},
    {"ChData", "CHARDATA", &g_chardata_editor_window, create_chardata_editor},
    {"Ident", "IDENT", &g_entity_editor_window, open_entity_editor},
    {"Level", "LEVEL", &g_level_editor_window, open_level_editor},
    {"Quests", "QUEST", &g_quest_list_window, open_quest_list},
    {"Cont.", "CONTAINER", &g_container_editor_window, open_container_editor},
    {"MPoint", "MONSTERPOINT", &g_monster_point_editor_window, open_monster_point_editor},
};

dialog_handle open_mode_tabs()
{
    if (g_tabs_window)
        destroy_dialog(g_tabs_window);
    dialog_template t;
    t.caption = "MENU";
    t.width = k_strip_width;
    t.height = k_strip_height;
    t.title_bar = false; // the strip stays: it has no close box, and it fits between the menu and the page
    control_template tabs = make_control(control_kind::tabs, k_mode_tabs_control, 0, 0, k_strip_width, k_strip_height);
    for (const editor_window_entry& page : g_mode_tab_pages)
        tabs.items.push_back(page.caption);
    t.controls.push_back(tabs);
    create_dialog(t, mode_tabs_proc);
    set_tab_sel(g_tabs_window, k_mode_tabs_control, 0);
    return g_tabs_window;
}

void mode_tabs_tick()
{
    if (g_tab_window && !dialog_exists(g_tab_window)) {
        // The page was closed on its own: no tab is chosen, so a click on any brings its page;
        // a tab chosen since the page closed stays chosen.
        g_tab_window = 0;
        if (get_tab_sel(g_tabs_window, k_mode_tabs_control) == g_current_tab)
            set_tab_sel(g_tabs_window, k_mode_tabs_control, -1);
        g_current_tab = -1;
    }
    const int32_t tab = get_tab_sel(g_tabs_window, k_mode_tabs_control);
    if (tab < 0 || tab >= k_mode_tab_count || tab == g_current_tab)
        return;
    g_current_tab = tab;
    if (g_tab_window)
        destroy_dialog(g_tab_window);
    g_tab_window = create_editor_window(g_mode_tab_pages[tab], 0, k_tab_window_top);
}

void renew_tab_page()
{
    if (!g_tab_window || !dialog_exists(g_tab_window) || g_current_tab < 0 || g_current_tab >= k_mode_tab_count)
        return;
    const editor_window_entry& page = g_mode_tab_pages[g_current_tab];
    destroy_dialog(g_tab_window);
    // Called from the page's own command, the old page goes only when that returns: its handle
    // is let go now, so that the new page is made beside it.
    if (*page.window == g_tab_window)
        *page.window = 0;
    g_tab_window = create_editor_window(page, 0, k_tab_window_top);
}
