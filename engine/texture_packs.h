// Texture packs: the ready-made surfaces of many textures in one pixel file (extension dat),
// with an index of names (idx) and a prototype-mask file (msk) of the same base name.
//
// Pixel entry, at the offset the index gives: u32 width (0: the texture had no surface and the
// entry ends here), u32 height, u32 surface-format code (2, 4, 10 or 19), i32 pitch (bytes per
// row), then pitch × rows bytes of the surface, top row first (rows of 4 × 4 blocks for DXT3).
// Index: u32 N, then per entry 120 bytes of name and an i32 offset. Mask file: u32 P, then per
// object prototype 30 bytes of name, an i16 marker (1: a tile mask follows) and the mask bytes.
// All numbers are little-endian.
//
// Entries are checked before use: width and height 1 to 1024, a known format, a pitch of 1 to
// 65536 bytes; rows are copied within both the entry's and the surface's pitch.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct packed_stream;

constexpr uint32_t k_pack_max_side = 1024;

// Writes the pack: every slot (level_only 0, as "main.dat", "main.idx", "main.msk" in the
// working folder) or the slots of the current level (level_only 1, beside g_map_path with the
// extensions dat, idx and msk). Each file replaces the old one only after a complete write.
// Sets pack_offset of each written slot. 0, or -1 (logged) when a file could not be written.
int32_t save_texture_pack(int32_t level_only);

// Replaces the whole table by the index's entries (all earlier slots freed first) and makes
// every surface at once from the pack's pixel file, which g_map_path then names: `pixel_file`,
// or the language's main pack when it is null. The fixed
// textures and the sprite font's glyphs keep their surfaces in new slots after the pack's. A
// missing or unreadable index leaves the table as it was (logged); an index whose length does
// not match its count, and a pack from which no entry gives a surface, are logged by name.
void load_texture_pack(const char* index_name, const char* pixel_file = nullptr);

// Adds the index's entries as level textures made on their first draw from the pack that
// g_map_path names; each fills the first slot with no surface and no pack entry, else a slot
// appended. 0, or -1 (logged) when the index cannot be read.
int32_t add_textures_from_pack(const char* index_name);

// Writes the slot's pixel entry at the file's position. 0, or -1 for a slot out of range or a
// failed write.
int32_t write_texture_pixels(int32_t slot, std::FILE* file);

// Frees the slot and reads one index entry into it (name and pack_offset, refcount 0).
// 0, or -1 without a file, for a slot out of range or a short entry.
int32_t read_texture_record(int32_t slot, std::FILE* file);

// Reads one pixel entry from the stream into a new surface of the slot (refcount 0). A name
// ending in 'i' reads past the entry and leaves the slot without a surface. 0, or -1 without a
// stream, for a slot out of range or a bad or short entry (the slot then has no surface).
int32_t read_texture_pixels(int32_t slot, packed_stream* stream);

// The pack branch of upload_texture: the slot's entry from the pixel file g_map_path names
// (its last three characters replaced by "dat").
int32_t upload_texture_from_pack(int32_t slot);

// The mask file's contents: u32 P, then the entries of the level's P object prototypes. The
// object prototype table supplies it; while none does, the file holds P = 0.
extern std::vector<uint8_t> (*g_pack_mask_file)();

// The three file names of a pack from its base name: the third-last character becomes 'd' and
// the last 't' for the pixel file ("x.sav" gives "x.dat"), the last three "idx" and "msk" for
// the others. False for a base name shorter than three characters.
bool texture_pack_names(const char* base, char (&dat)[256], char (&idx)[256], char (&msk)[256]);
