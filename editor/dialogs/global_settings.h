// The Global page (tab 0 of the mode tabs): the work mode, the active layer, texture movement,
// the scene's ambient light, a tint and effect entries for the selected objects, the
// default-layers switch and undo. Most controls act at once on the editor's state; the tint acts
// on the page's 1 ms timer, since sliders report nothing.
#pragma once

#include "editor/controls/dialog_model.h"
#include "editor/windows/mode_tabs.h"

#include <cstdint>

// Controls of the page besides k_glset_work_type and k_glset_undo (editor/windows/mode_tabs.h).
constexpr int32_t k_glset_layer = 1210;         // 33 radio buttons, one group: layers 0 to 32
constexpr int32_t k_glset_layer_count = 33;
enum : int32_t {
    k_glset_tex_x = 1250,       // edits "x", "y", "s" and the button "SET"
    k_glset_tex_y,
    k_glset_tex_s,
    k_glset_tex_set,
    k_glset_ambient_r = 1260,   // sliders 0 to 100 and the button "SET"
    k_glset_ambient_g,
    k_glset_ambient_b,
    k_glset_ambient_set,
    k_glset_tint_r = 1270,      // sliders 0 to 200, "Reset" and the colouring switch
    k_glset_tint_g,
    k_glset_tint_b,
    k_glset_tint_reset,
    k_glset_coloring,
    k_glset_efect_type = 1280,  // combo: row k is effect kind k - 1
    k_glset_efect_float,        // 1281 to 1284: the four "p. float:" edits
    k_glset_efect_int = 1285,   // 1285 to 1288: the four "p. int:" edits
    k_glset_efect_set = 1289,
    k_glset_set_selected,
    k_glset_remove_last,
    k_glset_def_layers,
};
constexpr int32_t k_glset_efect_params = 4;  // the parameters the page fills of each kind

// Creates the page at (0, k_tab_window_top); its handle is g_global_settings_window.
void open_global_settings();

// The page's procedure.
//
// Init: the handle kept; ambient sliders at g_ambient_color x 100, tint sliders at 100; "x" and
// "y" the texture movement as last typed ("%.2f"), "s" the period; the radio of g_active_layer
// checked (none above 32); the two switches' texts; work type "inserting" and effect type
// "no efect" shown, the effect edits empty; "undo" greyed while g_undo_counter is 0; the timer.
//
// Timer: in editing mode (1) with the colouring flag set, every selected object takes the tint
// sliders / 100 as its colour factors.
//
// Commands (any notification): a layer radio sets g_active_layer to the first checked; the
// work type combo sets the work mode of its shown row, re-sorts the objects and rebuilds the
// preview (the brush for "inserting", else the marker); texture "SET" stores x / 128, y / 128 and
// s; ambient "SET" the sliders / 100 into g_ambient_color and the device; "Reset" the tint
// sliders to 100; the switches flip and retitle; effects "SET" the brush's effect template of the
// shown kind with parameters 1 to 4; "SET SELECTED" appends that entry to each selected object
// with fewer than 4 (nothing for "no efect"); "REMOVE LAST" drops each selected object's last
// entry; "undo" pops a snapshot and greys itself once none is left. Numbers are read from at most
// 24 characters, text that is no number as 0. Every change of the objects sets g_map_dirty.
bool global_settings_proc(dialog_handle dialog, const dialog_message& message);

// The tint tick (the timer's work).
void apply_global_tint(dialog_handle dialog);
