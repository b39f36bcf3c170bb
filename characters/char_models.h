// Character models: a character is drawn from 24 body-part models. Each clip (stand, walk,
// attack and so on) of a character is a folder of part models, "3d/<appearance>/<set>/<clip>/",
// that becomes a move prototype; its parts are indices into the model registry g_chardata,
// whose models (g_char_models, engine/models.h, index for index) characters share.
#pragma once

#include "characters/char_record.h"
#include "core/table_file_state.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct model;

// Body-part names as they appear in part file names: 0 head, 1 body, 2 larm, 3 rarm, 4 legs,
// 5 feet, 6 cloak, 7 wl, 8 wr, 9-12 spec1-spec4, 13 ahead, 14 abody, 15 alarm, 16 ararm,
// 17 alegs, 18 afeet, 19-23 spec5-spec9.
constexpr int k_body_part_name_size = 10;
extern const char k_body_part_names[k_body_parts][k_body_part_name_size];

// The model registry.
constexpr int k_chardata_capacity = 5000;
constexpr uint32_t k_chardata_append_limit = 4999;  // entries are appended only below this count
constexpr int k_chardata_text_size = 128;
constexpr uint32_t k_chardata_stored_name_size = 60;
constexpr uint32_t k_chardata_entry_size = 192;
constexpr const char* k_chardata_file = "global/chardata.dat";

struct chardata_entry {
    char name[k_chardata_text_size];  // files keep its first 60 bytes
    char path[k_chardata_text_size];  // the ".3d" file
    uint32_t loaded;                  // 0: free for reuse
};

extern chardata_entry g_chardata[k_chardata_capacity];
extern uint32_t g_chardata_count;  // entries in use, free ones among them

// A move prototype: the body-part settings of one clip of one character.
constexpr int k_move_proto_capacity = 9999;
constexpr uint32_t k_move_proto_size = 968;
constexpr int k_move_proto_name_size = 256;
constexpr const char* k_charpr_file = "global/charpr.dat";

struct char_move_proto {
    char name[k_move_proto_name_size];  // the clip folder followed by the character's slot
    uint8_t part_frame_start[k_body_parts];
    float part_values[5][k_body_parts];  // red, green, blue, alpha, scale per part
    int16_t part_model[k_body_parts];    // registry index, -1 none
    uint8_t part_mode[k_body_parts];
    float scale[3];
    int16_t frame_time;                  // 16 ms units per frame
    int16_t part_skin[k_body_parts];
    int16_t part_extra[k_body_parts];
    uint8_t part_extra_byte[k_body_parts];
    uint8_t reserved_966[2];
};
static_assert(sizeof(char_move_proto) == k_move_proto_size);
static_assert(offsetof(char_move_proto, part_frame_start) == 256);
static_assert(offsetof(char_move_proto, part_values) == 280);
static_assert(offsetof(char_move_proto, part_model) == 760);
static_assert(offsetof(char_move_proto, part_mode) == 808);
static_assert(offsetof(char_move_proto, scale) == 832);
static_assert(offsetof(char_move_proto, frame_time) == 844);
static_assert(offsetof(char_move_proto, part_skin) == 846);
static_assert(offsetof(char_move_proto, part_extra) == 894);
static_assert(offsetof(char_move_proto, part_extra_byte) == 942);

extern char_move_proto g_move_protos[k_move_proto_capacity];
extern int16_t g_move_proto_count;

// "global/chardata.dat" (packed): u32 count n, then n entries of a 60-byte name, a 128-byte path
// and a u32 loaded flag. Loading reads the first 5,000 entries (a larger count is logged and the
// rest skipped), then loads the model of every entry whose file exists and flags the others
// free ("%s could not find"); a path that would leave the working folder is flagged free too. A missing file leaves the registry as it was; a damaged one (cut
// short) too, with a log line. True when the file was read.
bool load_chardata();
// Writes the registry; the old file stays when a write fails. True when written.
bool write_chardata();
// Whether the registry and the move prototypes may be written back over their files: the
// registry is read whole when load_chardata took its file or the file is missing, and no longer
// once a level change empties it; the move prototypes are built from the model folders and never
// read from their file, so only an edit lets them replace it.
extern table_file_state g_chardata_file;
extern table_file_state g_charpr_file;

