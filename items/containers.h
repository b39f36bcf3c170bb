// Containers: grid inventories of chests, shops and carried bags. Slots 0 to 99 of the table
// belong to the level and come with its map file and change file; slots 100 to 199 belong to
// characters and are kept in "global/cont.dat" and in a save game's "container.ss". This file
// holds the record, the table, the record's file forms, the level's sections, the character
// containers' files and the rules that fill, tidy, create and remove containers.
#pragma once

#include <cstdint>

struct packed_stream;

constexpr int k_container_slots = 200;
constexpr int k_level_container_slots = 100;  // slots 0 to 99
constexpr int k_char_container_first = 100;   // slots 100 to 199
constexpr int k_container_name_room = 28;
constexpr uint32_t k_container_name_size = 25;  // the name as stored
constexpr uint16_t k_container_cell_empty = 0xFFFF;
inline constexpr const char* k_char_containers_file = "global/cont.dat";
inline constexpr const char* k_char_container_name = "ch_cont";

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
// Takes the section as load_level_containers does and keeps nothing; its verdict is
// load_level_containers'.
bool skip_level_containers(packed_stream* stream);

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

// The editor's removal of level container `index`: its grids are released, every later level
// container moves down one slot, the level count falls by one and the slot that became free
// loses its grid pointers. Nothing for an index outside 0 to level count - 1.
void remove_level_container(int32_t index);

// Cell (x, y) gets the item id and the flag byte, its price the item's price times factor,
// truncated and held to 0 to 65535. Refused (false, nothing changed) for a container without
// grids, a cell outside the grid or an item id outside the item table.
bool container_put(container* c, int32_t x, int32_t y, int32_t item, uint8_t flag, float factor);

// Before a shop opens: an item id found in several cells stays only in the first of them in
// row-major order. Then, while more than 70 % of the cells are used, used - cells / 2 passes run
// (as counted at the start); each empties the first cell of the cheapest item whose class is not
// normal (0), quick (16) or scroll (18), and a pass that finds none still counts. Cells holding an
// item id outside the item table are never emptied by a pass. Nothing for a container without
// grids.
void container_tidy(container* c);

// A shop's price of an item: price x factor / 100 (factor a percentage), truncated toward zero.
int32_t scaled_price(int32_t price, int32_t factor);

// The character containers' file, packed: i16 character count, then that many containers of
// slots 100 upward in the level form. The writer writes the count held to 0 to 100 (a slot
// without grids gets empty ones of its size first) and replaces the file only after a complete
// write; false (logged, the old file kept) otherwise.
//
// The reader takes the whole file or nothing: a file that does not open, a missing count, data
// that ends early or bytes after the last container are logged and leave the character containers
// as they were. A negative count is 0; of a count above 100 the first 100 are kept and the rest
// skipped. On success every character slot is released and the containers read fill slots 100
// upward; the count is theirs.
bool save_char_containers_to(const char* path);
bool load_char_containers_from(const char* path);
// The same for "global/cont.dat", read at start-up.
bool save_char_containers();
bool load_char_containers();

// A character container for a container item given to the player: logs the character count,
// then initialises the first character slot below the count that has no grids, else the slot at
// the count (raising it), named "ch_cont", of the item's container size, not a shop. Returns the
// slot (100 to 199), or -1 (logged) for an item id outside the table, an item of another class
// than container, when all 100 character slots are in use or when memory runs out.
int32_t new_char_container(int32_t item);
