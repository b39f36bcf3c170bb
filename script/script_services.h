// What the rest of the program uses of text windows, dialogues, scripts, map events, quests
// and entities.
//
// The text windows are in script/text_window.h, the quests and story flags in script/quests.h.
// The level's events, map texts and entities are in script/map_events.h, script/map_texts.h and
// script/entities.h.
#pragma once

#include "core/game_globals.h"
#include "script/quests.h"
#include "script/text_window.h"

#include <cstdint>

void evaluate_events();
// Empties the dialogue record (script/dialogues.h).
void new_dialogue();

// The arc tangent of a single-precision value, computed in double precision; 0 for NaN (the
// quotient of two equal points), so that no facing made from it is undefined.
float float_atan(float x);

// Shows a markup text in the message window while the window holds no words (callers replacing
// a text reset the window first); marks the window shown either way. A dialogue marked running
// stays so whatever the text's commands do.
void show_text_message(const char* markup);
// Resets the message window and shows the markup in it.
void replace_text_message(const char* markup);
// A text whose window must fit it: composed at a guessed height and shown, laid out by the run
// pass, then composed and shown again at the height the layout reached (its bottom + 32 - the
// window's top). compose(height) writes the markup into buffer.
template <typename Compose>
void show_fitted_message(char* buffer, float guessed_height, Compose compose)
{
    compose(guessed_height);
    replace_text_message(buffer);
    compose(run_text_window(&g_message_window) + 32.0f - g_message_window.y1);
    replace_text_message(buffer);
}

// The size of a file in bytes, held to 32 bits; 0 for a missing file, which is not created.
uint32_t get_file_size(const char* path);
