// The dialogue editor on a full 200-part dialogue, without drawing: a keystroke in the "part"
// edit (the part renamed in the list and the five link combos), and "save" and "load" through
// the menu with the file chooser answered in place of a user, in a scratch folder.
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/dialogue_editor.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "script/dialogues.h"
#include "tests/fuzz/fuzz_scratch.h"
#include "tools/demo/dialogue_file_writer.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// The editor open on 200 parts with full texts, part 100 selected.
dialog_handle open_full_editor()
{
    new_dialogue(&g_dialogue);
    for (int n = 0; n < k_dialogue_nodes; ++n) {
        set_dialogue_node(&g_dialogue, n, "villager", std::to_string(n + 1).c_str(), std::string(999, 't').c_str());
        for (int o = 0; o < k_dialogue_options; ++o)
            set_dialogue_option(&g_dialogue, n, o, std::string(254, 'o').c_str(), uint16_t((n + o) % k_dialogue_nodes + 1));
    }
    open_dialogue_editor();
    user_choose(g_dialogue_editor_window, k_dia_part_list, 100);
    return g_dialogue_editor_window;
}

void answer_chooser(const std::string& path)
{
    set_modal_responder([path](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, path);
        user_click(chooser, k_id_ok);
        return false;
    });
}

void BM_DialogueEditorPartNameKeystroke(benchmark::State& state)
{
    const dialog_handle editor = open_full_editor();
    int i = 0;
    for (auto _ : state)
        user_type(editor, k_dia_part_name, (i++ & 1) ? "\b" : "x");
    destroy_all_dialogs();
}
BENCHMARK(BM_DialogueEditorPartNameKeystroke)->Unit(benchmark::kMicrosecond);

void BM_DialogueEditorSave200Parts(benchmark::State& state)
{
    in_fuzz_folder scratch;
    const dialog_handle editor = open_full_editor();
    answer_chooser(fuzz_scratch_path("full.dia2"));
    for (auto _ : state)
        user_pick_menu(editor, k_dia_menu_save);
    set_modal_responder({});
    destroy_all_dialogs();
}
BENCHMARK(BM_DialogueEditorSave200Parts)->Unit(benchmark::kMillisecond);

void BM_DialogueEditorLoad200Parts(benchmark::State& state)
{
    in_fuzz_folder scratch;
    const dialog_handle editor = open_full_editor();
    if (!write_dialogue("full.dia2"))
        state.SkipWithError("cannot write the dialogue file");
    answer_chooser(fuzz_scratch_path("full.dia2"));
    for (auto _ : state)
        user_pick_menu(editor, k_dia_menu_load);
    if (g_dialogue.node_count != k_dialogue_nodes)
        state.SkipWithError("the file was not loaded");
    set_modal_responder({});
    destroy_all_dialogs();
}
BENCHMARK(BM_DialogueEditorLoad200Parts)->Unit(benchmark::kMillisecond);

} // namespace
