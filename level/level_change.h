// The level change: the current level is replaced by another one behind a loading screen. The
// leaving level's changes go to its change file, the old level's prototypes, models and level
// textures are released, the new map file is read and its change file applied, its characters
// and monster points spawn and its script and music start. Character slots 0 to 3 and the
// global tables survive.
#pragma once

#include "level/level_saves.h"

#include <cstdint>
#include <string>

// The bare file name of the level now loaded (for example "brana.sav"); the leaving level's
// change file is written under it.
extern char g_current_level[k_map_path_size];
// 1 when the entered level's change file was found and read.
extern uint32_t g_change_file_read;

// Changes to the level `name` (a bare level file name, or a path); the item in hand first goes
// back where it came from and the container windows and the quick-slot pull-down close.
// Ordinary changes pass (name, 0, 0, 1); restoring a saved game passes (name, 1, 1, 1), so the
// leaving level's changes are not written and the monster points do not spawn. The loading
// screen shows only with show_loading while a game is running.
//
// A map file that is missing ("no file"), has a wrong tag ("nespravna verzia mapy") or would not
// read whole (read dry first, level_map.h, and reported naming the section) keeps the current
// level: its name, its tables, its resources and its change file stay, and g_map_path names its
// map again (when one was read or written in this run). The steps after the reading (play mode,
// scene music, names and texts) run either way; the message log's "You enter" line only for a
// level entered. A level of type 2 (gui) gets no change file, no
// spawning and no script. In editor mode the editor is told of a map that was read
// (level_links.h). True when the level was entered, false when the current level stays.
bool change_level(const char* name, int32_t skip_change_save, int32_t skip_monster_spawn, int32_t show_loading);

// True when the level `name` may be entered: the name stays in the working folder and its map
// file is there with the map tag and reads whole. Otherwise the refusal is logged, with the
// current level as what stays, as change_level logs it.
bool level_can_be_entered(const char* name);

// The player's line for a level that was refused (level_can_be_entered, change_level): the way
// to `name` is closed, its map file damaged or missing. say_level_closed puts it in the message log.
std::string level_closed_line(const char* name);
void say_level_closed(const char* name);

// The loading screen of a change to `level`: the loading picture, UI text 163 and the level's
// hint (its own, else one of five random ones), shown as one presented frame.
void show_loading_screen(const char* level);
