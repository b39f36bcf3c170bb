#include "editor/windows/command_window.h"

#include "core/console_log.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "editor/controls/dialog_controls.h"
#include "editor/controls/message_box.h"
#include "editor/dialogs/dialogue_editor.h"
#include "editor/dialogs/entity_editor.h"
#include "editor/dialogs/event_editor.h"
#include "editor/dialogs/item_editor.h"
#include "editor/dialogs/level_editor.h"
#include "editor/dialogs/map_text_editor.h"
#include "editor/dialogs/monster_editor.h"
#include "editor/dialogs/spell_editor.h"
#include "editor/store/undo_snapshots.h"
#include "editor/windows/file_name_dialog.h"
#include "editor/windows/mode_tabs.h"
#include "level/level_map.h"
#include "level/map_exchange.h"
#include "platform/files.h"

#include <cstring>
#include <string>

uint32_t g_command_window_open = 0;
dialog_handle g_command_window = 0;
dialog_handle g_event_editor_window = 0;
dialog_handle g_text_editor_window = 0;
dialog_handle g_item_editor_window = 0;
dialog_handle g_spell_editor_window = 0;
dialog_handle g_dialogue_editor_window = 0;
dialog_handle g_monster_editor_window = 0;
dialog_handle g_help_viewer_window = 0;

editor_window_entry g_free_editors[k_free_editor_count] = {
    {"events", "UDALOSTI", &g_event_editor_window, open_event_editor},
    {"texts", "TEXTY", &g_text_editor_window, open_map_text_editor},
    {"items", "ITEM", &g_item_editor_window, open_item_editor},
    {"spells", "SPELL", &g_spell_editor_window, open_spell_editor},
    {"dialogues", "DIALOGUE", &g_dialogue_editor_window, open_dialogue_editor},
    {"monsters", "MONSTER", &g_monster_editor_window, open_monster_editor},
};

namespace {

constexpr int32_t k_free_editor_x = 300;
constexpr int32_t k_free_editor_y = 40;

// Filters: pairs of description and pattern, ended by an empty text.
constexpr char k_map_filter[] = "SAVE FILE\0*.sav\0ALL\0*.*\0";
constexpr char k_movemap_filter[] = "MOVEMAP FILE\0*.mv\0ALL\0*.*\0";
constexpr char k_info_filter[] = "INFO FILE\0*.inf\0ALL\0*.*\0";

struct help_text {
    int32_t id;
    const char* path;
};
const help_text k_help_texts[] = {
    {k_menu_readme, "readme.txt"},       {k_menu_help, "doc/help.txt"},         {k_menu_faq, "doc/faq.txt"},
    {k_menu_changes, "doc/zmeny.txt"},   {k_menu_surface, "doc/povrch.txt"},    {k_menu_textures, "doc/textures.txt"},
    {k_menu_limits, "doc/limity.txt"},   {k_menu_todo, "doc/todo.txt"},
};

menu_entry item(const char* text, int32_t id)
{
    return {text, id, {}};
}

menu_entry popup(const char* text, std::vector<menu_entry> items)
{
    return {text, 0, std::move(items)};
}

std::vector<menu_entry> command_menu()
{
    return {
        popup("file", {item("new map", k_menu_new_map), item("load map", k_menu_load_map),
                       item("save map", k_menu_save_map), item("export mapinfo", k_menu_export_mapinfo),
                       item("import mapinfo", k_menu_import_mapinfo), item("export sortinfo", k_menu_export_sortinfo),
                       item("import sortinfo", k_menu_import_sortinfo)}),
        popup("optios", {item("event", k_menu_event), item("text", k_menu_text)}),
        popup("rpg", {item("item", k_menu_item), item("spells", k_menu_spells), item("dialogues", k_menu_dialogues),
                      item("monsters", k_menu_monsters)}),
        popup("help", {item("readme.txt", k_menu_readme),
                       popup("doc", {item("help", k_menu_help), item("faq", k_menu_faq),
                                     item("changes", k_menu_changes), item("surface", k_menu_surface),
                                     item("textures", k_menu_textures), item("limits", k_menu_limits),
                                     item("todo", k_menu_todo)}),
                       item("about", k_menu_about)}),
    };
}

// The chosen path, copied before the next question overwrites it; empty after a cancel.
std::string ask(const char* title, const char* filter, const char* extension, int32_t mode)
{
    return ask_file_name(title, filter, extension, mode, g_command_window);
}

// Why the map chosen was not read whole; null when it was.
const char* map_load_problem(const std::string& path)
{
    if (path.size() >= size_t(k_map_path_size))
        return "The path is longer than a map path may be (255 characters); the level stays as it was.";
    switch (check_level_map(path.c_str())) {
    case map_check::missing:
        return "The file does not exist.";
    case map_check::wrong_tag:
        return "The file is not a level map of this version; the level stays as it was.";
    case map_check::ok:
        break;
    }
    switch (load_level_map_file(path.c_str())) {
    case map_read::unread:
        return "The file cannot be read; the level stays as it was.";
    case map_read::damaged:
        return "The file is damaged: the level holds what could be read (the console names the section).";
    case map_read::whole:
        break;
    }
    return nullptr;
}

void load_map()
{
    const std::string path = ask("load map", k_map_filter, "sav", k_file_dialog_open);
    if (path.empty())
        return;
    if (const char* problem = map_load_problem(path))
        message_box(g_command_window, (path + "\n" + problem).c_str(), "load map", message_box_kind::ok);
}

// Whether the chosen file may be written: a file that does not exist yet, the file `own` names,
// or an existing file once the user answers Yes to "replace?" (No is the default, and the answer
// when nobody can be asked). A No is logged and writes nothing.
bool may_write(const std::string& path, const char* title, const char* own = "")
{
    if (file_exists(path.c_str()) != 1 || same_file(path.c_str(), own))
        return true;
    if (message_box(g_command_window, (path + "\nreplace?").c_str(), title, message_box_kind::yes_no_default_no) ==
        k_id_yes)
        return true;
    console_log("%s ostava, nic nezapisujem", path.c_str());
    return false;
}

void save_map()
{
    std::string path = ask("save map", k_map_filter, "sav", 0);
    console_log("%s", path.c_str());
    if (!path.empty() && may_write(path, "save map", g_map_path))
        save_level_map_as(path.c_str());
}

// Asks for a file and hands a chosen one to the command; a file to save is written only where
// may_write allows. A file that could not be read in is named in a message box.
void exchange(const char* title, const char* filter, const char* extension, int32_t mode, bool (*command)(const char*))
{
    std::string path = ask(title, filter, extension, mode);
    if (path.empty() || (mode != k_file_dialog_open && !may_write(path, title)))
        return;
    if (!command(path.c_str()) && mode == k_file_dialog_open)
        say_file_unread(g_command_window, path, title, "the map stays as it was");
}

// The imports, each followed by the open pages that show what it changed showing it, so that a
// page's update stores what the import brought and not what the page showed before.
bool import_mapinfo_shown(const char* path)
{
    if (!import_mapinfo(path))
        return false;
    show_level_header();
    return true;
}

bool import_sortinfo_shown(const char* path)
{
    if (!import_sortinfo(path))
        return false;
    show_level_objects();
    show_assigned_objects();
    return true;
}

bool help_viewer_proc(dialog_handle dialog, const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init:
        g_help_viewer_window = dialog;
        return true;
    case dialog_message_kind::close:
        destroy_dialog(dialog);
        return true;
    case dialog_message_kind::destroy:
        if (g_help_viewer_window == dialog)
            g_help_viewer_window = 0;
        return true;
    default:
        return false;
    }
}

