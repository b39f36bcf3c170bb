// Dialogs as a user drives them: the messages a procedure gets, timers, ends and modal loops.
#include "dialog_test_support.h"

#include "editor/controls/dialog_records.h"
#include "editor/controls/message_box.h"
#include "platform/clock.h"

namespace {

using namespace every_kind;

class manual_clock {
public:
    explicit manual_clock(uint32_t start)
    {
        clock_use_manual(true);
        clock_set_manual(start);
    }
    ~manual_clock() { clock_use_manual(false); }
};

using DialogModel = dialog_test;

TEST_F(DialogModel, InitCarriesItsParameterAndTheUserActsArriveAsCommands)
{
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure(), 1234);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0], (recorded_message{dialog_message_kind::init, 0, 0, 1234}));
    log.messages.clear();
    add_list_string(dialog, list, "first");
    add_list_string(dialog, list, "second");
    add_combo_string(dialog, combo, "one");
    add_combo_string(dialog, combo, "two");

    EXPECT_TRUE(user_type(dialog, edit, "ab\bc"));         // focus, then every change
    EXPECT_TRUE(user_click(dialog, button));               // the edit loses the focus
    EXPECT_TRUE(user_choose(dialog, list, 1));
    EXPECT_TRUE(user_choose(dialog, list, 1));             // no change, nothing reported
    EXPECT_TRUE(user_double_click(dialog, list, 0));
    EXPECT_TRUE(user_open_combo(dialog, combo, true));
    EXPECT_TRUE(user_choose(dialog, combo, 1));
    EXPECT_TRUE(user_open_combo(dialog, combo, false));
    EXPECT_TRUE(user_edit_text(dialog, editable_combo, "typed"));
    EXPECT_TRUE(user_slide(dialog, slider, 40));           // sliders report nothing
    EXPECT_TRUE(user_choose(dialog, tabs, 2));
    EXPECT_TRUE(user_pick_menu(dialog, 502));
    EXPECT_FALSE(user_pick_menu(dialog, 503));
    EXPECT_TRUE(user_press_enter(dialog));
    EXPECT_TRUE(user_press_escape(dialog));

    const std::vector<recorded_message> expected = {
        command(edit, k_notify_focus_in),    command(edit, k_notify_changed),
        command(edit, k_notify_changed),     command(edit, k_notify_changed),
        command(edit, k_notify_changed),     command(edit, k_notify_focus_out),
        command(button, k_notify_clicked),   command(list, k_notify_focus_in),
        command(list, k_notify_selection),   command(list, k_notify_selection),
        command(list, k_notify_double_click), command(list, k_notify_focus_out),
        command(combo, k_notify_focus_in),   command(combo, k_notify_drop_down),
        command(combo, k_notify_selection),  command(combo, k_notify_close_up),
        command(combo, k_notify_focus_out),  command(editable_combo, k_notify_focus_in),
        command(editable_combo, k_notify_edit_typed), command(editable_combo, k_notify_focus_out),
        command(tabs, k_notify_selection),   command(502, k_notify_clicked),
        command(k_id_ok, k_notify_clicked),  command(k_id_cancel, k_notify_clicked),
    };
    EXPECT_EQ(log.commands(), expected);
    char text[16];
    get_item_text(dialog, edit, text, sizeof text);
    EXPECT_STREQ(text, "startac");
    get_item_text(dialog, combo, text, sizeof text);
    EXPECT_STREQ(text, "two");
    EXPECT_EQ(get_slider_pos(dialog, slider), 40);
    EXPECT_EQ(get_tab_sel(dialog, tabs), 2);
}

TEST_F(DialogModel, ClicksTurnChecksOverAndClearTheRadioGroupTypingStopsAtTheLimit)
{
    const dialog_handle dialog = create_dialog(every_kind_template(), nullptr);
    user_click(dialog, check);
    EXPECT_EQ(get_check(dialog, check), 1);
    user_click(dialog, check);
    EXPECT_EQ(get_check(dialog, check), 0);

    set_check(dialog, radio_other, 1); // another group
    user_click(dialog, radio_a);
    user_click(dialog, radio_b);
    EXPECT_EQ(get_check(dialog, radio_a), 0);
    EXPECT_EQ(get_check(dialog, radio_b), 1);
    EXPECT_EQ(get_check(dialog, radio_other), 1);

    user_edit_text(dialog, edit, "");
    user_type(dialog, edit, "0123456789");
    char text[16];
    EXPECT_EQ(get_item_text(dialog, edit, text, sizeof text), 8);

    find_control(dialog, edit, control_kind::edit)->source.style |= k_style_read_only;
    EXPECT_FALSE(user_type(dialog, edit, "x"));
    EXPECT_FALSE(user_edit_text(dialog, combo, "not editable"));
}

