// The dialogs on the screen: drawn with ImGui on the device, and the user's input from the
// window reaching the procedures.
#include "dialog_test_support.h"

#include "core/editor_globals.h"
#include "editor/controls/dialog_records.h"
#include "editor/gui/dialog_layout.h"
#include "editor/gui/dialog_screen.h"
#include "editor/gui/imgui_backend.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/key_codes.h"
#include "tests/editor/dialog_screen_support.h"
#include "tests/engine/draw_test_support.h"
#include "tests/support/saved_globals.h"

#include <algorithm>

namespace {

using namespace every_kind;

void fill_rows(dialog_handle dialog)
{
    for (int i = 0; i < 200; ++i)
        add_list_string(dialog, list, ("row " + std::to_string(i)).c_str());
    for (const char* text : {"one", "two"})
        add_combo_string(dialog, combo, text);
    set_combo_sel(dialog, combo, 1);
    for (int i = 0; i < 3; ++i) {
        set_listview_cell(dialog, view, 0, i, "key");
        set_listview_cell(dialog, view, 1, i, "value");
    }
    set_check(dialog, check, 1);
    set_check(dialog, radio_a, 1);
    set_slider_pos(dialog, slider, 50);
    set_item_text(dialog, memo, "first line\r\nsecond line");
}

class DialogScreen : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        screen = std::make_unique<dialog_screen_driver>();
        kept_.keep(g_current_tab, g_tabs_window, g_tab_window, g_global_settings_window);
        kept_.keep(g_command_window, g_command_window_open);
        g_current_tab = -1;  // no strip and no page yet, as in a new process
        g_tabs_window = g_tab_window = g_global_settings_window = g_command_window = 0;
        g_command_window_open = 0;
    }
    void TearDown() override
    {
        dialog_test::TearDown();
        screen.reset();
        kept_.restore();
    }

    void frame() { screen->frame(); }
    void click_at(int32_t x, int32_t y) { screen->click_at(x, y); }
    void click_control(dialog_handle dialog, int32_t id) { screen->click_control(dialog, id); }

    std::unique_ptr<dialog_screen_driver> screen;
    recording_device& recorder() { return screen->recorder; }
    saved_globals kept_;  // the mode tabs' strip, page and chosen tab, the command window
};

TEST_F(DialogScreen, DrawsPreColouredClippedTrianglesAndRestoresTheDevice)
{
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    fill_rows(dialog);
    log.messages.clear();
    const device_snapshot before(recorder());
    run_dialog_frame();
    expect_same_device_state(before, device_snapshot(recorder()));
    device_rect r;
    EXPECT_FALSE(recorder().get_scissor(r));

    ASSERT_FALSE(recorder().draws().empty());
    bool coloured = false;
    for (const recorded_draw& d : recorder().draws()) {
        EXPECT_EQ(d.type, primitive_type::triangle_list);
        EXPECT_NE(d.texture, nullptr); // the font atlas, whose white texel draws shapes
        EXPECT_TRUE(recorder().states_of(d).scissor_on);
        EXPECT_EQ(recorder().states_of(d).get(render_state::alpha_blend), 1u);
        const lit_vertex* v = recorder().vertices_of(d);
        for (uint32_t i = 0; i < d.vertex_count; ++i)
            coloured |= v[i].r != v[i].g || v[i].g != v[i].b;
    }
    EXPECT_TRUE(coloured);
    // Every shown control has its place; a hidden dialog draws nothing.
    for (const control_template& c : every_kind_template().controls)
        EXPECT_TRUE(dialog_control_rect(dialog, c.id, r)) << c.id;
    show_dialog(dialog, false);
    recorder().clear_recording();
    run_dialog_frame();
    EXPECT_TRUE(recorder().draws().empty());
    EXPECT_TRUE(log.commands().empty());
}

TEST_F(DialogScreen, AClickInjectedOverAButtonArrivesOnce)
{
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    run_dialog_frame();
    click_control(dialog, button);
    frame();
    EXPECT_EQ(log.commands(), std::vector<recorded_message>{command(button, k_notify_clicked)});

    // Over a check box: it turns over, once; over a row of the list, the row is chosen.
    log.messages.clear();
    add_list_string(dialog, list, "first");
    add_list_string(dialog, list, "second");
    click_control(dialog, check);
    EXPECT_EQ(get_check(dialog, check), 1);
    device_rect r;
    ASSERT_TRUE(dialog_control_rect(dialog, list, r));
    click_at(r.x + 10, r.y + 20); // the second row
    EXPECT_EQ(get_list_sel(dialog, list), 1);
    EXPECT_EQ(log.commands(), (std::vector<recorded_message>{command(check, k_notify_clicked),
                                                             command(list, k_notify_focus_in),
                                                             command(list, k_notify_selection)}));
}

