// The rules that turn two characters and their equipment into chances and amounts: block and
// dodge, base damage, armour class, criticals, resistances, attack speed and armour weight.
//
// "Equipped" means an inventory entry at a location from 16 to 254 (the attunements at 77
// included). An attunement's property carries its strength as (arg0 - 40) x 0.05; several
// properties of one kind multiply. Character arguments are slots, -1 for none; a slot outside
// the table counts as none.
#pragma once

#include "characters/char_record.h"
#include "items/items.h"

#include <cstdint>

// The difficulty held in the player's record (0 to 4, 1 normal; any other value counts as 1).
int32_t game_difficulty();
// The player's block and dodge factor, the others' weapon damage factor and the others' maximum
// hit points factor of the difficulty (the last is 1.0 in editor mode).
float difficulty_block_dodge_factor();
float difficulty_damage_factor();
float difficulty_hp_factor();

// Percent chances, integers.
int32_t block_chance(int32_t defender, int32_t attacker);
int32_t dodge_chance(int32_t defender, int32_t attacker);
// The base damage of an attack of `attacker` on `target` with `weapon` (an item id, or -1 for
// the weapon the attacker holds) at `percent` of its strength.
float damage_base(int32_t attacker, int32_t target, int32_t weapon, int32_t percent);
// The armour class of `defender` against `attacker`.
int32_t char_armor_class(int32_t defender, int32_t attacker);
int32_t critical_chance(int32_t attacker, int32_t target, int32_t weapon);
float critical_multiplier(int32_t attacker, int32_t target, int32_t weapon);
// The resistance in percent against a damage type: 0 for generic damage and unknown types.
int32_t char_resistance(const char_record* c, int32_t damage_type);
// The attack time factor; an attack animation runs at trunc(speed x 10 + 1) ms per frame.
float char_attack_speed(const char_record* c);
int32_t char_armor_weight(const char_record* c);
int32_t char_light_armor_value(const char_record* c);
int32_t char_heavy_armor_value(const char_record* c);

// An item of class 1 or 2, or of class 5 and size 0: a shield may be used with it.
bool weapon_allows_shield(int32_t item);
// The first equipped shield's item id, or -1.
int32_t char_shield_item(const char_record* c);
// The damage-type byte of the weapon entry, else the class's default damage type.
int32_t char_damage_type(const char_record* c);
// The damage-type byte of the weapon entry, or -1 without a weapon.
int32_t char_weapon_entry_damage_type(const char_record* c);
// The factor (arg0 - 40) x 0.05 of an attunement property.
float property_factor(const item_property& property);
// The product of the property factors of `code` over the character's equipped attunements that
// pass their requirements for it.
float attunement_property_factor(const char_record* c, uint16_t code);
// The item of equipped entry i, or null for an entry that is not equipped or whose id is outside
// the item table.
const item_proto* equipped_item(const char_record* c, int32_t i);
