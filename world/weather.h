// Weather and lightning: rain, snow and fog carried by grids of particle emitters fixed to the
// screen, and lightning flashes of the ambient light.
//
// Each weather's emitters are world objects of class 1 made from a template prototype (slots
// 1000 to 2999, read from a ".pr" file at start-up). The object pass clears the member lists
// and hands every class-1 object back to its weather each frame, so the member indices are
// those of the last object pass.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int k_weather_members = 128;
constexpr float k_weather_column_step = 150.0f;
constexpr float k_weather_row_step = 200.0f;
constexpr uint8_t k_weather_layer = 200;

struct weather_emitters {
    uint8_t active;       // 1 while the weather is on
    uint8_t pad1;
    int16_t template_slot;  // object prototype slot, -1 none
    int16_t density;      // grid passes asked for at the last start
    int16_t member_count; // members adopted during the current frame's object pass
    int16_t grid_x[k_weather_members];  // offset of member k from the camera
    int16_t grid_y[k_weather_members];
    int16_t members[k_weather_members]; // world-object indices
};
static_assert(offsetof(weather_emitters, template_slot) == 2);
static_assert(offsetof(weather_emitters, grid_x) == 8);

extern weather_emitters g_rain;
extern weather_emitters g_snow;
extern weather_emitters g_fog;

// Template loading: the first free prototype slot from 1000 to 2999 takes the ".pr" file (its
// animation count set to 0). A missing or unreadable file, a record of no known kind or no free
// slot leaves the template at -1 (logged), and the weather then never starts.
void load_rain(weather_emitters* state);   // "data/env/rain.pr"
void load_snow(weather_emitters* state);   // "data/env/snow.pr"
void load_fog(weather_emitters* state);    // "data/env/fog.pr"

// Starts the weather (with "gr_displayweather" on and a template): `density` passes over a grid
// of columns 150 pixels apart and rows 200 apart covering the view (rain and fog: the screen
// size / zoom; snow: the screen size x g_zoom), at most 128 emitters in all, on layer 200, class 1.
// Rain and fog emitters are depth-sorted with depth offset 1000 and 10000 and skip their first
// draw. The member list fills at the next object pass.
void start_rain(weather_emitters* state, int16_t density, float zoom);
void start_fog(weather_emitters* state, int16_t density, float zoom);
void start_snow(weather_emitters* state, int16_t density);

// Frees every emitter of the weather (class 1, its template; also those not yet adopted) and
// switches the weather off.
void stop_rain(weather_emitters* state);
void stop_snow(weather_emitters* state);
void stop_fog(weather_emitters* state);

// While the weather is on: stopped and started again with its density at the new zoom.
void restart_rain(weather_emitters* state, float zoom);
void restart_fog(weather_emitters* state, float zoom);

// Switches the weather off and forgets its members without freeing any object (a level change,
// whose objects went with the old level).
void switch_off_weather(weather_emitters* state);

// Once per frame, while "gr_displayweather" is on, the weather is on and the level is outside:
// member k moves to the camera plus its grid offset.
void update_rain(weather_emitters* state);
void update_snow(weather_emitters* state);
void update_fog(weather_emitters* state);

// The object pass: the member counts of rain, snow and fog return to 0, then every class-1
// object is offered to each, in any order; an active weather adopts its own emitters, up to 128,
// and keeps them in the order they were made, so that member k is the emitter made for grid
// offset k.
void clear_weather_members();
void adopt_weather_member(weather_emitters* state, int32_t index);
void offer_weather_member(int32_t index);

// Points the object pass's weather hooks at the three weathers.
void link_weather_to_objects();

// Lightning.
enum lightning_phase : uint8_t {
    k_lightning_off = 0,
    k_lightning_waiting = 1,
    k_lightning_flash_due = 2,
    k_lightning_brightening = 3,
    k_lightning_darkening = 4,
};

struct lightning_state {
    uint8_t state;          // lightning_phase
    uint32_t due;           // tick of the next step
    int16_t shortest_pause; // 200 ticks
    int16_t longest_pause;  // 600 ticks
    uint8_t flashes;        // flashes in the current burst
    uint8_t flash;          // index of the current flash
    uint8_t steps;          // steps left in the current brightening or darkening
    float step[3];          // per-step change of red, green and blue
};

extern lightning_state g_lightning;

// Switches between off and waiting; the first burst is due after a random pause of 200 to 600
// ticks.
void toggle_lightning(lightning_state* state);
// Once per frame: each flash brightens the ambient colour to twice its value and darkens it back
// over 10 / (flash index + 1) steps a tick apart; the flashes of a burst are 10 ticks apart.
void update_lightning(lightning_state* state);
// A flash is changing the ambient colour (state 2 or more): the daylight leaves it alone.
bool lightning_in_progress(const lightning_state* state);
