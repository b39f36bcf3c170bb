// The editor's undo: a stack of snapshot files "global/undo/<n>" of the level's world objects,
// lights and movement map. Each file is the level map file's objects section followed by its
// movement-map section (level/level_map.h, world/movement_map.h), plain, without magic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr const char* k_undo_folder = "global/undo";
constexpr uint32_t k_undo_kept = 60;  // pushing n deletes n - 60

// The number of the newest snapshot; 0 = none. 0 at start.
extern uint32_t g_undo_counter;

// The snapshot file of number n.
std::string undo_snapshot_path(uint32_t n);

// Writes the next snapshot (the folder created on demand), replacing a file of that number only
// after a complete write; a failed write leaves the counter as it was (logged). Then the file is
// made writable, the Global page's undo button enabled when this is snapshot 1, g_map_dirty
// set, and snapshot counter - 60 deleted. Only the snapshot's own stream is opened and closed.
void push_undo_snapshot();

// Reads the newest snapshot back into the objects, lights and movement map: the level's own
// objects become exactly the snapshot's, at their indices; the characters' and the ground items'
// objects stay as they are (moved past the snapshot's objects when a snapshot object takes their
// slot) and their tables follow them. With the counter at
// 0 the undo button is disabled and nothing else happens; a missing file sets the counter to 0
// and disables the button. The whole snapshot is checked before anything is replaced (see
// undo_snapshot_is_sound); a damaged one is logged and deleted and the counter drops by one,
// the tables and g_map_dirty unchanged. Otherwise the file is deleted, the counter drops by one
// and g_map_dirty is set.
void pop_undo_snapshot();

// True when the bytes are a complete snapshot: u32 420, count, capacity with count <= capacity
// and count records present, u32 180 and 100 light records, the movement map's four i16 and
// exactly columns x rows cells after them (none for a map of no cells).
bool undo_snapshot_is_sound(const uint8_t* bytes, size_t size);

// Drops the snapshots of this run (another map replaced the one they were taken of): their files
// are deleted, the counter becomes 0 and the undo button is disabled.
void forget_undo_snapshots();

// Deletes every file (not folder) in the undo folder.
void clear_undo_folder();
