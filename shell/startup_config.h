// The command line, the display file game.cfg and the leftovers of interrupted writes.
#pragma once

#include <cstdint>

// The command line is split into at most five words of at most 99 characters (longer words are
// cut); the last word containing ".sav" becomes g_start_level.
void split_command_line(const char* command_line);

// Empties the debug log; sets the editor and console switches from the whole command line;
// reads the display mode from game.cfg.
void read_startup_config(const char* command_line);

// The display size and depth of a game.cfg mode (1 to 10); false for any other value.
bool display_mode_size(int32_t mode, int32_t* width, int32_t* height, int32_t* bpp);

// Removes the temporaries of interrupted writes (files.h) from the working folder and every
// folder below it, which holds every folder the program writes into; each is logged.
void remove_write_leftovers();
