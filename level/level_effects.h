// Level effects: small timed animations of a level (a pulsing light, a pulsing ambient light, a
// turning mesh), stepped once per frame; and the effect prototypes, a global table of named
// bindings from an effect name to an object prototype template read from "data/efects/<name>.pr".
#pragma once

#include "core/table_file_state.h"

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_level_effect_slots = 100;
constexpr uint32_t k_level_effect_size = 76;

// Kinds.
constexpr uint32_t k_effect_counter = 1;        // "rotation": the counter grows by 1
constexpr uint32_t k_effect_add_light = 2;      // no action
constexpr uint32_t k_effect_x_move = 3;         // no action
constexpr uint32_t k_effect_y_move = 4;         // no action
constexpr uint32_t k_effect_light_pulse = 5;    // "dyn. light": the target light's colour pulses
constexpr uint32_t k_effect_ambient_pulse = 6;  // "dyn. ambient light"
constexpr uint32_t k_effect_flashlight = 7;     // no action
constexpr uint32_t k_effect_turn_x = 8;         // the first angle of the target entity's first object
constexpr uint32_t k_effect_turn_y = 9;         // its second angle
constexpr uint32_t k_effect_turn_z = 10;        // its third angle

// One channel of a pulsing colour.
struct effect_channel {
    float lower;
    float upper;
    float step;
};

struct level_effect {
    uint32_t active;          // 1 runs
    int32_t target;           // light slot (kind 5) or entity number (kinds 8 to 10)
    uint32_t kind;            // k_effect_*
    uint32_t next_tick;       // cleared when the section is read
    uint32_t period;          // ticks between steps
    int32_t direction[3];     // kinds 5 and 6: red, green, blue, 0 rising, 1 falling;
                              // kinds 8 to 10: direction[0] is the angle step in degrees
    int32_t editor_value;     // the effect editor's; not used by the stepping
    int32_t counter;          // kind 1
    effect_channel channel[3];  // red, green, blue
};
static_assert(sizeof(level_effect) == k_level_effect_size);
static_assert(offsetof(level_effect, target) == 4);
static_assert(offsetof(level_effect, kind) == 8);
static_assert(offsetof(level_effect, next_tick) == 12);
static_assert(offsetof(level_effect, period) == 16);
static_assert(offsetof(level_effect, direction) == 20);
static_assert(offsetof(level_effect, editor_value) == 32);
static_assert(offsetof(level_effect, counter) == 36);
static_assert(offsetof(level_effect, channel) == 40);

extern level_effect g_level_effects[k_level_effect_slots];
extern uint32_t g_level_effect_count;  // records 0 to count - 1 belong to the level

// One step, when the effect's next tick is not after g_ticks: the next tick becomes g_ticks +
// period and the kind's action runs. An effect whose light, entity or object does not exist
// only takes its next tick.
void update_level_effect(level_effect* effect);

// update_level_effect for every active record below the count; once per frame.
void update_level_effects();

// The level effects section of a level map file: u32 record size 76, u32 count, count records.
// Both do nothing for a null stream and return false when the section is incomplete.
//
// The reader sets the count to 0, logs "ziadne efecty" when the record size is missing, and
// otherwise reads each record with the stored size over a zeroed slot (the rest of a longer
// record is skipped) and clears its next tick. Of a count above 100 the first 100 records are
// kept and the others skipped. When the data ends early the count covers the records read whole.
bool write_level_effects(packed_stream* stream);
bool read_level_effects(packed_stream* stream);

constexpr int k_efect_proto_slots = 100;
constexpr uint32_t k_efect_proto_size = 28;
constexpr int k_efect_name_size = 20;
constexpr uint16_t k_efect_no_slot = 0xFFFF;

struct efect_proto_entry {
    char name[k_efect_name_size];  // the template is "data/efects/" + name + ".pr"
    uint16_t slot;                 // object prototype slot of the template, 1000 to 2999; 0xFFFF none
    uint8_t pad22[2];
    float scale;
};
static_assert(sizeof(efect_proto_entry) == k_efect_proto_size);
static_assert(offsetof(efect_proto_entry, slot) == 20);
static_assert(offsetof(efect_proto_entry, scale) == 24);

extern efect_proto_entry g_efect_protos[k_efect_proto_slots];
extern int16_t g_efect_proto_count;

// Name "new", no slot, scale 1.0.
void init_efect_proto_entry(efect_proto_entry* entry);

// Loads the entry's template: the prototype it held is freed, and the first free template slot
// (kind -1, from 1000 to 2999) takes "data/efects/<name>.pr". The entry keeps no slot when no
// slot is free, the file is missing or cannot be read whole, or the name would leave the folder.
void attach_efect_proto(efect_proto_entry* entry);

inline constexpr const char* k_efect_protos_file = "global/efects.dat";

// "global/efects.dat", a packed file: i16 count, u32 record size 28, count records. The loader
// reads at most 100 records (a negative count is 0), each with the stored size; names are
// terminated, the stored slot is ignored and every template attached. A missing file leaves the
// table empty. A missing or damaged file is logged by name. The saver writes the count and the
// records below it; it replaces the file only after a complete write and returns false (logged,
// old file kept) otherwise.
void load_efect_protos();
bool save_efect_protos();

// Whether the table may be written back over its file: read whole when the loader kept every
// stored record in full or the file is missing (not for a damaged file); the editor marks its
// edits.
extern table_file_state g_efect_protos_file;
