#include "editor/dialogs/chardata_editor.h"

#include "characters/char_models.h"
#include "core/console_log.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/message_box.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "editor/windows/page_procedure.h"
#include "engine/models.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

dialog_handle g_chardata_editor_window = 0;
char g_chardata_filter[k_chardata_filter_size] = "";

namespace {

constexpr char k_model_filter[] = "ZORV 3D FILE\0*.3d\0ALL\0*.*\0";
constexpr int32_t k_name_size = 60;  // 59 characters and the terminator

// The registry entry each list row shows, in row order: two entries may share a name, and a freed
// entry keeps its name.
std::vector<int32_t> g_row_entries;

// The entry of the selected row, or -1 (no row, or an entry freed or renamed since).
int32_t selected_entry(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_chd_list);
    if (row < 0 || row >= int32_t(g_row_entries.size()))
        return -1;
    const int32_t entry = g_row_entries[size_t(row)];
    char name[k_chardata_text_size];
    get_list_text(dialog, k_chd_list, row, name, sizeof name);
    const chardata_entry& e = g_chardata[entry];
    return e.loaded && std::strncmp(e.name, name, sizeof e.name) == 0 ? entry : -1;
}

void fill_list(dialog_handle dialog)
{
    clear_list(dialog, k_chd_list);
    g_row_entries.clear();
    const uint32_t count = std::min(g_chardata_count, uint32_t(k_chardata_capacity));
    for (uint32_t i = 0; i < count; ++i)
        if (g_chardata[i].loaded && chardata_name_contains(i, g_chardata_filter)) {
            add_list_string(dialog, k_chd_list, g_chardata[i].name);
            g_row_entries.push_back(int32_t(i));
        }
}

void show_entry(dialog_handle dialog)
{
    const int32_t entry = selected_entry(dialog);
    if (entry < 0)
        return;
    set_item_text(dialog, k_chd_name, g_chardata[entry].name);
    set_item_text(dialog, k_chd_file, g_chardata[entry].path);
}

// True, after the message box, when a loaded entry other than `own` has the name, or the name is
// one the lookup keeps for "none" ("nothing", or no name at all).
bool name_taken(dialog_handle dialog, const char* name, int32_t own)
{
    bool taken = !name[0] || std::strcmp(name, "nothing") == 0;
    const uint32_t count = std::min(g_chardata_count, uint32_t(k_chardata_capacity));
    for (uint32_t i = 0; i < count && !taken; ++i)
        taken = int32_t(i) != own && g_chardata[i].loaded &&
                std::strncmp(g_chardata[i].name, name, sizeof g_chardata[i].name) == 0;
    if (taken)
        message_box(dialog, "The name already exists", "ERROR", message_box_kind::ok);
    return taken;
}

// The lowest entry that is free: not loaded, or not yet in use; -1 when all are loaded.
int32_t free_entry()
{
    for (uint32_t i = 0; i < uint32_t(k_chardata_capacity); ++i)
        if (i >= g_chardata_count || !g_chardata[i].loaded)
            return int32_t(i);
    return -1;
}

void add_entry(dialog_handle dialog)
{
    char name[k_name_size];
    get_item_text(dialog, k_chd_name, name, sizeof name);
    if (!name[0])
        std::strcpy(name, "new");
    if (name_taken(dialog, name, -1))
        return;
    const std::string chosen = ask_file_name("load 3d file", k_model_filter, "3d", k_file_dialog_open, dialog);
    if (chosen.empty() || file_exists(chosen.c_str()) != 1)
        return;
    const std::string path = registry_path_of(chosen.c_str());
    if (path.empty())
        return;
    const int32_t entry = free_entry();
    if (entry < 0) {
        console_log("register modelov je plny (%d)", k_chardata_capacity);
        return;
    }
    chardata_entry& e = g_chardata[entry];
    copy_bounded(e.name, sizeof e.name, name);
    e.loaded = 1;
    load_model(&g_char_models[entry], path.c_str());
    copy_bounded(e.path, sizeof e.path, path.c_str());
    if (chardata_name_contains(uint32_t(entry), g_chardata_filter)) {
        set_list_sel(dialog, k_chd_list, add_list_string(dialog, k_chd_list, e.name));
        g_row_entries.push_back(entry);
    }
    console_log("pridal som 3d file %d pre charaktery", entry);
    if (uint32_t(entry) == g_chardata_count)
        ++g_chardata_count;
}

