#include "script/script_services.h"

uint8_t g_quest_count = 0;
int16_t g_flag_count = 0;

void evaluate_events() {}
void update_entities() {}
void load_quests()
{
    g_quest_count = 0;
    g_flag_count = 0;
}
void new_dialogue() {}
void reset_dialogue_window() {}
void load_text_window_dialogue() {}
void draw_dialogue_window() {}
void draw_message_window() {}
void clear_message_window_reanchor() {}
