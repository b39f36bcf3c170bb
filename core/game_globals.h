// What the game rules and the interface publish for every layer: the interface's state, the
// view scale target, and the combat, dialogue and message flags.
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
    uint32_t container_window;      // the container window is open
    int32_t open_container = -1;    // the container it shows
    uint32_t side_panel;            // the side panel is shown
    uint32_t side_panel_page;       // 2 the inventory
    int32_t talk_partner = -1;      // the character the hero talks to
    uint32_t camera_follow = 1;     // the camera follows the scene's character
    uint32_t god_mode;              // hits on the player are refused
    uint32_t skill_panel_request;       // the HUD is asked to open the skill panel
    uint32_t attunement_panel_request;  // the HUD is asked to open the attunement panel
};

extern game_interface g_interface;
extern uint32_t g_no_game_running;       // 1 while no game is in progress
extern float g_zoom_target;              // the view scale that g_zoom follows
extern uint32_t g_show_stats;            // statistics display, from the settings
extern uint32_t g_text_viewer_open;      // a book or text viewer is open

constexpr int k_combat_list_slots = 8;
// The character slots of the current fight (seeker missiles aim at them), -1 empty; the scene
// start empties all eight. g_in_combat is how many are taken.
extern int16_t g_combat_list[k_combat_list_slots];
extern uint8_t g_in_combat;                // characters in the current fight
extern uint32_t g_dialogue_running;       // a dialogue or script holds the screen
extern uint32_t g_message_shown;          // the message window shows a text
extern uint32_t g_scene_start_suppressed; // cleared by the main loop every frame
extern int32_t g_dialogue_partner;        // the character the running dialogue is with, -1 none
extern uint32_t g_entity_busy;            // an entity's action is in progress
