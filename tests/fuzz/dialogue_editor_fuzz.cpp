// Any bytes as a dialogue file loaded into the open dialogue editor: every part shown, every
// "Jump" pressed, the record saved and loaded back. Nothing may crash, the part list keeps one
// row per part with the selection on a part or none, and the saved file reads back to the same
// part count.
#include "tests/fuzz/fuzz_scratch.h"

#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/dialogue_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "script/dialogues.h"

#include <cstdlib>
#include <string>

namespace {

// The next file chooser takes the path.
void choose(const std::string& path)
{
    set_modal_responder([path](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, path);
        user_click(chooser, k_id_ok);
        return false;
    });
}

void check_list(dialog_handle editor)
{
    const int32_t rows = get_list_count(editor, k_dia_part_list);
    const int32_t sel = get_list_sel(editor, k_dia_part_list);
    if (rows != g_dialogue.node_count || sel < -1 || sel >= rows)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input = fuzz_input_file(data, size);
    const std::string saved = fuzz_scratch_path("saved.dia2");
    open_dialogue_editor();
    const dialog_handle editor = g_dialogue_editor_window;
    if (!editor)
        std::abort();
    choose(input);
    user_pick_menu(editor, k_dia_menu_load);
    check_list(editor);
    const int32_t parts = g_dialogue.node_count;
    read_dialogue(input.c_str());  // the chooser handed the editor this file
    if (g_dialogue.node_count != parts)
        std::abort();
    for (int32_t p = 0; p < parts; ++p) {
        user_choose(editor, k_dia_part_list, p);
        for (int32_t k = 0; k < k_dialogue_shown_options; ++k) {
            user_click(editor, k_dia_jump + k);
            check_list(editor);
        }
    }
    choose(saved);
    user_pick_menu(editor, k_dia_menu_save);
    choose(saved);
    user_pick_menu(editor, k_dia_menu_load);
    check_list(editor);
    if (g_dialogue.node_count != parts)
        std::abort();
    set_modal_responder({});
    destroy_all_dialogs();
    if (g_dialogue_editor_window != 0)
        std::abort();
    return 0;
}
