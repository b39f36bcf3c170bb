#include "editor/windows/editor_windows.h"

#include "editor/windows/page_procedure.h"

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
        return run_page_message(window, {}, dialog, m);
    });
    return *window;
}

