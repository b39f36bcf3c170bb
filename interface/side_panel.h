// The side panel: the hero's inventory and equipment at the left edge, the purse, and below it
// up to two container windows; items move between them, the hero, the quick bar and the ground.
#pragma once

#include <cstdint>

// One frame of the panel (while the interface is shown and the panel open). False when a click
// used an item on the hero: the rest of the interface pass is skipped this frame.
bool update_side_panel();

// The slot code under the cursor (see interface/held_item.h), 255 for none.
uint8_t side_panel_hit_code();

// Closes both container windows and hides the message window (the interface's texts), then puts
// the held item back: a container item into its cell; an inventory item into the first free
// backpack slot, else the slot it came from when that is free, else it falls at the hero. It is
// never left unplaced.
void cancel_item_drag();

// Before a save: the held item goes back where it came from, a container item into its cell, an
// inventory item into the slot it left when that is free (else as cancel_item_drag places it),
// and the hand is empty. The container windows stay as they are.
void put_back_held_item();

// Before a load, a level change and a new game, and at the hero's death: the held item goes back
// as put_back_held_item places it, both container windows close naming no container (a shop's
// trade ends with its window), and the quick-slot pull-down closes.
void close_item_windows();
