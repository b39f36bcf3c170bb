// The per-level change files: the changeable sections of each visited level, kept under
// "global/" by the level's file name.
#pragma once

#include <cstdint>

constexpr int k_level_save_names = 54;
constexpr int k_level_save_name_size = 60;

// The levels whose change files are kept, copied into save games and deleted together.
extern char g_level_save_names[k_level_save_names][k_level_save_name_size];

// The path of the map last read or written; also the target of a pending level change.
constexpr int k_map_path_size = 256;
extern char g_map_path[k_map_path_size];

// Writes the whole map to a path that already exists; the negative file test when it does not.
// The map writer is not built yet: nothing is written and the result is -1.
int32_t save_level_map(const char* path);

// Deletes every change file the program can have written; failures are ignored.
void delete_level_saves();
