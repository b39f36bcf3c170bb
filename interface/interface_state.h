// What the rest of the program reads and sets of the game interface and the front end.
//
// The interface's screens are not built yet: the HUD, panels, menus, hotkeys, front end and
// slide shows below do nothing, and the state holds only the fields the shell uses.
#pragma once

#include <cstdint>

struct game_interface {
    uint32_t shown;                 // the HUD is on screen
    uint32_t menu_open;             // an overlay menu holds the game
    uint32_t overlay_screen;        // 1 the menu
    uint32_t mouse_over_interface;  // cleared every playing frame
    uint32_t attunement_selection;  // the attunement selection window is open
    uint32_t second_char_pass;      // F8: draw the characters a second time, translucent
    uint32_t scroll_enabled;        // the view may scroll; a level change sets it
    uint32_t zoom_enabled;          // the view may zoom; a level change sets it
    int32_t text_background_texture = -1; // slot of "data/interface/text/pozadie.tga"; -1 none
};

extern game_interface g_interface;
extern uint32_t g_no_game_running;       // 1 while no game is in progress
extern float g_zoom_target;              // the view scale that g_zoom follows
extern uint32_t g_show_stats;            // statistics display, from the settings
extern uint32_t g_text_viewer_open;      // a book or text viewer is open
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
