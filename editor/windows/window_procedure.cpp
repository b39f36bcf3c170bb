#include "editor/windows/window_procedure.h"

bool run_editor_window(const editor_window_handlers& h, dialog_handle dialog, const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init:
        h.open(dialog);
        return true;
    case dialog_message_kind::command:
        h.command(dialog, m.id);
        return true;
    case dialog_message_kind::close:
        *h.window = 0;
        destroy_dialog(dialog);
        return true;
    case dialog_message_kind::destroy:
        if (*h.window == dialog)
            *h.window = 0;
        return true;
    default:
        return false;
    }
}
