// The front end: the modal loop the shell runs while no game is in progress, after start-up and
// after every new-game request. Once per run it shows the maker's two splash cards, then the
// intro slide show over the menu level, and then waits in the title menu. Of that menu it
// handles two clicks itself: Start on the new-hero page begins a new game in "brana.sav", and the
// menu's fifth button opens the credits, which its next pass runs.
//
// Each pass handles one window message and reads the input through the shell's hooks
// (interface/interface_links.h); while the application is inactive a pass only waits.
#pragma once

#include <cstdint>

// The splash sequence: each card fades in, holds and fades out; the second is loaded when the
// first has faded out.
enum splash_phase : uint8_t {
    k_splash_load = 0,
    k_splash_fade_in_first = 1,
    k_splash_hold_first = 2,
    k_splash_fade_out_first = 3,
    k_splash_fade_in_second = 4,
    k_splash_hold_second = 5,
    k_splash_fade_out_second = 6,
    k_splash_done = 7,
};

struct splash_state {
    uint8_t state;       // splash_phase
    float alpha;         // the card's opacity; not reset between the cards
    uint32_t due_tick;   // a step is taken in a pass in which due_tick < g_ticks
    uint8_t hold_count;  // steps taken in a hold
};

// Zero at program start and never reset: the splash runs once per run.
extern splash_state g_splash;
// The texture slot the splash cards are loaded into, one at a time; -1 while none is held.
extern int32_t g_splash_slot;

constexpr const char* k_splash_first_card = "data/tollvane.tga";
constexpr const char* k_splash_second_card = "data/p3.tga";

// Passes until g_no_game_running is 0 (a new game, or a save loaded through the menu) or g_quit
// is set; the first pass always runs.
void run_front_end();

// One pass: the credits loop while the credits are active; otherwise one window message, the
// input, the clocks, a scene with the splash step, from the intro's fade-out on (or when no
// intro runs) the menu level and the overlay screens, the intro and the dream overlay once the
// splash is done, the console and the intro's subtitles; the hotkeys; present; and, while the
// intro is not active, the menu clicks.
void front_end_pass();

// One step of the splash sequence, drawing the card in states 1 to 6; nothing once it is done.
// A card that cannot be loaded is logged by the texture table and keeps the timing.
void step_splash();

// The two clicks of the title menu, tested on the screen position with the left button held,
// bounds excluded. Start of the new-hero page (overlay screen 5): the name's "_" cursor removed,
// the dream world left, and behind a fade the new game entered at "brana.sav" entry 0 with the
// interface closed and the mouse on the hero. The menu's credits button (overlay screen 1): the
// credits level behind a fade, the credits made active, then a wait until the button is up. A
// level that cannot be entered leaves the title as it was and says so on it; a refused credits
// level is not tried again until the button has been let go.
void handle_main_menu_clicks();
