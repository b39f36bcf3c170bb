// The entity page under the mode tabs: the level's entities (g_entities) with their type, state,
// sector, numbers and links to a map text, a level container, a spell and an item, and the world
// objects each one owns. Every change of the table marks the map changed.
#pragma once

#include "editor/controls/dialog_model.h"
#include "editor/dialogs/table_change.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_ent_list = 1301,         // list "Entity:": one row "%d-%s" per entity
    k_ent_name = 1302,         // edit "Name:"
    k_ent_type = 1303,         // combo "Type:": row = type
    k_ent_state = 1304,        // edit "State:"
    k_ent_sector = 1305,       // edit "Sector:"
    k_ent_value = 1306,        // edit "Add. sort :"
    k_ent_link = 1307,         // edit "Add id:"
    k_ent_interval = 1308,     // edit "Pause:"
    k_ent_description = 1309,  // combo "Description:": row 0 none, row k map text k - 1
    k_ent_container = 1310,    // combo "Kontainer:": row 0 none, row k level container k - 1
    k_ent_spell = 1311,        // combo "Spell:": row 0 none, row k spell k - 1
    k_ent_item = 1312,         // combo "Item:": row 0 none, row k item k - 1
    k_ent_dream = 1313,        // check box "Dreamworld"
    k_ent_objects = 1314,      // list "Assigned Objects:"
    k_ent_update = 1315,       // button "update"
};

// Menu "entity".
enum : int32_t {
    k_ent_menu_new = 2301,
    k_ent_menu_delete = 2302,
};

constexpr int k_entity_type_count = 20;
extern const char* const k_entity_type_names[k_entity_type_count];

// The page's window, 0 while closed.
extern dialog_handle g_entity_editor_window;

// Creates the page at (0, the tabs' page top); the mode tabs call it.
void open_entity_editor();

// The open page's "Assigned Objects:" list of the chosen entity as the objects stand now: after
// something other than the page changed them. Nothing while the page is closed or none is chosen.
void show_assigned_objects();

// After `change`, the open page shows the table as it is now where the change touched what it
// shows, in place: the entity rows after a removal, and the combo that lists the changed map
// texts, containers or spells, each keeping the record chosen under its new number (none for the
// removed one). The row chosen, the typed fields, the page's place among the windows and the
// focus stay.
void refill_entity_editor(const table_change& change);

bool entity_editor_proc(dialog_handle dialog, const dialog_message& m);
