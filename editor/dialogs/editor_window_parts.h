// Parts the editor's windows share: building a template's controls, centring a window on the
// screen, and the end of a window that keeps its handle in a global.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Appends a control to the template; the pointer stays valid until the next control is added.
control_template* add_control(dialog_template& t, control_kind kind, int32_t id, int32_t x, int32_t y, int32_t width,
                              int32_t height, const char* text = "");

// Places the template's window in the middle of the screen.
void centre_on_screen(dialog_template& t);

// Close destroys the dialog; close and destroy clear `window` when it holds the dialog. True for
// those two messages, false for the others.
bool end_editor_window(dialog_handle& window, dialog_handle dialog, const dialog_message& m);
