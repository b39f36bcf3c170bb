// How characters lose hit points: a melee blow at the strike frame, a hit by a missile, spell,
// item or riposte, effect damage, and the damage-over-time queue. Each returns the damage dealt,
// 0 when the attack was refused, blocked or dodged; a connecting attack deals at least 1.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

int32_t resolve_melee_attack(char_record* attacker, int32_t target);
// attacker: a slot, or a negative fixed damage of -attacker with no attacker. weapon: an item id
// or -1. source: the attunement whose on-hit properties apply, or -1.
int32_t char_take_hit(char_record* defender, int32_t attacker, int32_t weapon, int32_t damage_type,
                      int32_t percent, int32_t source);
// source: the slot credited with a kill, or -1.
int32_t apply_effect_damage(char_record* c, int32_t amount, int32_t damage_type, int32_t source);
// Appends count copies of (amount, type, spell or 255) while the queue stays below 16 entries.
void queue_timed_damage(char_record* c, int32_t amount, int32_t damage_type, int32_t spell, int32_t count);
// Each frame for a living character: the player's aura, then one queued entry every 100 ticks.
void update_timed_damage(char_record* c);
