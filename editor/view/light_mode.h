// Light mode (work mode 2): the level's lights placed, dragged by their position or aim point,
// tuned and switched off in the view.
#pragma once

#include "core/editor_globals.h"

#include <cstdint>

// The light the left button holds, -1 none; which of its handles: 1 position, 2 aim point.
extern int32_t g_selected_light;
extern uint32_t g_selected_light_handle;

// One frame, in this order:
// - left button down: with no light held an undo snapshot is pushed (every such frame), then
//   the lights that are on are scanned, position handle then aim handle (4-pixel square); the
//   last hit is held and selected; left button up: the held light is let go;
// - g_mode_info_text: the held light's line, else empty;
// - the held handle follows the mouse; held keys tune it: A / Z z, S / X / W red, D / C / E
//   green, F / V / R blue (Z and S not with left Ctrl), J / M range; a spot light also G / B / T
//   phi (below 3, at least theta + 0.01) and H / N theta (at most phi - 0.01, above 0);
// - Enter or Space (one press): an undo snapshot and a new light of new_light_type at the
//   mouse, z 1, white;
// - right button with no light held: every light that is on whose position is hit is switched
//   off and disabled on the device;
// - 1 / 2: the next light a point / spot light.
// Every change of a light sets g_map_dirty.
void run_light_mode(editor_state& editor);
