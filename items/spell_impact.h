// What a spell does besides flying: the explosions, light, follow-up spell and sound where it
// ends, the cast effect at a caster, and the choice of a cast or explosion sound.
//
// Spell objects are world objects whose side is their layer, whose height is their depth offset
// (the sort value an interior raises), whose pulse values are their three colour factors, and
// which carry the spell-object flag and are depth-sorted.
#pragma once

#include <cstdint>

struct spell_proto;
struct world_object;

constexpr float k_spell_pulse = 2.0f;  // the colour factors of spell objects

// The impact of spell `spell_id` (the record `spell`) at (x, y) with `side` as every object's
// layer; character is a slot, negative for none. In order:
// 1. third explosion: its count of objects (0 stored back as 1), lifetime its duration, height
//    cast effect shift + 100 raised by the character's interior, the fifth integer of the first
//    entry 2;
// 2. second explosion: owner the character, height the character's interior;
// 3. first explosion: owner the character, height 0;
// 4. a light on the last object added, only for a LINE spell that is a light while lights are on
//    (no object added, or the light table full: no light);
// 5. the hit spell (id + 1 in the record, 0 none) cast at (x, y) by the same character toward
//    (0, 0), unless that id lies outside the spell table;
// 6. the explosion sound at (x, y).
// Each object: alpha 1, the scene's scale times its group's scale, pulse values 2 (not the third
// explosion's). A group whose slot holds no prototype spawns nothing. A count of 0 is stored back as
// 1 into the table's record when `spell` is that record. Objects that cannot be added end the
// group (logged).
void spell_impact(const spell_proto& spell, int16_t character, uint32_t spell_id, float x, float y, uint8_t side);

// The cast effect: its count of objects (0 stored back as 1) at (x, y - cast effect shift), alpha
// 1, scale the scene's scale times the cast effect scale, pulse values 2. A mesh gets the mesh
// set-up of the caster; another prototype the fifth integer of the first entry 2 and the height
// cast effect shift (0 for a particle emitter) raised by the caster's interior. Then: owner the
// caster (negative: none), lifetime the cast effect duration, layer `side` and a fade-out entry.
// spell_id is not used.
void spawn_cast_particles(const spell_proto& spell, int16_t caster, uint32_t spell_id, float x, float y,
                          uint8_t side);

// One of the spell's cast (explosion) sounds, chosen by game_rand() modulo their count (at most
// five), at (x, y); nothing without sounds.
void play_cast_sound(const spell_proto& spell, float x, float y);
void play_explosion_sound(const spell_proto& spell, float x, float y);

// Shared by the spell objects.
// A new object of prototype slot `slot` at (x, y), alpha 1, the given scale, flagged as a spell
// object and depth-sorted, an emitter when the prototype is a particle prototype; -1 (nothing
// added, logged when the array is full) for a slot that holds no prototype.
int32_t add_spell_object(int32_t slot, float x, float y, float scale);
// The sort value of the interior (entity of type 1) character stands in; 0 for none or no such
// character.
float char_interior_height(int32_t character);
// A mesh effect: pitch 45, roll 0, the scale of the caster's world object (1 without one), a
// fade-out and a model frame entry, then by rotation kind a face-like-owner entry (CHAR) or a yaw
// spin of +1 or -1 (+ROT, -ROT).
void set_up_spell_mesh(world_object& object, const spell_proto& spell, int32_t caster);
// Appends an entry of the kind to the object (up to five), its parameters as the object holds
// them (zero in a new object); its index, or -1 when full.
int32_t add_object_entry(world_object& object, uint8_t kind);

// The adapters the missile update and the character rules call with spell ids: ids outside the
// spell table are ignored.
void spell_impact_of(int32_t spell, int32_t hit, float x, float y, int32_t layer);
void spawn_cast_particles_of(int32_t spell, int32_t caster, float x, float y, float layer);
