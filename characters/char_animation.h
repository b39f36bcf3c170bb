// A character's animation frames and world fade, its experience awards and the start of a clip.
#pragma once

#include "characters/char_record.h"

#include <cstdint>

// Once per frame for every character. Every 2 ticks the character's presence fades by 0.04
// towards the world shown (world 0 always shows; world 1 only outside the dream world, world 2
// only in it), and in the dream world an ENEMY of world 2 thins to alpha 0.2 while it moves. Its
// body parts step a frame whenever the world object's due time (g_elapsed_ms) has come, by the
// object's animation mode, catching up several frames after a stall of up to a second; a longer
// stall counts as one frame and the next one comes a millisecond later.
void animate_char(char_record* character);

// Makes the character fully present (fade 1) or absent (fade 0) in the world shown at once.
void set_char_world_presence(char_record* character);

// Adds amount x the attunement factor (1.1 with 179, 1.25 with 180, 1.5 with 186, the last held
// one counting) x the player's difficulty factor (2: 0.75, 3: 0.5, 4: 0.25), truncated and at
// least 1, to the character's experience; the player's own award goes to the message log.
void award_experience(char_record* character, int32_t amount);

// The attunement factor of experience: 1.1 with 179, 1.25 with 180, 1.5 with 186 equipped, the
// last of these held counting; 1.0 with none.
double attunement_experience_factor(const char_record* character);

// Adds `points` (a negative number counts as 0) to the character's experience, held at the
// largest i32; the player's gain goes to the message log in colour 1 ("<name> <UI text 115>
// <points> <UI text 116>").
void add_experience(char_record* character, int32_t points);

// Puts move prototype `id` on the character: every part's model, colour, alpha, scale and per-part
// values, frame 0 and skin 0, and the prototype's frame time. Nothing for an id outside the table.
void start_char_clip(char_record* character, int32_t id);

// Learning a spell from an item: accepted (1), with nothing further to do.
int32_t char_learn_spell(char_record* character, int32_t spell);
