// The item on the cursor of the side panel and the container windows, and the small steps every
// move of an item shares.
//
// The hand holds one of three things: nothing (held_origin 255, held_item -1); an inventory item
// (held_item is the hero's entry index, whose location is 255 while it is held, and both
// from-window flags are 0); or a container item (held_item is an item id, one from-window flag
// is 1, held_origin is the cell it left, and that cell is empty while it is held).
#pragma once

#include <cstdint>

struct char_record;

// Slot codes of the inventory screen: 0-15 backpack, 16-27 equipment, 100 + k a cell of the
// first container window, 150 + k one of the second, 250 the hero figure, 255 nothing.
constexpr uint8_t k_code_first_cell = 100;
constexpr uint8_t k_code_second_cell = 150;
constexpr uint8_t k_code_hero = 250;
constexpr uint8_t k_code_none = 255;
constexpr uint8_t k_weapon_slot = 24;

// Shared with the HUD's buttons: one press of the left button acts once.
extern uint32_t g_hud_click_latch;

// The player's record, or null.
char_record* panel_hero();

bool holding_nothing();
// An inventory entry is on the cursor.
bool holding_inventory_item();
// An item taken from either container window is on the cursor.
bool holding_container_item();

// The item id on the cursor (the entry's item for an inventory item), or -1.
int32_t held_item_id();

// Empties the hand: held_item -1, held_origin 255, held_icon -1; `all` also clears held_word,
// held_flag and both from-window flags.
void clear_held_item(bool all);

// The last inventory entry of the hero at that location, or -1.
int32_t last_entry_at(uint8_t location);

// The item's inventory sound at the hero's position.
void play_held_item_sound(int32_t item);
// An item put into or taken out of the weapon slot leaves no quick-bar slot selected.
void clear_weapon_selection_if(uint8_t code);
// After every change of equipment: the running clip restarts, the attunements are synchronised,
// the item effects applied and the equipment refreshed. A held inventory entry stays held when
// the attunement entries before it move.
void recompute_hero_equipment();
