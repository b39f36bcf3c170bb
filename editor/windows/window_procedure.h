// The procedure most editor windows share: they keep their handle in a global of their own,
// open by filling their controls and hand every command to one handler.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

struct editor_window_handlers {
    dialog_handle* window;                     // set by open, 0 once the window is gone
    void (*open)(dialog_handle dialog);        // at init
    void (*command)(dialog_handle dialog, int32_t id);  // any command, whatever its code
};

// init: open; command: the handler; close: the handle cleared and the window destroyed;
// destroy: the handle cleared when it is this window's.
bool run_editor_window(const editor_window_handlers& handlers, dialog_handle dialog, const dialog_message& m);
