// The spell table: every spell, shot and special attack is a 428-byte spell_proto, its id the
// index in g_spell_protos; "global/spells.dat" holds the table, and loading it places each
// spell's effect prototypes in the template slots and loads its cast and explosion sounds.
#pragma once

#include "core/table_file_state.h"

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_spell_slots = 200;
constexpr uint32_t k_spell_proto_size = 428;
constexpr int k_spell_sounds = 5;
constexpr int k_spell_levels = 4;
constexpr int k_spell_name_size = 30;
constexpr int16_t k_spell_no_slot = -1;
constexpr int16_t k_spell_min_damage_percent = 5;  // a stored percent below this loads as 100

enum spell_school : uint8_t {
    k_school_fire = 0,
    k_school_water = 1,
    k_school_air = 2,
    k_school_earth = 3,
    k_school_arrows = 4,
    k_school_death = 5,
};

enum spell_motion : uint8_t {
    k_motion_directional = 0,
    k_motion_rotating = 1,
    k_motion_stational = 2,
    k_motion_line = 3,
    k_motion_sinusoid = 4,
    k_motion_global = 5,
    k_motion_bezier = 6,
    k_motion_lightning = 7,
};

enum spell_spread : uint8_t {
    k_spread_linear = 0,
    k_spread_circular = 1,
    k_spread_random = 2,
    k_spread_seeker = 3,
};

enum spell_damage_kind : uint8_t {
    k_spell_damage = 0,
    k_spell_no_damage = 1,
    k_spell_heal_self = 2,
    k_spell_heal_other = 3,
    k_spell_close_damage = 4,
    k_spell_far_damage = 5,
};

enum spell_rotation : uint8_t {
    k_rotation_none = 0,
    k_rotation_char = 1,
    k_rotation_plus = 2,
    k_rotation_minus = 3,
};

