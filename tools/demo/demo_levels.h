// The demo's level building blocks, shared by the files that write levels: the level tables
// filled here are written through the level map writer.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// Every level table empty, as before a map is read, with a new scene header.
void clear_level_tables();
// A world object of prototype `proto` at (x, y) on the layer, with colour factors; its index.
int32_t place(int32_t proto, float x, float y, uint8_t layer, bool depth_sorted, float r = 1, float g = 1, float b = 1);
// A movement map over the rectangle, its cells blocked around each listed point.
void make_movemap(float x0, float y0, float x1, float y1, const std::vector<std::pair<float, float>>& blocked);
// A closed rectangular sector in the next free slot with the footstep ground.
void add_rect_sector(float x0, float y0, float x1, float y1, int32_t ground);
// The scene header: names, level type, one entry point, the fixed light.
void set_scene(const char* display_name, uint8_t type, float entry_x, float entry_y, float light);
// Writes the tables as the level map file `path`; the tool ends when that fails.
void save_level(const char* path);
