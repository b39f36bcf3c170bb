// What the rest of the program uses of text windows, dialogues, scripts, map events, quests
// and entities.
//
// This subsystem is not built yet: the tables below stay empty, no event, entity or window
// runs, and the text windows draw nothing. The level's events, map texts and entities are in
// script/map_events.h, script/map_texts.h and script/entities.h.
#pragma once

#include "core/game_globals.h"

#include <cstdint>

extern uint8_t g_quest_count;
extern int16_t g_flag_count;

void evaluate_events();
void update_entities();
void load_quests();         // "global/quest_%s.txt" and "global/flag.txt"
void new_dialogue();
void reset_dialogue_window();
void load_text_window_dialogue();
void draw_dialogue_window();
void draw_message_window();
void clear_message_window_reanchor();
