// The program's time source: wall-clock milliseconds since the process started.
//
// The real clock reads SDL's tick counter. Tests and replays switch to a manual clock that
// moves only when told, so that every tick-driven behaviour is deterministic.
#pragma once

#include <cstdint>

// Milliseconds since start (wraps after 49 days, as the game expects of a 32-bit counter).
uint32_t clock_ms();

// Sleeps for the given milliseconds (the real clock) or advances the manual clock by them.
void clock_sleep(uint32_t ms);

// Manual clock: once enabled, clock_ms() returns the set value until it is changed.
void clock_use_manual(bool manual);
void clock_set_manual(uint32_t ms);
void clock_advance_manual(uint32_t ms);
// Manual clock: every read moves it on by this many milliseconds after returning its value
// (0, the default, keeps it still), so a loop that reads it once per pass runs at a set rate.
void clock_set_manual_step(uint32_t ms);
