// What a user does to the dialogs: the entry points that the ImGui side calls for what happens
// on the screen and that tests call as a headless user. Each sends what the dialog's procedure
// would get from that act, at once, and returns false, doing nothing, for a stale dialog, a
// missing control, a control of another kind, or a dialog or control that is hidden or greyed out.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>
#include <string_view>

// Buttons, check boxes and radio buttons: the control takes the focus; a check box turns over
// (a three-state box steps 0, 1, 2), a radio button is checked and the others of its group
// cleared; the procedure gets the click.
bool user_click(dialog_handle dialog, int32_t id);

// The control takes the focus (static texts and group boxes cannot); the edit, list or combo
// that loses it and the one that takes it report it.
bool user_focus(dialog_handle dialog, int32_t id);
bool user_clear_focus(dialog_handle dialog);

// An edit (not read-only) or an editable combo takes the focus and the whole text as the user
// left it, held to the edit's limit; a change is reported once.
bool user_edit_text(dialog_handle dialog, int32_t id, std::string_view text);
// Types characters one by one at the end of the text, each reported as a change; '\b' erases
// the last character.
bool user_type(dialog_handle dialog, int32_t id, std::string_view characters);

// List boxes, combos, list views and tabs: the control takes the focus and the row (or tab)
// becomes the only selection; a change of selection is reported.
bool user_choose(dialog_handle dialog, int32_t id, int32_t row);
// List views: a Ctrl+click adds the row to the selection or takes it out; on a single-row view
// the row it adds becomes the only selection.
bool user_toggle_row(dialog_handle dialog, int32_t id, int32_t row);
// Chooses the row, then reports the double click.
bool user_double_click(dialog_handle dialog, int32_t id, int32_t row);
// A combo's list opens or closes.
bool user_open_combo(dialog_handle dialog, int32_t id, bool open);
// A slider is dragged to a position (held within its range); sliders report nothing.
bool user_slide(dialog_handle dialog, int32_t id, int32_t position);

// A menu item of the dialog's menu bar.
bool user_pick_menu(dialog_handle dialog, int32_t id);
// Enter and Esc: the command k_id_ok or k_id_cancel (not while that button is greyed out).
bool user_press_enter(dialog_handle dialog);
bool user_press_escape(dialog_handle dialog);
// The close box: the procedure gets close, and k_id_cancel when it leaves close unhandled.
bool user_close(dialog_handle dialog);
// The dialog is dragged to screen pixels.
bool user_move(dialog_handle dialog, int32_t x, int32_t y);

// A frame passes: due timers tick (dialog_frame_step at the program's clock).
void user_tick();
