// World objects: the placed instances of object prototypes in the current level (sprites,
// particle emitters and particles, 16-frame sprites, meshes, tiled surfaces) and the objects
// that characters, ground items, effects and weather own.
//
// They live in one heap array that grows in blocks of 15,000 records, kept sorted by layer when
// a level is read or edited. The pass draws them in the draw order of world/object_order.h: the
// index order, with the depth-sorted objects rearranged by their depth keys every frame. Records
// do not move for that, so an index stays valid for the object's life and across growth; a
// pointer into the array does not survive growth.
#pragma once

#include <cstddef>
#include <cstdint>

// In memory a record is aligned to a cache line and its fields are ordered by use: the first
// line holds what the object pass reads of every object each frame, the second what the pass
// writes as time goes on and what the behaviour step reads, so that an object out of view costs
// two lines; then what drawing a visible object reads, then the rest. Files hold the 420-byte
// record of encode_world_object, whose field order differs.
struct alignas(64) world_object {
    // 0 free; 3 after initialisation, 2 for a new particle. While above 1 each visible draw pass
    // lowers it and draws nothing.
    uint8_t state;
    uint8_t layer;              // 250 when free; 29 to 32 are dream-world layers
    uint8_t object_class;       // k_class_*
    uint8_t anim;               // animation of the prototype
    int16_t owner;              // character slot, 255 none
    uint8_t drift_interval;     // ticks, 1 after initialisation
    // The editor's handle of the grab: 0 none, 1 to 4 corner point 0 to 3, 5 inside the quad.
    uint8_t grabbed_corner;
    int32_t entity;             // owning entity, -1 none; for classes 2 and 3 the character slot
    int32_t proto;              // prototype slot; -2 - s: character slot s; -1 none
    uint32_t depth_sorted;      // k_depth_*
    uint32_t highlight;         // drawn highlighted
    float x, y;                 // world pixels
    float scale;                // counts by its magnitude in the visibility test
    int32_t width, height;      // from the prototype
    uint32_t has_corners;       // the corners define the drawn quad and the footprint
    int32_t frame;
    uint32_t backward;          // ping-pong direction: 0 forward, 1 backward
    int32_t anim_mode;          // from the prototype
    int32_t frame_delay;        // ticks, from the prototype

    uint32_t next_anim_tick;
    uint32_t next_drift_tick;
    uint32_t next_behaviour_tick;
    int32_t particle_role;      // 1 particle, 0 emitter, -1 not of a particle prototype
    float drift_x, drift_y;     // texture offsets of sprites and quads
    float drift_step_x, drift_step_y;
    int32_t lifetime;           // -1 endless; -2 - s: a missile hit character slot s
    int32_t entry_count;        // 0 to 5
    uint8_t entry_kinds[5];     // behaviour entries
    uint8_t impact;             // a missile's spell impact and blood are due
    uint8_t spell_object;       // 1 for an object a spell made
    uint8_t lasting_mark;       // a lasting spell object (endless lifetime): 5, or 6 for spell 64; 0 none
    float alpha;
    int32_t depth_key;          // computed while drawing
    float depth_offset;         // added to y for the depth key
    int32_t angle_a;            // sprite flip, cornered quad's quarter turns, surface layout 0-7

    float red, green, blue;     // colour factors, 1.0
    uint32_t cursor;            // the editor's brush preview
    int32_t angle_b;            // a cornered quad's flip mode
    int32_t angle_c;
    uint32_t light;             // made in the editor's light mode; handed to the cornered quad
    float z;                    // depth of a mesh (each frame) and of a particle
    uint32_t next_particle_tick;
    int32_t model_variant;
    float corners[8];           // x0, y0, x1, y1, x2, y2, x3, y3
    float entry_floats[5][5];   // a particle's motion (see k_particle_*)
    int32_t entry_ints[5][5];   // a particle's alpha mode in [0][0]
    uint32_t item_id;           // an attached object: the id of the item that spawned it
    uint32_t attached_drawing;  // an attached object: 1
    float reserved;             // 1.0
    // The file record's padding, kept as it was read.
    uint8_t pad3;
    uint8_t pad85[3];
    uint8_t pad129[3];
    uint8_t pad417;
    // Fills the record to whole cache lines; zero, so that records compare and copy as bytes.
    uint8_t line_fill[28];
};
static_assert(sizeof(world_object) == 448);
// The lines of a record that the pass reads of every object, and of a visible object.
constexpr size_t k_object_pass_bytes = 128;
constexpr size_t k_object_draw_bytes = 192;
static_assert(offsetof(world_object, frame_delay) + sizeof(int32_t) == 64);
static_assert(offsetof(world_object, angle_a) + sizeof(int32_t) == k_object_pass_bytes);
static_assert(offsetof(world_object, model_variant) + sizeof(int32_t) <= k_object_draw_bytes);

constexpr uint32_t k_world_object_size = 420;
constexpr uint32_t k_object_growth = 15000;
constexpr uint8_t k_free_layer = 250;
constexpr int16_t k_no_owner = 255;

