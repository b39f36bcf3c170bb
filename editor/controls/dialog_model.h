// The editor's dialogs: windows made from templates in code that hold controls by identifier,
// each run by a procedure that receives its dialog's messages. This model keeps every dialog's
// state and draws nothing: editor/gui draws the shown dialogs and acts for the user through
// editor/controls/dialog_user.h, the same entry points that tests drive headless.
//
// Messages: init (with the creation parameter), command (a control's identifier and notification
// code, or a menu item's identifier), timer, close (the user closes the dialog) and destroy (the
// dialog goes away). A procedure returns true when it handled the message; a close it leaves
// unhandled becomes the command k_id_cancel, as Esc does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// 0 is no dialog; a handle is never given out twice in a run.
using dialog_handle = uint32_t;

// The standard answers: Enter sends k_id_ok, Esc k_id_cancel; message boxes answer all four.
constexpr int32_t k_id_ok = 1;
constexpr int32_t k_id_cancel = 2;
constexpr int32_t k_id_yes = 6;
constexpr int32_t k_id_no = 7;

// One dialog unit across and down, in pixels.
constexpr float k_dialog_unit_x = 1.5f;
constexpr float k_dialog_unit_y = 1.625f;

enum class control_kind : uint8_t {
    button,
    check,
    radio,
    edit,
    static_text,
    group_box,
    list_box,
    combo,
    slider,
    tabs,
    list_view, // report style: columns of text, rows with a user value
};

// Styles of a control template.
enum : uint32_t {
    k_style_disabled = 1,     // starts greyed out
    k_style_hidden = 2,       // starts hidden
    k_style_sorted = 4,       // list box, combo: added rows take their place in case-blind order
    k_style_editable = 8,     // combo: the box is an edit field, not a drop-down list
    k_style_read_only = 16,   // edit
    k_style_three_state = 32, // check box: a click steps through 0, 1, 2
    k_style_single_row = 64,  // list view: at most one row is selected
};

struct control_template {
    control_kind kind = control_kind::static_text;
    int32_t id = 0;
    int32_t x = 0, y = 0, width = 0, height = 0; // dialog units within the client area
    std::string text;                           // label, caption or starting text
    uint32_t style = 0;
    int32_t group = 0;              // radio button: the buttons a click clears share it
    int32_t lines = 1;              // edit: more than 1 makes it multi-line
    int32_t limit = 0;              // edit: the most characters typing may reach; 0 for 30000
    std::vector<std::string> items; // tabs: their names; list view: its column titles
};

// A control of a template in code; the fields after the style keep their defaults.
control_template make_control(control_kind kind, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height,
                              std::string text = {}, uint32_t style = 0);

// A menu entry: an item with its identifier, or a popup when it has entries of its own.
struct menu_entry {
    std::string text;
    int32_t id = 0;
    std::vector<menu_entry> items;
};

struct dialog_template {
    std::string caption;
    int32_t width = 0, height = 0; // the client area in dialog units
    int32_t x = 0, y = 0;          // screen pixels
    bool shown = true;
    bool title_bar = true;        // false: no caption bar (and no close box) is drawn
    std::vector<menu_entry> menu; // the menu bar's entries; none: no menu bar
    std::vector<control_template> controls;
};

enum class dialog_message_kind : uint8_t { init, command, timer, close, destroy };

// Notification codes of a command.
enum : int32_t {
    k_notify_clicked = 0,      // a button clicked, a menu item picked, Enter or Esc
    k_notify_changed = 1,      // an edit's text changed, typed or set
    k_notify_selection = 2,    // the user chose another row or tab
    k_notify_double_click = 3, // on a row
    k_notify_focus_in = 4,     // an edit, list or combo took the focus
    k_notify_focus_out = 5,    // ... lost it
    k_notify_drop_down = 6,    // a combo's list opened
    k_notify_close_up = 7,     // ... closed
    k_notify_edit_typed = 8,   // the user typed in an editable combo
};

struct dialog_message {
    dialog_message_kind kind;
    int32_t id = 0;     // command: the control or menu item; timer: the timer
    int32_t code = 0;   // command: the notification code
    intptr_t param = 0; // init: the creation parameter
};

using dialog_procedure = std::function<bool(dialog_handle dialog, const dialog_message& message)>;

// Makes a modeless dialog and sends it init; 0 when its procedure ended it during init.
dialog_handle create_dialog(const dialog_template& t, dialog_procedure procedure, intptr_t param = 0);

// Makes a modal dialog and blocks in a nested loop until it ends; returns its end code. The
// owner dialog, when given, is disabled meanwhile. The loop is answered, in this order, by the
// modal responder, or by the screen (see modal_dialogs_answerable); with neither the dialog gets
// k_id_cancel as from Esc, is ended with k_id_cancel if it stays, and a console line says so.
int32_t run_modal_dialog(const dialog_template& t, dialog_procedure procedure, intptr_t param = 0,
                         dialog_handle owner = 0);

// Ends a dialog with a code: run_modal_dialog returns it; a modeless dialog is destroyed. Inside
// the dialog's own procedure it goes away after that procedure returns. False when stale.
bool end_dialog(dialog_handle dialog, int32_t code);

// Destroys a dialog (its procedure gets destroy), or marks it to go after its own procedure
// returns when called inside it. A modal dialog ends with k_id_cancel. False when stale.
bool destroy_dialog(dialog_handle dialog);

bool dialog_exists(dialog_handle dialog);
// Moves the dialog's top-left corner to screen pixels, keeping its size.
bool move_dialog(dialog_handle dialog, int32_t x, int32_t y);
bool show_dialog(dialog_handle dialog, bool shown);
bool enable_dialog(dialog_handle dialog, bool enabled);

// A timer sends timer messages with its identifier once `interval_ms` has passed since the last
// one, at most once per frame step; setting an identifier again restarts it.
bool set_timer(dialog_handle dialog, int32_t id, uint32_t interval_ms);
bool kill_timer(dialog_handle dialog, int32_t id);

// One frame of the dialogs at a time of the program's clock: due timers tick and dialogs ended
// outside their procedures go.
void dialog_frame_step(uint32_t now_ms);

// Answers modal dialogs in place of a user (tests): called with the modal dialog once per pass
// of its nested loop, it acts through the entry points of dialog_user.h; it returns false when
// it has nothing more to do. An empty function removes it.
using modal_responder = std::function<bool(dialog_handle dialog)>;
void set_modal_responder(modal_responder responder);
bool modal_responder_set();

// What a modal loop needs of the shell: one pass on the screen (window messages, the frame with
// the dialogs drawn, the present). False when the program is closing.
struct dialog_loop_links {
    bool (*modal_pass)();
};
extern dialog_loop_links g_dialog_loop_links;

// True when a modal dialog has someone to answer it: a responder, or a screen (the modal pass
// is linked and the window is one a person sees).
bool modal_dialogs_answerable();

// Destroys every dialog, newest first.
void destroy_all_dialogs();
