// Parts the editor's windows share: building a template's controls, centring a window on the
// screen, the selected record of a list and the word that an update without one stored nothing.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Appends a control to the template; the pointer stays valid until the next control is added.
control_template* add_control(dialog_template& t, control_kind kind, int32_t id, int32_t x, int32_t y, int32_t width,
                              int32_t height, const char* text = "");

// Places the template's window in the middle of the screen: the device's surface, which the
// dialogs share with the view, or the view when there is no device.
void centre_on_screen(dialog_template& t);

// The selected row of a list whose rows are the records 0 to count - 1 of a table of `slots`,
// or -1 when no row, or a row past the records, is selected.
int32_t selected_record(dialog_handle dialog, int32_t list, uint32_t count, int32_t slots);

// "update" with no row of the list chosen (a refill after a removal elsewhere drops the choice):
// a message box says that nothing was stored, naming the kind of record ("event").
void say_nothing_chosen(dialog_handle dialog, const char* record);
