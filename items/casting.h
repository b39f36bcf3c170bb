// Casting: the one entry point for every spell, shot and special attack. A cast applies the
// spell's caster effects and area damage at once and spawns its missiles, glows, companions and
// lights as world objects that the behaviour step of world/object_behaviour.h flies and ends with
// the spell's impact.
#pragma once

#include <cstdint>

struct missile_spell;
struct spell_proto;

// Casts nested deeper than this (a hit spell naming itself, a cycle of hit spells) are refused.
constexpr int k_cast_depth_limit = 8;
// The most casts one outermost cast sets off, itself included (a cast whose item effects cast
// again, several per level, would otherwise grow without bound within the depth); the rest are
// refused, logged once.
constexpr int k_cast_chain_limit = 64;
// The most objects one cast adds (the counts of a record allow some 40 million); past it the
// cast stops and logs.
constexpr int32_t k_cast_object_limit = 20000;
// The lasting marks of objects cast with lifetime -1: 6 for this spell id, 5 for any other.
constexpr int32_t k_lasting_spell = 64;
constexpr uint8_t k_lasting_mark = 5;
constexpr uint8_t k_lasting_mark_special = 6;
// Radii of the two area kinds (CLOSEDAM, FARDAM) and the inventory location of an item effect.
constexpr float k_close_damage_radius = 200.0f;
constexpr float k_far_damage_radius = 1000.0f;
constexpr uint8_t k_item_effect_location = 66;
constexpr int32_t k_stun_text = 95;      // UI text after the name of a stunned target
constexpr int32_t k_line_objects = 50;   // objects a LINE spell lays along its direction
constexpr uint8_t k_no_side = 24;        // the side of objects cast without a caster

// The facing in whole degrees from (x0, y0) toward (x1, y1): t = trunc(-atan((x0 - x1) / (y0 -
// y1)) in degrees), then -t when y0 < y1, else 180 - t. The arc tangent term is 0 for coincident
// points and -90 or +90 by the sign of x0 - x1 for equal y, so every pair of points has one; a
// term that is not a number (from points that are not numbers, or infinite) counts as 0.
// Forward is (sin a, cos a).
int32_t spell_direction(float x0, float y0, float x1, float y1);

// Casts the record (its id spell_id, stored in every missile) from caster (a character slot, or
// negative: from the point (x0, y0)) toward (x1, y1). lifetime: of every spawned object; 0 the
// record's own durations; -1 endless, the objects marked lasting. no_damage nonzero: no missile
// carries the damage flag.
// In order: the direction (the caster object's facing, else spell_direction); with a caster its
// item effect (given at location 66), the camera shake and, for CLOSEDAM and FARDAM, the area
// damage; then, for a record with a missile prototype, the volley of missiles with their glows,
// companions and lights, and the cast sound at the last start position. Counts of 0 that the
// record stores back as 1 are written into it, so the record must be a writable one (a table
// slot or a caller's copy).
// A caster slot outside the table or without a world object casts as from the point. A record
// without a missile prototype spawns nothing after the area damage. When no object can be
// added, or the cast has added k_cast_object_limit, the cast stops there and logs. Casts nested
// more than k_cast_depth_limit deep (through impacts), and casts past k_cast_chain_limit set off
// by one outermost cast, do nothing but log.
void cast_spell(const spell_proto& spell, int16_t caster, int32_t spell_id, float x0, float y0, float x1, float y1,
                int16_t lifetime, int32_t no_damage);

// The entry points of the character rules and the missile update: cast_spell of the table's
// record; an id outside the table is ignored.
void cast_spell_by_id(int32_t spell, int32_t caster, float x0, float y0, float x1, float y1, int16_t lifetime,
                      int32_t no_damage);
// Every spell named "Learn attunement" (case ignored) is cast on the character at its position,
// with its cast effect first. Nothing for a slot outside the table.
void cast_learn_attunement(int32_t slot);
// What a missile of spell id reads of its record; false for an id outside the table.
bool missile_spell_values(int32_t spell, missile_spell* values);

// How deep the running cast is nested (0 outside any cast).
int cast_depth();
