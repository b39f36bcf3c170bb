// The monster editor: a window over the class table g_monster_protos. The class list shows one
// row per class (row = index); every field stores its value into the selected class at each
// change. Two clipboards, one weapon table and one treasure table, live while the program runs.
#pragma once

#include "characters/monster_protos.h"
#include "editor/controls/dialog_model.h"

#include <cstdint>

// Controls of the window.
enum : int32_t {
    k_mon_list = 1601,     // list box: the classes
    k_mon_type,            // combo "Type:": the 14 genera
    k_mon_name,            // edit "Name:"
    k_mon_attack_class,    // combo "Attack Class:"
    k_mon_damage_type,     // combo "Damage Type:"
    k_mon_damage_multiplier,
    k_mon_damage_bonus,
    k_mon_critical_chance,
    k_mon_critical_multiplier,
    k_mon_critical_damage,
    k_mon_armour_base,     // "base armour value"
    k_mon_armour_multiplier,
    k_mon_shield,
    k_mon_hitpoints,       // "hitpoints multi:"
    k_mon_experience,      // "exp multi:"
    k_mon_dreamwalk,       // combo "dreamwalk type:"
    k_mon_skill,           // four combos: melee, ranged, magic, speed
    k_mon_aphotic = k_mon_skill + 4,  // check "aphotic monster"
    k_mon_chr_name,        // edit "chr name:"
    k_mon_attack_pause,
    k_mon_gold,            // three edits: "gold:" A "k" B "+" C
    k_mon_main_chance = k_mon_gold + 3,  // edit "main treasure chance:"
    k_mon_weapon_list,     // list box "Random Weapon Table"
    k_mon_weapon_item,     // combos: item, level, rarity
    k_mon_weapon_level,
    k_mon_weapon_rarity,
    k_mon_weapon_add,
    k_mon_weapon_rem,
    k_mon_treasure_list,   // list box "Random Treasure"
    k_mon_treasure_item,   // combos: item, chance, level, rarity
    k_mon_treasure_chance,
    k_mon_treasure_level,
    k_mon_treasure_rarity,
    k_mon_treasure_add,
    k_mon_treasure_rem,
};

// Menu "Monster".
enum : int32_t {
    k_mon_menu_new = 2601,
    k_mon_menu_delete,
    k_mon_menu_copy_treasure,
    k_mon_menu_copy_weapons,
    k_mon_menu_paste_treasure,
    k_mon_menu_paste_weapons,
};

// A copied table: its count and entries.
struct weapon_table_clip {
    int32_t count = 0;
    int16_t item[k_monster_table_entries] = {};
    uint8_t level[k_monster_table_entries] = {};
    uint8_t rarity[k_monster_table_entries] = {};
};
struct treasure_table_clip {
    int32_t count = 0;
    int16_t item[k_monster_table_entries] = {};
    uint8_t chance[k_monster_table_entries] = {};
    uint8_t level[k_monster_table_entries] = {};
    uint8_t rarity[k_monster_table_entries] = {};
};
extern weapon_table_clip g_weapon_table_clipboard;
extern treasure_table_clip g_treasure_table_clipboard;

// Opens the editor; nothing while it is open.
void open_monster_editor();

// The window's procedure.
bool monster_editor_proc(dialog_handle dialog, const dialog_message& m);

// Selects the class's row, shows every field of the class and rebuilds the weapon and treasure
// lists ("%s level %d %s"; "%s level %d of type %s with chance %d%%"). A treasure chance step
// above 20 becomes 20 in the record; nothing else changes.
void fill_monster_list(dialog_handle dialog, int32_t proto);
