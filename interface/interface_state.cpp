#include "interface/interface_state.h"

#include "interface/interface_links.h"

uint32_t g_ending_end_flag = 0;
uint32_t g_credits_end_flag = 0;
interface_links g_interface_links = {};

void load_interface_textures() {}
void shutdown_interface() {}
void run_front_end() {}
void update_game_interface() {}
void update_attunement_selection() {}
void update_overlay_screens() {}
void handle_hotkeys() {}
