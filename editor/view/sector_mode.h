// Sector mode (work mode 3): the level's map sectors drawn, picked, turned, copied and deleted,
// and the movement map painted, at the cursor marker g_brush_preview.
#pragma once

#include "core/editor_globals.h"

#include <cstdint>

// The sector whose points the left button holds, -1 none.
extern int32_t g_selected_sector;

// The mode's own press latches (Enter uses editor_state's action_latch).
struct sector_latches {
    uint32_t del, space, backspace;
};
extern sector_latches g_sector_latches;

// One frame, in this order:
// - left button down with no sector held: every point of every active sector within 4 pixels
//   is held, and its sector (the last hit) selected; left button up: every held flag cleared;
// - g_mode_info_text emptied; with a sector held, for each active sector in order: its info line,
//   keys 1 to 9 its type, keypad 0 to 9 and the keypad point (-1) its parameter, ] / [ a turn of
//   +-0.1 radian about its highest held point (more than 1 point, one step every second tick),
//   Delete (press) clears it, left Shift snaps the held points of this sector to the marker,
//   else the held sector moves with the marker; Enter (press) copies it 64 pixels right and
//   down into a new slot (type and points; a full table copies nothing, logged);
// - Space (press): a point at the marker added to the active sector, which becomes a new slot
//   once it closes (a full table keeps it, logged); Backspace (press): its last point removed;
// - right button: "\nv sektore 0" or "\nnie v sektore 0" for the marker;
// - held A / S / D / F / Z at the marker: cell 1 / cell 2 / fill 1 / fill 2 / cell free (S and Z
//   not with left Ctrl).
// Every change of a sector or of the movement map sets g_map_dirty.
void run_sector_mode(editor_state& editor);
