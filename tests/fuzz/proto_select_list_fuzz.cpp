// Any bytes as "global/select.txt" when the prototype editor opens: nothing may crash and the
// "select:" list holds the empty row and at most one row per line of the file.
#include "tests/fuzz/fuzz_scratch.h"

#include "editor/controls/dialog_controls.h"
#include "editor/dialogs/proto_editor.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    write_fuzz_file("global/select.txt", data, size);
    open_proto_editor();
    const dialog_handle page = g_proto_editor_window;
    if (!page)
        std::abort();
    const size_t lines = size_t(std::count(data, data + size, uint8_t('\n'))) + 1;
    const int32_t rows = get_combo_count(page, k_proto_select);
    if (rows < 1 || size_t(rows) > lines + 1)
        std::abort();
    destroy_dialog(page);
    if (g_proto_editor_window != 0)
        std::abort();
    return 0;
}
