// Shell tests of the editor on the demo data: the steps a user takes, shared by the tests.
#pragma once

#include "editor/controls/dialog_controls.h"
#include "tests/editor/dialog_texts.h"
#include "editor/controls/dialog_user.h"
#include "editor/dialogs/item_editor.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "items/item_editing.h"
#include "items/items.h"
#include "shell/injected_input.h"
#include "shell/program.h"

#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>

// The file chooser takes the file by its full name, whatever folder it shows.
inline void answer_file(const char* name)
{
    const std::string path = (std::filesystem::current_path() / name).string();
    set_modal_responder([path](dialog_handle chooser) {
        user_edit_text(chooser, k_chooser_name, path);
        user_click(chooser, k_id_ok);
        return false;
    });
}

// The pointer moved to a screen point, one frame for the marker to follow, then the keys.
inline bool tap_at(float x, float y, std::initializer_list<uint8_t> keys)
{
    inject_pointer(x, y);
    return program_frame() && tap_keys(keys);
}

// After a frame that shows the strip, the user chooses the tab; frames run until its page is shown.
inline bool choose_tab(int32_t tab, dialog_handle& page)
{
    if (!program_frame() || !user_choose(g_tabs_window, k_mode_tabs_control, tab))
        return false;
    for (int i = 0; i < 10 && !page; ++i)
        if (!program_frame())
            return false;
    return page != 0;
}

// The item editor's row of the item shown under the display name; -1 none.
inline int32_t row_of_item(dialog_handle d, const char* name)
{
    for (int32_t row = 0; row < get_list_count(d, k_itm_list); ++row) {
        const int32_t id = find_item_by_list_row(list_row(d, k_itm_list, row).c_str());
        if (id >= 0 && std::strcmp(g_item_protos[id].display_name, name) == 0)
            return row;
    }
    return -1;
}
