// What the rest of the program uses of items, ground items, containers and spells.
//
// Items, containers and spells are not built yet: the tables below stay empty and their
// per-frame passes do nothing.
#pragma once

#include <cstdint>

extern int32_t g_item_proto_count;
extern int32_t g_spell_proto_count;
extern int16_t g_ground_item_count;
extern int16_t g_level_container_count;
extern uint8_t g_in_combat;  // characters in the current fight

void load_items();              // "global/items.dat"
void save_items();
void load_char_containers();    // "global/cont.dat"
void free_level_containers();
void load_spells();             // "global/spells.dat"
void save_spells();
void update_ground_items(int mode);
void draw_ground_item_labels();
