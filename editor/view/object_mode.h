// Editing mode (work mode 1): the placed world objects of the active layer are picked under the
// mouse, selected, dragged with the left button, tuned with keys, copied, re-ordered within their
// layer and deleted. The selection is each object's highlight flag; the box selection
// (editor/view/box_selection.h) adds to it later in the same frame.
//
// Hit tests compare the mouse's world position (g_mouse_x, g_mouse_y) strictly with an object's
// position truncated to whole units (held to the 32-bit range, not-a-number as 0):
// - corner: within 4 units of one corner point on both axes;
// - quad: inside the polygon of the four corner points (point_in_polygon, scale 1);
// - box: within half the object's width and height x scale / g_zoom (whole halves) of x, y;
// - anchor r: within r of x, y (a surface: of trunc(trunc(x) x scale), trunc(trunc(y) x scale)).
// The candidates are the objects in use with a prototype slot of 0 or more in g_active_layer; an
// object whose prototype slot is below 0 takes part in no test and no key.
#pragma once

#include "core/editor_globals.h"

#include <cstdint>

// The object the left button holds, -1 none.
extern int32_t g_dragged_object;

// The left button's state and the press latches of the mode's keys (Enter uses the editor's
// action_latch).
struct object_mode_latches {
    uint32_t left_down;      // the left button went down in editing mode
    uint32_t grab_snapshot;  // the grab of this press has pushed its undo snapshot
    uint32_t erase, toggle, right;
    uint32_t back, backslash, diamond, add_effect, drop_effect, forward, backward, space;
};
extern object_mode_latches g_object_mode_latches;

// One frame of editing mode, in this order (nothing at all while the array holds no object):
// 1. Enter (press): copies of every selected object (any layer) placed so that the smallest x
//    and smallest y of their reference points (corner point 0 of a cornered object, else x, y)
//    map to the mouse; the copies unselected and the array sorted once; while Enter is held every
//    object is unselected.
// 2. NUMPAD6 / NUMPAD4 (held): one turning step (+0.1 / -0.1 radian about corner point 0) of
//    every selected cornered object of the active layer, at most one step every two ticks.
// 3. Delete (press): one undo snapshot, then every selected object (any layer) freed.
// 4. Home (held): the active layer unselected.
// 5. Middle button or Insert (press, one latch), while nothing is held: each candidate under the
//    mouse (particle emitters excepted) selected, unselected with left Alt.
// 6. The picked list rebuilt (rebuild_picked_list).
// 7. Left button: its release unselects every object and lets the held one go; while it is down
//    and nothing is held the mouse snaps to the preview's whole position and the grab runs,
//    after one undo snapshot per press (grab_objects).
// 8. NUMPAD7 / 9 / 8 / 5 (held): every selected object's x, y by -+0.05.
// 9. While an object is held: the info text about it, and for every selected object in index
//    order: the drag (by g_marker_dx, g_marker_dy; to the preview with left Ctrl; one corner
//    with left Shift; a surface a further 1/30) and the tuning keys; the held object's own keys
//    (Backspace, backslash, L, numpad + and -, Space) act once per press; N and M add / drop one
//    effect entry once per press on every selected object. A key that lets the held object go
//    ends the pass.
// 10. Right button (press): one undo snapshot, then every candidate under the mouse freed.
// Copies, turns, keypad moves and N / M set g_map_dirty; they push no snapshot.
void run_object_mode(editor_state& editor);

// The picked list: every candidate under the mouse in index order, once per hit (a cornered
// object other than a mesh once per corner hit and once more inside its quad), at most
// k_max_picked_objects entries; the entries left over are -1.
void rebuild_picked_list(editor_state& editor);

// The grab: every candidate under the mouse selected, with the corner it was taken by; the last
// one hit is held (g_dragged_object). Returns it, or -1 when nothing was hit (the held object
// stays as it was).
int32_t grab_objects();
