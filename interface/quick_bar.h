// The quick bar: ten slots at the bottom of the HUD holding weapons, quick items and spells,
// triggered by clicks and the number keys, the four element boxes beside it with their
// cooldowns, and the pull-down that assigns a slot.
#pragma once

#include <cstdint>

// The bar's left edge: centred on screens at least 1024 wide, at 330 on narrower ones.
float quick_bar_left();

// Per frame inside the HUD pass: slots, element boxes, the pull-down, the labels and the slot
// input. Slot kinds: 0 empty, 1 weapon, 2 quick item (ids are item ids), 3 spell (a spell id).
// An item slot empties once the player carries no entry of its item, a spell slot once its id
// lies outside the spell table. A click or number key acts once per press; a number key only on a
// press that nothing else took (the one that picked a dialogue's option does nothing here).
void update_quick_bar();

// Per frame: the pull-down of the slot the right button chose, fading in and out; skipped while
// the text viewer is open.
void run_quick_slot_menu();
// The pull-down and its list are gone at once, with no fade: no slot, no list, both transparent.
void close_quick_slot_menu();

// Shared by the bar and its pull-down.

// The cursor (screen pixels) lies in the cell: x from x1 to x2, both included, y from y1
// included to y2 excluded.
bool cursor_in_bar_cell(float x1, float y1, float x2, float y2);
// The same cell takes the pointer from the world (claim_pointer_area); true while the cursor is in it.
bool claim_bar_cell(float x1, float y1, float x2, float y2);
// The hover outline of a cell.
void outline_bar_cell(float x1, float y1, float x2, float y2);
// Slot `slot` (0 to 9) holds the item with that icon and kind; every other slot that is not a
// spell slot and held the item is emptied first.
void assign_quick_slot(int32_t slot, int16_t item, uint16_t icon, uint8_t kind);
// The message window shows only a one-line name at the cursor: "^window 10 0 <w> 30 ^gl_a 0.6
// <name><tail> ^l ^mouse_center", w the name's width in the large font plus `margin`. The name is
// read up to `size` bytes.
void show_name_tooltip(const char* name, int32_t size, const char* tail, int32_t margin);
