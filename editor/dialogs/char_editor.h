// The "ChMain" page: the live character roster g_chars, one selected character at a time: its
// identity, skills, hit points, movement and AI settings, inventory and monster class. From it a
// character enters the level at the centre of the view, takes map sector 0 as its outline, is
// centred in the view, and is saved to or loaded from a ".chr" file. Its "Add item" dialog is
// modal and leaves its choice in g_added_item, g_added_item_amount and g_added_item_location.
#pragma once

#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the page.
enum : int32_t {
    k_che_chars = 3501,        // list box "Characters:": "slot-key", row = slot
    k_che_kind = 3502,         // combo "AI type:": NORMAL, PLAYER, ENEMY, NETPLAYER, SIDEKICK
    k_che_level = 3503,
    k_che_exp = 3504,
    k_che_proto = 3505,        // combo "prototype:": monster class names, row = class
    k_che_name = 3506,         // the key, 19 characters
    k_che_anim_speed = 3507,
    k_che_description = 3508,  // the display name, 59 characters
    k_che_hp_max = 3509,
    k_che_hp = 3510,           // read-only
    k_che_run_speed = 3511,
    k_che_walk_speed = 3512,
    k_che_move_cor = 3513,
    k_che_melee = 3514,        // 3514 to 3521: melee, ranged, magic, speed, each base then current (read-only)
    k_che_range = 3522,
    k_che_gold = 3523,
    k_che_scale_x = 3524,
    k_che_scale_y = 3525,
    k_che_appearance = 3526,   // "apr name:", 9 characters
    k_che_mem = 3527,          // list box "mem:": one row of the eight script values
    k_che_resist = 3530,       // 3530 to 3537: read-only resistances magic to crush
    k_che_home_sector = 3540,
    k_che_action_sector = 3541,
    k_che_monster_point = 3542,
    k_che_random_move = 3543,  // check box "Random AI move"
    k_che_ai_distance = 3544,
    k_che_bleed = 3545,
    k_che_inventory = 3546,    // list view "Inventory:": name, loacation, quantity
    k_che_update = 3550,       // buttons
    k_che_roll = 3551,
    k_che_add = 3552,
    k_che_remove = 3553,
    k_che_insert = 3554,
    k_che_add_sector = 3555,
    k_che_center = 3556,
    k_che_menu_new = 3561,     // menu "character"
    k_che_menu_delete = 3562,
    k_che_menu_save = 3563,
    k_che_menu_load = 3564,
};

// Controls of the "Add item" dialog; "Cancel" is k_id_cancel.
enum : int32_t {
    k_aid_items = 3601,     // list box "Items:": every item's display name, row = item id
    k_aid_number = 3602,    // edit "Number:"
    k_aid_location = 3603,  // combo "Location:"
    k_aid_add = 3604,       // button "ADD"
};

constexpr int32_t k_aid_attunement_row = 28;  // "ATTUNEMENT", location 77

extern dialog_handle g_char_editor_window;  // the page while it is open, else 0
extern int32_t g_added_item;                // item id chosen in "Add item", -1 none
extern int32_t g_added_item_amount;
extern int32_t g_added_item_location;

void create_char_editor();
bool char_editor_proc(dialog_handle dialog, const dialog_message& m);
// Shows every field and the inventory of the selected character; nothing without one.
void fill_char_inventory_list(dialog_handle dialog);
bool add_item_dialog_proc(dialog_handle dialog, const dialog_message& m);

// The text of an inventory location: "inventory1" to "inventory16", the equipment names,
// "attunement"; empty for any other.
const char* inventory_location_text(uint8_t location, char (&buffer)[16]);
