// Monster classes: the class record every character names by its monster_class field (genus,
// unarmed damage, critical and armour values by level, hit-point and experience percentages, base
// skills, weapon and treasure tables) and their file "global/monsters.dat".
#pragma once

#include "characters/char_record.h"
#include "core/table_file_state.h"

#include <cstddef>
#include <cstdint>

constexpr int k_monster_proto_slots = 256;
constexpr uint32_t k_monster_proto_size = 804;
constexpr int k_monster_table_entries = 64;  // entries of the weapon and of the treasure table
constexpr const char* k_monster_protos_file = "global/monsters.dat";

enum monster_genus : uint8_t {
    k_genus_human = 0,
    k_genus_beast = 1,
    k_genus_undead = 2,
    k_genus_goblin = 3,
    k_genus_spirit = 4,
    k_genus_elemental = 5,
    k_genus_demon = 6,
    // 7 to 13: the boss of each genus in the same order
};

// The class record, field for field the record of "global/monsters.dat". Fields named
// reserved_<offset> carry nothing here; they are copied unchanged with the record.
struct monster_proto {
    uint8_t genus;  // monster_genus
    char name[101];
    int16_t attack_class;  // 0 fast, 1 normal, 2 heavy, 3 magic
    int16_t damage_type;  // default damage type 0 to 7
    int16_t unarmed_per_level;  // unarmed damage per level
    int16_t unarmed_base;  // unarmed damage
    int16_t critical_base;  // unarmed critical chance in percent
    int16_t critical_per_level;
    int16_t unarmed_critical_multiplier;
    int16_t armor_base;
    int16_t armor_per_level;
    uint8_t reserved_120[44];
    int16_t shield;
    int16_t hp_percent;  // hit points in percent of the base curve
    int16_t exp_percent;
    // 0 dreamwalker (both worlds), 1 normal creature (waking world), 2 astral creature (dream
    // world); becomes the character's world
    uint8_t dreamwalk;
    uint8_t reserved_171[1];
    int16_t base_skills[4];  // melee, ranged, magic, speed, 0 to 17
    uint8_t aphotic;  // the class is hurt by the player's aura attunement
    char chr_name[21];  // creature file: this name with ".chr" appended, in "data/creature/"
    int16_t attack_pause;
    uint8_t reserved_204[2];
    uint8_t weapon_count;  // entries of the weapon table
    uint8_t reserved_207[1];
    int16_t weapon_item[k_monster_table_entries];  // item ids
    uint8_t weapon_level[k_monster_table_entries];  // item level of each entry
    uint8_t weapon_rarity[k_monster_table_entries];  // 0 common, 1 uncommon, 2 rare, 3 custom
    int16_t treasure_count;  // entries of the treasure table
    int16_t treasure_item[k_monster_table_entries];
    uint8_t treasure_chance[k_monster_table_entries];  // chance of a custom entry in steps of 5 %
    uint8_t treasure_level[k_monster_table_entries];
    uint8_t treasure_rarity[k_monster_table_entries];
    uint8_t reserved_786[2];
    uint32_t carries_gold;  // not 0: the class carries gold
    uint32_t reserved_792[2];  // edited, not read by the game
    uint8_t treasure_chance_main;  // percent chance of the main treasure and of gold
    uint8_t reserved_801[3];
};
static_assert(sizeof(monster_proto) == k_monster_proto_size);
static_assert(offsetof(monster_proto, genus) == 0);
static_assert(offsetof(monster_proto, name) == 1);
static_assert(offsetof(monster_proto, attack_class) == 102);
static_assert(offsetof(monster_proto, damage_type) == 104);
static_assert(offsetof(monster_proto, unarmed_per_level) == 106);
static_assert(offsetof(monster_proto, unarmed_base) == 108);
static_assert(offsetof(monster_proto, critical_base) == 110);
static_assert(offsetof(monster_proto, critical_per_level) == 112);
static_assert(offsetof(monster_proto, unarmed_critical_multiplier) == 114);
static_assert(offsetof(monster_proto, armor_base) == 116);
static_assert(offsetof(monster_proto, armor_per_level) == 118);
static_assert(offsetof(monster_proto, shield) == 164);
static_assert(offsetof(monster_proto, hp_percent) == 166);
static_assert(offsetof(monster_proto, exp_percent) == 168);
static_assert(offsetof(monster_proto, dreamwalk) == 170);
static_assert(offsetof(monster_proto, base_skills) == 172);
static_assert(offsetof(monster_proto, aphotic) == 180);
static_assert(offsetof(monster_proto, chr_name) == 181);
static_assert(offsetof(monster_proto, attack_pause) == 202);
static_assert(offsetof(monster_proto, weapon_count) == 206);
static_assert(offsetof(monster_proto, weapon_item) == 208);
static_assert(offsetof(monster_proto, weapon_level) == 336);
static_assert(offsetof(monster_proto, weapon_rarity) == 400);
static_assert(offsetof(monster_proto, treasure_count) == 464);
static_assert(offsetof(monster_proto, treasure_item) == 466);
static_assert(offsetof(monster_proto, treasure_chance) == 594);
static_assert(offsetof(monster_proto, treasure_level) == 658);
static_assert(offsetof(monster_proto, treasure_rarity) == 722);
static_assert(offsetof(monster_proto, carries_gold) == 788);
static_assert(offsetof(monster_proto, reserved_792) == 792);
static_assert(offsetof(monster_proto, treasure_chance_main) == 800);

