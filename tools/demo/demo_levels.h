// The demo's level building blocks, shared by the files that write levels: the level tables
// filled here are written through the level map writer.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// The demo's level prototypes, added to the prototype table.
struct level_protos {
    int32_t meadow, torch, wheel, sparks, crate;
};
level_protos add_level_protos();
// Surfaces of 4 x 3 tiles from (x0, y0), columns x rows of them, each three tiles right of the
// last, so the next one covers the tile its mask leaves out.
void lay_ground(int32_t meadow, float x0, float y0, int columns, int rows, float r, float g, float b);

// The gate level's map texts, its signpost and its way to the yard: sectors and map events.
void add_gate_events();

// The gate level's road in the north-east corner, (940, 40) to (1020, 120): it opens the travel
// map, or takes a story detour.
void add_gate_road();

// The gate level's epilogue signpost: a click on the patch in the north-west, (200, 160) to
// (280, 240), starts the epilogue, after which the ending plays. Added after the other sectors,
// events and map texts.
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
