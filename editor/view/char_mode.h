// Character placement mode (work mode 5): live characters picked, dragged, tuned, copied and
// removed in the view, each change copied back into the character's placement.
#pragma once

#include "core/editor_globals.h"

#include <cstdint>

// The character slot the left button holds, -1 none.
extern int32_t g_selected_char;

// One frame, in this order:
// - left button down with no character held: the last character whose world object lies within
//   8 pixels is held; left button up: none held;
// - Enter or Space (one press): a placement of creature file row creature_choice at the mouse
//   (or, with a character held, a whole copy of its placement 50 pixels right and down of the
//   mouse) and its live character; the rest of the frame is skipped. A row outside the creature
//   file list or a full placement list adds nothing (logged);
// - g_mode_info_text emptied; with a character held: its info line, its object at the mouse,
//   held keys A / Z / Q scale, S / X / W alfa (S and Z also with left Ctrl), E / R, D / F, C / V
//   the rotations, T / Y, G / H, B / N red, green, blue down / up, 1 / 2 / 3 dream value, 0 the
//   default looks; then its placement updated;
// - right button with no character held: every character whose object is hit is removed with
//   its object and placement.
// Every change of a placement sets g_map_dirty.
void run_char_mode(editor_state& editor);
