// The dialogs' state as the model keeps it, for the helpers, the user's entry points and the
// drawing. Pointers stay valid until the dialog is destroyed; a procedure call may destroy
// other dialogs, so callers look a dialog up again after sending a message.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct list_view_row {
    std::vector<std::string> cells; // one per column
    intptr_t value = 0;
    bool selected = false;
};

struct control_record {
    control_template source; // the template it was made from
    std::string text;     // label, edit text, a combo's shown text
    bool enabled = true;
    bool shown = true;
    int32_t check = 0;
    std::vector<std::string> rows; // list box and combo rows; tab names
    int32_t selection = -1;        // list box, combo, tabs
    int32_t range_min = 0, range_max = 100, position = 0; // slider
    bool dropped = false;          // combo: its list is open
    std::deque<list_view_row> view_rows; // rows are inserted at the top

    // The most characters typing may reach in an edit.
    size_t text_limit() const { return source.limit > 0 ? size_t(source.limit) : 30000; }
    bool multi_line() const { return source.lines > 1; }
};

struct dialog_timer {
    int32_t id;
    uint32_t interval;
    uint32_t last;
};

struct dialog_record {
    dialog_handle handle = 0;
    std::string caption;
    int32_t x = 0, y = 0;          // screen pixels
    int32_t width = 0, height = 0; // client area, dialog units
    bool shown = true;
    bool enabled = true;
    bool modal = false;
    bool title_bar = true;
    std::vector<menu_entry> menu;
    std::vector<control_record> controls;
    dialog_procedure procedure;
    std::vector<dialog_timer> timers;
    int32_t focus = -1;   // index into controls, -1 none
    int32_t calls = 0;    // procedure calls under way
    bool ending = false;  // ended or destroyed while its procedure ran, or a modal that ended
    bool destroying = false;
    int32_t end_code = 0;
};

// The live dialog of a handle; null when stale.
dialog_record* find_dialog(dialog_handle dialog);
// The first control with the identifier; null when there is none.
control_record* find_control(dialog_record* dialog, int32_t id);
// The control of a live dialog with that identifier and kind; null otherwise.
control_record* find_control(dialog_handle dialog, int32_t id, control_kind kind);

// Every live dialog's handle, oldest first.
std::vector<dialog_handle> live_dialogs();
// The newest modal dialog that is still open, 0 when none.
dialog_handle top_modal_dialog();

// Sends a message to the dialog's procedure; false when stale or not handled.
bool send_dialog_message(dialog_handle dialog, const dialog_message& message);
void send_command(dialog_handle dialog, int32_t id, int32_t code);

// Moves the focus to a control (index, -1 for none), with the focus notifications of the edits,
// lists and combos that lose and take it.
void move_focus(dialog_handle dialog, int32_t index);
// Edits, list boxes, list views and combos report the focus entering and leaving them.
bool reports_focus(control_kind kind);
