// What the rest of the program uses of items, ground items, containers and spells, and the item
// prototype table.
//
// Containers are in items/containers.h, the ground-item table in items/ground_items.h, spells in
// items/spells.h.
#pragma once

#include "core/game_globals.h"
#include "core/table_file_state.h"

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_item_slots = 1000;
constexpr uint32_t k_item_proto_size = 816;
constexpr int k_item_list_entries = 16;       // entries of a REQUIREMENTS or EFECTS list
constexpr uint32_t k_item_property_size = 18;
constexpr int k_attunement_tiers = 3;
constexpr int16_t k_attunement_learned_points = 1999;
constexpr uint16_t k_item_no_ground_model = 0xFFFF;

enum item_class : uint8_t {
    k_item_normal = 0,
    k_item_fast_weapon = 1,
    k_item_medium_weapon = 2,
    k_item_heavy_weapon = 3,
    k_item_ranged_weapon = 4,
    k_item_focus = 5,
    k_item_armor = 6,
    k_item_helm = 7,
    k_item_boots = 8,
    k_item_shield = 9,
    k_item_ring = 10,
    k_item_neclace = 11,
    k_item_cloak = 12,
    k_item_legs = 13,
    k_item_left_hand_armor = 14,
    k_item_right_hand_armor = 15,
    k_item_quick = 16,
    k_item_container = 17,
    k_item_scroll = 18,
    k_item_efect = 19,
    k_item_attunement = 20,
    k_item_trap = 21,
    k_item_gem = 22,
    k_item_gold = 23,
    k_item_essence = 24,
    k_item_lantern = 25,
    k_item_book = 26,
};

// One entry of a REQUIREMENTS or EFECTS list: a code and eight arguments.
struct item_property {
    uint16_t code;
    int16_t args[8];
};
static_assert(sizeof(item_property) == k_item_property_size);

