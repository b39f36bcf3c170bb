// The character pages over fuzzed files: the input is u16 length A, u16 length B, then A bytes of
// "global/characters.dat", B bytes of "global/chardata.dat" and the rest as a character file.
// With the tables read, every page is opened, every row chosen and every button pressed (the
// character file loaded into each slot through the file chooser). Nothing may crash, and each
// list keeps one row per record of its table.
#include "characters/char_models.h"
#include "characters/char_table.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/dialog_model.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/char_anim_editor.h"
#include "editor/dialogs/char_editor.h"
#include "editor/dialogs/chardata_editor.h"
#include "editor/dialogs/move_proto_editor.h"
#include "editor/windows/file_name_dialog.h"
#include "engine/models.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

void answer_files(const std::string& path)
{
    set_modal_responder([path](dialog_handle d) {
        if (get_list_count(d, k_aid_items) >= 0) {  // "Add item"
            user_choose(d, k_aid_items, 0);
            user_click(d, k_aid_add);
        } else {
            user_edit_text(d, k_chooser_name, path);
            user_click(d, k_id_ok);  // a message box ends on OK too
        }
        return false;
    });
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void run_char_page(const std::string& chr)
{
    create_char_editor();
    const dialog_handle page = g_char_editor_window;
    check(page != 0 && get_list_count(page, k_che_chars) == int32_t(g_char_count));
    for (int32_t row = 0; row < get_list_count(page, k_che_chars); ++row) {
        user_choose(page, k_che_chars, row);
        answer_files(chr);
        user_pick_menu(page, k_che_menu_load);
        user_choose(page, k_che_chars, row);
        for (int32_t id : {k_che_update, k_che_roll, k_che_add, k_che_add_sector, k_che_center})
            user_click(page, id);
        user_choose(page, k_che_inventory, 0);
        user_click(page, k_che_remove);
    }
    user_pick_menu(page, k_che_menu_new);
    user_choose(page, k_che_chars, 0);
    user_pick_menu(page, k_che_menu_delete);
    destroy_dialog(page);
}

void run_anim_page()
{
    create_char_anim_editor();
    const dialog_handle page = g_char_anim_editor_window;
    check(page != 0);
    for (int32_t row = 0; row < get_list_count(page, k_anim_chars); ++row) {
        user_choose(page, k_anim_chars, row);
        user_click(page, k_anim_update);
    }
    destroy_dialog(page);
}

void run_registry_page(const std::string& model)
{
    create_chardata_editor();
    const dialog_handle page = g_chardata_editor_window;
    check(page != 0);
    for (int32_t row = get_list_count(page, k_chd_list) - 1; row >= 0; --row) {
        user_choose(page, k_chd_list, row);
        user_click(page, k_chd_update);
        if (row % 2)
            user_click(page, k_chd_delete);
    }
    answer_files(model);
    user_click(page, k_chd_add);
    destroy_dialog(page);
}

void run_proto_page()
{
    create_move_proto_editor();
    const dialog_handle page = g_move_proto_editor_window;
    check(page != 0);
    user_click(page, k_mpe_add);
    user_click(page, k_mpe_add);
    for (int32_t row = 0; row < get_list_count(page, k_mpe_list); ++row) {
        user_choose(page, k_mpe_list, row);
        user_click(page, k_mpe_update);
        user_click(page, k_mpe_edit + row % k_edited_parts);
        user_click(g_body_part_editor_window, k_bpe_update);
    }
    user_click(page, k_mpe_delete);
    check(get_list_count(page, k_mpe_list) == g_move_proto_count);
    user_click(page, k_mpe_save_all);
    destroy_all_dialogs();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    fuzz_byte_reader in{data, size};
    const size_t length_a = uint16_t(in.i16()), length_b = uint16_t(in.i16());
    const size_t start = std::min(size, in.at);
    const size_t a = std::min(length_a, size - start);
    const size_t b = std::min(length_b, size - start - a);
    write_fuzz_file(k_characters_file, data + start, a);
    write_fuzz_file(k_chardata_file, data + start + a, b);
    write_fuzz_file("input.chr", data + start + a + b, size - start - a - b);

    g_char_count = 0;
    g_chardata_count = 0;
    g_move_proto_count = 0;
    read_characters(false);
    load_chardata();
    const std::string chr = fuzz_scratch_path("input.chr");
    run_char_page(chr);
    run_anim_page();
    run_registry_page(fuzz_scratch_path("global/chardata.dat"));
    run_proto_page();
    set_modal_responder({});
    for (model& m : g_char_models)
        if (m.mesh)
            free_model(&m);
    return 0;
}
