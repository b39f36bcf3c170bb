// Dynamic point and spot lights in world coordinates, in one table of 100 slots whose index is
// also the device's light index.
//
// A light is stored in world terms and handed to the device in view terms every frame, as the
// camera and the zoom move. A light that is let go fades its colour out over about a second
// and frees its slot. The level map file stores the whole table as raw 180-byte records.
#pragma once

#include "platform/device_types.h"

#include <cstddef>
#include <cstdint>

struct packed_stream;

constexpr uint32_t k_light_kind_point = 1;
constexpr uint32_t k_light_kind_spot = 2;

constexpr uint8_t k_light_free = 0;
constexpr uint8_t k_light_on = 1;
constexpr uint8_t k_light_fading = 2;

struct light_record {
    device_light device;     // as the device takes it, recomputed every frame
    uint8_t state;           // k_light_free, k_light_on, k_light_fading
    uint8_t pad105[3];
    float x, y, z;           // world position; z is used unchanged on the device
    float r, g, b;           // colour, 0 to 1 per channel
    uint32_t unused132;
    uint32_t selected;       // 1 while the editor's light mode has it picked
    uint8_t kind;            // 1 point, 2 spot
    uint8_t pad141[3];
    float target_x, target_y;  // spot target, world
    uint32_t unused152;
    float range;             // world range, before the zoom correction
    float theta, phi;        // spot inner and outer cone, radians
    uint32_t next_fade_tick;
    uint8_t unused172[8];
};
static_assert(sizeof(light_record) == 180);
static_assert(offsetof(light_record, state) == 104);
static_assert(offsetof(light_record, x) == 108);
static_assert(offsetof(light_record, r) == 120);
static_assert(offsetof(light_record, selected) == 136);
static_assert(offsetof(light_record, kind) == 140);
static_assert(offsetof(light_record, target_x) == 144);
static_assert(offsetof(light_record, range) == 156);
static_assert(offsetof(light_record, theta) == 160);
static_assert(offsetof(light_record, next_fade_tick) == 168);

constexpr int k_light_slots = 100;
constexpr uint32_t k_light_record_size = 180;

extern light_record g_lights[k_light_slots];
extern uint8_t g_light_count;  // the per-frame pass visits slots 0 to count-1

// Turns the light on with a zeroed device part: kind, world position and range stored; a spot
// light gets theta 1.0, phi 2.0, falloff 1.0 and its target 20 pixels to the right.
void light_init(light_record* light, uint8_t kind, float x, float y, float z, float range);

// The colour the device takes at the next per-frame pass.
void light_set_colour(light_record* light, float r, float g, float b);

// A light of range 10 on the first free slot below the count, else on a new slot, set and
// enabled on the device. Returns the slot, or -1 when all 100 slots are taken.
int32_t create_light(uint8_t kind, float x, float y, float z, float r, float g, float b);

// Frees the slot at once; the caller disables the device light itself.
void light_switch_off(light_record* light);

// Starts a fade; the per-frame pass winds the colour down and frees the slot.
void light_fade_out(light_record* light);

// The per-frame pass: converts and sets every light that is on or fading, and steps the fades
// (0.05 per channel, at most every 3 ticks); a fade that reaches black frees its slot. In the
// editor's light mode (work mode 2) each light that is on or fading gets the marker
// "global/select.bmp" at its position and a spot light "global/select3.bmp" at its target, 8 × 8
// sprites at scale 1.5.
void apply_lights();

// Full light, for what is drawn over the lit world: begin_full_light switches the device light of
// each of the first `slots` lights that is on off and makes the device's ambient light white;
// end_full_light switches the device light of each of them that is on again and hands
// g_ambient_color back to the device. Nothing without a device.
constexpr int k_full_light_slots = 50;  // the slots the text windows and screens switch
void begin_full_light(int slots);
void end_full_light(int slots);

// Full light for the guard's scope, over the first k_full_light_slots lights.
struct full_light_guard {
    full_light_guard() { begin_full_light(k_full_light_slots); }
    ~full_light_guard() { end_full_light(k_full_light_slots); }
    full_light_guard(const full_light_guard&) = delete;
    full_light_guard& operator=(const full_light_guard&) = delete;
};

// Moves every light that is not free up (raise) or down (lower) by a / b on the device.
void raise_lights_z(float a, float b);
void lower_lights_z(float a, float b);

// The device part of one light for the current camera, zoom and screen size.
void convert_light(light_record* light);

// The lights of a level map file: u32 record size, then the 100 records. The reader frees the
// lights that are on or fading and switches them off on the device, reads the records (a
// shorter stored record fills the start of its slot, a longer one is cut), turns the stored
// lights that are on back on and sets the count to one past the highest of them. A table that
// cannot be read whole keeps only the records read. Both do nothing for a null stream; the
// reader returns false when the size is missing.
bool write_lights(packed_stream* stream);
bool read_lights(packed_stream* stream);
// Takes the table as read_lights does and keeps nothing; its verdict is read_lights'.
bool skip_lights(packed_stream* stream);