// The record, field for field as "global/spells.dat" stores it (little-endian). Fields marked
// run time are rebuilt by the loader. Effect slots are object prototype template slots (1000 to
// 2999) or -1. Counts of 0 marked "0 counts as 1" mean one object. Padding and unused bytes are
// kept and written back as read.
struct spell_proto {
    char name[k_spell_name_size];  // key name; also "data/spell/<name>.txt"
    uint8_t school;                // spell_school; above 3 a hit draws blood
    uint8_t pad_31;
    int16_t missile_slot;          // run time ("bs_"); -1: no missile
    int16_t explosion_slot;        // run time ("e_")
    uint16_t pause;                // ticks the caster waits before it may cast again
    uint16_t duration;             // a missile's lifetime when the caster gives none
    uint16_t explosion_duration;
    uint16_t pad_42;
    uint32_t is_light;             // nonzero: the cast and a LINE impact carry a light
    float light_colour[3];
    uint8_t speed;                 // missile speed (STATIONAL, LINE); GLOBAL: ticks between casts
    uint8_t pad_61[3];
    float explosion_scale;
    int16_t damage_percent;        // handed to the hit resolution for every hit
    int16_t dice_sides;            // tooltip only
    int16_t damage_bonus;          // tooltip only
    int16_t mana_cost;             // paid per cast
    uint8_t phase;                 // animation frame at which a caster releases the spell
    uint8_t pad_77;
    int16_t cast_effect_slot;      // run time ("e2_")
    uint16_t cast_effect_duration;
    uint16_t pad_82;
    float cast_effect_scale;
    int16_t cast_effect_shift;     // height of the cast effect; base height of the third explosion
    uint8_t motion;                // spell_motion
    uint8_t pad_91;
    uint32_t moves_with_caster;
    int16_t height;
    int16_t side_offset;           // GLOBAL: half-width of the rain area
    int16_t forward_offset;        // ROTATING: orbit radius; GLOBAL: half-height of the rain area
    uint16_t pad_102;
    float rotation_speed;          // ROTATING
    uint8_t spread;                // spell_spread
    uint8_t action_anim;           // editor data, 0 to 4
    uint16_t pad_110;
    uint32_t cast_sound_count;     // run time, 0 to 5
    uint32_t cast_sounds[k_spell_sounds];  // run time sample slots
    uint8_t unused_136[12];
    char sound_name[k_spell_name_size];  // base of "c_<name><k>" and "e_<name><k>"
    int16_t glow_slot;             // run time ("e3_")
    uint16_t glow_duration;
    uint16_t pad_182;
    float glow_scale;
    uint8_t glow_count;            // 0 counts as 1
    uint8_t missiles_per_direction;  // 0 counts as 1 (stored back as 1)
    uint8_t explosion_count;       // 0 counts as 1 (stored back)
    uint8_t cast_effect_count;     // 0 counts as 1 (stored back)
    uint8_t damage_kind;           // spell_damage_kind
    uint8_t rotation;              // spell_rotation (mesh effects)
    uint8_t volley_size;           // n: directions -n to n - 1; 0 one direction
    uint8_t volley_step;           // degrees or units between directions, by spread
    int16_t third_explosion_slot;  // run time ("ee_")
    uint16_t third_explosion_duration;
    float third_explosion_scale;
    uint8_t third_explosion_count;  // 0 counts as 1 (stored back)
    uint8_t pad_205;
    int16_t second_explosion_slot;  // run time ("e0_")
    uint16_t second_explosion_duration;
    uint16_t pad_210;
    float second_explosion_scale;
    uint8_t second_explosion_count;  // 0 counts as 1 (stored back)
    char effect_key[k_spell_name_size];  // what the effect prototype files are named after
    char icon[k_spell_name_size];
    uint8_t pad_277;
    uint16_t hit_spell;            // 0 none, else the id + 1 of a spell cast at the impact
    uint8_t level;                 // editor data
    uint8_t pad_281;
    int16_t damage_per_level[k_spell_levels];  // editor data
    uint8_t unused_290[8];
    int16_t number_per_level[k_spell_levels];  // editor data
    uint8_t unused_306[8];
    int16_t step_per_level[k_spell_levels];    // editor data
    uint8_t unused_322[8];
    int16_t cost_per_level[k_spell_levels];    // editor data
    uint8_t unused_338[8];
    uint16_t spread_per_level[k_spell_levels];  // editor data
    uint8_t unused_354[10];
    int16_t item_effect;           // item id (class 19) given to the caster on every cast; -1 none
    int16_t effect_per_level[k_spell_levels];  // editor data: item ids, -1 none
    uint8_t unused_374[8];
    int16_t companion_slot;        // run time ("strela2_"): flies with each missile
    uint8_t stun_min;              // seconds
    uint8_t stun_max;              // 0: no stun
    uint16_t pad_386;
    uint32_t explosion_sound_count;  // run time, 0 to 5
    uint32_t explosion_sounds[k_spell_sounds];  // run time sample slots
    uint8_t unused_412[12];
    uint8_t quake_amplitude;       // camera shake on both axes
    uint8_t quake_length;          // 0 no shake; lasts ten times this in ticks
    uint16_t pad_426;
};
static_assert(sizeof(spell_proto) == k_spell_proto_size);
static_assert(offsetof(spell_proto, school) == 30);
static_assert(offsetof(spell_proto, pad_31) == 31);
static_assert(offsetof(spell_proto, missile_slot) == 32);
static_assert(offsetof(spell_proto, explosion_slot) == 34);
static_assert(offsetof(spell_proto, pause) == 36);
static_assert(offsetof(spell_proto, duration) == 38);
static_assert(offsetof(spell_proto, explosion_duration) == 40);
static_assert(offsetof(spell_proto, pad_42) == 42);
static_assert(offsetof(spell_proto, is_light) == 44);
static_assert(offsetof(spell_proto, light_colour) == 48);
static_assert(offsetof(spell_proto, speed) == 60);
static_assert(offsetof(spell_proto, pad_61) == 61);
static_assert(offsetof(spell_proto, explosion_scale) == 64);
static_assert(offsetof(spell_proto, damage_percent) == 68);
static_assert(offsetof(spell_proto, dice_sides) == 70);
static_assert(offsetof(spell_proto, damage_bonus) == 72);
static_assert(offsetof(spell_proto, mana_cost) == 74);
static_assert(offsetof(spell_proto, phase) == 76);
static_assert(offsetof(spell_proto, pad_77) == 77);
static_assert(offsetof(spell_proto, cast_effect_slot) == 78);
static_assert(offsetof(spell_proto, cast_effect_duration) == 80);
static_assert(offsetof(spell_proto, pad_82) == 82);
static_assert(offsetof(spell_proto, cast_effect_scale) == 84);
static_assert(offsetof(spell_proto, cast_effect_shift) == 88);
static_assert(offsetof(spell_proto, motion) == 90);
static_assert(offsetof(spell_proto, pad_91) == 91);
static_assert(offsetof(spell_proto, moves_with_caster) == 92);
static_assert(offsetof(spell_proto, height) == 96);
static_assert(offsetof(spell_proto, side_offset) == 98);
static_assert(offsetof(spell_proto, forward_offset) == 100);
static_assert(offsetof(spell_proto, pad_102) == 102);
static_assert(offsetof(spell_proto, rotation_speed) == 104);
static_assert(offsetof(spell_proto, spread) == 108);
static_assert(offsetof(spell_proto, action_anim) == 109);
static_assert(offsetof(spell_proto, pad_110) == 110);
static_assert(offsetof(spell_proto, cast_sound_count) == 112);
static_assert(offsetof(spell_proto, cast_sounds) == 116);
static_assert(offsetof(spell_proto, unused_136) == 136);
static_assert(offsetof(spell_proto, sound_name) == 148);
static_assert(offsetof(spell_proto, glow_slot) == 178);
static_assert(offsetof(spell_proto, glow_duration) == 180);
static_assert(offsetof(spell_proto, pad_182) == 182);
static_assert(offsetof(spell_proto, glow_scale) == 184);
static_assert(offsetof(spell_proto, glow_count) == 188);
static_assert(offsetof(spell_proto, missiles_per_direction) == 189);
static_assert(offsetof(spell_proto, explosion_count) == 190);
static_assert(offsetof(spell_proto, cast_effect_count) == 191);
static_assert(offsetof(spell_proto, damage_kind) == 192);
static_assert(offsetof(spell_proto, rotation) == 193);
static_assert(offsetof(spell_proto, volley_size) == 194);
static_assert(offsetof(spell_proto, volley_step) == 195);
static_assert(offsetof(spell_proto, third_explosion_slot) == 196);
static_assert(offsetof(spell_proto, third_explosion_duration) == 198);
static_assert(offsetof(spell_proto, third_explosion_scale) == 200);
static_assert(offsetof(spell_proto, third_explosion_count) == 204);
static_assert(offsetof(spell_proto, pad_205) == 205);
static_assert(offsetof(spell_proto, second_explosion_slot) == 206);
static_assert(offsetof(spell_proto, second_explosion_duration) == 208);
static_assert(offsetof(spell_proto, pad_210) == 210);
static_assert(offsetof(spell_proto, second_explosion_scale) == 212);
static_assert(offsetof(spell_proto, second_explosion_count) == 216);
static_assert(offsetof(spell_proto, effect_key) == 217);
static_assert(offsetof(spell_proto, icon) == 247);
static_assert(offsetof(spell_proto, pad_277) == 277);
static_assert(offsetof(spell_proto, hit_spell) == 278);
static_assert(offsetof(spell_proto, level) == 280);
static_assert(offsetof(spell_proto, pad_281) == 281);
static_assert(offsetof(spell_proto, damage_per_level) == 282);
static_assert(offsetof(spell_proto, unused_290) == 290);
static_assert(offsetof(spell_proto, number_per_level) == 298);
static_assert(offsetof(spell_proto, unused_306) == 306);
static_assert(offsetof(spell_proto, step_per_level) == 314);
static_assert(offsetof(spell_proto, unused_322) == 322);
static_assert(offsetof(spell_proto, cost_per_level) == 330);
static_assert(offsetof(spell_proto, unused_338) == 338);
static_assert(offsetof(spell_proto, spread_per_level) == 346);
static_assert(offsetof(spell_proto, unused_354) == 354);
static_assert(offsetof(spell_proto, item_effect) == 364);
static_assert(offsetof(spell_proto, effect_per_level) == 366);
static_assert(offsetof(spell_proto, unused_374) == 374);
static_assert(offsetof(spell_proto, companion_slot) == 382);
static_assert(offsetof(spell_proto, stun_min) == 384);
static_assert(offsetof(spell_proto, stun_max) == 385);
static_assert(offsetof(spell_proto, pad_386) == 386);
static_assert(offsetof(spell_proto, explosion_sound_count) == 388);
static_assert(offsetof(spell_proto, explosion_sounds) == 392);
static_assert(offsetof(spell_proto, unused_412) == 412);
static_assert(offsetof(spell_proto, quake_amplitude) == 424);
static_assert(offsetof(spell_proto, quake_length) == 425);
static_assert(offsetof(spell_proto, pad_426) == 426);

