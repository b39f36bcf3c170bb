// The helpers of the dialogs' controls, with what they send to the procedure.
#include "dialog_test_support.h"

#include "editor/controls/dialog_records.h"

namespace {

using namespace every_kind;

class DialogControls : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        dialog = create_dialog(every_kind_template(), log.procedure(), 77);
        ASSERT_NE(dialog, 0u);
        log.messages.clear();
    }

    std::string list_row(int32_t id, int32_t row, bool combo = false)
    {
        char buffer[64];
        const int32_t n = combo ? get_combo_text(dialog, id, row, buffer, sizeof buffer)
                                : get_list_text(dialog, id, row, buffer, sizeof buffer);
        return n < 0 ? "<bad>" : buffer;
    }

    dialog_handle dialog = 0;
};

TEST_F(DialogControls, ListRowsInsertDeleteAndKeepTheSelectedRow)
{
    EXPECT_EQ(get_list_sel(dialog, list), -1);
    EXPECT_EQ(add_list_string(dialog, list, "b"), 0);
    EXPECT_EQ(add_list_string(dialog, list, "c"), 1);
    EXPECT_EQ(insert_list_string(dialog, list, 0, "a"), 0);
    EXPECT_EQ(insert_list_string(dialog, list, -1, "d"), 3); // -1 appends
    EXPECT_EQ(insert_list_string(dialog, list, 9, "x"), -1);
    EXPECT_EQ(get_list_count(dialog, list), 4);

    EXPECT_EQ(set_list_sel(dialog, list, 2), 2);
    EXPECT_EQ(list_row(list, get_list_sel(dialog, list)), "c");
    insert_list_string(dialog, list, 1, "a2"); // the same row stays selected
    EXPECT_EQ(list_row(list, get_list_sel(dialog, list)), "c");
    EXPECT_EQ(delete_list_string(dialog, list, 0), 4);
    EXPECT_EQ(list_row(list, get_list_sel(dialog, list)), "c");
    EXPECT_EQ(delete_list_string(dialog, list, get_list_sel(dialog, list)), 3);
    EXPECT_EQ(get_list_sel(dialog, list), -1);
    EXPECT_EQ(delete_list_string(dialog, list, 3), -1);

    EXPECT_EQ(set_list_sel(dialog, list, 1), 1);
    EXPECT_EQ(set_list_sel(dialog, list, 7), -1); // a bad row changes nothing
    EXPECT_EQ(get_list_sel(dialog, list), 1);
    EXPECT_EQ(set_list_sel(dialog, list, -1), -1); // -1 clears, answering -1
    EXPECT_EQ(get_list_sel(dialog, list), -1);
    EXPECT_EQ(list_row(list, 5), "<bad>");
    EXPECT_TRUE(log.messages.empty()); // the helpers report nothing
}

TEST_F(DialogControls, SortedListsPlaceRowsInCaseBlindOrder)
{
    dialog_template t = every_kind_template();
    t.controls[8].style = k_style_sorted;
    const dialog_handle sorted = create_dialog(t, nullptr);
    for (const char* text : {"delta", "Bravo", "alpha", "Charlie", "bravo"})
        add_list_string(sorted, list, text);
    std::vector<std::string> rows;
    for (int32_t row = 0; row < get_list_count(sorted, list); ++row) {
        char buffer[16];
        get_list_text(sorted, list, row, buffer, sizeof buffer);
        rows.push_back(buffer);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"alpha", "Bravo", "bravo", "Charlie", "delta"}));
    EXPECT_EQ(insert_list_string(sorted, list, 0, "zulu"), 0); // inserting does not sort
}

TEST_F(DialogControls, ComboFindIgnoresCaseWrapsAndASelectMissKeepsTheSelection)
{
    for (const char* text : {"Sword", "shield", "Staff", "axe", "sWORDfish"})
        add_combo_string(dialog, combo, text);
    EXPECT_EQ(get_combo_sel(dialog, combo), -1);
    EXPECT_EQ(find_combo_string(dialog, combo, -1, "SW"), 0);
    EXPECT_EQ(find_combo_string(dialog, combo, 0, "sw"), 4);
    EXPECT_EQ(find_combo_string(dialog, combo, 4, "sw"), 0); // wraps from the last row to the top
    EXPECT_EQ(find_combo_string(dialog, combo, 1, "shield"), 1); // the start row is searched last
    EXPECT_EQ(find_combo_string(dialog, combo, -1, "word"), -1); // only at the beginning
    EXPECT_EQ(get_combo_sel(dialog, combo), -1);                  // finding selects nothing

    EXPECT_EQ(select_combo_string(dialog, combo, -1, "st"), 2);
    EXPECT_EQ(get_combo_sel(dialog, combo), 2);
    char shown[16];
    get_item_text(dialog, combo, shown, sizeof shown);
    EXPECT_STREQ(shown, "Staff");
    EXPECT_EQ(select_combo_string(dialog, combo, -1, "bow"), -1);
    EXPECT_EQ(get_combo_sel(dialog, combo), 2);

    EXPECT_EQ(insert_combo_string(dialog, combo, -1, "bow"), 5);
    EXPECT_EQ(list_row(combo, 5, true), "bow");
    EXPECT_EQ(set_combo_sel(dialog, combo, -1), -1); // clears the box
    get_item_text(dialog, combo, shown, sizeof shown);
    EXPECT_STREQ(shown, "");
    EXPECT_EQ(set_combo_sel(dialog, combo, 1), 1);
    EXPECT_EQ(delete_combo_string(dialog, combo, 0), 5);
    EXPECT_EQ(get_combo_sel(dialog, combo), 0);
    EXPECT_EQ(get_combo_count(dialog, combo), 5);
    EXPECT_TRUE(log.messages.empty());
}

