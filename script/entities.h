// Entities: the level's interactive set pieces, each a named record of a type that gathers world
// objects and usually a sector. This file holds the record, the level's table with the entities'
// object lists, and the table's section of the level map file and of the per-level change file.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_entity_slots = 100;
constexpr uint32_t k_entity_record_size = 100;
constexpr int k_entity_name_size = 20;
constexpr int k_entity_memory_slots = 8;
constexpr int k_entity_max_objects = 64;

// Entity types. The sound types (13, 14, 18, 19) have as link the sample slot of the sound named
// by the entity's name.
constexpr uint8_t k_entity_normal = 0;
constexpr uint8_t k_entity_interior = 1;
constexpr uint8_t k_entity_item = 2;
constexpr uint8_t k_entity_night_item = 3;
constexpr uint8_t k_entity_container = 4;
constexpr uint8_t k_entity_outside_desc = 5;
constexpr uint8_t k_entity_trap = 6;
constexpr uint8_t k_entity_down_anim = 7;
constexpr uint8_t k_entity_hex_mark = 8;
constexpr uint8_t k_entity_mana_pool = 9;
constexpr uint8_t k_entity_life_pool = 10;
constexpr uint8_t k_entity_campfire = 11;
constexpr uint8_t k_entity_lever = 12;
constexpr uint8_t k_entity_loop_sound = 13;
constexpr uint8_t k_entity_random_sound = 14;
constexpr uint8_t k_entity_movemap_edit = 15;
constexpr uint8_t k_entity_monster_enabler = 16;
constexpr uint8_t k_entity_key_lever = 17;
constexpr uint8_t k_entity_loop_sound_day = 18;
constexpr uint8_t k_entity_loop_sound_night = 19;

// No interior: the interior byte of a character outside every interior entity.
constexpr uint8_t k_no_interior = 255;
// The state of a pulled lever, a spent trap or Hex Mark, a triggered monster enabler.
constexpr uint8_t k_entity_state_done = 2;
// World-object animation modes the entities set: opened or pressed, closed or released.
constexpr int32_t k_entity_anim_open = 3;
constexpr int32_t k_entity_anim_closed = 4;
// An attunement that keeps traps from firing at the hero.
constexpr int16_t k_trap_ward_item = 239;
// UI text of the campfire's refusal while the hero is attacked; of the Hex Mark's gift.
constexpr int32_t k_campfire_refusal_text = 128;
constexpr int32_t k_hex_mark_text = 93;
// The most bytes of a long description file that are shown.
constexpr size_t k_long_description_size = 1999;

struct entity_record {
    uint32_t reserved0;          // 0 when created
    uint8_t type;                // 0 to 19
    uint8_t state;               // 0: its objects are not drawn in play; 1 and 2 by type
    char name[k_entity_name_size];  // key; also the description file, sound and script name
    uint8_t object_count;        // run time: entries of the object list, at most 64
    uint8_t reserved27;
    uint32_t object_list;        // run time: 0 none, else 1 + the row of g_entity_object_lists
    uint8_t reserved32[4];
    uint32_t run_word36;         // run time, zeroed on reading
    uint8_t reserved40[4];
    uint32_t run_word44;         // run time, zeroed on reading
    int16_t sector;              // -1 none; sound types keep their last playback here
    uint8_t reserved50[2];
    uint32_t due_tick;           // next tick at which a timed type works
    uint8_t inside;              // interior: 1 while the hero is inside
    uint8_t reserved57;
    int16_t value;               // interior: sort offset; trap: the negated caster
    int16_t link;                // sound slot, linked entity, missile sector or character slot; -1 none
    int16_t description;         // map text number + 1; 0 none
    int16_t memory[k_entity_memory_slots];  // zeroed on reading
    int16_t container;           // container number + 1; 0 none
    int16_t interval;            // trap: ticks between shots; 0 once per entry
    int16_t spell;               // trap: spell number + 1; 0 none
    uint8_t reserved86[2];
    uint32_t dream_only;         // non-zero: works only while the dream world is active
    uint8_t reserved92[4];
    int16_t key_item;            // key lever: item id + 1 of the key; 0 none
    uint8_t reserved98[2];
};
static_assert(sizeof(entity_record) == k_entity_record_size);
static_assert(offsetof(entity_record, type) == 4);
static_assert(offsetof(entity_record, state) == 5);
static_assert(offsetof(entity_record, name) == 6);
static_assert(offsetof(entity_record, object_count) == 26);
static_assert(offsetof(entity_record, object_list) == 28);
static_assert(offsetof(entity_record, run_word36) == 36);
static_assert(offsetof(entity_record, run_word44) == 44);
static_assert(offsetof(entity_record, sector) == 48);
static_assert(offsetof(entity_record, due_tick) == 52);
static_assert(offsetof(entity_record, inside) == 56);
static_assert(offsetof(entity_record, value) == 58);
static_assert(offsetof(entity_record, link) == 60);
static_assert(offsetof(entity_record, description) == 62);
static_assert(offsetof(entity_record, memory) == 64);
static_assert(offsetof(entity_record, container) == 80);
static_assert(offsetof(entity_record, interval) == 82);
static_assert(offsetof(entity_record, spell) == 84);
static_assert(offsetof(entity_record, dream_only) == 88);
static_assert(offsetof(entity_record, key_item) == 96);

