// The commands that the parse carries out while it reads a text, at the word that completes
// each of them (its last argument), once per text.
#pragma once

#include <cstdint>

struct text_window;

// The item that marks the centred character (given at the attunement location 77).
constexpr int16_t k_centre_marker_item = 329;

// What one parse keeps beside the window.
struct parse_state {
    int32_t picture_counter = 0;     // pictures loaded by this parse
    bool narration_started = false;  // a narration started in this text
    bool ended = false;              // the parse stops after the current word
};

// Carries out every load-time command that word `current`, just stored, completes, in the
// order in which they are tested (several may fire on one word). A command whose character,
// item, spell, entity or quest is missing, or whose index lies outside its table, does nothing
// (the spell commands, "^add_char_item" and "^add_char_weapon" log the missing name). Numbers
// are read as in the "C" locale; "HERO" and the hero's stand-in names in the arguments that a
// command lists are rewritten in the window into the hero's file key before it looks them up.
void run_load_time_commands(text_window* window, int32_t current, parse_state* state);
