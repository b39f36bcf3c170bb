// What the rest of the program uses of the content editor: its state, its frame and its
// windows.
#pragma once

#include "core/editor_globals.h"
#include "editor/editor_frame.h"
#include "editor/editor_links.h"
#include "editor/view/box_selection.h"
#include "editor/windows/command_window.h"
#include "editor/windows/mode_tabs.h"
#include "world/world_objects.h"

#include <cstdint>
