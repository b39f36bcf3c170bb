// Any bytes as a ".pr" file imported by the prototype editor: nothing may crash; a file that
// holds no whole record, or bytes after it, adds no prototype, and one that holds one record
// exactly adds exactly one with its row.
#include "tests/fuzz/fuzz_scratch.h"

#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_records.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/proto_editor.h"
#include "editor/windows/file_name_dialog.h"
#include "platform/files.h"
#include "world/object_protos.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file("input.pr", data, size);
    g_object_proto_count = 0;
    open_proto_editor();
    const dialog_handle page = g_proto_editor_window;
    set_modal_responder([](dialog_handle modal) {
        if (find_control(modal, k_chooser_name, control_kind::edit)) {
            user_edit_text(modal, k_chooser_name, "input.pr");
            user_click(modal, k_id_ok);
        } else {
            user_click(modal, k_id_ok);
        }
        return false;
    });
    user_pick_menu(page, k_proto_menu_import);
    set_modal_responder({});
    const int32_t rows = get_list_count(page, k_proto_list);
    if (g_object_proto_count > 1 || rows != int32_t(g_object_proto_count))
        std::abort();
    destroy_dialog(page);
    while (g_object_proto_count > 0)
        unload_object_proto(0, true);
    return 0;
}
