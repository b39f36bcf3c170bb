#include "editor/dialogs/quest_list.h"

#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/record_text.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "script/quests.h"

#include <algorithm>
#include <cstdio>

dialog_handle g_quest_list_window = 0;

namespace {

const char* yes_no(uint32_t flag)
{
    return flag ? "yes" : "no";
}

void fill_quests(dialog_handle dialog)
{
    const int32_t quests = std::min<int32_t>(g_quest_count, k_quest_slots);
    for (int32_t q = 0; q < quests; ++q) {
        const quest_record& quest = g_quests[q];
        set_listview_cell(dialog, k_quest_list_view, 0, q, record_text(quest.name).c_str());
        char state[8];
        std::snprintf(state, sizeof state, "%d", int(quest.state));
        set_listview_cell(dialog, k_quest_list_view, 1, q, state);
        set_listview_cell(dialog, k_quest_list_view, 2, q, yes_no(quest.assigned));
        set_listview_cell(dialog, k_quest_list_view, 3, q, yes_no(quest.completed));
    }
}

dialog_template quest_list_template()
{
    dialog_template t;
    t.caption = "QUEST";
    t.width = 190;
    t.height = 240;
    t.x = 0;
    t.y = k_tab_window_top;
    control_template view = make_control(control_kind::list_view, k_quest_list_view, 4, 4, 182, 232);
    view.items = {"name", "state", "assigned", "completed"};
    t.controls.push_back(view);
    return t;
}

// Fills the page when it is made.
void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    fill_quests(dialog);
}

} // namespace

bool quest_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_quest_list_window, {init_page, nullptr}, dialog, m);
}

void open_quest_list()
{
    create_dialog(quest_list_template(), quest_editor_proc);
}
