// Object prototypes: the kinds of things a level places (sprites, particle emitters, 16-frame
// sprites, meshes and surfaces of 64 x 64 tiles), their frames and the tile masks of surfaces.
//
// The level's prototypes fill slots 0 to g_object_proto_count - 1 from its map file; slots 1000
// to 2999 hold templates read from ".pr" files and are free while their kind is -1. Text files
// describe prototypes for the program's own use (the mouse cursor). Frames (textures, or a model
// for a mesh) are loaded when a level is entered or when an object of the prototype is first
// drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct packed_stream;

// Kinds.
constexpr int32_t k_proto_free = -1;
constexpr int32_t k_proto_sprite = 0;
constexpr int32_t k_proto_particle = 1;
constexpr int32_t k_proto_sprite16 = 2;
constexpr int32_t k_proto_mesh = 3;
constexpr int32_t k_proto_surface = 4;

constexpr int k_proto_animations = 16;    // also the tile columns of a surface
constexpr int k_proto_frames = 32;        // also the tile rows of a surface
constexpr int k_proto_name_size = 32;
constexpr int k_proto_frame_name_size = 256;
constexpr int k_proto_slots = 3000;
constexpr int k_proto_first_template = 1000;
constexpr uint32_t k_object_proto_size = 10552;
constexpr int k_tile_size = 64;

// A prototype's kind (k_proto_*), held one above its value so that a record never written, all
// zero bytes, is k_proto_free: the table's unused template slots take no memory. Every 32-bit
// value a file holds is kept as it is (the step wraps, never overflows).
class object_proto_kind {
public:
    object_proto_kind() = default;
    constexpr object_proto_kind(int32_t kind) : stored_(int32_t(uint32_t(kind) + 1u)) {}
    constexpr operator int32_t() const { return int32_t(uint32_t(stored_) - 1u); }

private:
    int32_t stored_;
};

struct object_proto {
    char name[k_proto_name_size];
    object_proto_kind kind;
    int32_t depth_setting;     // handed to the model drawing of a mesh; 1 after reset
    float mesh_value;          // the second number of a mesh's text line; stored only
    float depth_correction;    // handed to the drawing of each frame
    // Animations (1 to 16); a surface's tile columns; a mesh's model parts; a particle
    // prototype's emitter shape.
    int32_t anim_count;
    int32_t frame_counts[k_proto_animations];  // a surface's tile rows in entry 0
    // Texture slot per animation and frame; a mesh's model of part i in [i][0]; a surface's
    // tile texture of column c, row r in [c][r].
    int32_t frames[k_proto_animations][k_proto_frames];
    char frame_names[k_proto_frames][k_proto_frame_name_size];  // entry f names frame f
    int32_t width;             // pixels, 64 after reset
    int32_t height;
    int32_t anim_mode;         // world-object animation mode
    int32_t frame_delay;       // ticks
    int32_t emit_interval;     // ticks between emissions, 50 after reset
    int32_t particle_lifetime; // 100 after reset
    float alpha_mode_value;    // integer part: an emitted particle's alpha mode
    float second_param_value;  // integer part: an emitted particle's second integer parameter
    float spawn_offset[3];     // x, y, z; a surface's first tile column and row in x and y
    float spawn_spread[3];     // also an emitter's radii x, y and its ring width
    float velocity[3];         // x, y, wobble
    float velocity_spread[3];
    float acceleration[3];     // x, y, wobble change
    float acceleration_spread[3];
    float colour[4];           // r, g, b, alpha; 1.0 each after reset
    float colour_spread[4];
    float colour_change[4];
    float colour_change_spread[4];
    float scale;               // 1.0 after reset
    float scale_spread;
    float scale_change;
    float scale_change_spread;
    uint8_t default_layer;     // the editor's active layer when the prototype becomes its brush
    uint8_t frames_loaded;     // run time; cleared whenever a record is read
    uint8_t pad10542[2];
    uint32_t mask_slot;        // always 0: masks live in a side table (written 0, cleared on read)
    uint8_t format_choice;     // handed to get_texture for every frame and tile
    uint8_t aim_at_centre;     // emitted particles move towards the emitter
    uint8_t pad10550[2];
};
static_assert(sizeof(object_proto) == k_object_proto_size);
static_assert(offsetof(object_proto, kind) == 32);
static_assert(offsetof(object_proto, depth_setting) == 36);
static_assert(offsetof(object_proto, mesh_value) == 40);
static_assert(offsetof(object_proto, depth_correction) == 44);
static_assert(offsetof(object_proto, anim_count) == 48);
static_assert(offsetof(object_proto, frame_counts) == 52);
static_assert(offsetof(object_proto, frames) == 116);
static_assert(offsetof(object_proto, frame_names) == 2164);
static_assert(offsetof(object_proto, width) == 10356);
static_assert(offsetof(object_proto, height) == 10360);
static_assert(offsetof(object_proto, anim_mode) == 10364);
static_assert(offsetof(object_proto, frame_delay) == 10368);
static_assert(offsetof(object_proto, emit_interval) == 10372);
static_assert(offsetof(object_proto, particle_lifetime) == 10376);
static_assert(offsetof(object_proto, alpha_mode_value) == 10380);
static_assert(offsetof(object_proto, second_param_value) == 10384);
static_assert(offsetof(object_proto, spawn_offset) == 10388);
static_assert(offsetof(object_proto, spawn_spread) == 10400);
static_assert(offsetof(object_proto, velocity) == 10412);
static_assert(offsetof(object_proto, velocity_spread) == 10424);
static_assert(offsetof(object_proto, acceleration) == 10436);
static_assert(offsetof(object_proto, acceleration_spread) == 10448);
static_assert(offsetof(object_proto, colour) == 10460);
static_assert(offsetof(object_proto, colour_spread) == 10476);
static_assert(offsetof(object_proto, colour_change) == 10492);
static_assert(offsetof(object_proto, colour_change_spread) == 10508);
static_assert(offsetof(object_proto, scale) == 10524);
static_assert(offsetof(object_proto, scale_spread) == 10528);
static_assert(offsetof(object_proto, scale_change) == 10532);
static_assert(offsetof(object_proto, scale_change_spread) == 10536);
static_assert(offsetof(object_proto, default_layer) == 10540);
static_assert(offsetof(object_proto, frames_loaded) == 10541);
static_assert(offsetof(object_proto, mask_slot) == 10544);
static_assert(offsetof(object_proto, format_choice) == 10548);
static_assert(offsetof(object_proto, aim_at_centre) == 10549);

