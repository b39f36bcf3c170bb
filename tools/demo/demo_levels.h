// The demo's level building blocks, shared by the files that write levels: the level tables
// filled here are written through the level map writer.
#pragma once

#include "script/map_events.h"

#include <cstdint>
#include <utility>
#include <vector>

// The demo's level prototypes, added to the prototype table.
struct level_protos {
    int32_t meadow, torch, wheel, sparks, crate;
};
level_protos add_level_protos();
// Surfaces of 4 x 3 tiles from (x0, y0), columns x rows of them, each three tiles right of the
// last, so the next one covers the tile its mask leaves out. The camera keeps to the ground they
// cover, (x0, y0) to (x0 + 192 columns, y0 + 192 rows), so its corners are the screen's.
void lay_ground(int32_t meadow, float x0, float y0, int columns, int rows, float r, float g, float b);

// A new event `name` at the end of the level's table, without conditions or actions (none of an
// earlier level's left in its record).
event_record& add_event(const char* name);

// A way out of a level: the rectangle (x0, y0) to (x1, y1) a sector under a trodden path, with
// a signpost at (sign_x, sign_y) whose board names where the way leads, and the event `name` that
// takes `action` with `text` and `number` once the player stands in the sector. A way in a corner
// has its signpost on the level's side of the path, clear of the HUD's bars at the screen's edges
// while the hero walks there.
struct level_exit {
    const char* name;
    float x0, y0, x1, y1, sign_x, sign_y;
    const char* board;
    uint32_t action;
    const char* text;
    int32_t number;
};
// Its sector.
int32_t add_exit(const level_exit& way);
// A signpost at (x, y) whose board carries `board`; its world object.
int32_t add_signpost(const char* name, const char* board, float x, float y);
// An event that makes travel-map location `location` known while the hero is in the level.
void add_map_location_event(int32_t location);
// The set pieces' sprite prototypes: a lever that tips over from its first frame to its last, a
// gate that swings open the same way, a statue and a shrine; their slots.
int32_t lever_proto();
int32_t gate_proto();
int32_t statue_proto();
int32_t shrine_proto();

// The ground of the yard and the detours' small levels, 6 x 5 surfaces from (-128, -96), and
// their way back to the gate's entry in its south-east corner.
constexpr float k_small_west = -128.0f, k_small_north = -96.0f, k_small_east = 1024.0f, k_small_south = 864.0f;
void lay_small_ground(int32_t meadow, float r, float g, float b);
void add_way_back_to_gate();

// The gate level's ground: (-128, -96) to (1408, 1056).
constexpr float k_gate_west = -128.0f, k_gate_north = -96.0f, k_gate_east = 1408.0f, k_gate_south = 1056.0f;

// The gate level's map texts, its signpost and its way to the yard in the north-west corner:
// sectors and map events.
void add_gate_events();

// The gate level's road in the north-east corner: it opens the travel map, or takes a story
// detour.
void add_gate_road();

// The gate level's epilogue signpost: a click on the patch south-east of the north-west corner,
// (200, 160) to (280, 240), starts the epilogue, after which the ending plays. Added after the
// other sectors, events and map texts.
void add_epilogue_signpost();

// The gate level's torch laid flat on four corner points, on the layer of the other torches.
void add_gate_laid_torch(int32_t torch);

// The gate level's ground items: a sword, 120 gold, two potions, an essence and a trap.
void add_gate_ground_items();

// Every level table empty, as before a map is read, with a new scene header.
void clear_level_tables();
// A world object of prototype `proto` at (x, y) on the layer, with colour factors; its index.
int32_t place(int32_t proto, float x, float y, uint8_t layer, bool depth_sorted, float r = 1, float g = 1, float b = 1);
// A one-frame sprite prototype of the level drawing `image` at width x height; its slot.
int32_t sprite_proto(const char* name, const char* image, int32_t width, int32_t height);
// Entity `entity` (the count grows to hold it) named `name`, state 1, without sector or link,
// owning world object `object`.
void add_object_entity(int16_t entity, const char* name, int32_t object);
// A movement map over the rectangle, its cells blocked around each listed point.
void make_movemap(float x0, float y0, float x1, float y1, const std::vector<std::pair<float, float>>& blocked);
// A closed rectangular sector in the next free slot with the footstep ground.
void add_rect_sector(float x0, float y0, float x1, float y1, int32_t ground);
// The scene header: names, level type, one entry point, the fixed light.
void set_scene(const char* display_name, uint8_t type, float entry_x, float entry_y, float light);
// Writes the tables as the level map file `path`; the tool ends when that fails.
void save_level(const char* path);
