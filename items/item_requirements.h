// Whether an item or an attunement works for a character: its REQUIREMENTS list, and for the
// player a rule tying a shield's attunement to one-handed weapons.
#pragma once

#include <cstdint>

struct char_record;

// 1 when item `item` works for the character in `slot`, else 0; `tested` is the id of the tested
// record (the item's own id, or -1). Equipped entries are those at locations 16 to 254.
// 1. The player only: when the tested item is a shield (class 9), the equipped shield's attunement
//    link equals `tested` and a weapon is held, that weapon must be of class 1 or 2, or of class 5
//    and size 0; otherwise the answer is 0.
// 2. Each REQUIREMENTS entry must hold: 1 a weapon (class 1 to 4) equipped; 2 a shield equipped;
//    3 no shield equipped; 4 no armour weight; 5 light armour (weight, light value >= heavy);
//    6 heavy armour (weight, light value < heavy); 7 to 10 a weapon of class 1, 2, 3, 4; 11 the dream
//    world active; 12 no weapon or focus (class 1 to 5) with an element (damage-type byte above 3);
//    13 a weapon or focus of element a1 (damage-type byte a1 + 4); 14 a focus of element a1; 15 a
//    melee weapon (class 1 to 3). Other codes set no condition.
// 0 for an item id outside the table or a slot not in use.
int32_t item_requirements_met(int32_t item, int32_t slot, int32_t tested);
// The same for a character record (the player is the record whose slot is the player's).
int32_t item_requirements_met_by(int32_t item, const char_record& c, int32_t tested);