extern spell_proto g_spell_protos[k_spell_slots];  // zero at start-up
extern int32_t g_spell_proto_count;                // spell ids 0 to count - 1 are in use

// The record of spell id, or null for an id outside 0 to count - 1.
spell_proto* spell_proto_at(int32_t id);

// The seven effect slots, in loading order: missile, explosion, cast effect, glow, third and
// second explosion, companion.
constexpr int k_spell_effects = 7;
int16_t* spell_effect_slot(spell_proto& spell, int effect);

// "global/spells.dat" inside a packed stream: i32 count, i32 record size (428 when written), then
// count records. The reader takes the whole file or nothing: a missing head, a count below 0 or
// above 200 or data that ends early is logged and leaves the table
// (records and count) as it was. Each record is read with the stored size over what its slot
// held (a shorter record keeps the rest of the slot, the rest of a longer one is skipped); the
// slots from the count up keep what they held. Text fields are terminated. Nothing is loaded.
// The writer writes the records below the count (held to 0 to 200) whole. Both return false for
// a null stream or an incomplete read or write. `found`, when given, gets the count the head
// names and the records held whole.
bool read_spell_protos(packed_stream* stream, table_file_contents* found = nullptr);
bool write_spell_protos(packed_stream* stream);

// Reads "global/spells.dat" (a missing or refused file changes nothing; bytes after the records
// are reported and leave the file not read whole), then per record: the
// seven effect prototypes (load_spell_effects) and a damage percent below 5 made 100; then per
// record up to five cast sounds "c_<sound name><k>" and five explosion sounds "e_<sound
// name><k>", k from 0, each list stopping at the first that does not load. A sound name that is
// not a plain file name loads no sounds.
void load_spells();
inline constexpr const char* k_spells_file = "global/spells.dat";