extern object_proto g_object_protos[k_proto_slots];
extern uint32_t g_object_proto_count;  // level prototypes: slots 0 to count - 1
extern uint32_t g_protos_all_loaded;   // every level prototype has its frames
extern int32_t g_proto_loading;        // the prototype whose frames are being loaded, -1 none

// The record of a valid slot number, else null.
inline object_proto* proto_at(int32_t slot)
{
    return slot >= 0 && slot < k_proto_slots ? &g_object_protos[slot] : nullptr;
}
// The kind of a valid slot, else k_proto_free.
inline int32_t proto_kind_at(int32_t slot)
{
    return slot >= 0 && slot < k_proto_slots ? int32_t(g_object_protos[slot].kind) : k_proto_free;
}
// The slot of a record inside g_object_protos, else -1.
int32_t proto_slot_of(const object_proto* prototype);

// Kind -1, name "new", one animation, 64 x 64, no frames, depth correction 0, depth setting 1,
// default layer 0, emission interval 50, lifetime 100, particle colour and scale 1.0.
void reset_object_proto(object_proto* prototype);

// Reads a prototype text file (below) into the record and logs it loaded. A missing file, and one
// that holds a NUL byte, is reported (core/data_files.h) and leaves the record as it was; a file
// that ends before the frame delay keeps what was read and is reported cut short. Returns false in
// these cases. Frame names that would leave the working folder are refused (no frame loaded).
//
// Whitespace-separated words; label words are skipped unread, so any word may stand in one:
//   name label kind
//   (kind 3) label depth-setting label second-number
//   label width label height [label animation-count (kind 2 only)]
//   per animation: label frame-count label, then the frame file names
//   label animation-mode label frame-delay
// Frame 0 of an animation is always a word of the file. For a later frame f the previous name
// with its sixth- and fifth-last characters replaced by the digits of f is used when that file
// exists; otherwise the next word is the name. Every name goes to entry f of the frame names and
// is loaded at once (a texture, or a model for kind 3) into [animation][f]. Names are cut to
// their fields, counts are held to the table, and names shorter than six characters are never
// renumbered.
bool load_object_proto(object_proto* prototype, const char* path);

// load_object_proto into the slot at the count, which then grows by one. Returns the slot, or
// -1 when the level slots are full.
int32_t add_object_proto(const char* path);

// Resets the slot at the count, makes it a sprite and returns it (the count grows), or -1 when
// the level slots are full.
int32_t add_empty_object_proto();

