// The game clock and the daylight it gives outside levels.
//
// One game minute passes every 100 ticks while the player is in play. In outside levels the
// clock colours the ambient light: dark blue by night, white by day and linear ramps over the
// two hours of dawn (05:00-06:59) and dusk (18:00-19:59).
#pragma once

#include "engine/render_context.h"

#include <cstddef>
#include <cstdint>

struct game_clock {
    uint32_t next_minute_tick;  // tick at which the next game minute is due
    uint8_t hour;               // 0 to 23
    uint8_t pad5[3];
    uint32_t day;               // from 1
    uint8_t minute;             // 0 to 59
    uint8_t light_phase;        // 1 day or dawn, 2 night or dusk
    uint8_t pad14[2];
    uint32_t dusk_ramp;         // the dusk ramp is running
    uint32_t dawn_ramp;         // the dawn ramp is running
    uint32_t ramp_minute;       // minute at which the ramp colour last stepped
    float ramp_red;
    float ramp_green;
    float ramp_blue;
};
static_assert(sizeof(game_clock) == 40);
static_assert(offsetof(game_clock, hour) == 4);
static_assert(offsetof(game_clock, day) == 8);
static_assert(offsetof(game_clock, minute) == 12);
static_assert(offsetof(game_clock, light_phase) == 13);
static_assert(offsetof(game_clock, dusk_ramp) == 16);
static_assert(offsetof(game_clock, dawn_ramp) == 20);
static_assert(offsetof(game_clock, ramp_minute) == 24);
static_assert(offsetof(game_clock, ramp_red) == 28);

constexpr uint8_t k_light_phase_day = 1;
constexpr uint8_t k_light_phase_night = 2;

extern game_clock g_game_clock;

// Day 1, 17:55, the next minute due at tick 0.
void init_game_clock(game_clock* clock);

// Before 07:00 eight hours on; from 07:00 on, 07:00 of the next day. The minute stays.
void rest_until_morning(game_clock* clock);

// Before 20:00 the hour becomes 20 the same day; from 20:00 on, hour 20 of the next day.
void wait_until_evening(game_clock* clock);

// ((day - 1) x 24 + hour) x 60 + minute.
uint32_t get_clock_minutes(const game_clock* clock);

// Once per frame: while playing in a level that is not a gui level, with no text viewer and
// the overlay menu closed, counts the minutes and runs the dusk and dawn ramps.
void advance_game_clock(game_clock* clock);

// Sets the ambient colour of the clock's band (playing, outside levels only).
void apply_daylight(game_clock* clock);

// The band value of one channel; in an inside level the scene's fixed light.
float get_daylight_red(const game_clock* clock);
float get_daylight_green(const game_clock* clock);
float get_daylight_blue(const game_clock* clock);
