// Behaviour entries of world objects: up to five per object that animate it without code of its
// owner (swings of alpha, scale and colour, spins, a light that follows it, a model frame cycle,
// a fade-out, a facing copied from its owner, a ground item's back-link, a trail of positions and
// the flight of a spell missile with its hits). The behaviour step runs for every used object
// once per frame, at most every 2 ticks, counts its lifetime down in game time and ends it.
#pragma once

#include <cstddef>
#include <cstdint>

struct world_object;

// Entry kinds. Entry k keeps five floats a to e in entry_floats[k] and five integers p to t in
// entry_ints[k]; other kinds do nothing.
constexpr uint8_t k_entry_alpha_swing = 0;    // a minimum, b maximum, c step; p 1 while falling
constexpr uint8_t k_entry_scale_swing = 1;    // as the alpha swing
constexpr uint8_t k_entry_spin_a = 2;         // p degrees per step
constexpr uint8_t k_entry_spin_b = 3;
constexpr uint8_t k_entry_spin_c = 4;
constexpr uint8_t k_entry_light_follow = 5;   // p light slot
constexpr uint8_t k_entry_red_swing = 6;      // as the alpha swing
constexpr uint8_t k_entry_green_swing = 7;
constexpr uint8_t k_entry_blue_swing = 8;
constexpr uint8_t k_entry_model_frames = 9;   // p ticks per frame, s current frame, t next tick
// p 1 when the object is the body of character q; t a character the camera may be following.
constexpr uint8_t k_entry_fade_out = 10;
constexpr uint8_t k_entry_face_owner = 11;
constexpr uint8_t k_entry_ground_item = 12;   // p ground item
// a, b step vector (motion 1: a is the turn in radians); p spell, q caster slot (below 0 none),
// r motion kind, s weapon value handed to the hit, t next re-cast tick.
constexpr uint8_t k_entry_missile = 20;
constexpr uint8_t k_entry_trail = 128;        // a, b a remembered position

// Missile motion kinds.
constexpr int32_t k_missile_straight = 0;
constexpr int32_t k_missile_rotating = 1;  // turns about the caster's world object
constexpr int32_t k_missile_sinusoid = 4;
constexpr int32_t k_missile_global = 5;    // stays, and casts its spell again every speed ticks

constexpr int32_t k_missile_max_elapsed = 30;  // a longer gap counts as 0 elapsed ticks

// What a missile reads of its spell.
struct missile_spell {
    uint8_t speed;            // sub-steps per behaviour step, plus half of it per elapsed tick
    uint8_t damage_kind;      // 0: a hit deals damage
    uint8_t blood_threshold;  // above 3: a hit draws blood
    uint8_t stun_min;         // seconds
    uint8_t stun_max;         // 0: no stun
    uint16_t damage_percent;
    int32_t attunement;       // the attunement item bound to the spell, -1 none
};

// What the behaviour entries need of spells and ground items, filled by the shell at start-up.
// While a member is empty (a tool or test that links none) a missile entry does nothing (its
// object still ends with its lifetime, without an impact) and a ground-item link is not kept;
// each skip is logged once.
struct behaviour_links {
    // The values of a spell id; false for an id the spell table does not hold.
    bool (*missile_spell)(int32_t spell, missile_spell* values);
    // The spell's impact at (x, y) on the layer: the hit character's slot, or -1 for none.
    void (*spell_impact)(int32_t spell, int32_t hit, float x, float y, int32_t layer);
    // Casts the spell from a caster slot (-1 none) at (x0, y0) toward (x1, y1).
    void (*cast_spell)(int32_t spell, int32_t caster, float x0, float y0, float x1, float y1, int16_t lifetime,
                       int32_t flag);
    // Ground items 0 to count - 1 exist; set_ground_item_object records an item's world object.
    int32_t (*ground_item_count)();
    void (*set_ground_item_object)(int32_t item, int32_t index);
};
extern behaviour_links g_behaviour_links;

// The behaviour step, when the tick counter has passed the object's next-behaviour tick. It
// stands for the steps of game time since the last one (take_due_steps of
// world/object_draw_internal.h: one at 60 updates a second, more in a slower frame):
// - The lifetime (unless -1) falls by one a step while above 0. Below 1 the lights of light-follow
//   entries fade out and, unless the first entry is a fade-out, the object ends: each missile
//   entry of an object with the impact flag triggers its spell's impact, with the hit character
//   (lifetime -2 - s: slot s) or -1, and the object is freed.
// - A first entry of kind trail makes the entries a trail of the last four positions, oldest
//   first; otherwise every entry runs in order: swings and spins once a step, the fade-out once
//   for each step after the lifetime ran out, the others once. A missile tests the movement map
//   and the characters once, then flies speed + speed x elapsed / 2 sub-steps (elapsed ticks
//   since the due tick, 0 when negative or above 30) while its lifetime is above 0.
// Light slots, ground items, spells and character slots outside their tables are skipped, and so
// is an object index that lies outside the array. index is the object's place in g_objects (0
// for the editor's brush preview, which lies outside it). Hooks may grow the array; the step
// finds an object of the array again by its index.
void update_missile_object(world_object* object, int32_t index);

// Before `count` new emitters with a lifetime are added: the oldest live ones end, so that with
// the new ones no more than the limit of the object pass live (world/object_draw_internal.h).
void make_room_for_timed_emitters(size_t count);
