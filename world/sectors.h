// Map sectors: polygons of a level that scripts, events and character behaviours test points
// against, and that give footsteps their ground type. The same 256-byte record is a
// character's outline polygon, tested with a scale.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_sector_points = 20;      // room in the arrays
constexpr int k_sector_max_points = 19;  // points a polygon takes
constexpr int k_sector_slots = 100;
constexpr uint32_t k_sector_record_size = 256;

// A closed polygon stores its first point again as its last; the edges join consecutive points.
struct map_sector {
    uint8_t active;     // 1 in use
    uint8_t type;       // editor kind; 2 is skipped by lookups, 8 and above are drawn as curves
    uint8_t pad2[2];
    int32_t parameter;  // footstep ground type, -1 none
    uint32_t closed;
    int32_t count;      // points, 0 to 19 (a count read from a file is clamped to 0 to 20)
    uint32_t selected[k_sector_points];  // editor point selection
    float x[k_sector_points];            // world pixels
    float y[k_sector_points];
};
static_assert(sizeof(map_sector) == 256);
static_assert(offsetof(map_sector, parameter) == 4);
static_assert(offsetof(map_sector, closed) == 8);
static_assert(offsetof(map_sector, count) == 12);
static_assert(offsetof(map_sector, selected) == 16);
static_assert(offsetof(map_sector, x) == 96);
static_assert(offsetof(map_sector, y) == 176);

extern map_sector g_sectors[k_sector_slots];
extern int16_t g_sector_count;  // one past the highest slot in use

// Active, of the given type, open, with the one point (x, y); the parameter stays.
void begin_sector(map_sector* sector, uint8_t type, float x, float y);

// Appends a point to an open polygon of fewer than 19 points (an empty record first becomes an
// active, open sector of type 0 and parameter -1). A fourth or later point equal to the first
// closes the polygon.
void add_sector_point(map_sector* sector, float x, float y);

// Drops the last point and opens the polygon.
void remove_last_sector_point(map_sector* sector);

// No points, inactive, open.
void clear_sector(map_sector* sector);

// The first inactive slot below the count, else a new slot at the count; -1 when all 100 slots
// are in use.
int32_t new_sector();

// The outline in world pixels: lines between consecutive points in the colour of the type (0, 1
// and 8 white, 2 red, 3 green, 4 blue, 5 yellow, 6 magenta, 7 cyan, no lines for the others), the
// point marker ("global/select.bmp", 8 x 8 at unit scale) on every point, and for type 8 and above red cubic curves through points 3k to
// 3k + 3 (one for 4 to 6 points, (count - 1) / 3 from 7).
void draw_sector(const map_sector* sector);

// A character's outline polygon: every point p drawn at p x scale + (x, y); white lines, red for
// type 2, and the point marker on every point.
void draw_sector_scaled(const map_sector* sector, float x, float y, float scale);

// draw_sector for every active slot below the count.
void draw_all_sectors();

// Whether (x, y) lies in sector n; a number outside 0 to 99 is not inside.
int32_t point_in_sector(float x, float y, int32_t n);

// Crossing test with every coordinate of the polygon multiplied by scale; 0 for an open
// polygon. A point level with a vertex counts as below it.
int32_t point_in_polygon(float x, float y, const map_sector* polygon, float scale);

// The sectors of a level map file: u32 256, then all 100 records, no count. The reader clears
// every slot, ignores the stored size, reads 100 records of 256 bytes and sets the count to one
// past the highest active slot; records after an early end of the data stay clear. Both do
// nothing for a null stream and return false when the section is incomplete.
bool write_sectors(packed_stream* stream);
bool read_sectors(packed_stream* stream);

// The 256-byte file record (also embedded in the character record). Decoding clamps the point
// count to 0 to 20.
void encode_map_sector(const map_sector& sector, uint8_t* bytes);
void decode_map_sector(const uint8_t* bytes, map_sector* sector);
