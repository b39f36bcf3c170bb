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

// With a weapon: property 34 of the weapon location casts (cast_spell from the character),
// 36 shakes the camera. Other locations and property 68 do nothing here.
void apply_weapon_strike_properties(char_record* c);

// How a blow that hits acts on its target.
struct melee_blow_rules {
    bool hit_reaction_when_idle_only;  // else every hit target goes into its hit reaction
    bool knock_back;                   // with a weapon, property 35 knocks a target below 1 hit point back
};
constexpr melee_blow_rules k_player_blow = {false, true};

// The blow on the character's target, when it is still in reach: the combat rules resolve it;
// a hit bleeds the target, marks the strike as landed and puts the target into its hit reaction
// (state 5 with the hit animation) and, by the rules, knocks it back (state 9). The on-hit
// properties 38 and 39 belong to the hit resolution, which applies them once per hit. Returns the
// damage dealt.
int32_t land_melee_blow(char_record* c, const melee_blow_rules& rules = k_player_blow);

// State 5: once the reference part shows its last frame, blood at the character, the stand
// animation and state 0 with nothing pending; the next blow may follow at once.
void hit_reaction_step(char_record* c);

// A due pulse of the damage-over-time slot: every 100 ticks while pulses are left, a bleed of
// strength 5, 15 or 25 by the kind (1 to 3) and effect damage of 0.1, 0.25 or 0.5 x dot_damage.
void pulse_damage_over_time(char_record* c);