// Releases what the prototype holds (tile textures and mask, the model, or every frame texture)
// and resets it.
void free_object_proto(object_proto* prototype, int32_t slot);

// Gives back frame n of animation 0 (its texture's reference, the last one freeing it and renaming
// it "NULL", or the mesh's model) and moves the later frames of animation 0 down by one.
void remove_proto_frame(int32_t frame, int32_t slot);

// Gives back the frames of a loaded prototype as remove_proto_frame does and marks it unloaded; a
// frame texture that a template prototype shares stays. With reindex (the editor's delete) every
// world object of the prototype is freed, the later level prototypes move down one slot with the
// objects that refer to them, and the count drops by one.
void unload_object_proto(int32_t slot, bool reindex);

// ".pr" files: u32 record size, then the record. The writer stores 10,552 and the record with
// its mask slot 0; it returns false when a write failed. The reader takes a stored record of any
// size (a longer one is cut, a shorter one leaves the rest clear); only when the record arrived
// whole is the slot unloaded, replaced and its frames loaded at once (textures not of the level).
// The flag is not used.
bool write_object_proto(int32_t slot, packed_stream* stream);
bool read_object_proto(int32_t slot, packed_stream* stream, int32_t flag);
// The ".pr" file at `path` read into the slot (read_object_proto). False when it is missing or
// does not read whole (cut, or with bytes after the record: the slot is freed), reported
// (core/data_files.h) with `kept` as what stands in its place; a prototype read whole but of a
// kind its caller refuses is the caller's to report.
bool read_object_proto_file(int32_t slot, const char* path, const char* kept);

// Section 2 of a level map file: u32 10,552, u32 count, count records. The reader clears each
// slot before its record, keeps at most 1000 level prototypes (skipping the rest), clears the
// mask slot and loaded flag, and leaves the count at the records read whole. Then nothing is
// loaded: the all-loaded flag is 0 and the loading cursor -1. Both return false on a short
// section or a null stream. This reader and the ".pr" reader set the frame entries that
// loading does not fill to -1 (animations from 1 on of kinds 0 to 2, a mesh's model parts from
// 1 on, every entry of an unknown kind) and keep the counts as stored. A level prototype of a
// kind other than 0 to 4 and -1 is kept as stored, nothing of it is drawn, and it is logged with
// the file ("<file>: prototyp <slot> (<name>): nepoznany druh <kind>, nekreslim ho").
bool write_object_protos(packed_stream* stream);
bool read_object_protos(packed_stream* stream, int32_t flag);

// Loads the frames of a prototype not yet marked loaded: kinds 0 to 2 the textures of
// animation 0 (deferred; uploaded at once when in_level is 0), a mesh its model, a surface its
// tile textures and tile mask (columns at most 16, rows at most 32, the record's counts left as
// they are). Then it is marked loaded.
void load_proto_textures(int32_t slot, int32_t in_level);

// After a map is read: in editor mode every level prototype's frames as level textures; then
// every texture without a surface is uploaded.
void load_all_proto_textures();

// At the end of a level change: loads the frames of every level prototype not yet loaded; the
// all-loaded flag becomes 1 once a call finds none left.
void load_next_proto();

// Loads a surface's tile textures: columns and rows from its animation count and the frame
// count of animation 0 (held to the table), from its first tile column and row, out of the
// folder of frame name 0 ("COLUMNxROW.tga" in pixels); a tile its mask hides gets no texture
// (-1). Returns the last tile's file name, empty when no tile was named.
std::string load_surface_tiles(int32_t slot, int32_t in_level);

// 1 (draw) when the prototype has no mask, the tile lies outside the mask, or its mask byte is
// 0; 0 when the mask hides it.
int32_t test_proto_mask(const object_proto* prototype, int32_t column, int32_t row);

// The mask of a slot's surface (row-major, columns x rows bytes, 0 = present), or null. The
// side table holds one per slot; unloading, freeing and reading a slot drop it.
const uint8_t* proto_mask(int32_t slot, int32_t* columns, int32_t* rows);

// Keeps a surface's mask (columns x rows bytes, 0 = present) for the slot.
void set_proto_mask(int32_t slot, std::vector<uint8_t> bytes, int32_t columns, int32_t rows);

// The mask file of texture packs: u32 level prototype count, then per prototype the first 30
// bytes of its name, an i16 marker (1: its tile mask follows, -1: it has none) and the mask.
// Start-up hands it to the texture packs (g_pack_mask_file).
std::vector<uint8_t> proto_mask_file();
