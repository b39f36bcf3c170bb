#include "core/game_globals.h"

#include <algorithm>
#include <iterator>

game_interface g_interface = {};
uint32_t g_no_game_running = 0;
float g_zoom_target = 1.0f;
uint32_t g_show_stats = 0;
uint32_t g_text_viewer_open = 0;
int16_t g_combat_list[k_combat_list_slots] = {-1, -1, -1, -1, -1, -1, -1, -1};
uint8_t g_in_combat = 0;
uint32_t g_dialogue_running = 0;
uint32_t g_message_shown = 0;
uint32_t g_scene_start_suppressed = 0;
int32_t g_dialogue_partner = -1;
uint32_t g_entity_busy = 0;
uint32_t g_map_locations_open[k_map_locations] = {1};

void enable_map_location(int32_t index)
{
    if (index >= 0 && index < k_map_locations)
        g_map_locations_open[index] = 1;
}

void clear_combat_list()
{
    std::fill(std::begin(g_combat_list), std::end(g_combat_list), int16_t(-1));
    g_in_combat = 0;
}

void join_combat_list(int32_t slot)
{
    if (slot < 0 || slot > INT16_MAX || std::find(std::begin(g_combat_list), std::end(g_combat_list), slot) != std::end(g_combat_list))
        return;
    int16_t* free = std::find(std::begin(g_combat_list), std::end(g_combat_list), int16_t(-1));
    if (free == std::end(g_combat_list))
        return;
    *free = int16_t(slot);
    ++g_in_combat;
}
