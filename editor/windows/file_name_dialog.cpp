#include "editor/windows/file_name_dialog.h"

#include "core/console_log.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/text_compare.h"
#include "editor/windows/mode_tabs.h"
#include "platform/files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

char g_file_dialog_path[k_file_dialog_path_size] = {};
char g_last_file_dir[k_last_file_dir_size] = {};

namespace {

struct filter_pair {
    std::string description;
    std::vector<std::string> patterns;
};

struct chooser_entry {
    std::string name;
    bool folder;
};

struct chooser {
    std::vector<filter_pair> filters;
    std::string default_extension;
    bool open_mode = true;
    std::string folder; // absolute, with a final "/"
    std::vector<chooser_entry> entries; // the list's rows
    std::string result;
};

std::vector<filter_pair> parse_filter(const char* filter)
{
    std::vector<filter_pair> out;
    for (const char* p = filter; p && *p;) {
        filter_pair pair{p, {}};
        p += std::strlen(p) + 1;
        std::string patterns = p;
        p += patterns.size() + 1;
        for (size_t start = 0; start <= patterns.size();) {
            size_t end = std::min(patterns.find(';', start), patterns.size());
            if (end > start)
                pair.patterns.push_back(patterns.substr(start, end - start));
            start = end + 1;
        }
        if (patterns.empty())
            break;
        out.push_back(std::move(pair));
    }
    if (out.empty())
        out.push_back({"*.*", {"*.*"}});
    return out;
}

bool same_letter(char a, char b)
{
    return case_blind_equal(std::string_view(&a, 1), std::string_view(&b, 1));
}

// "*" matches any run of characters, "?" any one, the rest in any letter case; "*.*" matches
// every name, as on the system the patterns come from.
bool matches(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*")
        return true;
    size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same_letter(pattern[p], name[n]))) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string as_folder(const std::string& path)
{
    std::string folder = std::filesystem::path(path).lexically_normal().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string working_folder()
{
    std::error_code error;
    const std::string cwd = std::filesystem::current_path(error).string();
    return as_folder(error || cwd.empty() ? "/" : cwd);
}

void fill_list(dialog_handle dialog, chooser& state)
{
    while (get_list_count(dialog, k_chooser_files) > 0)
        delete_list_string(dialog, k_chooser_files, 0);
    std::vector<folder_entry> found = list_folder(state.folder.c_str());
    std::sort(found.begin(), found.end(), [](const folder_entry& a, const folder_entry& b) {
        return a.is_folder != b.is_folder ? a.is_folder : case_blind_less(a.name, b.name);
    });
    const int32_t sel = get_combo_sel(dialog, k_chooser_filter);
    const filter_pair& filter = state.filters[size_t(std::max(sel, 0))];
    state.entries.clear();
    if (state.folder != "/")
        state.entries.push_back({"..", true});
    for (const folder_entry& e : found) {
        if (e.name.empty() || e.name[0] == '.')
            continue;
        if (e.is_folder || std::any_of(filter.patterns.begin(), filter.patterns.end(),
                                       [&](const std::string& p) { return matches(e.name, p); }))
            state.entries.push_back({e.name, e.is_folder});
    }
    for (const chooser_entry& e : state.entries)
        add_list_string(dialog, k_chooser_files, (e.name + (e.folder ? "/" : "")).c_str());
    set_item_text(dialog, k_chooser_folder, state.folder.c_str());
    set_item_text(dialog, k_chooser_status, "");
}

void enter_folder(dialog_handle dialog, chooser& state, const std::string& folder)
{
    state.folder = as_folder(folder);
    set_item_text(dialog, k_chooser_name, "");
    fill_list(dialog, state);
}

std::string absolute_name(const chooser& state, const std::string& name)
{
    const std::string path = !name.empty() && (name[0] == '/' || name[0] == '\\') ? name : state.folder + name;
    return resolve_path(std::filesystem::path(path).lexically_normal().string());
}

// OK with the name field's text.
void take_name(dialog_handle dialog, chooser& state, std::string name)
{
    if (name.empty()) {
        const int32_t row = get_list_sel(dialog, k_chooser_files);
        if (row >= 0 && row < int32_t(state.entries.size()) && state.entries[size_t(row)].folder)
            enter_folder(dialog, state, state.folder + state.entries[size_t(row)].name);
        return;
    }
    std::string path = absolute_name(state, name);
    if (is_folder(path.c_str())) {
        enter_folder(dialog, state, path);
        return;
    }
    const size_t slash = path.rfind('/');
    if (path.find('.', slash + 1) == std::string::npos && !state.default_extension.empty())
        path = resolve_path(path + "." + state.default_extension);
    const std::string parent = path.substr(0, path.rfind('/') + 1);
    const char* reason = nullptr;
    if (state.open_mode && !is_readable_file(path.c_str()))
        reason = "File not found.";
    else if (!state.open_mode && (!is_folder(parent.c_str()) || is_folder(path.c_str())))
        reason = "Folder not found.";
    if (reason) {
        set_item_text(dialog, k_chooser_status, reason);
        return;
    }
    if (path.size() >= size_t(k_file_dialog_path_size)) {
        console_log("cesta k suboru je pridlha (%zu znakov), zrusene", path.size());
        end_dialog(dialog, k_id_cancel);
        return;
    }
    state.result = path;
    end_dialog(dialog, k_id_ok);
}

bool chooser_procedure(chooser& state, dialog_handle dialog, const dialog_message& m)
{
    if (m.kind == dialog_message_kind::init) {
        for (const filter_pair& f : state.filters)
            add_combo_string(dialog, k_chooser_filter, f.description.c_str());
        set_combo_sel(dialog, k_chooser_filter, 0);
        fill_list(dialog, state);
        return true;
    }
    if (m.kind != dialog_message_kind::command)
        return false;
    const int32_t row = get_list_sel(dialog, k_chooser_files);
    const chooser_entry* entry =
        row >= 0 && row < int32_t(state.entries.size()) ? &state.entries[size_t(row)] : nullptr;
    switch (m.id) {
    case k_chooser_files:
        if (m.code == k_notify_selection && entry && !entry->folder)
            set_item_text(dialog, k_chooser_name, entry->name.c_str());
        else if (m.code == k_notify_double_click && entry && entry->folder)
            enter_folder(dialog, state, state.folder + entry->name);
        else if (m.code == k_notify_double_click && entry)
            take_name(dialog, state, entry->name);
        return true;
    case k_chooser_filter:
        if (m.code == k_notify_selection)
            fill_list(dialog, state);
        return true;
    case k_id_ok: {
        char name[k_file_dialog_path_size * 2] = {};
        get_item_text(dialog, k_chooser_name, name, int32_t(sizeof name));
        take_name(dialog, state, name);
        return true;
    }
    case k_id_cancel:
        end_dialog(dialog, k_id_cancel);
        return true;
    default:
        return false;
    }
}

dialog_template chooser_template(const char* title, bool open_mode)
{
    dialog_template t;
    t.caption = title ? title : "";
    t.width = 280;
    t.height = 196;
    t.x = 100;
    t.y = k_tab_window_top; // below the tab strip
    t.controls = {
        make_control(control_kind::static_text, k_chooser_folder, 7, 6, 266, 10),
        make_control(control_kind::list_box, k_chooser_files, 7, 18, 266, 120),
        make_control(control_kind::static_text, -1, 7, 146, 50, 10, "File name:"),
        make_control(control_kind::edit, k_chooser_name, 60, 144, 150, 13),
        make_control(control_kind::static_text, -1, 7, 163, 50, 10, "Files of type:"),
        make_control(control_kind::combo, k_chooser_filter, 60, 161, 150, 60),
        make_control(control_kind::button, k_id_ok, 220, 144, 53, 14, open_mode ? "Open" : "Save"),
        make_control(control_kind::button, k_id_cancel, 220, 161, 53, 14, "Cancel"),
        make_control(control_kind::static_text, k_chooser_status, 7, 181, 266, 10),
    };
    return t;
}

} // namespace

