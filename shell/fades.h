// Fades and the pattern of the modal loops.
#pragma once

#include "engine/render_context.h"

#include <cstdint>

// Fades: modal loops that keep the world running and drawn while a black rectangle over the
// whole screen grows (fade_to_black) or shrinks (fade_from_black) in opacity by 0.05 at most
// once every two ticks and once per pass: 20 steps, at least 608 ms. No input is read and no
// interface, console or text window is drawn meanwhile. A fade waits while the application is
// inactive and ends early once the window has been closed (g_quit_all).
void fade_to_black();
void fade_from_black();
// One pass of a fade under a veil of no opacity: the world runs and is drawn alone, and that
// frame is written as a save's 512 x 384 picture into the path; false when none was written.
bool picture_world(const char* path);

struct fade_state {
    float opacity;
    float step;               // +0.05 to black, -0.05 from black
    uint32_t next_step_tick;
};

// Moves the opacity one step when `ticks` is past the next-step tick; true once it has reached
// 1 (fading to black) or 0 (fading from black).
bool fade_advance(fade_state* fade, uint32_t ticks);

// The pattern of every modal loop (fades, front end, ending, credits, travel map), per pass:
// modal_pass_begin handles one window message and returns false when the pass must not draw
// (the application is inactive; it has waited for the next message); the loop then does its
// own timing and scene and ends the pass with modal_pass_end.
bool modal_pass_begin();
// The pass ends with modal_pass_end (engine/render_context.h).

// While the console is enabled, the key left of 1 toggles the console on its press edge; `latch`
// is 1 while the key is up (the main loop and the travel map each keep their own).
void toggle_console_on_key(uint32_t* latch);

// One pass of a modal dialog's loop on the screen: one window message, the view's input
// dropped, then, while the application is active, the dialogs' frame over the whole target
// cleared to black but for the view as the loop found it, presented. False once the window has
// been closed.
bool modal_dialog_pass();

// Clears the device's whole target to the colour whatever its viewport, which stays as it was.
void clear_whole_target(uint32_t colour);
