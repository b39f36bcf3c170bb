// The tooltips of items and attunements: markup for the message window at the cursor.
#pragma once

#include <cstddef>
#include <cstdint>

struct builtin_name_tables;

constexpr size_t k_item_description_max = 1999;  // bytes of a description file read

// Writes into buffer (size bytes, always terminated, cut where it is full) the tooltip of item
// id `item`: a window of width 600 and the given height at the cursor with the grey name, the
// kind, the shop prices while a shop window is open, the weapon, shield or armour values, a quick
// item's amount, the progress and requirements of its attunement, and the description
// "data/predmety/<language>/<key>.txt". location is where the item is (0-15 backpack, 16 and up
// equipped, 100-149 a cell of the first container window); damage_type replaces the item's own
// in the weapon lines unless it is -1. Returns the length written; 0 (empty buffer) for an id
// outside the table.
size_t draw_item_tooltip(int32_t item, char* buffer, size_t size, float height, int32_t location,
                         int32_t damage_type);

// The tooltip of attunement id `attunement`: a window of width 400 at the cursor with
// "data/attunements/<language>/<key>.txt" and the requirements; without the file only the
// window line. Same buffer rules.
size_t draw_attunement_tooltip(int32_t attunement, char* buffer, size_t size, float height);

// The word tables the two tooltips print (English until the UI texts localize them).
builtin_name_tables item_tooltip_words();
// Hands the word tables to the UI text loader (g_builtin_name_tables), which localizes them.
void install_item_tooltip_words();
