#include "editor/windows/editor_windows.h"

namespace {

constexpr int32_t k_empty_width = 190;
constexpr int32_t k_empty_height = 120;

} // namespace

dialog_handle create_editor_window(const editor_window_entry& entry, int32_t x, int32_t y)
{
    if (entry.create) {
        entry.create();
        return *entry.window;
    }
    dialog_template t;
    t.caption = entry.caption;
    t.width = k_empty_width;
    t.height = k_empty_height;
    t.x = x;
    t.y = y;
    dialog_handle* window = entry.window;
    create_dialog(t, [window](dialog_handle dialog, const dialog_message& m) {
        return editor_window_message(window, dialog, m, nullptr, nullptr);
    });
    return *window;
}

bool editor_window_message(dialog_handle* window, dialog_handle dialog, const dialog_message& m,
                           void (*init)(dialog_handle), void (*command)(dialog_handle, int32_t))
{
    switch (m.kind) {
    case dialog_message_kind::init:
        if (init)
            init(dialog);
        else
            *window = dialog;
        return true;
    case dialog_message_kind::command:
        if (command)
            command(dialog, m.id);
        return command != nullptr;
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