TEST_F(DialogScreen, AButtonHeldWhenTheInputIsResetIsLetGoAndTheNextClickArrives)
{
    // Pressed beside the dialog, then a new window: the release went with the reset queues.
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    run_dialog_frame();
    input_inject({input_event_kind::mouse_move, 0, false, 1010, 750});
    input_inject({input_event_kind::mouse_button, 0, true});
    frame();
    ASSERT_FALSE(imgui_window_at(1010, 750));
    input_inject({input_event_kind::mouse_button, 0, false});
    input_reset();
    input_set_display_size(1024, 768);
    log.messages.clear();
    click_control(dialog, button);
    EXPECT_EQ(log.commands(), std::vector<recorded_message>{command(button, k_notify_clicked)});
}

TEST_F(DialogScreen, TypedCharactersReachTheEditInWindows1252AndEnterAndEscapeAnswer)
{
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    set_item_text(dialog, edit, "");
    run_dialog_frame();
    click_control(dialog, edit);
    for (uint32_t c : {uint32_t('N'), 0xE9u, 0x20ACu}) {
        input_event typed{input_event_kind::text};
        typed.character = c;
        input_inject(typed);
    }
    frame();
    char text[16];
    get_item_text(dialog, edit, text, sizeof text);
    EXPECT_STREQ(text, "N\xE9\x80");

    log.messages.clear();
    input_inject({input_event_kind::key, k_key_return, true});
    input_inject({input_event_kind::key, k_key_return, false});
    frame();
    frame();
    input_inject({input_event_kind::key, k_key_escape, true});
    frame();
    input_inject({input_event_kind::key, k_key_escape, false});
    frame();
    const auto commands = log.commands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), command(k_id_ok, k_notify_clicked)), 1);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), command(k_id_cancel, k_notify_clicked)), 1);
}

TEST_F(DialogScreen, TabsFollowTheUserAndTheCodeAndTheCloseBoxCloses)
{
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    run_dialog_frame();
    device_rect r;
    ASSERT_TRUE(dialog_control_rect(dialog, tabs, r));
    set_tab_sel(dialog, tabs, 2); // by code: shown without a report
    frame();
    frame();
    EXPECT_TRUE(log.commands().empty());
    click_at(r.x + 8, r.y + r.height / 2); // the first tab
    EXPECT_EQ(get_tab_sel(dialog, tabs), 0);
    EXPECT_EQ(log.commands(), std::vector<recorded_message>{command(tabs, k_notify_selection)});

    log.messages.clear();
    click_at(40 + int32_t(300 * k_dialog_unit_x) - 10, 30 + 9); // the close box at the caption's right
    EXPECT_EQ(log.messages.at(0).kind, dialog_message_kind::close);
    EXPECT_EQ(log.commands(), std::vector<recorded_message>{command(k_id_cancel, k_notify_clicked)});
}

TEST_F(DialogScreen, ANewDialogShowsItsOwnTabNotTheOneAnOlderDialogUnderItsWindowNameShowed)
{
    const dialog_handle older = create_dialog(every_kind_template(), nullptr);
    set_tab_sel(older, tabs, 2);
    for (int i = 0; i < 3; ++i)
        frame();
    destroy_dialog(older);
    frame();
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    set_tab_sel(dialog, tabs, 0);
    for (int i = 0; i < 4; ++i)
        frame();
    EXPECT_EQ(get_tab_sel(dialog, tabs), 0);
    EXPECT_TRUE(log.commands().empty());
}

TEST_F(DialogScreen, ANewDialogUnderAGoneOnesWindowNameOpensInFrontWithItsListAtTheTop)
{
    dialog_template front = every_kind_template();
    front.controls.clear();
    front.x += 30;
    front.y += 30;
    // Two dialogs under the names of the two that follow: the back one with its list scrolled
    // down to a row, and raised by a click on its caption where the front one does not cover it.
    const dialog_handle older = create_dialog(every_kind_template(), nullptr);
    fill_rows(older);
    set_list_sel(older, list, 150);
    create_dialog(front, nullptr);
    frame();
    click_at(45, 35);
    destroy_all_dialogs();
    frame();
    const dialog_handle behind = create_dialog(every_kind_template(), log.procedure());
    fill_rows(behind);
    const dialog_handle in_front = create_dialog(front, nullptr);
    frame();
    log.messages.clear();
    click_control(behind, button); // under the front dialog
    frame();
    EXPECT_TRUE(log.commands().empty());

    destroy_dialog(in_front);
    device_rect r;
    ASSERT_TRUE(dialog_control_rect(behind, list, r));
    click_at(r.x + 10, r.y + 5); // the top row shown
    EXPECT_EQ(get_list_sel(behind, list), 0);
}

