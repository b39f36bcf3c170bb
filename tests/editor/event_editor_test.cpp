// The event editor: every condition and action kind's boxes shown and read back unchanged, kinds
// kept and changed through the drop-downs, decimals at two places, and events made and deleted.
#include "tests/editor/content_editor_fixture.h"

#include "editor/dialogs/event_editor.h"

#include <cstring>

namespace {

class EventEditor : public content_editor_test {
protected:
    dialog_handle open()
    {
        open_editor_windows();
        user_pick_menu(g_command_window, k_menu_event);
        return g_event_editor_window;
    }
    void SetUp() override
    {
        content_editor_test::SetUp();
        saved_.keep(g_command_window), saved_.keep(g_command_window_open);
        g_command_window = 0;
        g_command_window_open = 0;
    }
    static int32_t box(int32_t first, int r, int b)
    {
        return first + r * k_event_boxes + b;
    }
};

// An event with distinct values in every number, decimal and text of its rows.
void fill_event(event_record& e, const char* name, uint32_t condition_kind, uint32_t action_kind)
{
    e = {};
    init_event(&e, name);
    for (int r = 0; r < k_event_parts; ++r) {
        e.condition_kind[r] = (condition_kind + uint32_t(r)) % k_condition_kinds;
        e.action_kind[r] = (action_kind + uint32_t(r)) % k_action_kinds;
        for (int v = 0; v < k_event_part_values; ++v) {
            e.condition_number[r][v] = 100 * r + v - 7;
            e.action_number[r][v] = 1000 * r + v + 3;
            e.action_coord[r][v] = float(r) + 0.25f * float(v) - 1.5f;
        }
        std::snprintf(e.condition_text[r], k_event_text_size, "cond%d", r);
        std::snprintf(e.action_text[r], k_event_text_size, "act%d", r);
    }
}

} // namespace

TEST_F(EventEditor, EveryKindShowsItsBoxesAndAnUnchangedUpdateKeepsTheRecord)
{
    g_event_count = 18;
    for (uint32_t i = 0; i < g_event_count; ++i)
        fill_event(g_events[i], ("ev" + std::to_string(i)).c_str(), i % k_condition_kinds, i);
    const dialog_handle d = open();
    ASSERT_NE(d, 0u);
    EXPECT_EQ(get_combo_count(d, k_evt_condition + 3), k_condition_kinds);
    EXPECT_EQ(get_combo_count(d, k_evt_action), k_action_kinds);
    for (int32_t i = 0; i < 18; ++i) {
        const event_record before = g_events[i];
        ASSERT_TRUE(user_choose(d, k_evt_list, i));
        ASSERT_TRUE(user_click(d, k_evt_update));
        EXPECT_EQ(std::memcmp(&before, &g_events[i], sizeof before), 0) << i;
    }
    EXPECT_EQ(g_map_dirty, 1u);

    // Event 6: "id state" in condition row 0, "set id state" in action row 0; the quest state in
    // row 3 (kind 9), "move character" in action row 3 (kind 9).
    user_choose(d, k_evt_list, 6);
    EXPECT_EQ(combo_shown(d, k_evt_condition), "id state");
    EXPECT_EQ(field_text(d, box(k_evt_condition_box, 0, 0)), "-7");
    EXPECT_EQ(field_text(d, box(k_evt_condition_box, 0, 1)), "-6");
    EXPECT_EQ(field_text(d, box(k_evt_condition_box, 0, 2)), "");
    EXPECT_EQ(field_text(d, box(k_evt_condition_box, 3, 0)), "cond3");
    EXPECT_EQ(field_text(d, box(k_evt_condition_box, 3, 1)), "293");
    EXPECT_EQ(combo_shown(d, k_evt_action + 3), "move character");
    EXPECT_EQ(field_text(d, box(k_evt_action_box, 3, 1)), "1.50");
    EXPECT_EQ(field_text(d, box(k_evt_action_box, 3, 2)), "1.75");
    // "open container" (event 15, action row 0) edits number 1.
    user_choose(d, k_evt_list, 15);
    EXPECT_EQ(combo_shown(d, k_evt_action), "open container");
    EXPECT_EQ(field_text(d, box(k_evt_action_box, 0, 0)), "3");
}

