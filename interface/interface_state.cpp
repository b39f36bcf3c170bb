#include "interface/interface_state.h"

uint32_t g_chapter_slides_running = 0;
uint32_t g_epilogue_slides_active = 0;
uint32_t g_ending_end_flag = 0;
uint32_t g_credits_end_flag = 0;

void load_interface_textures() {}
void shutdown_interface() {}
void load_intro_slide() {}
void free_slide_tiles() {}
void run_front_end() {}
void update_game_interface() {}
void update_attunement_selection() {}
void update_overlay_screens() {}
void handle_hotkeys() {}
void play_chapter_slides() {}
void play_epilogue_slides() {}