TEST_F(DialogModel, CloseBecomesCancelUnlessHandledAndEndingInsideTheProcedureWaitsForItsReturn)
{
    bool alive_inside = false;
    dialog_handle dialog = 0;
    log.also = [&](dialog_handle d, const dialog_message& m) {
        if (m.kind == dialog_message_kind::command && m.id == k_id_cancel) {
            end_dialog(d, k_id_cancel);
            alive_inside = dialog_exists(d) && set_item_text(d, edit, "still here") != 0;
        }
        return false;
    };
    dialog = create_dialog(every_kind_template(), log.procedure());
    EXPECT_TRUE(user_close(dialog));
    EXPECT_TRUE(alive_inside);
    EXPECT_FALSE(dialog_exists(dialog));
    ASSERT_GE(log.messages.size(), 3u);
    EXPECT_EQ(log.messages[1].kind, dialog_message_kind::close);
    EXPECT_EQ(log.messages[2], command(k_id_cancel, k_notify_clicked));
    EXPECT_EQ(log.messages.back().kind, dialog_message_kind::destroy);
    EXPECT_FALSE(user_close(dialog));

    // A procedure that handles close keeps its dialog; destroying from outside is at once.
    dialog = create_dialog(every_kind_template(), [](dialog_handle, const dialog_message& m) {
        return m.kind == dialog_message_kind::close;
    });
    user_close(dialog);
    EXPECT_TRUE(dialog_exists(dialog));
    EXPECT_TRUE(destroy_dialog(dialog));
    EXPECT_FALSE(dialog_exists(dialog));
    EXPECT_FALSE(destroy_dialog(dialog));

    // Ended during init: never made.
    EXPECT_EQ(create_dialog(every_kind_template(),
                            [](dialog_handle d, const dialog_message&) { return end_dialog(d, 0); }),
              0u);
}

TEST_F(DialogModel, TimersTickAtMostOncePerFrameStep)
{
    manual_clock clock(1000);
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    set_timer(dialog, 275, 1);
    set_timer(dialog, 9, 50);
    log.messages.clear();
    dialog_frame_step(1000); // not yet due
    clock_set_manual(1100);
    user_tick();             // 100 intervals of the first timer passed: one tick each
    user_tick();             // no time passed
    dialog_frame_step(1101);
    EXPECT_EQ(log.messages, (std::vector<recorded_message>{{dialog_message_kind::timer, 275, 0, 0},
                                                           {dialog_message_kind::timer, 9, 0, 0},
                                                           {dialog_message_kind::timer, 275, 0, 0}}));
    EXPECT_TRUE(kill_timer(dialog, 275));
    EXPECT_FALSE(kill_timer(dialog, 275));
    log.messages.clear();
    dialog_frame_step(5000);
    EXPECT_EQ(log.messages.size(), 1u);
}

TEST_F(DialogModel, AModalReturnsItsEndCodeAndItsOwnerIsGreyedMeanwhile)
{
    const dialog_handle owner = create_dialog(every_kind_template(), nullptr);
    bool owner_usable_inside = true;
    int passes = 0;
    set_modal_responder([&](dialog_handle modal) {
        owner_usable_inside = user_click(owner, button);
        if (++passes == 2)
            user_click(modal, button);
        return true;
    });
    log.also = [](dialog_handle d, const dialog_message& m) {
        if (m.kind == dialog_message_kind::command && m.id == button)
            end_dialog(d, 42);
        return true;
    };
    EXPECT_EQ(run_modal_dialog(every_kind_template(), log.procedure(), 5, owner), 42);
    EXPECT_EQ(passes, 2);
    EXPECT_FALSE(owner_usable_inside);
    EXPECT_TRUE(user_click(owner, button));
    EXPECT_EQ(log.messages.front(), (recorded_message{dialog_message_kind::init, 0, 0, 5}));
    EXPECT_EQ(log.messages.back().kind, dialog_message_kind::destroy);
    EXPECT_EQ(live_dialogs(), std::vector<dialog_handle>{owner});
}

TEST_F(DialogModel, AModalWithNobodyToAnswerIsCancelled)
{
    log.also = [](dialog_handle d, const dialog_message& m) {
        if (m.kind == dialog_message_kind::command && m.id == k_id_cancel)
            end_dialog(d, 99);
        return true;
    };
    EXPECT_EQ(run_modal_dialog(every_kind_template(), log.procedure()), 99);
    EXPECT_NE(last_console_line().find("every kind"), std::string::npos);

    // A procedure that ignores the cancel is ended with k_id_cancel; so is one whose responder gives up.
    EXPECT_EQ(run_modal_dialog(every_kind_template(), [](dialog_handle, const dialog_message&) { return true; }),
              k_id_cancel);
    set_modal_responder([](dialog_handle) { return false; });
    EXPECT_EQ(run_modal_dialog(every_kind_template(), nullptr), k_id_cancel);
    EXPECT_TRUE(live_dialogs().empty());
}

TEST_F(DialogModel, MessageBoxesAnswerTheirButtonsOrTheirDefault)
{
    EXPECT_EQ(message_box(0, "Saved.", "note", message_box_kind::ok), k_id_ok);
    EXPECT_EQ(last_console_line(), "dialog \"Saved.\" sa neda zobrazit, odpoved: OK");
    EXPECT_EQ(message_box(0, "Replace?", "ask", message_box_kind::yes_no), k_id_yes);

    std::vector<std::string> captions;
    std::vector<int32_t> presses = {k_id_no, 0, k_id_cancel, k_id_yes};
    size_t next = 0;
    set_modal_responder([&](dialog_handle box) {
        captions.push_back(find_dialog(box)->caption);
        const int32_t id = presses[next++];
        if (id == 0)
            user_press_enter(box);
        else if (id == k_id_cancel)
            user_press_escape(box); // a Yes/No box stays
        else
            user_click(box, id);
        return true;
    });
    EXPECT_EQ(message_box(0, "Replace?", "first", message_box_kind::yes_no), k_id_no);
    EXPECT_EQ(message_box(0, "Replace?", "second", message_box_kind::yes_no), k_id_yes); // Enter: the default
    EXPECT_EQ(message_box(0, "Replace?", "third", message_box_kind::yes_no), k_id_yes);  // Esc, then Yes
    EXPECT_EQ(captions, (std::vector<std::string>{"first", "second", "third", "third"}));
}

} // namespace
