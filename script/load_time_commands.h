// The commands that the parse carries out while it reads a text, at the word that completes
// each of them (its last argument), once per text.
#pragma once

#include <cstdint>

struct text_window;

// What one parse keeps beside the window.
struct parse_state {
    int32_t picture_counter = 0;     // pictures loaded by this parse
    bool narration_started = false;  // a narration started in this text
    bool ended = false;              // the parse stops after the current word
};

// Carries out every load-time command that word `current`, just stored, completes, in the
// order in which they are tested (several may fire on one word). None is built yet.
void run_load_time_commands(text_window* window, int32_t current, parse_state* state);
