// The quest list: one row per quest with its progress, the last quest at the top.
#include "tests/editor/dialog_test_support.h"

#include "core/editor_globals.h"
#include "editor/controls/dialog_records.h"
#include "editor/dialogs/quest_list.h"
#include "editor/windows/mode_tabs.h"
#include "script/quests.h"
#include "tests/support/saved_globals.h"

namespace {

using rows = std::vector<std::vector<std::string>>;

class QuestList : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        saved_.keep(g_quests), saved_.keep(g_quest_count), saved_.keep(g_quest_list_window);
        saved_.keep(g_tabs_window), saved_.keep(g_tab_window), saved_.keep(g_current_tab);
        g_quest_list_window = 0;
        g_tabs_window = g_tab_window = 0;  // no strip or page yet, whatever an earlier test left
        g_quest_count = 0;
    }
    void TearDown() override
    {
        dialog_test::TearDown();
        saved_.restore();
    }
    // Opens the list through the "Quests" tab and returns its rows with their values.
    rows shown(std::vector<intptr_t>* values = nullptr)
    {
        g_current_tab = -1;
        open_mode_tabs();
        set_tab_sel(g_tabs_window, k_mode_tabs_control, 9);
        mode_tabs_tick();
        rows out;
        const control_record* view = find_control(g_quest_list_window, k_quest_list_view, control_kind::list_view);
        if (!view)
            return out;
        for (const list_view_row& r : view->view_rows) {
            out.push_back(r.cells);
            if (values)
                values->push_back(r.value);
        }
        return out;
    }
    saved_globals saved_;
};

} // namespace

TEST_F(QuestList, ListsTheQuestsLastFirstWithStateAndMarksAsTheyAreWhenTheTabIsChosen)
{
    EXPECT_TRUE(shown().empty());
    ASSERT_NE(g_quest_list_window, 0u);
    EXPECT_EQ(find_dialog(g_quest_list_window)->y, k_tab_window_top);
    EXPECT_EQ(find_control(g_quest_list_window, k_quest_list_view, control_kind::list_view)->source.items,
              (std::vector<std::string>{"name", "state", "assigned", "completed"}));

    for (const char* name : {"A", "B", "C"})
        set_quest_name(&g_quests[g_quest_count++], name);
    g_quests[1].state = 2;
    g_quests[1].assigned = 1;
    g_quests[2].assigned = 1;
    g_quests[2].completed = 1;
    g_quests[2].state = 255;
    std::memset(g_quests[0].name, 'q', sizeof g_quests[0].name);  // no terminator
    std::vector<intptr_t> values;
    EXPECT_EQ(shown(&values), (rows{{"C", "255", "yes", "yes"},
                                    {"B", "2", "yes", "no"},
                                    {std::string(30, 'q'), "0", "no", "no"}}));
    EXPECT_EQ(values, (std::vector<intptr_t>{2, 1, 0}));

    // A count past the table lists the table only.
    g_quest_count = 250;
    EXPECT_EQ(shown().size(), size_t(k_quest_slots));
    user_close(g_quest_list_window);
    EXPECT_EQ(g_quest_list_window, 0u);
}
