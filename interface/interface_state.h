// What the rest of the program reads and sets of the game interface and the front end.
//
// The interface's screens are not built yet: the HUD, panels, menus, hotkeys, front end and
// slide shows below do nothing, and the state holds only the fields the shell uses.
#pragma once

#include "core/game_globals.h"

#include <cstdint>

extern uint32_t g_chapter_slides_running;
extern uint32_t g_epilogue_slides_active;
extern uint32_t g_ending_end_flag;       // ends the ending's loop; set when the window closes
extern uint32_t g_credits_end_flag;      // ends the credits' loop; set when the window closes

void load_interface_textures();
void shutdown_interface();
void load_intro_slide();
void free_slide_tiles();
void run_front_end();
void update_game_interface();
void update_attunement_selection();
void update_overlay_screens();
void handle_hotkeys();
void play_chapter_slides();
void play_epilogue_slides();
