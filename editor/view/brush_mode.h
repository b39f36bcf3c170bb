// Inserting mode (work mode 0): the brush, shown by g_brush_preview under the mouse, and the
// placing of one new world object of the brush's prototype per click or Space press.
#pragma once

#include "core/editor_globals.h"

#include <cstdint>

struct world_object;

// The brush's own press latches (Page Up/Down and the placement use those of editor_state).
struct brush_latches {
    uint32_t backspace, backslash;
};
extern brush_latches g_brush_latches;

// Gives the object the brush's corner kind (g_brush_corner_mode): kind 0 no corner points;
// 1 and 2 corner points, the copied corners (g_stored_corners) when `copied`, else a diamond
// around the mouse; kind 2 also sets its light flag, which the other kinds clear.
void apply_brush_corner_kind(world_object* object, bool copied);

// One frame of inserting mode, in this order:
// - Page Down / Page Up (press) and the wheel down / up (every frame it moved): the prototype
//   editor's selection while it is the page shown (through the editor's hooks), else the brush
//   prototype one up (while below the level's prototype count - 1) / one down (while above 1)
//   and the preview rebuilt, also when the bound stopped it;
// - held keys: A / Z (without left Ctrl) scale +- 0.01, Q scale 1; E / R, D / F, C / V the three
//   rotations +- 1; S (without left Ctrl) alfa + 0.01 while below 1, X alfa - 0.01 while above
//   0.01, W alfa 1; 0 alfa and scale 1 and the rotations 0;
// - the preview takes the brush's alfa, scale and rotations;
// - the left button or Space (one latch for both, cleared only while both are up): one object
//   placed per press at the preview with the preview's corners, after an undo snapshot: the
//   brush's values, the active layer, the brush's effect entry when one is set and the object
//   has fewer than 4; then the objects sorted. A brush of no level prototype places nothing
//   (logged);
// - Backspace (press): first rotation + 1 below 7, else 0; backslash (press): second rotation
//   + 1 below 3, else 0;
// - 1, 2, 3 (held): corner kind 0, 1, 2 and the preview rebuilt.
void run_brush_mode(editor_state& editor);
