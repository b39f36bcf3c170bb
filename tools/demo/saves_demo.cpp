// The demo's save game "demo": the hero standing at the gate level's entry, written by the
// program's own saver after the levels and the characters exist.
#include "tools/demo/demo_data.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "items/items.h"
#include "level/char_links.h"
#include "level/level_change.h"
#include "level/level_saves.h"
#include "level/save_games.h"
#include "platform/recording_device.h"
#include "script/quests.h"
#include "world/game_clock.h"
#include "world/scene_header.h"

#include <cstring>

void write_saves_demo_data()
{
    recording_device device(1024, 768);
    render_device* previous = g_d3d_device;
    g_d3d_device = &device;
    install_char_links();
    load_ui_texts();
    require(read_characters(false), "the hero for the demo save");
    load_items();
    load_quests();
    init_game_clock(&g_game_clock);
    change_level("brana.sav", 0, 0, 1);
    place_hero_at_entry(&g_scene_header, 0);
    g_quests[0].state = 1;
    g_quests[0].assigned = 1;
    g_map_locations_open[0] = 1;
    save_list_read();
    require(save_game(&g_save_list, "demo", 0, 1), "save/demo");
    delete_level_saves();  // the running game's change files are not part of the data
    clear_texture_table();
    g_d3d_device = previous;
}
