// The quick bar: ten slots at the bottom of the HUD holding weapons, quick items and spells,
// triggered by clicks and the number keys, the four element boxes beside it with their
// cooldowns, and the pull-down that assigns a slot.
#pragma once

// The bar's left edge: centred on screens at least 1024 wide, at 330 on narrower ones.
float quick_bar_left();

// Per frame inside the HUD pass: slots, element boxes, the pull-down, the labels and the slot
// input.
void update_quick_bar();

// Per frame: the pull-down of the slot the right button chose, fading in and out.
void run_quick_slot_menu();
