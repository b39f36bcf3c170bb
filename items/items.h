// What the rest of the program uses of items, ground items, containers and spells.
//
// Items and spells are not built yet: the tables below stay empty and the ground items' per-frame
// passes do nothing. Containers are in items/containers.h, the ground-item table in
// items/ground_items.h.
#pragma once

#include "core/game_globals.h"

#include <cstdint>

extern int32_t g_item_proto_count;
extern int32_t g_spell_proto_count;

void load_items();              // "global/items.dat"
void save_items();
void load_char_containers();    // "global/cont.dat"
void load_spells();             // "global/spells.dat"
void save_spells();
void update_ground_items(int mode);
void draw_ground_item_labels();