// The item prototype, field for field the record of "global/items.dat". Fields named
// reserved_<offset> carry nothing here; they are copied unchanged with the record.
struct item_proto {
    char key_name[30];  // file key of the item's texts and media
    uint8_t item_class;  // item_class
    uint8_t weapon_category;  // 0 axe, 1 sword, 2 polearm, 3 spear, 4 ranged, 5 blunt, 6 magic
    uint8_t reserved_32[4];
    int16_t armour_bonus;
    int16_t attack_bonus;
    // a weapon's base damage, a quick item's amount; on an attunement the points gathered so far
    // (1999 once learned)
    int16_t damage;
    int16_t critical_chance;  // percent
    int16_t critical_multiplier_whole;  // stands in for critical_multiplier when that is 0.0 at load
    int16_t range;  // a weapon's reach
    // on an ordinary item the attunement that wearing it trains; on an attunement the one it
    // supersedes; 0 or -1 none
    int16_t attunement_link;
    int16_t damage_code;  // dice code of the weapon's damage, 0 to 14
    int16_t requirement_count;  // entries of the REQUIREMENTS list, 0 to 16
    uint8_t reserved_54[2];
    uint32_t requirements_word;  // the list's place in memory when stored; 0 in the table
    int16_t efect_count;  // entries of the EFECTS list, 0 to 16
    uint8_t reserved_62[2];
    uint32_t efects_word;  // the list's place in memory when stored; 0 in the table
    uint16_t icon_texture;  // texture slot of the icon
    int16_t price;
    uint8_t size;  // 0 light/small/one hand, 1 normal, 2 heavy/large/both hands; an attunement's tier
    uint8_t reserved_73[3];
    uint32_t no_loss;  // 1: not dropped at death, not moved to a container, no loss message
    int16_t duration;  // ticks; nonzero: a carried entry expires that long after it is given
    uint8_t attack_delay;  // ticks between a weapon's attacks
    uint8_t period;  // ticks; nonzero: a carried entry gets a time stamp that long after it is given
    uint32_t destroy_after;  // 1: removed after use or when its duration runs out
    char display_name[100];  // replaced at start-up by the localized name
    uint8_t anim_set;  // the weapon's animation set
    uint8_t strike_frame;  // frame of the attack animations at which the blow lands
    int16_t stamina_move;  // stamina penalty per move
    int16_t stamina_cost;  // stamina penalty per attack
    uint8_t reserved_194[2];
    int32_t attack_sound_count;
    uint32_t attack_sounds[5];
    uint8_t reserved_220[12];
    char sound_name[32];  // base name of the "a_", "d_" and "i_" sounds
    int32_t drop_sound_count;
    uint32_t drop_sounds[5];
    uint8_t reserved_288[12];
    char hit_sound[30];
    uint8_t damage_type;  // default: 0 generic, 1 slashing, 2 piercing, 3 crushing, 4 to 7 elements
    uint8_t container_width;
    uint8_t container_height;
    uint8_t reserved_333[3];
    uint32_t deleted;  // 1 when the editor removed the record; its names are never localized
    uint16_t ground_model;  // object prototype slot of the ground model, 0xFFFF none
    uint16_t big_image;  // texture slot of the big image
    uint8_t reserved_344[384];
    char image_name[30];  // icon, big image and ground model files; the key name when empty
    char model_name[30];  // worn model files; the key name when empty
    int32_t inventory_sound_count;
    uint32_t inventory_sounds[5];
    float critical_multiplier;
};
static_assert(sizeof(item_proto) == k_item_proto_size);
static_assert(offsetof(item_proto, item_class) == 30);
static_assert(offsetof(item_proto, weapon_category) == 31);
static_assert(offsetof(item_proto, armour_bonus) == 36);
static_assert(offsetof(item_proto, attack_bonus) == 38);
static_assert(offsetof(item_proto, damage) == 40);
static_assert(offsetof(item_proto, critical_chance) == 42);
static_assert(offsetof(item_proto, critical_multiplier_whole) == 44);
static_assert(offsetof(item_proto, range) == 46);
static_assert(offsetof(item_proto, attunement_link) == 48);
static_assert(offsetof(item_proto, damage_code) == 50);
static_assert(offsetof(item_proto, requirement_count) == 52);
static_assert(offsetof(item_proto, requirements_word) == 56);
static_assert(offsetof(item_proto, efect_count) == 60);
static_assert(offsetof(item_proto, efects_word) == 64);
static_assert(offsetof(item_proto, icon_texture) == 68);
static_assert(offsetof(item_proto, price) == 70);
static_assert(offsetof(item_proto, size) == 72);
static_assert(offsetof(item_proto, no_loss) == 76);
static_assert(offsetof(item_proto, duration) == 80);
static_assert(offsetof(item_proto, attack_delay) == 82);
static_assert(offsetof(item_proto, period) == 83);
static_assert(offsetof(item_proto, destroy_after) == 84);
static_assert(offsetof(item_proto, display_name) == 88);
static_assert(offsetof(item_proto, anim_set) == 188);
static_assert(offsetof(item_proto, strike_frame) == 189);
static_assert(offsetof(item_proto, stamina_move) == 190);
static_assert(offsetof(item_proto, stamina_cost) == 192);
static_assert(offsetof(item_proto, attack_sound_count) == 196);
static_assert(offsetof(item_proto, attack_sounds) == 200);
static_assert(offsetof(item_proto, sound_name) == 232);
static_assert(offsetof(item_proto, drop_sound_count) == 264);
static_assert(offsetof(item_proto, drop_sounds) == 268);
static_assert(offsetof(item_proto, hit_sound) == 300);
static_assert(offsetof(item_proto, damage_type) == 330);
static_assert(offsetof(item_proto, container_width) == 331);
static_assert(offsetof(item_proto, container_height) == 332);
static_assert(offsetof(item_proto, deleted) == 336);
static_assert(offsetof(item_proto, ground_model) == 340);
static_assert(offsetof(item_proto, big_image) == 342);
static_assert(offsetof(item_proto, image_name) == 728);
static_assert(offsetof(item_proto, model_name) == 758);
static_assert(offsetof(item_proto, inventory_sound_count) == 788);
static_assert(offsetof(item_proto, inventory_sounds) == 792);
static_assert(offsetof(item_proto, critical_multiplier) == 812);

// The two lists of item id i; entries from the record's counts up carry nothing.
struct item_lists {
    item_property requirements[k_item_list_entries];
    item_property efects[k_item_list_entries];
};

extern item_proto g_item_protos[k_item_slots];
extern item_lists g_item_lists[k_item_slots];
extern int32_t g_item_proto_count;  // item ids 0 to count - 1 are in use
// Points an attunement of tier 0, 1 or 2 gathers before it is learned.
extern int32_t g_attunement_thresholds[k_attunement_tiers];

// The prototype of item id, or null for an id outside 0 to count - 1.
item_proto* item_proto_at(int32_t id);

// The threshold of the tier; 50 for a tier outside 0 to 2.
int32_t attunement_threshold(int32_t tier);

