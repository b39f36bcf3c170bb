// The editing mode's box selection: a rectangle dragged with the middle button selects (with
// left Alt unselects) the world objects inside it when the button is released.
#pragma once

#include <cstdint>

struct box_corner {
    float x, y;
};
extern uint32_t g_box_active;  // 1 while a rectangle is dragged
extern box_corner g_box_start;  // world position where the drag began
extern box_corner g_box_end;    // world position under the mouse in the latest frame of the drag

// Once per frame in work mode 1, after the editing mode and the cursor marker:
// - middle button down: the first frame starts the drag at the mouse; every further one takes
//   the mouse as the end corner and draws the rectangle's outline in white with every light
//   switched off and the ambient light white, both restored afterwards;
// - the first frame with it up: the end corner is the mouse; every object in use in the active
//   layer (every layer with left Ctrl) whose test point lies inside the rectangle gets its
//   selection set, or cleared with left Alt. The test point of a plain object, a mesh or a
//   surface is x, y (a surface's x, y x scale); a cornered object is inside when any of its
//   corner points is. Objects outside keep their flag.
void select_objects_in_box();
