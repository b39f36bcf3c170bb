// The side panel's tooltips in the message window: the purse, and the item under the cursor.
#pragma once

#include <cstdint>

// While the cursor is strictly inside the gold icon's square: the purse's amount with "gold
// piece" or "gold pieces", at the cursor.
void show_purse_tooltip();
// The tooltip of the slot code the panel's hit test found: a backpack or equipment slot (only
// while nothing is held) or a cell of either container window (held or not). An empty slot or
// cell, the hero figure and 255 leave the message window as it was. Items are described in two
// passes: composed at a guessed height, laid out, then composed again at the height the layout
// reached.
void show_slot_tooltip(uint8_t code);
