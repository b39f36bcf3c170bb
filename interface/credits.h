// The credits: a modal loop over the level "credits.sav" that cross-fades the pictures of its
// entities 0 to 5 one group after the other, for ever, until a click or Esc returns to the menu
// level with the main menu open.
#pragma once

#include <cstdint>

constexpr int16_t k_credits_groups = 6;  // entities 0 to 5 of the credits level

struct credits_state {
    int16_t group;           // entity fading in, 0 to 5
    int16_t previous_group;  // entity fading out; -1 none
    int16_t phase;           // 0 pause, 1 cross-fade
    float alpha;             // opacity of the group fading in
    uint32_t due_tick;       // g_ticks after which the next step may be taken
    uint32_t active;         // set by the front end when it opens the credits
};

// Starts as {0, -1, 0, 0, 0, 0}; nothing resets the cross-fade when the credits open again, so
// the next showing goes on where the last one left. The loop's done flag is g_credits_end_flag
// (interface/interface_state.h), also set when the window closes.
extern credits_state g_credits;

// The credits loop (interface/world_loop.h) with update_credits as its step, until the done
// flag is set; then the flag is cleared again, unless the window was closed. The front end
// calls it in every pass while the credits are active.
void run_credits();

// One step of the cross-fade when the due tick is below g_ticks, then, in any phase, the exit
// test: the left button or Esc fades to black, enters "start.sav" as the title menu (no game
// running, play mode, ambient light, hero at entry 0, camera at (-2366, -414), dream world
// entered silently, menu open), clears the active flag, sets the done flag and fades back in.
//
// A pause turns into a cross-fade from alpha 0. Each cross-fade step comes 4 ticks after the
// last: the group gets alpha, the previous group 1 - alpha, and alpha grows by 0.05 while below
// 1; the step that finds it at 1 completes the fade (group 1, previous group 0), pauses for 500
// ticks and moves on to the next group (5 wraps to 0).
void update_credits();