// Shows the text in the viewer, opening it when it is closed; a file that cannot be read is
// logged and shows nothing.
void show_help_text(const char* path)
{
    std::vector<uint8_t> bytes;
    if (!read_whole_file(path, &bytes)) {
        console_log("%s sa neda otvorit", path);
        return;
    }
    std::string text;
    for (uint8_t b : bytes)
        if (b != '\r' && b != 0)
            text += char(b);
    if (!g_help_viewer_window) {
        dialog_template t;
        t.caption = path;
        t.width = 400;
        t.height = 300;
        t.x = k_free_editor_x;
        t.y = k_free_editor_y;
        control_template field = make_control(control_kind::edit, k_help_viewer_text, 4, 4, 392, 292, {},
                                              k_style_read_only);
        field.lines = 40;
        t.controls.push_back(field);
        create_dialog(t, help_viewer_proc);
    }
    set_window_text(g_help_viewer_window, path);
    set_item_text(g_help_viewer_window, k_help_viewer_text, text.c_str());
}

void open_free_editor(const editor_window_entry& entry)
{
    if (!*entry.window)
        create_editor_window(entry, k_free_editor_x, k_free_editor_y);
}

bool command_window_proc(dialog_handle dialog, const dialog_message& m)
{
    switch (m.kind) {
    case dialog_message_kind::init:
        g_command_window = dialog;
        move_dialog(dialog, 0, 0);
        return true;
    case dialog_message_kind::command:
        run_menu_command(m.id);
        return true;
    case dialog_message_kind::close:
        destroy_dialog(dialog);
        return true;
    case dialog_message_kind::destroy:
        if (g_command_window == dialog) {
            g_command_window = 0;
            g_command_window_open = 0;
        }
        return true;
    default:
        return false;
    }
}

} // namespace

void open_editor_windows()
{
    if (g_command_window_open == 1)
        return;
    g_command_window_open = 1;
    dialog_template t;
    t.caption = "menu";
    t.width = 190;
    t.height = 1;
    t.title_bar = false;  // the menu bar alone fits above the tab strip
    t.menu = command_menu();
    create_dialog(t, command_window_proc);
}

void run_menu_command(int32_t id)
{
    if (id >= k_menu_event && id <= k_menu_monsters) {
        open_free_editor(g_free_editors[id - k_menu_event]);
        return;
    }
    for (const help_text& h : k_help_texts)
        if (h.id == id) {
            show_help_text(h.path);
            return;
        }
    switch (id) {
    case k_menu_new_map:
        load_empty_map();
        break;
    case k_menu_load_map:
        load_map();
        break;
    case k_menu_save_map:
        save_map();
        break;
    case k_menu_export_mapinfo:
        exchange("save movemap", k_movemap_filter, "mv", 0, export_mapinfo);
        break;
    case k_menu_import_mapinfo:
        exchange("load movemap", k_movemap_filter, "mv", k_file_dialog_open, import_mapinfo_shown);
        break;
    case k_menu_export_sortinfo:
        exchange("save sortinfo", k_info_filter, "inf", 0, export_sortinfo);
        break;
    case k_menu_import_sortinfo:
        exchange("load sortinfo", k_info_filter, "inf", k_file_dialog_open, import_sortinfo_shown);
        break;
    default:
        break;
    }
}

void show_replaced_map()
{
    forget_undo_snapshots();
    refresh_map_text_list();
    refresh_event_list();
    renew_tab_page();
}
