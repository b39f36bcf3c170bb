// Which item classes each equipment slot takes, the slot an item goes to when equipped by a
// click, and the quick bar's file "global/quick.dat". Every lookup works on the player.
//
// Slots: 0-15 backpack (every class), 16 cloak (12), 17 helm (7), 18 neclace (11), 19 ring1
// (10), 20 bots (8), 21 ring2 (10), 22 rhand (14), 23 armor (6), 24 weapon (1-5), 25 lhand (15),
// 26 shield (9 and the lantern 25), 27 legs (13); 28 and above take nothing.
#pragma once

#include <cstdint>

// 1 when the player's entry may lie in the slot, else 0 (also for an entry outside the list).
int32_t inventory_item_fits_slot(int32_t slot, int32_t entry);
// The same rule for an item id; 0 for a negative id or one outside the item table.
int32_t item_proto_fits_slot(int32_t slot, int32_t item_id);
// The class's home slot when no entry of the player lies there (rings: 19, else 21), else -1;
// -1 for a class without a home slot.
int32_t free_equip_slot_for_type(int32_t item_class);
// The class's home slot, taken or not (rings: 19); -1 for a class without one.
int32_t equip_slot_for_type(int32_t item_class);
// The first entry of the player at that location, or -1.
int32_t find_item_in_slot(int32_t slot);

// Writes the quick bar of g_interface to "global/quick.dat" (81 bytes, packed), replacing the
// file only after a complete write, and makes it writable for its owner. False (logged, the old
// file kept) when it cannot be written.
bool write_quick_bar();
// Reads "global/quick.dat" into the quick bar. A missing or short file changes nothing (a short
// one is logged); a kind above 3, or an id outside the item table (kinds 1 and 2) or the spell
// table's 200 slots (kind 3), reads as an empty slot.
void read_quick_bar();