void rename_entry(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_chd_list);
    const int32_t entry = selected_entry(dialog);
    if (entry < 0)
        return;
    char name[k_name_size];
    get_item_text(dialog, k_chd_name, name, sizeof name);
    if (name_taken(dialog, name, entry))
        return;
    copy_bounded(g_chardata[entry].name, sizeof g_chardata[entry].name, name);
    delete_list_string(dialog, k_chd_list, row);
    insert_list_string(dialog, k_chd_list, row, name);
    set_list_sel(dialog, k_chd_list, row);
}

void delete_entry(dialog_handle dialog)
{
    const int32_t row = get_list_sel(dialog, k_chd_list);
    const int32_t entry = selected_entry(dialog);
    if (entry < 0)
        return;
    g_chardata[entry].loaded = 0;
    free_model(&g_char_models[entry]);
    delete_list_string(dialog, k_chd_list, row);
    g_row_entries.erase(g_row_entries.begin() + row);
    for (int32_t p = 0; p < g_move_proto_count; ++p)
        for (int16_t& part : g_move_protos[p].part_model)
            if (part == entry)
                part = -1;
}

dialog_template page_template()
{
    dialog_template t;
    t.caption = "ChData";
    t.width = 190;
    t.height = 300;
    t.x = 0;
    t.y = k_tab_window_top;
    auto add = [&t](control_kind kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text = "",
                    uint32_t style = 0) {
        t.controls.push_back(make_control(kind, id, x, y, w, h, text, style));
        return &t.controls.back();
    };
    add(control_kind::list_box, k_chd_list, 4, 4, 182, 200);
    add(control_kind::static_text, -1, 4, 210, 30, 10, "name:");
    add(control_kind::edit, k_chd_name, 36, 208, 150, 13)->limit = k_name_size - 1;
    add(control_kind::static_text, -1, 4, 226, 30, 10, "file:");
    add(control_kind::edit, k_chd_file, 36, 224, 150, 13, "", k_style_read_only);
    add(control_kind::static_text, -1, 4, 242, 30, 10, "select");
    add(control_kind::edit, k_chd_select, 36, 240, 150, 13)->limit = k_chardata_filter_size - 1;
    add(control_kind::button, k_chd_add, 4, 260, 56, 14, "Add");
    add(control_kind::button, k_chd_update, 66, 260, 56, 14, "Update");
    add(control_kind::button, k_chd_delete, 128, 260, 56, 14, "Delete");
    return t;
}

} // namespace

std::string registry_path_of(const char* chosen)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder = fs::weakly_canonical(fs::current_path(ec), ec);
    const fs::path file = fs::weakly_canonical(fs::absolute(chosen, ec), ec);
    const fs::path relative = ec ? fs::path() : file.lexically_relative(folder);
    const std::string text = relative.generic_string();
    if (text.empty() || text == "." || relative.is_absolute() || *relative.begin() == "..") {
        console_log("%.200s: subor nie je v pracovnom priecinku", chosen);
        return {};
    }
    if (text.size() >= size_t(k_chardata_text_size)) {
        console_log("%.200s: cesta je pridlha", chosen);
        return {};
    }
    return text;
}

namespace {

void init_page(dialog_handle dialog)
{
    move_dialog(dialog, 0, k_tab_window_top);
    set_item_text(dialog, k_chd_select, g_chardata_filter);  // fills the list
}

void run_command(dialog_handle dialog, int32_t id)
{
    switch (id) {
    case k_chd_select:
        get_item_text(dialog, k_chd_select, g_chardata_filter, sizeof g_chardata_filter);
        fill_list(dialog);
        break;
    case k_chd_list:
        show_entry(dialog);
        break;
    case k_chd_add:
        add_entry(dialog);
        break;
    case k_chd_update:
        rename_entry(dialog);
        break;
    case k_chd_delete:
        delete_entry(dialog);
        break;
    default:
        break;
    }
}

} // namespace

bool chardata_editor_proc(dialog_handle dialog, const dialog_message& m)
{
    return run_page_message(&g_chardata_editor_window, {init_page, run_command}, dialog, m);
}

void create_chardata_editor()
{
    create_dialog(page_template(), chardata_editor_proc);
}
