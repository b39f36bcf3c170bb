// What happens at a strike frame, shared by the machines: the focus weapon's casts by attunement
// tier, the strike properties of the equipped items and the melee blow with its on-hit effects.
// Spells go through the cast hooks of char_rule_links.h; the weapon's attack spells through the item
// looks' cast_item_attack_spells.
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

// How a machine's blow lands.
struct blow_rules {
    int32_t reach;                 // the target must be nearer than this
    bool reaction_when_idle_only;  // only a target in state 0 takes the hit reaction
    bool knock_back;               // with a weapon, property 35 knocks a target below 1 hit point back
};
// The blow on the character's target, when it is nearer than the rules' reach: the combat rules
// resolve it; a hit bleeds the target, marks the strike as landed and puts the target into its
// hit reaction (state 5 with the hit animation; by the rules only an idle one) and, by the rules,
// knocks it back (state 9). The on-hit properties 38 and 39 belong to the hit resolution, which
// applies them once per hit. A target slot out of the table is no target. Returns the damage dealt.
int32_t land_melee_blow(char_record* c, const blow_rules& rules);

// A due pulse of the damage-over-time slot: every 100 ticks while pulses are left, a bleed of
// strength 5, 15 or 25 by the kind (1 to 3) and effect damage of 0.1, 0.25 or 0.5 x dot_damage.
void pulse_damage_over_time(char_record* c);

// Properties 34 (cast_item_attack_spells: the spell of argument 1 from the character) and 36
// (camera shake) of the item in the weapon location. True when anything cast.
bool apply_weapon_strike_properties(char_record* c);

// The weapon's attack delay in ticks (`unarmed` without a weapon); with a weapon its attack sound
// plays at the character.
uint32_t weapon_swing_delay(const char_record& c, uint32_t unarmed);

// Faces the target and starts the attack that follows the turn: the combat stance for 400 ticks,
// the attack animation, state 6 into 4. The next decision (pending_target) comes after the
// class's attack pause and the weapon_swing_delay (0 unarmed).
void turn_to_strike(char_record* c, const char_record& target);

// Casts the character's selected spell from it: toward its target's position, or on itself
// without a target.
void cast_selected_spell_from(char_record* c);

// State 4 of the enemy and ordinary machines: the attack animation plays once. At the strike frame
// (in spell mode the spell's cast frame, else at_strike_frame): in melee mode the blow on the
// target (scaled reach, only an idle target reacts, no knock-back), the focus weapon's tiers and
// the weapon's properties 34 and 36; in spell mode the selected spell, when one is set (not 0).
// Then state 7. True when it struck this frame.
bool strike_at_frame(char_record* c);
