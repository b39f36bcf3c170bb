// What the rest of the program reads and sets of the game interface and the front end.
//
// The state (g_interface) starts with its images loaded; the HUD, panels, menus, hotkeys and
// front end below do nothing yet. The slide shows are in interface/slide_shows.h.
#pragma once

#include "core/game_globals.h"
#include "core/pointer_areas.h"
#include "interface/slide_shows.h"

#include <cstdint>

extern uint32_t g_ending_end_flag;       // ends the ending's loop; set when the window closes
extern uint32_t g_credits_end_flag;      // ends the credits' loop; set when the window closes

// Once at start-up, after the UI fonts and before the UI text table: gives g_interface its start
// values, loads every interface image into its texture slots (in the order of the fields, each
// without mip-maps, 32-bit or 16-bit with 4-bit alpha as the image is listed), loads the notice
// icons, clears g_new_game_request and gives the hero in character slot 0 head and body looks 1.
// A missing image leaves its slot without a picture; the start goes on.
void load_interface_textures();
// At program end; the interface holds nothing to give back.
void shutdown_interface();

// Draws every tile of the panel background (0 to 6, see interface/interface_images.h) at its own size, centred at (x + 32 + 64 column,
// y + 32 + 64 row) in screen pixels, white at the given alpha, its texture coordinates pulled in
// by 0.008. Any other panel number draws nothing.
void draw_panel_frame(int16_t panel, float x, float y, float alpha);
// The screen rectangle draw_panel_frame covers with that panel at (x, y): 64 x columns wide and
// 64 x rows high from its top-left corner, left and top edges included; empty for a panel number
// it does not draw. A panel claims this area for the pointer, so that every pixel of its frame
// takes the press that lands on it.
pointer_area panel_frame_area(int16_t panel, float x, float y);

void update_game_interface();
// The attunement selection window, each frame while attunement_select_open is set and no text
// viewer is open (interface/attunement_selection.cpp); g_attunement_select_scroll is the first row
// shown of its left list and keeps its value between openings.
extern int32_t g_attunement_select_scroll;
void update_attunement_selection();
void update_overlay_screens();
void handle_hotkeys();
