#include "editor/dialogs/map_text_editor.h"

#include "core/editor_globals.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/number_fields.h"
#include "editor/controls/record_text.h"
#include "editor/dialogs/editor_window_parts.h"
#include "editor/dialogs/level_references.h"
#include "editor/windows/command_window.h"
#include "editor/windows/page_procedure.h"
#include "script/map_texts.h"

#include <algorithm>

namespace {

constexpr int32_t k_width = 286;
constexpr int32_t k_height = 175;

int32_t text_count()
{
    return int32_t(std::min<uint32_t>(g_map_text_count, k_map_text_slots));
}

int32_t selected_text(dialog_handle dialog)
{
    return selected_record(dialog, k_txt_list, g_map_text_count, k_map_text_slots);
}

void show_text(dialog_handle dialog, int32_t i)
{
    const map_text& t = g_map_texts[i];
    set_item_text(dialog, k_txt_key, record_text(t.key).c_str());
    set_item_text(dialog, k_txt_text, record_text(t.text).c_str());
    set_item_int(dialog, k_txt_tag, "%i", t.tag);
}

void update_text(dialog_handle dialog)
{
    const int32_t i = selected_text(dialog);
    if (i < 0)
        return;
    map_text& t = g_map_texts[i];
    get_item_text(dialog, k_txt_key, t.key, k_map_text_key_size);
    get_item_text(dialog, k_txt_text, t.text, k_map_text_size);
    t.tag = uint8_t(get_item_int(dialog, k_txt_tag));
    delete_list_string(dialog, k_txt_list, i);
    insert_list_string(dialog, k_txt_list, i, record_text(t.key).c_str());
    set_list_sel(dialog, k_txt_list, i);
    g_map_dirty = 1;
}

void run_command(dialog_handle dialog, int32_t id)
{
    switch (id) {
    case k_txt_list: {
        const int32_t i = selected_text(dialog);
        if (i >= 0)
            show_text(dialog, i);
        break;
    }
    case k_txt_update:
        update_text(dialog);
        break;
    case k_txt_menu_new:
        if (add_map_text("", "new", 1)) {  // add_map_text logs the full table
            add_list_string(dialog, k_txt_list, "new");
            g_map_dirty = 1;
            show_changed_table({record_table::map_texts});
        }
        break;
    case k_txt_menu_delete: {
        const int32_t i = selected_text(dialog);
        if (i < 0)
            break;
        remove_map_text(i);
        renumber_map_text_references(i);
        delete_list_string(dialog, k_txt_list, i);
        g_map_dirty = 1;
        show_changed_table({record_table::map_texts, i});
        break;
    }
    default:
        break;
    }
}

dialog_template text_template()
{
    dialog_template t;
    t.caption = "text";
    t.width = k_width;
    t.height = k_height;
    centre_on_screen(t);
    t.menu = {{"text", 0, {{"new", k_txt_menu_new, {}}, {"delete", k_txt_menu_delete, {}}}}};
    add_control(t, control_kind::list_box, k_txt_list, 4, 4, 80, 166);
    add_control(t, control_kind::static_text, 0, 90, 6, 24, 10, "name:");
    add_control(t, control_kind::edit, k_txt_key, 116, 4, 90, 13)->limit = k_map_text_key_size - 1;
    add_control(t, control_kind::static_text, 0, 212, 6, 22, 10, "type:");
    add_control(t, control_kind::edit, k_txt_tag, 236, 4, 46, 13)->limit = k_number_field_size - 1;
    control_template* body = add_control(t, control_kind::edit, k_txt_text, 90, 22, 192, 130);
    body->lines = 10;
    body->limit = k_map_text_size - 1;
    add_control(t, control_kind::button, k_txt_update, 236, 156, 46, 14, "update");
    return t;
}

void init_page(dialog_handle dialog)
{
    for (int32_t i = 0; i < text_count(); ++i)
        add_list_string(dialog, k_txt_list, record_text(g_map_texts[i].key).c_str());
}

} // namespace

void refresh_map_text_list()
{
    if (!g_text_editor_window)
        return;
    clear_list(g_text_editor_window, k_txt_list);
    init_page(g_text_editor_window);
}

bool text_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_text_editor_window, {init_page, run_command}, dialog, m);
}

void open_map_text_editor()
{
    if (!g_text_editor_window)
        create_dialog(text_template(), text_editor_proc);
}
