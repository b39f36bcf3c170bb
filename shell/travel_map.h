// The travel map: the level "mapa_<language>.sav", drawn by its own modal loop, on which the
// player picks the next destination among the known locations (g_map_locations_open). Sector i
// of the map level is the clickable area of location i; the first world object of marker
// entity i brightens while the pointer is over it; label entity i shows only once the location
// is known.
#pragma once

#include "core/game_globals.h"

#include <cstdint>

// The entities of the map level that carry each location's label and marker.
extern const int16_t k_travel_map_labels[k_map_locations];
extern const int16_t k_travel_map_markers[k_map_locations];

// The tick after which the marker of location i may change its brightness again.
extern uint32_t g_travel_map_fade_tick[k_map_locations];

struct travel_destination {
    const char* level;
    int32_t entry;
};
// The level and entry point location i leads to; locations 1 and 6 lead to their second level
// once quest slot 3 has reached state 3. A location outside 0 to 18 has no level (null).
travel_destination travel_map_destination(int32_t location);

// Opens the map: the hero stands, the map level is entered behind a fade with the view at
// (0, 0) and the pointer at the screen centre, the known locations' labels are shown, and the
// loop runs until a destination has been entered or the window is closed or a quit requested.
// Nothing would let the player leave a map without a known location that has an area on it and
// a level that can be entered: without a way on (travel_map_has_way_on) the map is not opened;
// when the map level cannot be entered, or none of the known locations has an area on it, the
// hero arrives back where it stood (logged).
void travel_map_screen();

// Whether the map may open: the map level itself can be entered, some location is known and the
// level of some known location can be entered. When not, the log says so and the message log
// names the map level refused, or each refused level of the known locations once.
bool travel_map_has_way_on();

// The modal loop: ticks count from 0 inside the map; per pass one window message, the input,
// the console key, the map drawn, travel_map_frame, the present. Ends when g_travel_map_running
// is 0 or a quit was requested.
void travel_map_loop();

// The hover and click handling of one pass, location by location in order, known ones only: the
// marker dims by 0.1 (down to 0) while the pointer is outside the location's area and brightens
// by 0.1 (up to 1) while it is inside, at most once every 3 ticks; the left button inside enters
// the destination (fade, level change, arrival at its entry) and ends the map. A destination
// that cannot be entered keeps the map open.
void travel_map_frame();
