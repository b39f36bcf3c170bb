// The character table: every character of the game is one record in 255 fixed slots. Slots 0
// to 3 hold the global characters (the hero and companions of "global/characters.dat") and
// survive a level change; the level's characters follow them.
#pragma once

#include "characters/char_record.h"
#include "core/table_file_state.h"

#include <cstdint>

struct world_object;

constexpr int k_char_slots = 255;
constexpr int k_global_char_slots = 4;
constexpr const char* k_characters_file = "global/characters.dat";
constexpr int k_char_sounds = 5;

extern char_record g_chars[k_char_slots];
extern uint32_t g_char_count;   // slots in use: 0 to count - 1
extern uint32_t g_player_char;  // slot of the player's character
// The player's world object index as the player's frame last published it, -1 none.
extern int32_t g_player_object;

// The record of a slot in use, or null.
char_record* char_at(int32_t slot);
// The character's own world object (prototype code -2 - slot), or null when it has none.
world_object* world_object_of(const char_record& character);

// Puts a loaded character into the world at (x, y) in the given slot: a world object with
// prototype code -2 - slot (any object of its own it still has is freed first), alive, the
// run-time fields reset, all clips reloaded and the move, attack and stand clips started; a
// PLAYER outside editor mode gets a light; the statistics recomputed (not full). Returns the
// record.
char_record* add_char(char_record* character, int32_t slot, float x, float y);

// The same for a character read from a save game or a level-character section: placed at its
// stored position, keeping its life state (a corpse's object plays its death once), hit points
// at hp_ceiling, speech and damage state cleared, its current action restarted.
void init_char_runtime(char_record* character, int32_t slot);

// The editor's new character, appended: skills 10, hit points and mana 10, level 1, PLAYER,
// alive, no body parts or clips, scales 1.0, run speed 4, walking factor 1.0, set 1. Its slot,
// or -1 when the table is full.
int32_t new_default_char();

// Empties every animation clip list of the character and sets its clip variants to none.
void clear_char_clips(char_record* character);

// Removes a slot: the later records move down one place (their slot fields and world objects
// follow) and the count drops. The removed character's world object is freed.
void remove_char_slot(int32_t slot);

// Reads a character file into the first slot below the count that is a level character out of
// the world (life 0), else into a new slot; marks it a level character. The slot, or -1 when the
// table is full or the file cannot be read (no slot is taken then).
int32_t load_char_into_free_slot(const char* path);

// The single-character file (packed): u32 record size 5812, then the record. The reader takes
// min(stored size, 5812) bytes over the slot's record (the rest stays, a longer record's tail is
// skipped), then resets the run-time fields (no object, alive, no pending target, script flags
// and item timers 0, speech empty), takes the key name as display name when that is shorter than
// 2 characters and rebuilds the sound lists. A missing file leaves the slot as it was; so does a
// damaged one (cut, or with bytes after the record), with a log line the first time in a run (a
// creature's file is read for every one placed). Both return true on success.
bool write_char_file(int32_t slot, const char* path);
bool read_char_file(int32_t slot, const char* path);
// Reads a character file over `record` as read_char_file reads it over a slot, without the sound
// lists; false, the record as it was, for a missing or damaged file.
bool read_char_file_record(const char* path, char_record* record);

// "global/characters.dat" (packed): u32 count n, u32 record size, n records. Reading marks every
// slot without a world object, then reads the records into slots 0 to n-1 as read_char_file does
// (level_char 0), with the sound lists when asked, and sets the count. A count above 255 or a file
// cut short is refused with a log line and the table stays as it was; a missing file leaves it
// too. Bytes after the records are reported and leave the file not read whole. Writing stores the
// global PLAYER and SIDEKICK characters (a level's own companions stay with the level) that are in
// the world or dead, in slot order; the old file stays when a write fails.
bool read_characters(bool build_sounds);
bool write_characters();
// Whether the table's global characters may be written back over "global/characters.dat": read
// whole when read_characters took the file or it is missing; the editor marks its edits.
extern table_file_state g_characters_file;

// The hit ("h_<appearance>1" to 5) and death ("d_...") samples of the character, each list
// stopping at the first sound that does not exist.
void build_char_sounds(char_record* character);

// Logs the text and the display name, and shows the text over the character for 400 ticks.
void char_say(int32_t slot, const char* text);
// One of the character's hit or death samples, at random, at its world object.
void play_char_hit_sound(int32_t slot);
void play_char_death_sound(int32_t slot);
// While its speech lasts, the text centred 100 pixels above the character's world object, white.
void draw_char_speech(int32_t slot);

