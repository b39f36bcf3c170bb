// The texture table: named, reference-counted texture slots whose surfaces come from image
// files, texture packs or AVI files (video textures).
//
// Other records keep a slot index, often in a 16-bit field where 0xFFFF or -1 means none.
// Every operation taking a slot ignores an index outside the table (negative or at least
// k_texture_slots). The table is never compacted: an index stays valid until its slot is
// released, after which the slot may hold another texture.
#pragma once

#include "platform/video_decoder.h"

#include <cstdint>
#include <vector>

struct device_texture;

constexpr int32_t k_texture_slots = 50000;
constexpr int k_texture_name_size = 120; // a name holds at most 119 characters
constexpr int k_video_slots = 10;

// Surface-format codes of texture_record::format and of texture pack entries.
constexpr uint32_t k_format_file_own = 0; // keep the image file's own format
constexpr uint32_t k_format_a8r8g8b8 = 2;
constexpr uint32_t k_format_r5g6b5 = 4;   // video textures
constexpr uint32_t k_format_a4r4g4b4 = 10;
constexpr uint32_t k_format_dxt3 = 19;

struct texture_record {
    char name[k_texture_name_size]; // the file name as passed; empty in a released slot
    uint32_t refcount;              // get_texture requests not yet released (0 for pack slots)
    uint32_t width, height;         // the surface's size
    uint32_t video_width, video_height;
    device_texture* surface;        // null when there is none
    uint32_t format;                // k_format_* used to create the surface
    uint32_t loaded;                // 1 once creation was attempted; 0 while deferred
    int32_t pack_offset;            // pixel entry in the texture pack, -1 for an own file
    uint32_t is_video;
    uint8_t video_slot;             // index into g_video_slots
    float video_start;              // seconds (clock) at which frame 0 was shown
    uint32_t video_frames;          // the stream's length in frames
    int32_t video_last_frame;       // frame last copied into the surface, -1 at first
    uint32_t in_level;              // belongs to the current level's pack
    uint8_t failure_logged;         // a missing or unreadable file was logged (once per fill)
};

extern texture_record g_textures[k_texture_slots];
extern int32_t g_texture_count; // slots 0 to count - 1 are in use and searched
// Grows each time the whole table is replaced (a texture pack loaded, the table cleared): an index
// taken before names no texture of its holder any more, and is not to be released.
extern uint32_t g_texture_table_generation;

struct video_slot {
    video_file* file;               // null while the slot is free
    video_stream_info info;
};
extern video_slot g_video_slots[k_video_slots];
extern uint8_t g_live_videos; // video textures alive

// The slot of the texture named `name` (exact, case-sensitive), one more reference counted;
// otherwise a new slot made by create_texture_from_file, refcount 1, in the first slot whose
// creation failed or that is empty (texture_slot_empty, then cleared first), or else appended, so
// that textures released and asked for again (each level change) take the same room. A missing
// file still gets a slot (it draws
// nothing). format_choice 0, 1, 2 ask for A4R4G4B4, A8R8G8B8, DXT3; defer leaves the surface
// to the first draw. -1, logged, for a name of 120 characters or more and when the table is
// full.
int32_t get_texture(const char* name, uint32_t video_width, uint32_t video_height, uint32_t in_level,
                    uint32_t mipmaps, int32_t format_choice, uint32_t defer);

// Fills one slot from a file: names ending in 'i' become video textures of
// video_width × video_height (rounded up to powers of two), other names image textures made
// now or, with defer, at the first draw. A surface the slot held is released first.
void create_texture_from_file(int32_t slot, const char* name, uint32_t video_width, uint32_t video_height,
                              int32_t format_choice, uint32_t mipmaps, uint32_t defer);

// Before a draw: 0 when the slot has its surface (making a deferred one now), -1 when it has
// none. A missing file is tried again at every call; a failed creation never again. A deferred
// surface that cannot be made logs its file's name once.
int32_t ensure_texture(int32_t slot);

// Makes the surface from the slot's image file, or from the texture pack when pack_offset is
// not -1. 0, or -1 when no surface results.
int32_t upload_texture(int32_t slot);

// Drops one reference; the last one frees the surface and empties the slot.
void release_texture(int32_t slot);
// Frees the slot's surface and empties it whatever its reference count.
void free_texture(int32_t slot);

// Frees the slot's surface (and its video stream), keeping its name and counts.
void drop_texture_surface(int32_t slot);

// The first slot below the count without a surface, or -1.
int32_t find_free_texture();

// A slot that holds no texture: never filled, or released by its last reference, or freed (a
// freed prototype frame keeps the name "NULL"): no surface, no reference and no pack entry.
// Nothing is uploaded into it; get_texture fills it.
bool texture_slot_empty(int32_t slot);

// The slot at the count, named, refcount 1 and otherwise empty, for an owner that fills it
// itself; -1 (logged) when the table is full or the name too long.
int32_t append_texture_slot(const char* name);

// Once per frame: copies the frame due now into every video texture, restarting a video
// after its last frame.
void update_all_avi_textures();

void set_texture_size(int32_t slot, uint32_t width, uint32_t height);

// Frees every slot and empties the table (count 0); the fixed textures and the sprite font's
// glyphs are none after it.
void clear_texture_table();

// The nine textures that start-up loads into slots of their own.
enum fixed_texture : int {
    k_texture_select,  // "global/select.bmp"
    k_texture_select2, // "global/select2.bmp"
    k_texture_select3, // "global/select3.bmp"
    k_texture_select4, // "global/select4.bmp"
    k_texture_close,   // "global/close.bmp"
    k_texture_black,   // "global/black.tga", 64 × 64
    k_texture_red,     // "global/red.tga"
    k_texture_green,   // "global/green.tga"
    k_texture_blue,    // "global/blue.tga"
    k_fixed_texture_count
};
// Slot indices of the fixed textures; -1 before start-up loads them.
extern int32_t g_fixed_textures[k_fixed_texture_count];
// Appends the nine slots and fills them from their files (format choice 0, no mip-maps).
void load_fixed_textures();

// A texture the program holds by slot number outside any pack (a fixed texture, a glyph of
// g_sprite_font), taken out of the table with its surface while a pack replaces the table.
struct resident_texture {
    int32_t* holder;        // where its slot number is kept
    texture_record record;
};
// Takes the resident textures below the count out of their slots, which are left empty.
std::vector<resident_texture> take_resident_textures();
// Puts each into a new slot at the count and tells its holder the slot (-1, its surface freed,
// when the table is full).
void put_resident_textures(const std::vector<resident_texture>& textures);