// The loaded registry entry whose path is `path`, or -1. Found through an index of the paths, so
// an entry written into the registry other than by these functions and load_chardata may be
// missed while the count stays the same; registry_entry_for finds it.
int32_t find_chardata_entry(const std::string& path);
// The registry entry of an existing model file: a loaded entry with the path, else the first free
// entry, else a new one while the registry holds fewer than 4,999, its model loaded from the
// file. -1 when the registry is full or the path does not fit an entry.
int32_t registry_entry_for(const std::string& path);

// The registry entry named `name`: the first loaded entry of that name, else the first entry of
// that name (a freed entry keeps its name, and the editors list only loaded ones); -1 for
// "nothing" (even when an entry is so named), -2 when no entry has the name.
int32_t find_chardata_by_name(const char* name);
// Whether registry entry `index` has `text` in its name; an empty text is in every name.
bool chardata_name_contains(uint32_t index, const char* text);

// Name "", every part without a model with frame byte 0, the five values 1.0, mode 0, skin 0,
// extra 1, extra byte 0; scales 1.0; frame time 4.
void init_move_proto(char_move_proto* proto);

// The move prototype of the clip `folder` (ending in "/") for the character: the one named
// folder + slot, else a new one (none past 9,999). Each body part whose file folder + part name +
// ".3d" exists gets the registry entry of that path: a loaded entry with the same path, else the
// first free entry, else a new one while the registry holds fewer than 4,999. For slot 0 the head
// and body come from "<part><variant>.3d" when the character's head or body variant is above 0
// and that file exists. The first line of folder + "ini" ("label number") sets the frame time.
// Returns the id, or -1 when no part has a model (a prototype appended for it is dropped again).
int32_t register_move_proto(const char* folder, const char_record& character);

// "global/charpr.dat" (packed): i16 count, u32 record size 968, the records. The reader takes the
// stored size of each record (shorter ones start from an initialised prototype, longer ones are
// cut), at most 9,999 records; names are terminated and a part model outside the registry's
// capacity becomes none. A count below 0 or a file cut short is refused with a log line and the
// table stays as it was.
bool write_charpr();
bool read_charpr();

// One move prototype for the editor (packed): u32 968, the record, then per part the 128-byte
// registry path of its model, or "null" padded with zeros. False for an id outside the table.
bool export_move_proto(const char* path, int32_t id);

// Loads animation set `set` of the character: nothing for set 0, nor for its current set unless
// forced. Otherwise the clip slots are cleared, anim_set becomes set and every clip folder of
// "3d/<appearance>/<set>/" is registered in the order stand1-2, move1-2, death1-2, hit1-2,
// attack1-4, spell1-3, spec1-6. An appearance that is not a plain folder name loads no clip.
void load_char_anims(char_record* character, int32_t set, bool force);

// The actions of set_char_anim.
enum char_anim_action : int32_t {
    k_action_stand = 0,
    k_action_move = 1,
    k_action_attack = 2,
    k_action_death = 3,
    k_action_hit = 4,
    k_action_spell = 5,
    k_action_special = 6,
};

// Switches the character to action 0 stand, 1 move, 2 attack, 3 death, 4 hit, 5 spell or
// 6 special: nothing for an action above 6, nor without restart while the action already runs.
// The action's variant is chosen (attack and hit at random among existing clips unless
// keep_variant) and its clip started; death and hit always restart. A variant without a clip
// leaves the character's parts as they were.
void set_char_anim(char_record* character, int32_t action, int32_t restart, int32_t keep_variant);

// The model of a registry entry, or null when the index is not a loaded entry.
model* char_part_model(int32_t index);

// A level change: every move prototype is initialised and the table emptied, the registry is
// emptied (its models are freed by the caller) and no longer holds its file, and every character
// below the count loses its body-part models.
void release_char_models();

// Of every character from slot 1, each body part 2 to 23 of the move prototypes its clips name
// loses its model when the model's path does not contain the character's appearance (the
// prototypes are shared, so every character using them loses the part).
void prune_foreign_part_models();