TEST_F(DialogControls, TextsAreCopiedToAtMostSizeMinusOneCharacters)
{
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(get_item_text(dialog, label, buffer, 5), 4);
    EXPECT_STREQ(buffer, "Labe");
    EXPECT_EQ(buffer[5], 'x');
    EXPECT_EQ(get_item_text(dialog, label, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(get_item_text(dialog, label, buffer, 0), 0);

    add_list_string(dialog, list, "a long row");
    add_combo_string(dialog, combo, "another long row");
    EXPECT_EQ(get_list_text(dialog, list, 0, buffer, 4), 3);
    EXPECT_STREQ(buffer, "a l");
    EXPECT_EQ(get_combo_text(dialog, combo, 0, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "another");
    EXPECT_EQ(get_list_text(dialog, list, 1, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "");
}

TEST_F(DialogControls, SetItemTextReportsAtOnceWhileSelectionAndCheckHelpersDoNot)
{
    // The procedure reads the new text inside the call, and a change it makes itself re-enters.
    std::vector<std::string> seen;
    log.also = [&](dialog_handle d, const dialog_message& m) {
        if (m.kind == dialog_message_kind::command && m.id == edit) {
            char text[64];
            get_item_text(d, edit, text, sizeof text);
            seen.push_back(text);
            if (seen.size() == 1)
                set_item_text(d, edit, "again");
        }
        return true;
    };
    EXPECT_NE(set_item_text(dialog, edit, "typed in code, longer than the limit"), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"typed in code, longer than the limit", "again"}));
    EXPECT_EQ(log.commands(), (std::vector<recorded_message>{command(edit, k_notify_changed), command(edit, k_notify_changed)}));

    log.messages.clear();
    add_list_string(dialog, list, "row");
    set_list_sel(dialog, list, 0);
    add_combo_string(dialog, combo, "row");
    set_combo_sel(dialog, combo, 0);
    EXPECT_EQ(set_check(dialog, check, 1), 0);
    set_check(dialog, radio_a, 1);
    set_slider_pos(dialog, slider, 5);
    set_item_text(dialog, label, "label");
    EXPECT_TRUE(log.messages.empty());

    // One radio button set by code leaves the others of its group alone.
    set_check(dialog, radio_b, 1);
    EXPECT_EQ(get_check(dialog, radio_a), 1);
    EXPECT_EQ(get_check(dialog, radio_b), 1);
    EXPECT_EQ(set_check(dialog, check, 2), 0); // a two-state box holds 1 at most
    EXPECT_EQ(get_check(dialog, check), 1);
    EXPECT_EQ(get_check(dialog, button), 0);
}

TEST_F(DialogControls, SliderRangesKeepTheLow16BitsAndHoldThePosition)
{
    set_slider_range(dialog, slider, 0x10005, 0x70064);
    set_slider_pos(dialog, slider, 1000);
    EXPECT_EQ(get_slider_pos(dialog, slider), 100);
    set_slider_pos(dialog, slider, 1);
    EXPECT_EQ(get_slider_pos(dialog, slider), 5);
    set_slider_range(dialog, slider, -1, 70000); // 65535 and 4464
    EXPECT_EQ(get_slider_pos(dialog, slider), 4464);
    set_slider_range(dialog, slider, 10, 20); // the range moves the position with it
    EXPECT_EQ(get_slider_pos(dialog, slider), 20);
}

TEST_F(DialogControls, ListViewRowsFilledABCLeaveCOnTop)
{
    for (const char* key : {"A", "B", "C"}) {
        EXPECT_EQ(set_listview_cell(dialog, view, 0, key[0], key), 0);
        EXPECT_EQ(set_listview_cell(dialog, view, 1, 0, (std::string(key) + "1").c_str()), 1);
    }
    EXPECT_EQ(set_listview_cell(dialog, view, 2, 0, "beyond the columns"), 0);
    const control_record* c = find_control(dialog, view, control_kind::list_view);
    ASSERT_EQ(c->view_rows.size(), 3u);
    EXPECT_EQ(c->view_rows[0].cells, (std::vector<std::string>{"C", "C1"}));
    EXPECT_EQ(c->view_rows[0].value, 'C');
    EXPECT_EQ(c->view_rows[2].cells, (std::vector<std::string>{"A", "A1"}));

    EXPECT_EQ(get_listview_selection(dialog, view), -1);
    user_choose(dialog, view, 1);
    user_toggle_row(dialog, view, 2);
    EXPECT_EQ(get_listview_selection(dialog, view), 1);
    delete_listview_selection(dialog, view);
    ASSERT_EQ(c->view_rows.size(), 1u);
    EXPECT_EQ(c->view_rows[0].cells[0], "C");
    clear_listview(dialog, view);
    EXPECT_TRUE(c->view_rows.empty());
    EXPECT_EQ(set_listview_cell(dialog, view, 1, 0, "no top row"), 0);
}

TEST_F(DialogControls, StaleHandlesWrongIdentifiersAndOtherKindsAnswerZeroOrMinusOne)
{
    const dialog_handle stale = dialog;
    destroy_dialog(dialog);
    dialog = create_dialog(every_kind_template(), nullptr);
    EXPECT_NE(dialog, stale); // handles are never given out again
    char buffer[8] = "x";
    for (dialog_handle d : {stale, dialog_handle(0), dialog}) {
        const int32_t id = d == dialog ? 999 : list; // the live dialog: a missing identifier
        EXPECT_EQ(add_list_string(d, id, "a"), -1);
        EXPECT_EQ(insert_list_string(d, id, -1, "a"), -1);
        EXPECT_EQ(delete_list_string(d, id, 0), -1);
        EXPECT_EQ(get_list_count(d, id), 0);
        EXPECT_EQ(get_list_sel(d, id), -1);
        EXPECT_EQ(set_list_sel(d, id, 0), -1);
        EXPECT_EQ(get_list_text(d, id, 0, buffer, sizeof buffer), -1);
        EXPECT_EQ(get_combo_sel(d, id), -1);
        EXPECT_EQ(find_combo_string(d, id, -1, ""), -1);
        EXPECT_EQ(select_combo_string(d, id, -1, ""), -1);
        EXPECT_EQ(get_item_text(d, id, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(set_item_text(d, id, "t"), 0);
        EXPECT_EQ(enable_item(d, id, 1), 0);
        EXPECT_EQ(get_check(d, id), 0);
        EXPECT_EQ(get_slider_pos(d, id), 0);
        EXPECT_EQ(set_listview_cell(d, id, 0, 0, "a"), -1);
        EXPECT_EQ(get_listview_selection(d, id), -1);
        EXPECT_EQ(get_tab_sel(d, id), -1);
    }
    EXPECT_EQ(set_window_text(stale, "t"), 0);
    // A helper of one kind on a control of another.
    EXPECT_EQ(add_list_string(dialog, combo, "a"), -1);
    EXPECT_EQ(add_combo_string(dialog, list, "a"), -1);
    EXPECT_EQ(get_combo_count(dialog, combo), 0);
    EXPECT_FALSE(user_click(stale, button));
}

TEST_F(DialogControls, EnableItemAnswersWhetherItWasGreyedAndGreyedControlsRefuseTheUser)
{
    EXPECT_EQ(enable_item(dialog, button, 0), 0);
    EXPECT_EQ(enable_item(dialog, button, 0), 1);
    EXPECT_FALSE(user_click(dialog, button));
    EXPECT_EQ(enable_item(dialog, button, 5), 1);
    EXPECT_TRUE(user_click(dialog, button));

    // Greying out the focused edit takes the focus away, reported.
    user_focus(dialog, edit);
    log.messages.clear();
    enable_item(dialog, edit, 0);
    EXPECT_EQ(log.commands(), (std::vector<recorded_message>{command(edit, k_notify_focus_out)}));
    EXPECT_FALSE(user_type(dialog, edit, "x"));
}

TEST_F(DialogControls, TabsAndCaptions)
{
    EXPECT_EQ(get_tab_sel(dialog, tabs), 0); // a fresh tab control shows its first tab
    EXPECT_EQ(set_tab_sel(dialog, tabs, 2), 0);
    EXPECT_EQ(set_tab_sel(dialog, tabs, 3), -1);
    EXPECT_EQ(get_tab_sel(dialog, tabs), 2);
    EXPECT_NE(set_window_text(dialog, "editing sword"), 0);
    EXPECT_EQ(find_dialog(dialog)->caption, "editing sword");
    EXPECT_TRUE(log.messages.empty());
}

} // namespace
