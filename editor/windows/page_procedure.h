// The common procedure of an editor page or window whose handle lives in a global: the handle is
// set on init and cleared when that dialog goes, a close destroys the dialog, and every command
// goes to the page's handler with the control's identifier, watched for edits of the global
// tables (editor/store/table_edits.h).
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

struct page_handlers {
    void (*init)(dialog_handle dialog);               // after *window is set
    void (*command)(dialog_handle dialog, int32_t id); // any notification of the control
};

bool run_page_message(dialog_handle* window, const page_handlers& handlers, dialog_handle dialog,
                      const dialog_message& m);
