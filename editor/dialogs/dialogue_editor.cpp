#include "editor/dialogs/dialogue_editor.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "editor/controls/dialog_controls.h"
#include "editor/dialogs/editor_window_parts.h"
#include "editor/windows/command_window.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/page_procedure.h"
#include "script/dialogues.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int32_t k_width = 494;
constexpr int32_t k_height = 210;
constexpr int32_t k_links = k_dialogue_shown_options;
constexpr char k_dialogue_filter[] = "DIALOG FILE\0*.dia2\0ALL\0*.*\0";
constexpr const char* k_languages[] = {"eng", "sk"};

// A record field as a terminated text, whether or not the field holds its terminator.
template <size_t N>
std::string field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

int32_t part_count()
{
    return std::clamp<int32_t>(g_dialogue.node_count, 0, k_dialogue_nodes);
}

// The selected part, or -1 when no row (or a row past the parts) is selected.
int32_t selected_part(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_dia_part_list);
    return row >= 0 && row < part_count() ? row : -1;
}

void add_part_rows(dialog_handle dialog, const char* name)
{
    add_list_string(dialog, k_dia_part_list, name);
    for (int32_t k = 0; k < k_links; ++k)
        add_combo_string(dialog, k_dia_link + k, name);
}

// Shows part p; `with_name` also shows the dialogue's name. Each field set stores itself back.
void show_part(dialog_handle dialog, int32_t p, bool with_name)
{
    if (p < 0 || p >= k_dialogue_nodes)
        return;
    set_list_sel(dialog, k_dia_part_list, p);
    set_item_text(dialog, k_dia_part_name, field(g_dialogue.node_name[p]).c_str());
    for (int32_t k = 0; k < k_links; ++k) {
        set_combo_sel(dialog, k_dia_link + k, g_dialogue.option_link[p][k]);
        set_item_text(dialog, k_dia_answer + k, field(g_dialogue.option_text[p][k]).c_str());
    }
    if (with_name)
        set_item_text(dialog, k_dia_name, field(g_dialogue.name).c_str());
    set_item_text(dialog, k_dia_text, field(g_dialogue.text[p]).c_str());
    set_item_text(dialog, k_dia_speaker, field(g_dialogue.speaker[p]).c_str());
}

void add_every_part(dialog_handle dialog)
{
    for (int32_t k = 0; k < k_links; ++k)
        add_combo_string(dialog, k_dia_link + k, "no link");
    for (int32_t p = 0; p < part_count(); ++p)
        add_part_rows(dialog, field(g_dialogue.node_name[p]).c_str());
}

// A new part after the last, named by its number, with "Click to continue." as its only answer;
// refused at the record's size. The selection and the fields stay.
void new_part(dialog_handle dialog)
{
    const int32_t n = part_count();
    if (n >= k_dialogue_nodes) {
        console_log("dialog ma uz %d casti", k_dialogue_nodes);
        return;
    }
    char name[k_dialogue_node_name_size];
    std::snprintf(name, sizeof name, "%d", n + 1);
    add_part_rows(dialog, name);
    std::snprintf(g_dialogue.node_name[n], sizeof g_dialogue.node_name[n], "%s", name);
    std::snprintf(g_dialogue.speaker[n], sizeof g_dialogue.speaker[n], "Dovan");
    g_dialogue.text[n][0] = '\0';
    for (int32_t o = 0; o < k_dialogue_options; ++o) {
        g_dialogue.option_text[n][o][0] = '\0';
        g_dialogue.option_link[n][o] = 0;
    }
    std::snprintf(g_dialogue.option_text[n][0], sizeof g_dialogue.option_text[n][0], "Click to continue.");
    g_dialogue.node_count = int16_t(n + 1);
}

// The "part" edit renames the selected part and its rows in the list and the link combos.
void rename_part(dialog_handle dialog, int32_t p)
{
    char* name = g_dialogue.node_name[p];
    get_item_text(dialog, k_dia_part_name, name, k_dialogue_node_name_size);
    delete_list_string(dialog, k_dia_part_list, p);
    insert_list_string(dialog, k_dia_part_list, p, name);
    set_list_sel(dialog, k_dia_part_list, p);
    for (int32_t k = 0; k < k_links; ++k) {
        delete_combo_string(dialog, k_dia_link + k, p + 1);
        insert_combo_string(dialog, k_dia_link + k, p + 1, name);
        set_combo_sel(dialog, k_dia_link + k, g_dialogue.option_link[p][k]);
    }
}

// The links of the selected part from the combos; a combo showing no row keeps its link.
void store_links(dialog_handle dialog, int32_t p)
{
    for (int32_t k = 0; k < k_links; ++k) {
        const int32_t row = get_combo_sel(dialog, k_dia_link + k);
        if (row >= 0)
            g_dialogue.option_link[p][k] = uint16_t(row);
    }
}

// Follows link k of the selected part when it names a part.
void jump(dialog_handle dialog, int32_t k)
{
    const int32_t p = selected_part(dialog);
    if (p < 0)
        return;
    const int32_t link = g_dialogue.option_link[p][k];
    if (link >= 1 && link <= part_count())
        fill_dialogue_links(dialog, link - 1);
}

void load(dialog_handle dialog)
{
    const std::string path = ask_file_name("load dialogue", k_dialogue_filter, "dia2", k_file_dialog_open, dialog);
    if (!path.empty())
        read_dialogue(path.c_str());
    fill_dialogue_links(dialog, 0);
}

void save(dialog_handle dialog)
{
    const std::string path = ask_file_name("save dialogue", k_dialogue_filter, "dia2", 0, dialog);
    if (!path.empty())
        write_dialogue(path.c_str());
}

