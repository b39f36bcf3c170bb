// Save games: one folder per save under "save/" holding the hero, the hero's containers, the
// game clock and position, the quests and flags, the quick bar, the attunement points, the
// travel-map locations, a thumbnail and a copy of every per-level change file; the list of saves
// is "save/save.dat" (packed: i16 count, then 255-byte names).
#pragma once

#include "core/table_file_state.h"

#include <cstdint>

constexpr int k_save_slots = 199;
constexpr int k_save_name_size = 255;
constexpr int k_save_name_max = k_save_name_size - 1;

struct save_list {
    int16_t count;
    char names[k_save_slots][k_save_name_size];  // terminated
};

extern save_list g_save_list;
inline constexpr const char* k_save_list_file = "save/save.dat";
// Whether the list may be written back over save.dat at shutdown: read whole when every stored
// name was read or the file is missing, and after every complete write; saving a game and
// removing a save write the list at once.
extern table_file_state g_save_list_file;

// A save name stays inside its folder under "save/": 1 to 254 characters, no "/" or "\", no
// "..", not starting with "." (the temporary folder's mark).
bool is_valid_save_name(const char* name);

// Fills g_save_list from save.dat; a missing file leaves it as it was (reported,
// core/data_files.h). At most 199 names are taken; a file holding more is not read whole. A
// damaged file (no packed head, no count, a negative count, names cut short, bytes after the
// names the count covers) is reported and the list made again from the save folders whose files all read whole (whether or not the tables
// they refer to are loaded yet), newest first, and written at once, so that no save is lost from
// the list; when no save folder reads whole the list stays empty and the file as it was. Then
// every name that is not a valid save name or whose "save/<name>/game.ss" is missing is removed
// (save.dat rewritten when it was read whole).
// What an interrupted save left in its temporary folder is removed.
void save_list_read();
// Writes save.dat from g_save_list (the folder "save" created first); false when it fails, the
// old file kept.
bool save_list_write();
// Removes entry i (the later ones move up), then writes save.dat from the list. The save folder
// stays on disk.
void save_list_remove(save_list* list, int32_t i);
// Orders the list newest first by the modification time of each save's game.ss (insertion sort,
// equal times keep their order; a missing game.ss counts as oldest).
void sort_save_list(save_list* list);
// save_list_read, then sort_save_list on g_save_list.
void refresh_save_list();

// Saves the game under `name`. Refused, with nothing changed, for an invalid name; with a debug
// line while no game runs (the title's backdrop level is no game); unless
// `force`, during a dialogue (UI text 103); with 199 names listed (104); unless `force`, in a
// fight or while the camera does not follow the hero (105); while the world holds no level read
// whole from its map file (or written to one) in this run, or g_map_path names another file, with
// a message-log line that nothing was saved; with a debug line when the level's map lies outside
// the working folder, where no save can find it again. Otherwise the item in hand
// goes back where it came from, the current level's changes are written, and every file of the
// save is written into a temporary folder beside the save's ("save/.~saving", with the thumbnail
// taken before any fade; `fade` wraps the rest in a fade to black and back). game.ss names the
// level by its map's path relative to the working folder, however the map was opened (the editor
// opens it by an absolute path).
// Only when every file is complete does the temporary folder replace the save's folder, in one
// step, so an interrupted save leaves the previous save whole. Then the name is listed (once),
// save.dat written and the message log told (UI texts 155/157 for "quick", else 106). False, the
// failure logged and any old save kept, when anything could not be written.
bool save_game(save_list* list, const char* name, uint32_t fade, uint32_t force);

// Restores the save `name`. Every file of the save is read and checked whole first (game.ss of
// 414 bytes naming a level that can be entered, quest.ss, attune.ss and quick.ss with counts and
// indices within their tables, char.ss, container.ss and every level copy holding exactly what
// their readers take). A save without game.ss is refused with a debug line; one partly missing or
// damaged with UI text 107 too; one whose level cannot be entered (its map missing or outside the
// working folder, of a wrong tag or not reading whole) with a debug line naming the level and why
// (the section where it breaks) and a message-log line that the save's level is missing or
// damaged. Either way nothing of the running game and nothing of the save changes. Then the item
// in hand goes back where it came from and the item windows close, the level copies replace the
// change files in "global/", the tables take the saved state, the saved level is entered and the
// hero is put back where it stood. The level is entered by its file name when the game finds the
// stored map path by that name (a level of "data/levels/"), else by the stored path. UI texts
// 156/158 for "quick", else 108.
bool load_game(save_list* list, const char* name);
// Why the last load_game was refused, as the player reads it (UI text 107, or the line naming the
// save's level), for a screen that shows no message log; "" after a load that succeeded.
const char* last_load_refusal();

// Called after each file of a save is complete in the temporary folder, with its file name
// ("char.ss", ..., or a level copy's name); null normally. Tests stop a save here.
extern void (*g_save_file_written)(const char* file);
