// The save/load screen: overlay page 3, the list of saved games with the chosen one's screenshot
// and date, and the Load, Delete and Cancel buttons (drawn here; their clicks are the hotkey
// pass's).
#pragma once

#include <cstdint>

// Index in g_save_list of the first row shown; kept between openings of the page.
extern int16_t g_save_list_scroll;
// The page's line under the preview, why its last load was refused; "" says nothing. A row
// chosen empties it, and so does the page's opening.
extern char g_save_load_notice[160];

// One frame of the page while overlay_screen is 3. `mode` is not used. Draws the framed panel, the
// preview, the buttons, the scroll bar beyond 22 saves and the rows; scrolls by the arrows (one
// row per press) and the wheel (one row per frame it moved); a left press on a row chooses that
// save (selected_save) and loads its "save/<name>/shot.bmp" into save_preview, reusing the
// preview's slot. Names that are not valid save names get no screenshot and no date. The choice
// follows the chosen save's name when the list was read and sorted again since (the row, the
// date, the preview and Load name one save), and is cleared when that save is no longer listed;
// the scroll is kept within the list. g_save_load_notice stands under the date, broken into lines
// that fit beside the list.
void run_save_load_screen(int32_t mode);

// Restores the saved game `name` (load_game). From the title the hero first leaves the dream
// world; once the save is restored the title's menu closes and the game runs, whether the load
// page or the console asked. False when the save was refused: the title's menu stays open.
bool load_saved_game(const char* name);
