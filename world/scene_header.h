// The scene header of the current level: its names and music, the hero's entry points, the
// camera bounds, how the level is lit, its scale, its footstep ground and its weather chances;
// at run time also the current weather and the character the camera follows.
#pragma once

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr int k_entry_points = 8;
constexpr uint32_t k_scene_header_size = 400;

// Level types.
constexpr uint8_t k_level_outside = 0;  // lit by the game clock
constexpr uint8_t k_level_inside = 1;   // fixed light
constexpr uint8_t k_level_gui = 2;      // fixed light, the clock stands still

// Weather.
constexpr int16_t k_weather_none = 0;
constexpr int16_t k_weather_rain = 1;
constexpr int16_t k_weather_snow = 2;
constexpr int16_t k_weather_fog = 3;

struct scene_header {
    uint8_t reserved0[20];
    uint8_t entry_count;            // 0 to 8
    uint8_t pad21[3];
    float entry_x[k_entry_points];
    float entry_y[k_entry_points];
    int16_t entry_angle[k_entry_points];  // degrees: the hero object's second angle
    float camera_min_x;
    float camera_max_x;
    float camera_min_y;
    float camera_max_y;
    uint8_t level_type;
    uint8_t pad121[3];
    float light_red;                // fixed light
    float light_green;
    float light_blue;
    float scale;                    // multiplies reaches, missile steps and character drawing
    uint32_t reserved140[2];
    uint32_t reserved148;           // 0 when the section is read and at the scene start
    char display_name[80];
    char music_name[20];            // "data/music/" + name + ".ogg"
    char second_name[30];           // edited beside the display name; the game does not read it
    int16_t followed_char;          // the character slot the camera follows
    uint8_t reserved284[48];
    int16_t ground_type;            // default footstep ground
    int16_t weather;                // current weather (run time)
    uint32_t next_weather_tick;     // tick of the next weather roll (run time)
    int16_t rain_chance;            // percent
    int16_t snow_chance;
    int16_t fog_chance;
    uint8_t reserved346[14];
    int16_t rain_duration;          // hundreds of ticks
    int16_t snow_duration;
    int16_t fog_duration;
    uint8_t reserved366[34];
};
static_assert(sizeof(scene_header) == 400);
static_assert(offsetof(scene_header, entry_count) == 20);
static_assert(offsetof(scene_header, entry_x) == 24);
static_assert(offsetof(scene_header, entry_y) == 56);
static_assert(offsetof(scene_header, entry_angle) == 88);
static_assert(offsetof(scene_header, camera_min_x) == 104);
static_assert(offsetof(scene_header, camera_max_y) == 116);
static_assert(offsetof(scene_header, level_type) == 120);
static_assert(offsetof(scene_header, light_red) == 124);
static_assert(offsetof(scene_header, scale) == 136);
static_assert(offsetof(scene_header, reserved140) == 140);
static_assert(offsetof(scene_header, reserved148) == 148);
static_assert(offsetof(scene_header, display_name) == 152);
static_assert(offsetof(scene_header, music_name) == 232);
static_assert(offsetof(scene_header, second_name) == 252);
static_assert(offsetof(scene_header, followed_char) == 282);
static_assert(offsetof(scene_header, ground_type) == 332);
static_assert(offsetof(scene_header, weather) == 334);
static_assert(offsetof(scene_header, next_weather_tick) == 336);
static_assert(offsetof(scene_header, rain_chance) == 340);
static_assert(offsetof(scene_header, rain_duration) == 360);
static_assert(offsetof(scene_header, fog_duration) == 364);

extern scene_header g_scene_header;
// Whether the last hero placement held the camera at the scene's bounds, per axis.
extern uint32_t g_camera_clamp_x;
extern uint32_t g_camera_clamp_y;

// The player's character as the scene header uses it, filled by the level code at start-up
// (install_char_links). While a member is null (a tool or test that links none) the player is
// slot 0 and alive, placing the hero moves only the camera, and the hero has no position to take
// an entry point from.
struct scene_hero_link {
    int16_t (*player_slot)();
    bool (*player_alive)();  // life state 2
    // Puts the player's character into the world at (x, y) with the given second angle (-1
    // keeps the angle it has).
    void (*put_player)(float x, float y, int16_t facing);
    // The position and second angle of the player's world object (the position a level change
    // or a loaded game stored, before the hero is placed).
    bool (*player_position)(float* x, float* y, int16_t* facing);
    // The attackers' places around the player are assigned anew at the next frame.
    void (*reassign_attackers)();
};
extern scene_hero_link g_scene_hero;

// The player's character slot as g_scene_hero answers it; 0 while it is not linked.
int16_t scene_player_slot();

// A new map: no entry points, camera bounds -100000 to 100000, fixed light white, outside,
// scale 1, ground 0, "new map".
void reset_scene_header(scene_header* header);

// The numbers a header may hold: a finite scale above 0 and at most k_scene_scale_max; camera
// bounds and the counted entry points finite and within k_scene_coordinate_limit of 0.
constexpr float k_scene_scale_max = 100.0f;
constexpr float k_scene_coordinate_limit = 16777216.0f;  // 2^24 pixels: floats still hold whole pixels
bool scene_header_numbers_sound(const scene_header& header);

// The scene header of a level map file: u32 400 and the record. The record reader reads the
// stored size and takes min(size, 400) bytes (skipping the rest) over a copy of *header, keeps at
// most 8 entry points, sets the followed character to the player and the word at 148 to 0. Only a
// section there whole with sound numbers (scene_header_numbers_sound) replaces *header; a missing
// size logs "ziadne info o scene", numbers refused log their line, and the reader returns false
// with *header as it was. read_scene_header is the level reader's section: it clears the entry
// count of g_scene_header and has the attackers' places reassigned first, so a header refused
// keeps its previous contents with no entry points. All do nothing for a null stream.
bool write_scene_header(packed_stream* stream);
bool read_scene_header_record(packed_stream* stream, scene_header* header);
bool read_scene_header(packed_stream* stream);
// Takes the section as read_scene_header does and keeps nothing; its verdict is
// read_scene_header's.
bool skip_scene_header(packed_stream* stream);

// The scene start after a level is entered (skipped while a text-window command suppressed
// it): the map music, the zoom, rain off, the run-time values cleared, and the fixed light in an
// inside level.
void play_scene_music(scene_header* header);

// Stops the map music before a level change.
void stop_scene_music();

// The ambient colour for the level and the player's state, handed to the device.
void apply_ambient_light(scene_header* header);

// The weather roll, once per frame while playing in game mode.
void update_weather(scene_header* header);

// An explicit entry position for the next placement at entry -1 (x, y, second angle), set by a
// level change that names the hero's place; the placement takes it once.
struct explicit_entry {
    uint32_t set;
    int32_t x, y, facing;
};
extern explicit_entry g_explicit_entry;

// Puts the hero at entry point n (-1: the explicit entry when one is set, else the stored position; any other value outside the entry
// points: (0, 0)), centres the camera on it and clamps it to the camera bounds.
void place_hero_at_entry(scene_header* header, int32_t n);

// Holds the camera at the bounds: maximum y, maximum x, then minimum y and minimum x, setting
// the clamp flags (the maximum tests set them to 0 or 1, the minimum tests only to 1).
void clamp_camera_to_scene(const scene_header* header);

// Level editor: appends the player's position and angle as an entry point (refused with 8
// already), or removes entry n.
bool add_entry_point(scene_header* header);
void remove_entry_point(scene_header* header, int32_t n);