TEST_F(EventEditor, UpdateStoresOnlyTheBoxesOfEachRowsKind)
{
    g_event_count = 2;
    fill_event(g_events[0], "first", 6, 9);
    fill_event(g_events[1], "second", 0, 0);
    g_events[0].action_coord[0][0] = 2.346f;
    const dialog_handle d = open();
    user_choose(d, k_evt_list, 0);
    const event_record before = g_events[0];

    set_combo_sel(d, k_evt_condition + 1, -1);  // row 1 shows no kind: kept
    user_choose(d, k_evt_condition + 2, 4);     // "item in inv.": the text only
    user_edit_text(d, box(k_evt_condition_box, 2, 0), "a text longer than nineteen");
    user_edit_text(d, box(k_evt_condition_box, 2, 1), "555");
    user_choose(d, k_evt_action + 1, 7);  // "load map": text and number 1
    user_edit_text(d, box(k_evt_action_box, 1, 0), "level_name_longer_than_19");
    user_edit_text(d, box(k_evt_action_box, 1, 1), "12x");
    user_edit_text(d, k_evt_name, "renamed");
    ASSERT_TRUE(user_click(d, k_evt_update));

    const event_record& e = g_events[0];
    EXPECT_STREQ(e.name, "renamed");
    EXPECT_EQ(list_rows(d, k_evt_list), (std::vector<std::string>{"renamed", "second"}));
    EXPECT_EQ(get_list_sel(d, k_evt_list), 0);
    EXPECT_EQ(e.condition_kind[1], before.condition_kind[1]);
    EXPECT_EQ(e.condition_kind[2], 4u);
    EXPECT_STREQ(e.condition_text[2], "a text longer than ");
    EXPECT_EQ(std::memcmp(e.condition_number, before.condition_number, sizeof e.condition_number), 0);
    EXPECT_EQ(e.action_kind[1], 7u);
    EXPECT_STREQ(e.action_text[1], "level_name_longer_t");
    EXPECT_EQ(e.action_number[1][0], 12);
    EXPECT_EQ(e.action_number[1][1], before.action_number[1][1]);
    EXPECT_FLOAT_EQ(e.action_coord[0][0], 2.35f);  // the third place is lost
    EXPECT_EQ(std::memcmp(e.action_coord[1], before.action_coord[1], sizeof e.action_coord[1]), 0);
}

TEST_F(EventEditor, NewEventsStartEmptyAndDeleteMovesTheLaterOnesUp)
{
    g_event_count = 3;
    fill_event(g_events[0], "a", 1, 1);
    fill_event(g_events[1], "b", 2, 2);
    fill_event(g_events[2], "c", 3, 3);
    const dialog_handle d = open();
    user_choose(d, k_evt_list, 0);
    ASSERT_TRUE(user_pick_menu(d, k_evt_menu_delete));
    EXPECT_EQ(list_rows(d, k_evt_list), (std::vector<std::string>{"b", "c"}));
    EXPECT_STREQ(g_events[0].name, "b");
    EXPECT_EQ(g_map_dirty, 1u);
    user_pick_menu(d, k_evt_menu_new);
    user_pick_menu(d, k_evt_menu_new);
    EXPECT_EQ(list_rows(d, k_evt_list), (std::vector<std::string>{"b", "c", "new", "new"}));
    const event_record& made = g_events[2];  // the slot that held a copy of "c"
    EXPECT_EQ(made.state, 1);
    for (int r = 0; r < k_event_parts; ++r) {
        EXPECT_EQ(made.condition_kind[r], 0u);
        EXPECT_EQ(made.action_kind[r], 0u);
        EXPECT_EQ(made.condition_number[r][0], 0);
        EXPECT_EQ(made.action_coord[r][1], 0.0f);
        EXPECT_STREQ(made.action_text[r], "");
    }
}