TEST_F(DialogScreen, DraggingTheCaptionMovesTheDialogAndAMoveByCodeIsShown)
{
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    run_dialog_frame();
    input_inject({input_event_kind::mouse_move, 0, false, 100, 38});
    frame();
    input_inject({input_event_kind::mouse_button, 0, true});
    frame();
    input_inject({input_event_kind::mouse_move, 0, false, 160, 78});
    frame();
    input_inject({input_event_kind::mouse_button, 0, false});
    frame();
    frame();
    EXPECT_EQ(find_dialog(dialog)->x, 100);
    EXPECT_EQ(find_dialog(dialog)->y, 70);

    move_dialog(dialog, 0, 80);
    frame();
    device_rect r;
    ASSERT_TRUE(dialog_control_rect(dialog, button, r));
    EXPECT_EQ(r.x, int32_t(8 * k_dialog_unit_x));
    EXPECT_EQ(find_dialog(dialog)->y, 80);
    EXPECT_TRUE(log.commands().empty());
}

TEST_F(DialogScreen, AWindowPlacedOffTheDisplayComesBackOnItAndTheModelLearnsWhere)
{
    dialog_template t = every_kind_template();
    t.x = 2000;
    t.y = 900;
    const dialog_handle dialog = create_dialog(t, log.procedure());
    frame();
    frame();
    const pixel_box window = window_pixels(*find_dialog(dialog));
    EXPECT_EQ(window.x, 1024 - window.width);
    EXPECT_EQ(window.y, 768 - window.height);
    EXPECT_TRUE(log.commands().empty());
}

TEST_F(DialogScreen, TheModeTabsShowEveryTabInRowsAndAClickInTheSecondRowChoosesThatTab)
{
    const dialog_handle strip = open_mode_tabs();
    frame();
    clock_advance_manual(16);
    frame(); // the strip's timer opens the first tab's page, before anyone could click
    ASSERT_TRUE(g_tab_window != 0 && g_tab_window == g_global_settings_window) << "the Global page is not open";
    const dialog_record* d = find_dialog(strip);
    EXPECT_FALSE(d->title_bar); // nothing to close it with
    const control_record& c = d->controls[0];
    device_rect r;
    ASSERT_TRUE(dialog_control_rect(strip, k_mode_tabs_control, r));
    const std::vector<pixel_box> places = tab_places(c, {float(r.x), float(r.y), float(r.width), float(r.height)});
    ASSERT_EQ(places.size(), 12u);
    EXPECT_EQ(places[0].y, places[5].y);
    EXPECT_GT(places[6].y, places[5].y); // "ChData" starts the second row
    for (const pixel_box& p : places) {
        EXPECT_GE(p.x, float(r.x));
        EXPECT_LE(p.right(), float(r.x + r.width));
        EXPECT_LE(p.bottom(), float(r.y + r.height));
    }
    const pixel_box& mpoint = places[11];
    click_at(int32_t(mpoint.x + mpoint.width / 2), int32_t(mpoint.y + mpoint.height / 2));
    EXPECT_EQ(get_tab_sel(strip, k_mode_tabs_control), 11);
    click_at(int32_t(mpoint.x + mpoint.width / 2), int32_t(mpoint.y + mpoint.height / 2));
    EXPECT_EQ(get_tab_sel(strip, k_mode_tabs_control), 11);
}

