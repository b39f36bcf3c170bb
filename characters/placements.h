// Character placements: the level's list of characters, each a creature file with the position,
// look, statistics and inventory that override the file's. This file holds the record, the
// level's list and the list's section of the level map file and of the per-level change file.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_placement_slots = 256;
constexpr uint32_t k_placement_record_size = 1800;
constexpr int k_placement_file_size = 20;
constexpr int k_placement_key_size = 22;
constexpr int k_placement_display_size = 60;
constexpr int k_placement_script_flags = 8;
constexpr int k_placement_inventory = 200;
constexpr int16_t k_placement_keep_points = -100;  // hp, mana, hp_ceiling: keep the creature file's
constexpr int32_t k_placement_keep_speeds = -1;    // run speed: keep the creature file's speeds
constexpr const char* k_creature_folder = "data/creature/";

struct char_placement {
    char creature_file[k_placement_file_size];  // file name in "data/creature/"
    float x;                     // world position
    float y;
    float object_alpha;
    float scale;                 // the character's scale_x and scale_y
    float colour[3];             // the world object's red, green, blue
    int16_t angle;               // the world object's three angle values
    int16_t angle2;
    int16_t angle3;
    int16_t char_slot;           // slot of the live character, -1 none
    int16_t hp;                  // -100 keeps the creature file's
    int16_t mana;                // -100 keeps the creature file's
    int16_t script_flags[k_placement_script_flags];
    int16_t home_sector;
    int16_t action_sector;
    uint8_t world;
    uint8_t skills[4];           // base melee, ranged, magic, speed
    uint8_t reserved85;
    uint8_t inv_count;           // 0 keeps the creature file's inventory
    uint8_t inv_location[k_placement_inventory];
    uint8_t reserved287;
    int16_t inv_item[k_placement_inventory];
    uint8_t inv_damage_type[k_placement_inventory];
    int32_t run_speed;           // k_placement_keep_speeds keeps the creature file's run and walk speeds
    uint8_t walk_speed;
    uint8_t reserved893[3];
    uint32_t random_move;
    int16_t ai_distance;
    char key_name[k_placement_key_size];  // "noname" or empty keeps the file's
    int32_t exp;                 // 0 keeps the file's
    uint8_t reserved928;
    uint8_t kind;                // applied only by spawns that ask for it
    int16_t monster_class;
    char display_name[k_placement_display_size];  // applied when longer than 2 characters
    int16_t level;
    int16_t hp_ceiling;          // -100 keeps the creature file's
    int16_t monster_point;       // monster point + 1, 0 none
    uint8_t reserved998[2];
    uint32_t inv_value[k_placement_inventory];
};
static_assert(sizeof(char_placement) == k_placement_record_size);
static_assert(offsetof(char_placement, x) == 20);
static_assert(offsetof(char_placement, y) == 24);
static_assert(offsetof(char_placement, object_alpha) == 28);
static_assert(offsetof(char_placement, scale) == 32);
static_assert(offsetof(char_placement, colour) == 36);
static_assert(offsetof(char_placement, angle) == 48);
static_assert(offsetof(char_placement, angle2) == 50);
static_assert(offsetof(char_placement, angle3) == 52);
static_assert(offsetof(char_placement, char_slot) == 54);
static_assert(offsetof(char_placement, hp) == 56);
static_assert(offsetof(char_placement, mana) == 58);
static_assert(offsetof(char_placement, script_flags) == 60);
static_assert(offsetof(char_placement, home_sector) == 76);
static_assert(offsetof(char_placement, action_sector) == 78);
static_assert(offsetof(char_placement, world) == 80);
static_assert(offsetof(char_placement, skills) == 81);
static_assert(offsetof(char_placement, inv_count) == 86);
static_assert(offsetof(char_placement, inv_location) == 87);
static_assert(offsetof(char_placement, inv_item) == 288);
static_assert(offsetof(char_placement, inv_damage_type) == 688);
static_assert(offsetof(char_placement, run_speed) == 888);
static_assert(offsetof(char_placement, walk_speed) == 892);
static_assert(offsetof(char_placement, random_move) == 896);
static_assert(offsetof(char_placement, ai_distance) == 900);
static_assert(offsetof(char_placement, key_name) == 902);
static_assert(offsetof(char_placement, exp) == 924);
static_assert(offsetof(char_placement, kind) == 929);
static_assert(offsetof(char_placement, monster_class) == 930);
static_assert(offsetof(char_placement, display_name) == 932);
static_assert(offsetof(char_placement, level) == 992);
static_assert(offsetof(char_placement, hp_ceiling) == 994);
static_assert(offsetof(char_placement, monster_point) == 996);
static_assert(offsetof(char_placement, inv_value) == 1000);

struct char_placement_list {
    int16_t count;
    char_placement entries[k_placement_slots];
    uint32_t change_file_read;  // 1 when the entered level's change file was read, 0 on a first visit
};

extern char_placement_list g_char_placements;

// Removes the placement at index; later entries move down by one. Nothing for an index outside
// the list.
void remove_char_placement_at(char_placement_list* list, int32_t index);

// The placements section: u32 record size 1800, i16 count, count records. Both do nothing for a
// null stream and return false when the section is incomplete. In editor mode the writer first
// clears every placement's script flags.
//
// The reader empties the list, then reads the stored size and the count and each record with
// the stored size into a zeroed entry (the rest of a longer record is skipped); a negative count
// is 0, and of a count above 256 the first 256 records are kept and the others skipped. Texts are
// terminated and an inventory count above 200 is held to 200. When the data ends early the list holds the records read whole. Then every placement
// whose creature file does not exist is removed (the file named, once in a run), and of
// placements sharing a live character slot (-1 is none and shared by any number) only the first
// stays.
bool write_char_placements(packed_stream* stream);
bool read_char_placements(packed_stream* stream);

// The level's characters and placements gone: the table keeps only the global slots, and the
// next level's characters follow them.
void forget_level_chars();
