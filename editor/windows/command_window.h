// The command window: the editor's menu bar at the top-left corner of the screen. Its menu
// holds the level map's file commands, the mapinfo and sortinfo exchange files, the
// free-standing editors (one instance each) and the help texts, shown in a read-only viewer.
#pragma once

#include "editor/controls/dialog_model.h"
#include "editor/windows/editor_windows.h"

#include <cstdint>

// Menu items.
enum : int32_t {
    k_menu_new_map = 40001,
    k_menu_load_map,
    k_menu_save_map,
    k_menu_export_mapinfo,
    k_menu_import_mapinfo,
    k_menu_export_sortinfo,
    k_menu_import_sortinfo,
    k_menu_event,
    k_menu_text,
    k_menu_item,
    k_menu_spells,
    k_menu_dialogues,
    k_menu_monsters,
    k_menu_readme,
    k_menu_help,
    k_menu_faq,
    k_menu_changes,
    k_menu_surface,
    k_menu_textures,
    k_menu_limits,
    k_menu_todo,
    k_menu_about,
};

constexpr int k_free_editor_count = 6;
constexpr int32_t k_help_viewer_text = 1300;  // the viewer's read-only text field

extern uint32_t g_command_window_open;  // 1 while the command window exists
extern dialog_handle g_command_window;
extern dialog_handle g_event_editor_window;
extern dialog_handle g_text_editor_window;
extern dialog_handle g_item_editor_window;
extern dialog_handle g_spell_editor_window;
extern dialog_handle g_dialogue_editor_window;
extern dialog_handle g_monster_editor_window;
extern dialog_handle g_help_viewer_window;

// The free-standing editors in menu order: event, text, item, spells, dialogues, monsters.
extern editor_window_entry g_free_editors[k_free_editor_count];

// Creates the command window at (0, 0) unless it exists already.
void open_editor_windows();

// What a menu item does (the window's procedure calls it); the file commands ask for their file
// with ask_file_name, owned by the command window, and stop on a cancel:
// - "new map": the empty map template (load_empty_map);
// - "load map": the chosen file read as a level map, wherever it lies; a file that is missing, not
//   a map of this version or damaged is named in a message box saying so;
// - "save map": the chosen path logged, then save_level_map_as;
// - mapinfo and sortinfo: export and import through level/map_exchange.h;
// - an export, or "save map" to a file other than the map's own (g_map_path), that would replace
//   an existing file asks "replace?" first; No (the default) writes nothing and is logged;
// - an editor: its window created unless its handle is set;
// - a help text: "readme.txt" or one of the "doc/" texts shown in the viewer.
void run_menu_command(int32_t id);

// After another map replaced the level's tables: the undo snapshots of the map before are
// dropped, and the text and event editors and the page under the tabs show the new map.
void show_replaced_map();
