#include "editor/windows/page_procedure.h"

#include "editor/store/table_edits.h"

bool run_page_message(dialog_handle* window, const page_handlers& handlers, dialog_handle dialog,
                      const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init:
        *window = dialog;
        if (handlers.init)
            handlers.init(dialog);
        return true;
    case dialog_message_kind::command:
        if (handlers.command)
            run_watched_command([&] { handlers.command(dialog, m.id); });
        return true;
    case dialog_message_kind::close:
        destroy_dialog(dialog);
        return true;
    case dialog_message_kind::destroy:
        if (*window == dialog)
            *window = 0;
        return true;
    default:
        return false;
    }
}