// "global/items.dat", a packed file: i32 count, u32 record size (816 when written), then per
// record the record and its REQUIREMENTS and EFECTS entries (count x 18 bytes each). Both do
// nothing for a null stream and return false when the file is incomplete.
//
// The reader takes the whole file or nothing: a count below 0 or above 1,000, a missing head or
// data that ends early is logged and leaves the table (records, lists and count) as it was. Each
// record is read with the stored size over a cleared record (the rest of a longer record is
// skipped) and its lists; a negative list count is 0, and of a list count above 16 the first 16
// entries are kept and the others skipped. Texts are terminated and the two list words cleared;
// a critical multiplier of 0.0 takes the 16-bit value, an empty image or model name the key name.
// The writer writes the records below the count with list counts held to 0 to 16, and exactly
// those entries. `found`, when given, gets the count the head names and the records held whole.
bool read_item_protos(packed_stream* stream, table_file_contents* found = nullptr);
bool write_item_protos(packed_stream* stream);

// Reads "global/items.dat"; a missing or refused file leaves the table and everything else as it
// was. Then per item: the icon "data/predmety/<image>.tga", the big image "big_<image>.tga" (the
// icon when missing), the ground model (object prototype "gr_<image>" in the template slots 1000
// to 2999, shared by every item of that image name, read from "data/predmety/ground/<image>.pr"
// or "default.pr", a missing one named once; 0xFFFF when no slot is free or no file reads), 0
// points on every attunement, up
// to five attack, drop and inventory sounds ("a_", "d_", "i_" + sound name + 1 to 5, stopping at
// the first missing). Image and sound names that are not plain file names load nothing (no
// icon, big image or ground model: slots 0xFFFF; no sounds). Then "global/attunements.txt" and
// the localized item names.
void load_items();
inline constexpr const char* k_items_file = "global/items.dat";
// Whether the table may be written back over its file: read whole when load_items took the file
// or it is missing; the editor marks its edits.
extern table_file_state g_items_file;
// Writes "global/items.dat", replacing it only after a complete write; false (logged, the old
// file kept) otherwise.
bool save_items();

// "global/attunements.txt": lines of at most 99 characters; lines 1 to 3 the thresholds of tiers
// 0 to 2, line 4 a count n, then n pairs of lines, a display name and a tier (0 to 2) that every
// item of that display name (ignoring case) takes as its size. Trailing blanks, tabs and line ends
// are cut. A line that is not a number, or a tier outside 0 to 2, is logged and changes nothing;
// the file's end ends the reading. False when the file cannot be opened.
bool read_attunement_tiers(const char* path);

// Clears nothing but these: the key name (cut to 29 characters), class, attack bonus, damage,
// critical chance, critical multiplier (the whole number as a float), range and the damage code
// at 50; both list counts and the deleted flag become 0. `unused` is not read.
void init_item_proto(item_proto& item, const char* name, uint8_t item_class, int16_t attack_bonus, int16_t damage,
                     int16_t critical_chance, int16_t critical_multiplier, int16_t range, int16_t unused,
                     int16_t damage_code);

// 1 when the display name of item id contains text (case-sensitive), else 0 (also for an id
// outside the table or a null text).
int32_t item_name_equals(int32_t id, const char* text);

// One of the item's sounds of that kind, chosen at random, at world point (x, y), logged by index
// and slot; nothing for an attunement, an item without sounds of the kind or an id outside the
// table.
void play_item_attack_sound(int32_t item, float x, float y);
void play_item_drop_sound(int32_t item, float x, float y);
void play_item_inventory_sound(int32_t item, float x, float y);

// The per-frame pass over the ground items below the count; nothing while a text viewer is open.
// Per record: a dropped one is placed (quietly when quiet is set); while playing, a trap (state 2
// or 3) goes off under each enemy strictly inside 16 pixels of it; while the left Alt key is up,
// the name of a lying item under the mouse is shown in the message window (gold with its amount)
// and a click while playing marks it to be picked up (state 3); while playing, the standing
// player takes a marked item within 60 pixels (an essence gives 5 attunement points instead),
// and a marked item farther away lies again (state 2). A take that finds no room is tried again.
void update_ground_items(int quiet);
// While the left Alt key is held: a label over every lying item with a name (gold with its amount,
// weapons with their damage range), labels of one row stacked upwards by 12 pixels; the label
// under the mouse is red and a click on it while playing marks the item to be picked up.
void draw_ground_item_labels();