TEST_F(DialogScreen, EscClosesAnOpenMenuOfTheMenuBarAndTheNextPressOpensIt)
{
    open_editor_windows();
    frame();
    // "file" is the first menu of the command window's bar at the display's top left corner; its
    // menu opens below the bar, where no other window lies.
    constexpr int32_t k_file_x = 12, k_file_y = 6, k_below_x = 20, k_below_y = 40;
    ASSERT_FALSE(imgui_window_at(k_below_x, k_below_y));
    click_at(k_file_x, k_file_y);
    ASSERT_TRUE(imgui_window_at(k_below_x, k_below_y)) << "the menu did not open";
    input_inject({input_event_kind::mouse_move, 0, false, 600, 500});
    frame();
    ASSERT_TRUE(imgui_window_at(k_below_x, k_below_y));
    screen->press_key(k_key_escape);
    int frames = 0;
    while (imgui_window_at(k_below_x, k_below_y) && frames < 10) {
        frame();
        ++frames;
    }
    EXPECT_FALSE(imgui_window_at(k_below_x, k_below_y)) << "the menu was still open " << frames << " frames after Esc";
    EXPECT_EQ(g_command_window_open, 1u);
    click_at(k_file_x, k_file_y);
    EXPECT_TRUE(imgui_window_at(k_below_x, k_below_y)) << "the next press on the menu did not open it";
    destroy_dialog(g_command_window);

    // The Esc that closes a dialog's menu is the menu's alone: the dialog is not cancelled.
    const dialog_handle dialog = create_dialog(every_kind_template(), log.procedure());
    frame();
    const dialog_record& d = *find_dialog(dialog);
    const int32_t bar_y = d.y + int32_t(title_bar_pixels(d) + menu_bar_pixels(d) / 2);
    click_at(d.x + k_file_x, bar_y);
    log.messages.clear();
    screen->press_key(k_key_escape);
    frame();
    EXPECT_TRUE(log.commands().empty());
    screen->press_key(k_key_escape);  // with the menu closed, Esc cancels
    EXPECT_EQ(log.commands(), std::vector<recorded_message>{command(k_id_cancel, k_notify_clicked)});
}

class DialogPixels : public gl_draw_test {
protected:
    void TearDown() override
    {
        destroy_all_dialogs();
        if (dev)
            run_dialog_frame();
        gl_draw_test::TearDown();
    }
    uint32_t pixel(int x, int y) const { return frame[size_t(y) * 1024 + size_t(x)]; }

    std::vector<uint32_t> frame;
};

TEST_F(DialogPixels, ADialogOfEveryControlKindShowsEachAndClipsItsLongList)
{
    constexpr uint32_t k_backdrop = 0xFF208040u;
    const dialog_handle dialog = create_dialog(every_kind_template(), nullptr);
    fill_rows(dialog);
    run_dialog_frame(); // ImGui lays new windows out in their first frame
    dev->clear(k_clear_target | k_clear_depth, k_backdrop);
    run_dialog_frame();
    ASSERT_TRUE(dev->read_frame(frame));

    EXPECT_EQ(pixel(20, 20), k_backdrop);
    EXPECT_EQ(pixel(40 + 460, 200), k_backdrop);
    // The client area between the list box and the tabs is plain background.
    device_rect list_rect, tabs_rect;
    ASSERT_TRUE(dialog_control_rect(dialog, list, list_rect));
    ASSERT_TRUE(dialog_control_rect(dialog, tabs, tabs_rect));
    ASSERT_LT(list_rect.y + list_rect.height + 4, tabs_rect.y);
    const uint32_t background = pixel(list_rect.x + 2, list_rect.y + list_rect.height + 3);
    EXPECT_NE(background, k_backdrop);
    for (int y = list_rect.y + list_rect.height + 1; y < tabs_rect.y - 1; ++y)
        for (int x = list_rect.x; x < list_rect.x + list_rect.width; ++x)
            ASSERT_EQ(pixel(x, y), background) << x << "," << y;

    for (const control_template& c : every_kind_template().controls) {
        device_rect r;
        ASSERT_TRUE(dialog_control_rect(dialog, c.id, r)) << c.id;
        int drawn = 0;
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x)
                drawn += pixel(x, y) != background;
        EXPECT_GT(drawn, 20) << "control " << c.id;
    }
}

TEST_F(DialogPixels, AWindowHidesWhatLiesBehindIt)
{
    dialog_template front = every_kind_template();
    front.controls.clear();
    const dialog_handle behind = create_dialog(every_kind_template(), nullptr);
    fill_rows(behind);
    front.x += 30;
    front.y += 30;
    create_dialog(front, nullptr);
    run_dialog_frame();
    // The front window's empty client area shows one colour whatever the frame and the window
    // behind hold there.
    std::vector<uint32_t> first;
    dev->clear(k_clear_target | k_clear_depth, 0xFF208040u);
    run_dialog_frame();
    ASSERT_TRUE(dev->read_frame(first));
    destroy_dialog(behind);
    dev->clear(k_clear_target | k_clear_depth, 0xFFFFFFFFu);
    run_dialog_frame();
    ASSERT_TRUE(dev->read_frame(frame));
    const int32_t left = 40 + 30 + 10, top = 30 + 30 + 40;
    const uint32_t background = pixel(left, top);
    for (int y = top; y < top + 200; y += 7)
        for (int x = left; x < left + 400; x += 7) {
            ASSERT_EQ(pixel(x, y), background) << x << "," << y;
            ASSERT_EQ(first[size_t(y) * 1024 + size_t(x)], background) << x << "," << y;
        }
}

} // namespace