// Depth-sorted flags.
constexpr uint32_t k_depth_unsorted = 0;
constexpr uint32_t k_depth_sorted = 1;
constexpr uint32_t k_depth_falling = 2;  // sorted, and a particle's depth offset follows its fall
constexpr uint32_t k_depth_ground = 3;   // a decal on the ground: sorted under every character

// Classes.
constexpr uint8_t k_class_ordinary = 0;
constexpr uint8_t k_class_weather = 1;   // a rain, snow or fog member
constexpr uint8_t k_class_attached = 2;  // an item model attached to a character
constexpr uint8_t k_class_pinned = 3;    // pinned to a character

// Animation modes.
constexpr int32_t k_anim_ping_pong = 0;
constexpr int32_t k_anim_loop = 1;
constexpr int32_t k_anim_reverse_loop = 2;
constexpr int32_t k_anim_once = 3;
constexpr int32_t k_anim_once_backward = 4;

// Particle roles.
constexpr int32_t k_role_particle = 1;
constexpr int32_t k_role_emitter = 0;
constexpr int32_t k_role_none = -1;

// A particle's motion in the float parameter block, by flat index (entry_floats[i / 5][i % 5]).
constexpr int k_particle_velocity_x = 0;
constexpr int k_particle_velocity_y = 1;
constexpr int k_particle_wobble = 2;
constexpr int k_particle_accel_x = 3;
constexpr int k_particle_accel_y = 4;
constexpr int k_particle_wobble_change = 5;
constexpr int k_particle_red = 15;  // the colour at offsets 196, 200, 204
constexpr int k_particle_green = 16;
constexpr int k_particle_blue = 17;
constexpr int k_particle_red_change = 18;
constexpr int k_particle_green_change = 19;
constexpr int k_particle_blue_change = 20;
constexpr int k_particle_alpha_change = 21;
constexpr int k_particle_scale_change = 22;

inline float& particle_value(world_object& o, int i)
{
    return o.entry_floats[i / 5][i % 5];
}
inline float particle_value(const world_object& o, int i)
{
    return o.entry_floats[i / 5][i % 5];
}

extern world_object* g_objects;
extern uint32_t g_object_count;     // slots in use, free ones below the last used included
extern uint32_t g_object_capacity;

// The depth list of the frame: indices of the visible depth-sorted objects in draw order (ground
// decals apart).
constexpr uint32_t k_depth_list_size = 19999;
extern uint32_t g_depth_list[k_depth_list_size];
extern uint16_t g_depth_list_count;
extern uint16_t g_objects_drawn;    // objects found visible in the frame
// The alpha every object is drawn with, owned by the main loop (fades lower it).
extern float g_object_alpha;

// Fills a record (after zeroing it when it is new): state 3, the editor's active layer, the
// prototype's size, animation mode and frame delay, no entity, endless lifetime, white colour;
// a character's object (prototype -2 - slot) gets no more. In the editor's work modes 1 and 2
// any other object also gets corners: the editor's stored corners with editor_corners set, else
// a diamond of the prototype's size around the mouse position, which replaces the given one.
// Returns the object.
world_object* init_object(world_object* object, float x, float y, int32_t proto, float alpha, float scale,
                          int32_t angle_a, int32_t editor_corners);

// Moves the object to the mouse position and draws it on a diamond of its prototype's size at
// scale 1 around it: top and bottom half the height away, left and right three quarters of the
// width away.
void set_corner_diamond(world_object* object);

// A new object: the highest free slot above 0, else a new slot at the end (growing the array by
// 15,000 records when full). Returns its index.
int32_t add_object(float x, float y, int32_t proto, float alpha, float scale, int32_t angle_a,
                   int32_t editor_corners);

// Frees an object (an attached or pinned object with a fade-out entry only gets lifetime 0 and
// fades out). The count does not shrink.
void reset_object(world_object* object);
// add_object remembers which slots above the last one it found free are in use; code that
// moves records or frees them other than through free_object_slot (without changing the count)
// calls this.
void forget_free_slot_hint();
// Frees the slot whatever its class and entries (the end of a fade-out): alpha 0, no entries,
// layer 250, state 0, class 0, no owner.
void free_object_slot(world_object* object);

// Empties the array (level change) and reserves room for at least n records; false when the
// memory cannot be had.
bool reserve_objects(uint32_t n);
// Grows the array by one block of 15,000 records, keeping every record at its index; false when
// the memory cannot be had.
bool grow_objects();
void free_objects();

void set_object_position(world_object* object, float x, float y);
// The distance between the positions of two objects; 10000 when either index is -1 (none) or
// not below the object count.
float world_object_distance(int32_t a, int32_t b);
void animate_object(world_object* object);
void clear_object_motion(world_object* object);
int32_t is_object_visible(const world_object* object);

