// Monster points: the places of a level where monsters of up to nine kinds appear again some time
// after the last one died. This file holds the point, the level's block of points and the block's
// section of the level map file and of the per-level change file.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_monster_point_slots = 255;
constexpr int k_monster_kinds = 9;
constexpr uint32_t k_monster_point_size = 28;
constexpr uint32_t k_monster_point_block_size = 7180;

struct monster_point {
    uint8_t reserved0;      // 0
    uint8_t reserved1[3];
    uint32_t stamp;         // game minutes when the point last lost its monster; 0 not yet stamped
    float x;
    float y;
    int16_t slots[3];       // -1; the second holds the slot of the live monster
    int16_t move_sector;    // the sector its monster keeps to, -1 none
    uint8_t reserved24;     // 0
    uint8_t reserved25[3];
};
static_assert(sizeof(monster_point) == k_monster_point_size);
static_assert(offsetof(monster_point, stamp) == 4);
static_assert(offsetof(monster_point, x) == 8);
static_assert(offsetof(monster_point, y) == 12);
static_assert(offsetof(monster_point, slots) == 16);
static_assert(offsetof(monster_point, move_sector) == 22);
static_assert(offsetof(monster_point, reserved24) == 24);

struct monster_point_block {
    int16_t count;          // points in use, 0 to 255
    uint8_t reserved2[2];
    monster_point points[k_monster_point_slots];
    int16_t kind_class[k_monster_kinds];  // monster class of each kind, -1 empty
    int16_t kind_level[k_monster_kinds];  // level of each kind
};
static_assert(sizeof(monster_point_block) == k_monster_point_block_size);
static_assert(offsetof(monster_point_block, points) == 4);
static_assert(offsetof(monster_point_block, kind_class) == 7144);
static_assert(offsetof(monster_point_block, kind_level) == 7162);

extern monster_point_block g_monster_points;

// No points, the nine kinds empty, their levels 1.
void reset_monster_points(monster_point_block* block);

// The point at index when the index is below the block's count (held to 255), else null: the
// check for a point index kept elsewhere, such as a character's.
monster_point* monster_point_at(monster_point_block* block, int32_t index);

// The monster-points section: u32 block size 7180, then the block. Both do nothing for a null
// stream and return false when the section is incomplete. With clear_stamps (the map file) every
// point's stamp becomes 0 before writing.
//
// The reader leaves the block as it was when the size cannot be read. Otherwise it reads the
// stored size over a reset block (the rest of a longer block is skipped) and holds the count to 0
// to 255; when the data ends early the block is reset.
bool write_monster_points(packed_stream* stream, bool clear_stamps);
bool read_monster_points(packed_stream* stream);
