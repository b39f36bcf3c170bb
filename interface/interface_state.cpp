#include "interface/interface_state.h"

game_interface g_interface = {};
uint32_t g_no_game_running = 0;
float g_zoom_target = 1.0f;
uint32_t g_show_stats = 0;
uint32_t g_text_viewer_open = 0;
uint32_t g_chapter_slides_running = 0;
uint32_t g_epilogue_slides_active = 0;

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