const char* ask_file_name(const char* title, const char* filter, const char* default_extension, int32_t mode,
                          dialog_handle owner)
{
    std::memset(g_file_dialog_path, 0, sizeof g_file_dialog_path);
    if (!modal_dialogs_answerable()) {
        console_log("vyber suboru \"%.100s\" sa neda zobrazit, zrusene", title ? title : "");
        return g_file_dialog_path;
    }
    chooser state;
    state.filters = parse_filter(filter);
    state.default_extension = default_extension ? default_extension : "";
    state.open_mode = mode == k_file_dialog_open;
    state.folder = g_last_file_dir[0] && is_folder(g_last_file_dir) ? as_folder(g_last_file_dir) : working_folder();
    auto procedure = [&state](dialog_handle dialog, const dialog_message& m) {
        return chooser_procedure(state, dialog, m);
    };
    if (run_modal_dialog(chooser_template(title, state.open_mode), procedure, 0, owner) != k_id_ok ||
        state.result.empty())
        return g_file_dialog_path;
    std::memcpy(g_file_dialog_path, state.result.c_str(), state.result.size() + 1);
    const std::string folder = state.result.substr(0, state.result.rfind('/') + 1);
    if (folder.size() < sizeof g_last_file_dir)
        std::memcpy(g_last_file_dir, folder.c_str(), folder.size() + 1);
    else
        console_log("priecinok je pridlhy (%zu znakov), posledny priecinok ostava", folder.size());
    return g_file_dialog_path;
}