// Stable sort of the whole array by layer; free slots come after layer 250 and before 251.
void sort_objects();
// sort_objects, then drops the free slots at the end (never below one slot).
void sort_and_trim_objects();
// Exchanges the object with the nearest earlier (backward) or later one of its layer; the new
// index, or -1 when there is none.
int32_t swap_object_in_layer(int32_t index, bool backward);

// The editor's sort-information file ("*.inf", packed): every depth-sorted ordinary object with
// a prototype above 0, as its 420-byte record and the first 30 bytes of its prototype's name.
// Reading copies each stored record over every object of that prototype name at the same place
// (same position, or same corners), keeping the object's own prototype index; `changed`, when
// given, counts the objects overwritten. The writer replaces the file only after a complete
// write. False when the file cannot be written; for the reader, when the file cannot be opened or
// read through or holds bytes after its last whole record: then no object changes and the file
// is reported (core/data_files.h).
bool write_objects(const char* path);
bool read_objects(const char* path, uint32_t* changed = nullptr);

// The 420-byte file record.
void encode_world_object(const world_object& object, uint8_t* bytes);
void decode_world_object(const uint8_t* bytes, world_object* object);

// The per-frame passes.
void draw_objects();
void follow_owner_objects();
// Once per frame: moves the editor's brush preview to the mouse's world position, snapped to
// the cursor lattice while g_cursor_grid is on; then, with the grid on, draws the lattice's dots
// (no snapping and no dots at a zoom of 0 or below).
void draw_cursor_marker();
// Draws one object (the pass calls it for every object in order; the main loop for the brush
// preview, with index 0).
void update_draw_object(world_object* object, int32_t highlighted, int32_t index);

// What the object pass needs of the layers above it; the shell fills the table at start-up. A
// member left null (a test that installs none) is skipped: no character exists (character
// objects and owners have no world object and are not drawn), no entity or weather takes
// objects, and the dream overlay is not shown. The
// player's slot comes from g_scene_hero (world/scene_header.h).
struct world_object_links {
    // Characters.
    int32_t (*char_object)(int32_t slot);               // the character's world object, -1 none
    void (*set_char_object)(int32_t slot, int32_t index);
    uint8_t (*char_life_state)(int32_t slot);
    float (*char_drawn_alpha)(int32_t slot);
    // The character's position at its last update.
    bool (*char_last_position)(int32_t slot, float* x, float* y);
    // The behaviour entries' view of the characters: slots 0 to count - 1 exist; kind and life
    // state as the character table numbers them (k_link_kind_*, k_link_life_alive); the model
    // opacity that tells whether the character is present in the current world.
    uint32_t (*char_count)();
    uint8_t (*char_kind)(int32_t slot);
    float (*char_world_fade)(int32_t slot);
    // Whether the character's mouse-focus outline, placed at its world object, holds (x, y).
    bool (*char_outline_contains)(int32_t slot, float x, float y);
    // The character leaves the world: life state 0, no world object.
    void (*char_leave_world)(int32_t slot);
    // A missile's hit (damage type 0): the caster's slot (-1 none), the weapon value the missile
    // carries, the spell's damage percent and the attunement bound to the spell (-1 none).
    // Returns the damage dealt.
    int32_t (*char_take_hit)(int32_t slot, int32_t caster, int32_t weapon, int32_t percent, int32_t attunement);
    // After a hit that dealt damage: unless the character is stunned or NORMAL, its hit clip,
    // action state 5 and a hit sound; with a stun maximum above 0 it is then stunned for a whole
    // random number of seconds between the two values.
    void (*char_hit_reaction)(int32_t slot, int32_t stun_min, int32_t stun_max);
    // Draws a character at its object (position, depth, scale, alpha, angles and colour given).
    void (*draw_char)(int32_t slot, const world_object& object, float scale, float alpha);
    // Draws an item model attached to a character and places the object where it was drawn
    // (layer, owner and position); returns the alpha factor the character object adds.
    float (*draw_attached_model)(world_object* object, int32_t slot);
    // Entities: the pass clears their lists, adds objects to them and skips hidden ones.
    void (*clear_entity_objects)();
    void (*add_entity_object)(int32_t entity, int32_t index);
    bool (*entity_hidden)(int32_t entity);
    // Weather: clears the member counts; offers a weather object to rain, snow and fog.
    void (*clear_weather_members)();
    void (*offer_weather_member)(int32_t index);
    // The dream world's overlay alpha, for objects on layers 29 to 32 while playing.
    float (*dream_alpha)();
    // The editor: one marker of its view at a world position (k_marker_* of core/editor_globals.h).
    void (*draw_object_marker)(float x, float y, uint32_t marker);
};
extern world_object_links g_object_links;

// Character kinds and the life state the links answer with.
constexpr uint8_t k_link_kind_normal = 0;
constexpr uint8_t k_link_kind_enemy = 2;
constexpr uint8_t k_link_life_alive = 2;

// The editor's brush under the mouse, outside g_objects.
extern world_object g_brush_preview;