extern monster_proto g_monster_protos[k_monster_proto_slots];
extern int16_t g_monster_proto_count;  // classes 0 to count - 1 are in use
// Whether the table may be written back over its file: read whole when the file was read whole
// or is missing (not for a damaged file, nor for one of more than 256 classes, whose other
// classes would otherwise be lost); the editor marks its edits.
extern table_file_state g_monster_protos_file;

// The editor's defaults of a new class: genus 0, "new monster", no creature file, attack class
// and damage type 0, unarmed damage 10 plus 3 per level, critical chance 5 plus 1 per level,
// critical multiplier 3, armour 2 plus 1 per level, shield 15, hit-point and experience percent
// 100, dreamwalker, base skills 1, no weapon entries; the bytes at 120, 154 and 156 to 161 are
// cleared. The treasure table, gold, attack pause, aphotic flag and main treasure chance keep
// their values.
void new_monster_proto(monster_proto* proto);

// The class of a character: its monster_class entry, or for a class outside the table a record
// with the editor's defaults (otherwise zero).
const monster_proto& char_monster_proto(const char_record* c);

// The four skills in the order of base_skills.
enum monster_skill : int {
    k_skill_melee = 0,
    k_skill_ranged = 1,
    k_skill_magic = 2,
    k_skill_speed = 3,
};
// The class's base value of the skill, held to the skills' 0 to 17.
uint8_t monster_class_skill(const monster_proto& proto, monster_skill skill);

// The record as the file stores it: k_monster_proto_size bytes, little-endian, at the offsets
// above. Decoding terminates the name and the creature file name within their fields.
void encode_monster_proto(const monster_proto& proto, uint8_t* bytes);
void decode_monster_proto(const uint8_t* bytes, monster_proto* proto);

// "global/monsters.dat" (packed): i16 count, u32 record size (804 when written), then the
// records. The reader reads each record with the stored size over the editor's defaults (the
// rest of a longer record is skipped); of a count above 256 the first 256 records are kept. A
// missing file leaves the table as it was; a damaged one (a negative count, a record size of 0,
// data that ends early) too, with a log line. Both return true on success.
bool load_monster_protos();
// Writes the classes below the count, replacing the file only after a complete write; false
// (logged, the old file kept) otherwise.
bool save_monster_protos();
