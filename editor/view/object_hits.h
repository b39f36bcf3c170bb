// The editing mode's hit tests of world objects against the mouse's world position (see
// editor/view/object_mode.h for the tests themselves); shared by the editing mode and the box
// selection.
#pragma once

#include <cstdint>

struct world_object;
struct map_sector;

// In use, of a prototype slot of 0 or more, in the active layer.
bool is_candidate(const world_object& object);

// The closed polygon of four points xy = x0, y0, ..., x3, y3, back to the first, as a loose
// sector record (never one of the level's).
void build_quad_polygon(map_sector* polygon, const float xy[8]);

enum class hit_use {
    toggle,  // middle button / Insert: any cornered object by a corner or its quad
    pick,    // the picked list: one per corner hit and one more inside the quad
    erase,   // right button: as toggle; plain particles never, emitters by anchor 8, meshes and
             // surfaces by anchor 6
};
// How many hits the object has for that use (0 none; the picked list counts each).
int32_t hits_for(const world_object& object, hit_use use);

enum class grab_hit_kind { none, corner, quad, box, anchor };
struct grab_hit {
    grab_hit_kind kind;
    uint8_t corner;  // the grabbed_corner value: 1 to 4 a corner (the last hit), 5 the quad, else 0
};
// The grab's test: a cornered object other than a mesh by its corners, else inside its quad;
// others as the picked list tests them.
grab_hit grab_test(const world_object& object);
