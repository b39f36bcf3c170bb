// The strip of twelve mode tabs under the command window, and the one page shown under it: the
// editor of the selected tab. A switch of tabs destroys the shown page and creates the new one.
#pragma once

#include "editor/controls/dialog_model.h"
#include "editor/windows/editor_windows.h"

#include <cstdint>

constexpr int k_mode_tab_count = 12;
constexpr int32_t k_mode_tabs_control = 1100;  // the strip's tab control
constexpr int32_t k_mode_tabs_timer = 275;     // polls the selected tab every millisecond
constexpr int32_t k_tabs_window_top = 26;      // the strip's screen y
constexpr int32_t k_tab_window_top = 80;       // the screen y of every page

// The Global page's controls that other parts of the editor set.
constexpr int32_t k_glset_work_type = 1200;  // combo: the work mode, one row per mode
constexpr int32_t k_glset_undo = 1201;       // button: pops an undo snapshot

extern dialog_handle g_tabs_window;             // the strip, 0 when closed
extern dialog_handle g_tab_window;              // the page shown under it
extern dialog_handle g_global_settings_window;  // the Global page while it is open

// The tabs in order: label, resource, the page's window handle and its maker.
extern editor_window_entry g_mode_tab_pages[k_mode_tab_count];

// Destroys the strip when it exists and creates a new one at (0, 26) with tab 0 selected and its
// timer running; returns its handle. The page shown stays until the next tick.
dialog_handle open_mode_tabs();

// The strip's tick: when its page no longer exists, g_tab_window and g_current_tab are cleared
// and no tab is chosen, so that a click on any tab, the last one too, brings its page; when the
// selected tab differs from g_current_tab, it is remembered, the shown page destroyed, the tab's
// page created and its handle kept in g_tab_window.
void mode_tabs_tick();

// The shown page made anew, so that it shows the tables as they are now (another map was read);
// called from the page's own command too, the new page stays.
void renew_tab_page();
