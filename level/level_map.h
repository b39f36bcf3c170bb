// The level map file: one packed file per level under "data/levels/", holding every level table
// in a fixed order of sections, each written and read by the table's owner:
//
//   1 tag "ele003" and four NUL bytes        9 movement map
//   2 object prototypes                     10 scene header
//   3 sectors                               11 the tag again (read back, not compared)
//   4 map events                            12 level containers
//   5 map texts                             13 character placements
//   6 entities                              14 ground items
//   7 world objects and the 100 lights      15 monster points
//   8 level effects
//
// The reader depends on the order alone; there is no length, end marker or checksum. The
// template "global/empty" (sections 1 to 10 are read) starts a new map in the editor.
#pragma once

#include "level/level_saves.h"

#include <cstdint>
#include <string>

struct packed_stream;

constexpr int k_map_tag_size = 10;
extern const char k_map_tag[k_map_tag_size];  // "ele003" and four NUL bytes
inline constexpr const char* k_levels_folder = "data/levels/";
inline constexpr const char* k_empty_map_file = "global/empty";

// The map file that was last read or written whole in this run ("" before one was, and after
// the empty template replaced the map): the editor's close-time save writes only to it.
extern char g_session_map_path[k_map_path_size];

// The path of a level: the name itself when that file exists, else "data/levels/" + name; "" for
// a name that would leave the working folder (refused, core/data_files.h).
std::string level_map_path(const char* name);

enum class map_check { ok, missing, wrong_tag };
// Whether the file exists and starts with the tag (compared up to its NUL).
map_check check_level_map(const char* path);
// check_level_map, with a map that is missing or has a wrong tag ("nespravna verzia mapy")
// reported (core/data_files.h) with `kept` as what stays; true for a map that may be read.
bool checked_level_map(const char* path, const char* kept);

// The map file read dry: every section taken as its reader takes it, no table changed. "" when
// every section reads whole and no byte follows the last; else where the file is damaged, as the
// reader's report names it ("sekcia <name>" of the first section that does not read whole, or
// "<n> bajtov za koncom dat"), or "hlavicka" when the file cannot be opened as a packed file.
std::string level_map_damage(const char* path);
// checked_level_map, then the dry read: a map that would not read whole is reported damaged
// (core/data_files.h) with `kept` as what stays. True for a map that a level change may enter.
bool whole_level_map(const char* path, const char* kept);

// The level's texture pack index: candidate A is "data/levels/" + name with its last three
// characters replaced by "idx"; candidate B "data/levels/" + name with its last six characters
// replaced by ".idx" (bojovka01.sav gives bojovka.idx). A candidate the name is too short for
// is empty.
void level_pack_candidates(const char* name, std::string* a, std::string* b);

// Reads a level whose tag was checked: the level's texture pack (candidate A, else candidate B,
// which marks the prototypes loaded), then "zacinam citat", the path into g_map_path (and the
// session's map), all fifteen sections with their progress lines, and "load ok". `unread` when
// the file could not be opened (reported), `damaged` when a section did not read whole or bytes
// follow the last: the map is then reported naming the first such section or the bytes after
// (core/data_files.h), never "load ok", it is not the
// session's map, and the tables hold what the sections gave.
enum class map_read { unread, damaged, whole };
map_read read_level_map_file(const char* name, const char* path);

// Writes every section to path (a packed file) through a temporary file beside it; the old file
// is replaced only after a complete, checked write. False (logged) otherwise.
bool write_level_map(const char* path);

// The editor's load of a whole map: read as above, then the prototypes' frames, the characters'
// objects cleared, the level's characters and monster points spawned and, for a map read whole,
// "final load ok"; in editor mode the editor is told (level_links.h). A missing file or a wrong
// tag ("nespravna verzia mapy") is reported and changes no table.
void load_level_map(const char* name);
// The same for the map file at a path in any folder (its texture pack found by its file name);
// `unread` when it is missing or has a wrong tag (reported) and no table changed.
map_read load_level_map_file(const char* path);

// Writes the whole map to a path that already exists: the lying ground items are removed, the
// file written, g_map_path set and g_map_dirty cleared. 0 when written; -1 when the path does
// not exist (nothing written) or the write failed (logged, old file and dirty flag kept).
int32_t save_level_map(const char* path);

// The editor's save to a chosen path, which need not exist: the same file as save_level_map,
// with a progress line after most sections ("prtypy out" ... "ground items out"), then
// g_map_path set, g_map_dirty cleared and "game saved succesfully". -1 for an empty path, and
// when the write failed (logged; the old file, g_map_path and g_map_dirty are kept).
int32_t save_level_map_as(const char* path);

// The editor's close-time save: save_level_map to the session's map; -1 (logged) when no map
// was read or written in this run.
int32_t save_session_map();

// Reads the first sections of a map file (tag, prototypes and sections 3 to 10, up to the scene
// header) over the current tables, for inspection: no change file, characters or pack. False when
// the file cannot be opened; a section that does not read whole is reported.
bool read_level_map_head(const char* path);
// The editor's new map: "global/empty" read up to the scene header (its tag not compared), the
// mode tabs re-created in editor mode, the characters' objects cleared and the level's
// characters and placements dropped (the global slots stay); then in editor mode the editor is
// told. Containers, ground items and monster points keep what they held.
void load_empty_map();

// Section 7: u32 420, u32 object count, u32 capacity, the world objects, u32 180, the 100
// lights. Both do nothing for a null stream and return false when the section is incomplete.
//
// The writer writes every record below the count in its slot; a record the reader would not keep
// (below) is written as a free slot, so a map or undo snapshot never holds a record that ends the
// reader's objects.
//
// The reader frees the object array and reads the records (at most 420 bytes of each), keeping
// room for all of them in blocks of 15,000 records as they arrive, up to 150,000 records (the
// rest are skipped, logged; records of no bytes hold none). A record in state 0, with a negative
// prototype or of a class other than 0 becomes a free slot; a kept record whose prototype is not
// a level prototype ends the objects (it and the later records become free, their bytes are
// skipped). Kept records are brought to their loaded state. Then the lights are read and rebuilt
// (engine/lights.h), the characters' objects cleared and the array sorted. When the data ends
// inside the objects, the objects read whole stay and the lights are not read.
bool write_objects_section(packed_stream* stream);
bool read_objects_section(packed_stream* stream);
// Takes the section as read_objects_section does, with `protos` level prototypes read before it,
// and keeps nothing; its verdict is read_objects_section's.
bool skip_objects_section(packed_stream* stream, uint32_t protos);
