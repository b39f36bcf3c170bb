// What the game rules and the interface publish for every layer: the interface's state, the
// view scale target, and the combat, dialogue and message flags.
#pragma once

#include "core/game_interface.h"

#include <cstdint>


extern game_interface g_interface;
extern uint32_t g_no_game_running;       // 1 while no game is in progress
extern float g_zoom_target;              // the view scale that g_zoom follows
extern uint32_t g_show_stats;            // statistics display, from the settings
extern uint32_t g_text_viewer_open;      // a book or text viewer is open

constexpr int k_combat_list_slots = 8;
// The character slots of the current fight (seeker missiles aim at them), -1 empty; the scene
// start empties all eight. g_in_combat is how many are taken: non-zero while a fight is on (the
// battle music plays, saves are refused). The characters rebuild it every frame from the
// player's attackers.
extern int16_t g_combat_list[k_combat_list_slots];
extern uint8_t g_in_combat;                // characters in the current fight
// Empties the combat list: every slot -1, g_in_combat 0.
void clear_combat_list();
// Puts a character slot into the first free place of the combat list, unless it is there already
// or no place is free; g_in_combat counts it.
void join_combat_list(int32_t slot);
extern uint32_t g_dialogue_running;       // a dialogue or script holds the screen
extern uint32_t g_message_shown;          // the message window shows a text
extern uint32_t g_scene_start_suppressed; // cleared by the main loop every frame
extern int32_t g_dialogue_partner;        // the character the running dialogue is with, -1 none
extern uint32_t g_entity_busy;            // an entity's action is in progress

// The travel map's locations the player knows; only location 0 at the start. Saved with the game.
constexpr int k_map_locations = 19;
extern uint32_t g_map_locations_open[k_map_locations];
// Makes location `index` known; an index outside the locations is ignored.
void enable_map_location(int32_t index);
