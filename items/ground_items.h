// Ground items: items lying in the level. This file holds the record, the level's table and the
// table's section of the level map file, the per-level change files and save games.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_ground_item_slots = 1000;
constexpr int k_ground_item_max_count = 999;  // new records are appended only below this count
constexpr uint32_t k_ground_item_record_size = 16;
constexpr uint16_t k_ground_item_no_element = 0xFFFF;

// States.
constexpr uint8_t k_ground_item_free = 0;
constexpr uint8_t k_ground_item_dropped = 1;  // not yet placed
constexpr uint8_t k_ground_item_lying = 2;
constexpr uint8_t k_ground_item_taken = 3;    // to be picked up by the player

struct ground_item {
    uint8_t state;
    uint8_t reserved1;
    uint16_t item;      // item id
    uint16_t object;    // world object while lying
    int16_t amount;     // the sum for gold, 1 for any other item
    int16_t x;          // world pixels; x = y = 1 means at the owner until placed
    int16_t y;
    uint16_t owner;     // character slot an item dropped at a character falls at
    uint16_t element;   // damage-type byte of the inventory entry it came from; 0xFFFF none
};
static_assert(sizeof(ground_item) == k_ground_item_record_size);
static_assert(offsetof(ground_item, item) == 2);
static_assert(offsetof(ground_item, object) == 4);
static_assert(offsetof(ground_item, amount) == 6);
static_assert(offsetof(ground_item, x) == 8);
static_assert(offsetof(ground_item, y) == 10);
static_assert(offsetof(ground_item, owner) == 12);
static_assert(offsetof(ground_item, element) == 14);

extern ground_item g_ground_items[k_ground_item_slots];
extern int16_t g_ground_item_count;  // records 0 to count - 1 are scanned

// The record holds the item: the amount for gold, 1 for any other item; the position and the
// element byte; dropped (state 1).
void init_ground_item(ground_item* record, uint16_t item, int16_t amount, int16_t x, int16_t y, uint16_t element);
// No record of a nonzero state lies exactly at (x, y).
bool ground_cell_free(int16_t x, int16_t y);
// Adds a dropped record (state 1) for the item: at the owner character when at_character is set
// (it falls there when it is placed), otherwise at cell (cell_x, cell_y) of the 24-pixel grid or
// the nearest free cell around it (ground_free_cell). The first free record below the count is
// reused. False (logged) when nothing is added: an item id outside the table, or no free record
// below the count while the count is 999 or more.
bool drop_ground_item(uint16_t item, uint16_t amount, int16_t cell_x, int16_t cell_y, bool at_character,
                      uint16_t owner, uint16_t element);
// The free-cell search from (x, y) on the 24-pixel grid: the start when no record lies there;
// otherwise, ring by ring (r = 1, 2, ...) and in the eight directions up first, then clockwise,
// the first candidate (x + dx 24 r, y + dy 24 r) with no record on it whose movement-map cell is
// free. The rings stop once they reach past the movement map on every side (after 126 rings
// without map cells); finding nothing keeps the start (logged).
void ground_free_cell(int16_t* x, int16_t* y);

// Puts a dropped record (state 1) of that index into the world, unless the item has no ground
// model or the owner is the player's character and is not standing (then it is tried again
// later). A record at its owner (x = y = 1) falls on the owner's cell of the grid, or the free
// cell nearest to it. The ground model becomes a world object (layer 20, a random start frame,
// its first entry the link to the record), the record lies (state 2) and, unless quiet, the drop
// sound plays at the player. A record whose item id is outside the table is freed (logged).
void place_ground_item(ground_item* record, int32_t index, bool quiet);
// The record's world object is freed when it still is the record's (its first entry links to
// the record); the record is dropped again (state 1).
void remove_ground_item(ground_item* record);
// The character takes the item (the element byte of the record goes with it); then the record's
// object is freed, the record is free (state 0) and the inventory sound plays at the character.
// False, and the record unchanged, when the character has no room.
bool pick_up_ground_item(ground_item* record, int32_t character, int32_t index);
// Every lying record (state 2) is removed with its world object.
void purge_ground_items();
// The world object of record index when it still is that record's (state 2 or 3, an index inside
// the object array and a first entry linking back), else null.
struct world_object;
world_object* ground_item_object(int32_t index);

// The ground-items section: u32 record size 16, i16 count, count records. Both do nothing for a
// null stream and return false when the section is incomplete.
//
// The reader leaves the table as it was when the size cannot be read, and empties it when the
// count cannot be read. Each record is read with the stored size over a zeroed record whose
// element is 0xFFFF (the rest of a longer record is skipped); a record read lying or to be
// picked up (state 2 or 3) becomes dropped (state 1), so that it is placed again. A negative
// count is 0; of a count above 1,000 the first 1,000 records are kept and the others skipped.
// When the data ends early the count covers the records read whole.
bool save_ground_items(packed_stream* stream);
bool load_ground_items(packed_stream* stream);
