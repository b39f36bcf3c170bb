// What happens at a strike frame, shared by the machines: the focus weapon's casts by attunement
// tier, the strike properties of the equipped items and the melee blow with its on-hit effects.
// Spells go through the cast hooks of char_rule_links.h.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

// Item properties acted on at a strike.
enum strike_property : uint16_t {
    k_prop_cast_on_attack = 34,       // argument 1: the spell
    k_prop_knock_back = 35,           // a killed target slides away
    k_prop_shake_on_attack = 36,      // arguments 1 to 3: x and y amplitude - 1, ticks / 10 - 1
    k_prop_cast_on_hit = 38,          // argument 1: the spell
    k_prop_shake_on_hit = 39,         // as 36
    k_prop_cast_on_attunement = 68,   // as 34; on an attunement only when its tier cast
};

// With a focus weapon (item class focus): casts the spell of the highest attunement tier of the
// weapon's element (damage types 4 to 7) that the character holds and whose cooldown has passed,
// starting that cooldown; else the element's base spell. Returns the attunement of the tier that
// cast, -1 when none did. A weapon of another damage type logs "wrong focus element!" and casts
// nothing. Nothing (-1) without a focus weapon.
int32_t cast_focus_weapon(char_record* c);

// The properties of every equipped item (locations 16 to 254): 34 casts, 68 casts (on an
// attunement only when it is `focus_attunement`), 36 shakes the camera. True when anything cast.
bool apply_strike_properties(char_record* c, int32_t focus_attunement);

// The blow on the character's target, when it is still in reach: the combat rules resolve it;
// a hit bleeds the target, marks the strike as landed and puts the target into its hit reaction;
// with a weapon, a target brought below 1 hit point is knocked back by property 35, and properties
// 38 and 39 cast and shake. Returns the damage dealt.
int32_t land_melee_blow(char_record* c);

// The camera shake of properties 36 and 39 from their first three arguments.
void shake_camera_by_property(const int16_t* args);
