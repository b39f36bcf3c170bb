// The editor view's markers of world objects (the object pass calls this for every marker it
// draws in work modes 1 and 5): an 8 x 8 sprite at unit scale, "global/select.bmp" for a plain
// marker, "global/select2.bmp" for a highlighted or picked object and "global/select4.bmp" for
// a depth-sorted object's depth key (k_marker_* of core/editor_globals.h); an unknown kind draws
// nothing.
#pragma once

#include <cstdint>

void draw_object_marker(float x, float y, uint32_t marker);
