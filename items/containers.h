// Containers: grid inventories of chests, shops and carried bags. Slots 0 to 99 of the table
// belong to the level and come with its map file and change file; slots 100 to 199 belong to
// characters. This file holds the record, the table, the record's file forms and the level's
// sections.
#pragma once

#include <cstdint>

struct packed_stream;

constexpr int k_container_slots = 200;
constexpr int k_level_container_slots = 100;  // slots 0 to 99
constexpr int k_char_container_first = 100;   // slots 100 to 199
constexpr int k_container_name_room = 28;
constexpr uint32_t k_container_name_size = 25;  // the name as stored
constexpr uint16_t k_container_cell_empty = 0xFFFF;

// The level form of a container: a 31-byte head (name, shop word, width, height), then per cell
// a u16 item id, then per cell a u16 price, then per cell a flag byte.
constexpr uint32_t k_container_head_size = k_container_name_size + 4 + 1 + 1;
constexpr uint32_t k_container_cell_size = 2 + 2 + 1;
static_assert(k_container_head_size == 31);

// The state block of a container in a change file: u32 version 2, f32 x, f32 y.
constexpr uint32_t k_container_state_size = 12;
constexpr uint32_t k_container_state_version = 2;

// A free slot has no item grid. The three grids belong to the container: container_init replaces
// them and container_free releases them. Width and height are u8, so a grid has at most
// 255 x 255 cells.
struct container {
    char name[k_container_name_room];  // "ch_cont" for character containers
    uint32_t shop;                     // non-zero: a shop
    uint8_t width;                     // cells across
    uint8_t height;                    // cells down
    uint16_t* items;                   // item id per cell, row-major; 0xFFFF empty
    uint16_t* prices;                  // price per cell
    uint8_t* flags;                    // flag byte per cell
    float x;                           // world position, kept in the state block
    float y;
};

extern container g_containers[k_container_slots];
extern int16_t g_level_container_count;  // level slots in use, 0 to 100
extern int16_t g_char_container_count;   // character slots in use, 0 to 100

// Cells of the container's grids.
uint32_t container_cells(const container* c);

// Copies the name (cut to 24 characters), sets width, height and shop, releases the old grids
// and allocates new ones: every item cell empty, prices and flags 0. Returns false, leaving the
// container without grids, when memory runs out.
bool container_init(container* c, const char* name, uint8_t width, uint8_t height, uint32_t shop);

// Releases the grids; the container is free.
void container_free(container* c);

// One container in the level form. The writer first allocates the grids of a container that has
// none. The reader reads the head, then container_init with it, then the three grids; when the
// data ends early the container is left free. Both return false when the record is incomplete.
bool container_write(container* c, packed_stream* stream);
bool container_read(container* c, packed_stream* stream);

// The state block of one container; the reader does not test the version word.
bool container_write_state(const container* c, packed_stream* stream);
bool container_read_state(container* c, packed_stream* stream);

// The level containers section: i16 level count, then the level containers from slot 0 in the
// level form. Both do nothing for a null stream and return false when the section is incomplete.
//
// The reader leaves the containers as they were when the count cannot be read. Otherwise it reads
// the containers into slots 0 upward; a negative count is 0, and of a count above 100 the first 100
// are kept and the others skipped. The level count covers the containers read whole, and every
// level slot from the count up is freed.
bool save_level_containers(packed_stream* stream);
bool load_level_containers(packed_stream* stream);

// The level containers' state blocks of a change file: i16 level count, then one state block per
// level container. Both do nothing for a null stream and return false when the section is
// incomplete.
//
// The reader makes the stored count, held to 0 to 100, the level count (0 when the count cannot
// be read), frees every level slot from the count up, and reads the positions of the slots below
// it; states beyond 100 are skipped. When the data ends early the positions not read stay.
bool save_level_container_states(packed_stream* stream);
bool load_level_container_states(packed_stream* stream);

// Releases the grids of every level container; the level count becomes 0.
void free_level_containers();