extern entity_record g_entities[k_entity_slots];
extern uint32_t g_entity_count;

// The object lists of the entities: an entity whose object_list is n > 0 owns row n - 1. A row no
// entity refers to is free.
extern uint16_t g_entity_object_lists[k_entity_slots][k_entity_max_objects];

// The entity's object list (object_count entries are in use), or null when it has none.
uint16_t* entity_objects(const entity_record* entity);

// The object pass's entity services. clear_entity_object_counts empties every entity's object
// list; add_entity_object appends world object `index` to the list of entity `entity` (a list
// of its own on first use or when the stored list names no row, at most 64 entries, an entity
// outside the table ignored) and sets the object's first integer behaviour parameter to -1; the
// objects of an entity of state 0 are not drawn (outside the editor's selection mode).
// link_entities_to_objects points the object pass's hooks at them.
void clear_entity_object_counts();
void add_entity_object(int32_t entity, int32_t index);
bool entity_objects_hidden(int32_t entity);
void link_entities_to_objects();

// Appends an entity: reserved 0, the type and state, sector -1, link -1, no description, key
// item or container, the name copied (cut to 19 bytes). Returns its index; a full table refuses
// it with a log line and -1.
int32_t add_entity(const char* name, uint8_t type, uint8_t state);
// State 0, the object list released, the later records move down one place and the count drops.
// The moved records' object lists are released too (the object pass rebuilds them). An index
// outside the table does nothing.
void remove_entity(int32_t index);
// Removes the first occurrence of world object `index` from the entity's list (later entries move
// down); nothing when it is absent or the entity is outside the table.
void remove_entity_object(int32_t entity, int32_t index);

// The per-frame pass over the entities (script/entity_update.cpp): nothing while the scene's
// light mode is 2 or a text viewer is open; otherwise every character in the world is put
// outside all interiors, the description flag g_entity_busy is cleared, and each entity shows its
// description under the cursor and works by its type; a container entity under the cursor (the
// cursor in its sector) joins the mouse focus list. Data that names something missing (a
// linked entity or character, map text, spell, missile sector, key item or container outside its
// table) skips the behaviour that needs it. A lever's wait for the release that ends in a quit
// ends the pass.
void update_entities();
// Whether a sound type plays its sound at that hour of the clock: "random snd" always, "loopsnd
// day" from 6 to 19, "loopsnd night" below 5 and above 20; the other types never.
bool entity_sound_plays_at(uint8_t type, uint8_t hour);

// The entities section: i32 record size 100, i32 count, count records. Both do nothing for a null
// stream and return false when the section is incomplete. The writer stores the object-list
// reference as 0.
//
// The reader leaves the table as it was when the size and the count cannot be read. Otherwise
// it reads each record with the stored size into a zeroed slot (the rest of a longer record is
// skipped) and resets its run-time fields: the words at 36, 44 and 52, the object count, inside,
// the object list and the memory slots become 0; the link of a sound type becomes the sample slot
// of the sound named by its name. Of a count above 100 the first 100 records are kept and the
// others skipped; a negative count is 0. Names are terminated. When the data ends early the count
// covers the records read whole.
bool write_entities(packed_stream* stream);
bool read_entities(packed_stream* stream);