// Whether the table may be written back over its file: not read whole while the last load_spells
// refused the file (the table does not hold what the file holds); the editor marks its edits.
extern table_file_state g_spells_file;

// Writes "global/spells.dat", replacing it only after a complete write, and clears its read-only
// attribute; false (logged, the old file kept) otherwise.
bool save_spells();

// A new spell: name "new", school 0, the six effect slots other than the companion -1, light
// colour white, speed 8, explosion, cast effect and glow scales 1.0; the rest stays.
void reset_spell_proto(spell_proto& spell);

// For each of the seven effects, the file "data/spell/<prefix><effect key>.pr" under the
// prototype key "<prefix-key>" (bs_<key>, <key>_e, <key>_e2 ... <key>_e6): the field becomes the
// template slot named with that key when one lies below the first free slot; else, when the file
// exists and reads into a prototype, the first free slot is filled from it, named, logged and
// taken; else -1 (a missing file named once in a run). So spells of one effect key share their
// slots and each file is read once. An effect key that is not a plain file name loads nothing
// (every field -1).
void load_spell_effects(spell_proto& spell);
// Frees the prototype of every effect slot from 1000 up (it becomes free) and sets those fields
// -1; fields below 1000 stay.
void free_spell_effects(spell_proto& spell);

// The attunement item id that spell id trains, or -1 (sixteen fixed pairs).
int32_t find_spell_attunement(int32_t spell);
// The attunement item id of that tier (0 to 3, the groups of that table) and element (0 fire,
// 1 water, 2 air, 3 earth), or -1 outside them.
int32_t element_attunement(int32_t tier, int32_t element);

// The first item id whose display name equals text exactly (case-sensitive), or -1.
int32_t find_item_proto_by_name(const char* text);

// The mana cost and pause (ticks) of spell id; false for an id outside the table.
bool spell_cost(int32_t spell, int32_t* mana_cost, uint32_t* pause);
// The animation frame at which spell id is released; false for an id outside the table.
bool spell_cast_frame(int32_t spell, int32_t* frame);
