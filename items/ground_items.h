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
// the nearest free cell around it (searched up to 100 cells out; the start cell when none is
// free). The first free record below the count is reused; nothing is added while the count is
// 999 or more, or for an item id outside the table.
void drop_ground_item(uint16_t item, uint16_t amount, int16_t cell_x, int16_t cell_y, bool at_character,
                      uint16_t owner, uint16_t element);

// The ground-items section: u32 record size 16, i16 count, count records. Both do nothing for a
// null stream and return false when the section is incomplete.
//
// The reader leaves the table as it was when the size cannot be read, and empties it when the
// count cannot be read. Each record is read with the stored size over a zeroed record whose
// element is 0xFFFF (the rest of a longer record is skipped); a record read lying (state 2)
// becomes dropped (state 1), so that it is placed again. A negative count is 0; of a count above
// 1,000 the first 1,000 records are kept and the others skipped. When the data ends early the
// count covers the records read whole.
bool save_ground_items(packed_stream* stream);
bool load_ground_items(packed_stream* stream);
