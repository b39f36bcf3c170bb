// Using an item from the inventory or the quick bar, and an item's damage entries. Whether a used
// item is consumed is the caller's business.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

// UI texts of the healing messages: "<96> d <97>" and "<98> q <99>".
constexpr int32_t k_heal_text_first = 96;
// The attunement that makes healing items half as costly again.
constexpr int16_t k_healing_attunement = 234;

// Walks the EFECTS of item id on the user, in list order:
// 30 "add life": stops the walk when the user is not alive. With d = hp_ceiling - hp of 1 or more
//    and r the item's damage field (times 1.5 with attunement 234), q = d / r held to 1 to d: the
//    ceiling drops by q and the hit points become the new ceiling; two lines go to the message log.
// 31 "add mana": the dice a1, a2 are added to the mana, never past its maximum.
// 37 "learn spell": the spell a1 is learned (logged and told).
// 60 "cast spell when quickused": the cast effect of spell a1 and the spell, from the user's
//    position.
// An entry with a spell id outside the spell table is skipped (logged); other codes are ignored.
void use_item(int32_t item, char_record* user, int16_t id);

// For each entry of code 3 the target takes a fixed hit of the dice a1, a2 with damage type a3
// (the attacker is not credited: the hit is a fixed one); a roll of 0 deals nothing.
void deal_item_damage(int32_t item, char_record* target, int32_t attacker);
