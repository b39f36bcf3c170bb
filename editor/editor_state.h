// What the rest of the program uses of the content editor.
//
// The editor's windows and modes are not built yet: in editor mode the world runs without
// them, and the functions below do nothing beyond keeping the state consistent.
#pragma once

#include "core/editor_globals.h"
#include "world/world_objects.h"

#include <cstdint>

void reset_editor_brush();
void open_editor_windows();
void run_editor_frame();
void select_objects_in_box();