// A per-part field's change; false when the control is not one.
bool part_field_changed(dialog_handle dialog, int32_t id)
{
    const int32_t p = selected_part(dialog);
    if (id == k_dia_part_list) {
        if (p >= 0)
            show_part(dialog, p, false);
        return true;
    }
    if (id >= k_dia_answer && id < k_dia_answer + k_links) {
        if (p >= 0)
            get_item_text(dialog, id, g_dialogue.option_text[p][id - k_dia_answer], k_dialogue_option_size);
        return true;
    }
    if (id >= k_dia_link && id < k_dia_link + k_links) {
        if (p >= 0)
            store_links(dialog, p);
        return true;
    }
    if (p < 0)
        return id == k_dia_text || id == k_dia_part_name || id == k_dia_speaker;
    switch (id) {
    case k_dia_text:
        get_item_text(dialog, id, g_dialogue.text[p], k_dialogue_text_size);
        return true;
    case k_dia_part_name:
        rename_part(dialog, p);
        return true;
    case k_dia_speaker:
        get_item_text(dialog, id, g_dialogue.speaker[p], k_dialogue_speaker_size);
        return true;
    default:
        return false;
    }
}

void run_command(dialog_handle dialog, int32_t id)
{
    if (part_field_changed(dialog, id))
        return;
    if (id >= k_dia_jump && id < k_dia_jump + k_links) {
        jump(dialog, id - k_dia_jump);
        return;
    }
    switch (id) {
    case k_dia_language: {
        const int32_t row = get_combo_sel(dialog, id);
        if (row >= 0)
            g_dialogue.language = uint16_t(row);
        break;
    }
    case k_dia_name:
        get_item_text(dialog, id, g_dialogue.name, k_dialogue_name_size);
        break;
    case k_dia_export:
        export_dialogue_texts(&g_dialogue);
        break;
    case k_dia_menu_new:
        new_dialogue(&g_dialogue);
        fill_dialogue_links(dialog, 0);
        new_part(dialog);
        break;
    case k_dia_menu_load:
        load(dialog);
        break;
    case k_dia_menu_save:
        save(dialog);
        break;
    case k_dia_menu_new_part:
        new_part(dialog);
        break;
    default:
        break;  // "export" and "delete" in the menu do nothing
    }
}

std::vector<menu_entry> dialogue_menu()
{
    return {
        {"dialogue",
         0,
         {{"new", k_dia_menu_new, {}}, {"load", k_dia_menu_load, {}}, {"save", k_dia_menu_save, {}},
          {"export", k_dia_menu_export, {}}}},
        {"part", 0, {{"new", k_dia_menu_new_part, {}}, {"delete", k_dia_menu_delete_part, {}}}},
    };
}

dialog_template dialogue_template()
{
    dialog_template t;
    t.caption = "Dialogue Editor";
    t.width = k_width;
    t.height = k_height;
    centre_on_screen(t);
    t.menu = dialogue_menu();
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "") {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text));
        return &t.controls.back();
    };
    add(control_kind::combo, k_dia_language, 4, 4, 70, 60);
    add(control_kind::list_box, k_dia_part_list, 4, 20, 70, 186);
    add(control_kind::static_text, 0, 80, 6, 24, 10, "name:");
    add(control_kind::edit, k_dia_name, 106, 4, 120, 13)->limit = k_dialogue_name_size - 1;
    add(control_kind::static_text, 0, 232, 6, 20, 10, "part");
    add(control_kind::edit, k_dia_part_name, 254, 4, 80, 13)->limit = k_dialogue_node_name_size - 1;
    add(control_kind::static_text, 0, 340, 6, 20, 10, "char:");
    add(control_kind::edit, k_dia_speaker, 362, 4, 90, 13)->limit = k_dialogue_speaker_size - 1;
    add(control_kind::button, k_dia_export, 456, 4, 34, 13, "Export");
    control_template* text = add(control_kind::edit, k_dia_text, 80, 20, 410, 96);
    text->lines = 8;
    text->limit = k_dialogue_text_size - 1;
    for (int32_t k = 0; k < k_links; ++k) {
        const int32_t y = 120 + k * 18;
        add(control_kind::edit, k_dia_answer + k, 80, y, 260, 13)->limit = k_dialogue_option_size - 1;
        add(control_kind::combo, k_dia_link + k, 344, y, 100, 80);
        add(control_kind::button, k_dia_jump + k, 448, y, 42, 13, "Jump");
    }
    return t;
}

} // namespace

void fill_dialogue_links(dialog_handle dialog, int32_t part)
{
    const int32_t n = get_list_count(dialog, k_dia_part_list);
    for (int32_t i = 0; i < n; ++i)
        delete_list_string(dialog, k_dia_part_list, 0);
    for (int32_t k = 0; k < k_links; ++k)
        for (int32_t i = 0; i < n + 1; ++i)
            delete_combo_string(dialog, k_dia_link + k, 0);
    add_every_part(dialog);
    show_part(dialog, part, true);
    set_combo_sel(dialog, k_dia_language, g_dialogue.language);
}

namespace {

void init_page(dialog_handle dialog)
{
    for (const char* language : k_languages)
        add_combo_string(dialog, k_dia_language, language);
    set_combo_sel(dialog, k_dia_language, g_dialogue.language);
    add_every_part(dialog);
    show_part(dialog, 0, true);
}

} // namespace

bool dialogue_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_dialogue_editor_window, {init_page, run_command}, dialog, m);
}

void open_dialogue_editor()
{
    if (!g_dialogue_editor_window)
        create_dialog(dialogue_template(), dialogue_editor_proc);
}
