// The per-level change files: the changeable sections of each visited level, kept under
// "global/" by the level's file name from the first departure until they are all deleted (at
// start-up, on a new game, on quitting and before a saved game is restored).
#pragma once

#include "core/globals.h"

#include <cstdint>

constexpr int k_level_save_names = 54;
constexpr int k_level_save_name_size = 60;

// The levels whose change files are kept, copied into save games and deleted together.
extern char g_level_save_names[k_level_save_names][k_level_save_name_size];

// The change file "global/<level>": character placements, entities, map events, level
// containers, the containers' states, ground items and monster points (their stamps kept), each
// as its section of the level map file, in a packed stream with no tag.
//
// The writer sets the player's interior to none first, and replaces the file only after a
// complete, checked write (false, logged, old file kept otherwise). The reader returns 1 when the
// file was read whole and 0 when there is none or it cannot be opened; a section that does not
// read whole ends the reading, the file reported damaged (core/data_files.h) with the sections
// before it applied, and 0; so do bytes after the last section (all sections applied). After
// reading it links the world objects to their entities again and puts the dropped ground items
// back in the world. A level name that is not a plain file name is refused by both (logged).
bool save_level_changes(const char* level);
int32_t load_level_changes(const char* level);

// Deletes every change file the program can have written; failures are ignored.
void delete_level_saves();
