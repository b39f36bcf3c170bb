// The in-view editor's frame: the editor state's start values, the keys that switch the work
// mode, the layout, the layer, the grid, save and undo, scrolling and zoom, and the dispatch to
// the current work mode's handler (editor/editor_links.h).
#pragma once

#include "core/editor_globals.h"

#include <cstdint>

// The zoom the editor's keys stop at.
constexpr float k_min_editor_zoom = 0.05f;
// The highest layer NUMPAD2 reaches.
constexpr uint8_t k_max_editor_layer = 32;

// The editor's start: work mode 0, every field of the record at its start value (brush
// prototype 0, scale and alfa 1, effect type -1, corner kind 0, the AI off, the compact layout,
// latches clear),
// the map not changed, and the brush preview rebuilt.
void reset_editor_brush(editor_state& editor);

// Rebuilds the brush preview at the mouse: the brush prototype with its alfa, scale and first
// rotation, and the brush's corner kind (editor/view/brush_mode.h).
void rebuild_brush_preview(const editor_state& editor);

// Rebuilds the preview of ground-item and monster-point mode at the mouse: the ground model of
// item ground_item_choice at alfa and scale 1, standing still; only cleared for an item outside
// the table or without a ground model.
void rebuild_item_preview(const editor_state& editor);

// One frame of the editor, only in editor mode and while the console is hidden. In this order:
// - F1 to F7 and Tab (held, the last held in that order wins): the GLSET work-type row, the
//   preview rebuilt as that mode's marker, g_work_mode; F1 and F2 re-sort the objects, Tab puts
//   a hero without an object at entry 0 and sets the daylight, F6 and F7 show the chosen
//   item's ground model standing still (nothing for an item outside the table or without one);
// - F8 (press): the layout switch;
// - the current mode's handler;
// - NUMPAD1 / NUMPAD2 (press): the active layer down to 0 / up to 32;
// - G (press, not in the light and character modes): the cursor grid on or off;
// - left Ctrl+S (press of the pair): the map saved over the file it was read from or saved to
//   (save_session_map) with "Saving MAP (please wait) ..." shown meanwhile; when nothing is
//   written, the reason is shown over the view for three seconds (draw_editor_notice);
// - left Ctrl+Z (press of the pair): one undo snapshot popped;
// - with g_editor_enabled exactly 1: the arrows scroll camera and mouse by 720 / fps whole
//   pixels; F9 / F10 (held) zoom out / in by 0.002, not below 0.05; F11 zoom 1.
void run_editor_frame(editor_state& editor);

// Over the view, while it is due: what the editor's last Ctrl+S could not do.
void draw_editor_notice();

// The layout switch: the compact layout puts the view at (295, 0), desktop width - 300 wide;
// the wide one at (15, 0), desktop width - 30 wide; the height is width / 1.333333. Models are
// rescaled to the new width, the render states and projection set again on the same device, and
// the command window, the tab strip and the tab page hidden and disabled (wide) or shown and
// enabled (compact).
void switch_editor_layout(editor_state& editor);

// The view's place and size of a layout for a desktop of that width.
struct view_layout {
    int32_t x, y, width, height;
};
view_layout editor_view_layout(int32_t desktop_width, bool wide);
