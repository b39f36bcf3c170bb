// The per-level change files: the changeable sections of each visited level, kept under
// "global/" by the level's file name.
#pragma once

constexpr int k_level_save_names = 54;
constexpr int k_level_save_name_size = 60;

// The levels whose change files are kept, copied into save games and deleted together.
extern char g_level_save_names[k_level_save_names][k_level_save_name_size];

// Deletes every change file the program can have written; failures are ignored.
void delete_level_saves();
