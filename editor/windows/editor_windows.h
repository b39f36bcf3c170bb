// The editor windows opened by the command window's menu and by the mode tabs: each is an entry
// of a table that the editor's parts fill with their own dialog as they are built. An entry
// without one opens an empty dialog with its caption in its place.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

struct editor_window_entry {
    const char* caption;    // the tab's label, or the editor's caption
    const char* resource;   // the dialog's name
    dialog_handle* window;  // the handle the editor keeps while it is open, 0 when closed
    // Makes the editor's dialog, which stores its handle in *window while it initialises and
    // places itself; null: an empty dialog with the caption.
    void (*create)();
};

// Creates the entry's dialog (the empty one at x, y) and returns *window afterwards.
dialog_handle create_editor_window(const editor_window_entry& entry, int32_t x, int32_t y);

