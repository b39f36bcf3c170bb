// How a worn item changes a character: its models replace a body part in every clip, its EFECTS
// recolour, reskin or swap parts, light the character, attach effects to its body and cast
// spells when it is equipped or when the character attacks. The character's equipment passes call
// these with the item's id; an id outside the item table does nothing.
//
// Every argument read from an EFECTS entry is checked before use, and an entry with a bad one is
// skipped (logged): body parts 0 to 23, effect prototypes 0 to 99, vertices below the model's
// vertex count, model numbers below the registry's count (-1 for none), spell ids in the spell
// table.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

// What the item looks need of the level: the object prototype slot of effect prototype n (0 to
// 99), 0xFFFF none. Filled at start-up; while it is empty no attached effect is spawned.
struct item_look_links {
    uint16_t (*efect_proto_slot)(int32_t n);
};
extern item_look_links g_item_look_links;

struct item_property;

// Where vertex `vertex` of the character's model for body part `part` (0 to 23) lies, from its
// world object's position and pose; false when the part has no model, the model no such vertex or
// the character no world object.
bool char_vertex_position(const char_record& c, int32_t part, int32_t vertex, float* x, float* y);

// The EFECTS entries of item id and their count (0 to 16); null and 0 for an id outside the table.
const item_property* item_efects(int32_t item, int32_t* count);
// A spell id in the spell table.
bool is_spell_id(int32_t spell);

// The body part an item of each class replaces, -1 none; classes 1 to 5 (weapons) also own parts
// 15 and 16.
constexpr int k_item_class_count = 27;
extern const int32_t g_item_class_body_part[k_item_class_count];
// The entry of the class, -1 for a class outside the table.
int32_t item_body_part(int32_t item_class);

// The 18 animation names, in the order property 24 numbers them.
constexpr int k_item_anim_count = 18;
extern const char* const k_item_anim_names[k_item_anim_count];
// The clip slot of the character for animation name n (0 to 17).
int16_t* item_anim_clip(char_record* c, int32_t n);

// Removes the item's models: its body part (and for a weapon parts 15 and 16) becomes none in
// every clip of the character that is not -1.
void clear_char_model_parts(int32_t item, char_record* c);
// Puts the item's models "3d/<appearance>/<set>/<clip>/<model>.3d" (part of the class),
// "<model>_e.3d" (part 15) and "<model>_g.3d" (part 16) into every clip of the character. A path
// found loaded in the model registry is taken from it; else an existing file is loaded into the
// registry (a free entry, or a new one below 4,999 entries). A missing file or a full registry
// leaves the clip's part as it was. An appearance or model name that would leave its folder ("..",
// "/", "\") loads nothing.
void build_char_model_set(int32_t item, char_record* c);
// The look properties in list order: 24 swaps a part's model while the current action and variant
// match its animation number (never in actions 7 and up), 25 colours one part, 26 every part, 27
// sets a part's skin, 33 swaps a part's model and restarts its frame and skin frame, 43 and 44 add
// to or take from the character's light.
void apply_item_looks(int32_t item, char_record* c);
// Only while the character has a world object: spawns the attached effects 28 (at a model
// vertex), 29 (at the character), 42 (at the first a3 vertices) as objects owned by the character
// that keep the item's id and have their attached-drawing flag set, and, with `cast_spells`,
// casts the equipment spells 61 from the character's position with an endless lifetime.
void attach_item_effects(int32_t item, char_record* c, int16_t id, bool cast_spells = true);
// Casts the spell of every entry of code 34 from the caster (its slot's low byte), with the
// spell's own durations. Returns how many it cast. The strikes of the machines call it for the
// item in the weapon location.
int32_t cast_item_attack_spells(int32_t item, int32_t caster);
