// What the rest of the program reads and sets of the game interface and the front end.
//
// The interface's screens are not built yet: the HUD, panels, menus, hotkeys and front end
// below do nothing, and the state holds only the fields the shell uses. The slide shows are in
// interface/slide_shows.h.
#pragma once

#include "core/game_globals.h"
#include "interface/slide_shows.h"

#include <cstdint>

extern uint32_t g_ending_end_flag;       // ends the ending's loop; set when the window closes
extern uint32_t g_credits_end_flag;      // ends the credits' loop; set when the window closes

void load_interface_textures();
void shutdown_interface();
void run_front_end();
void update_game_interface();
void update_attunement_selection();
void update_overlay_screens();
void handle_hotkeys();
