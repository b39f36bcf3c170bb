// The demo's save game "demo": the hero standing at the gate level's entry, written by the
// program's own saver after the levels and the characters exist; and the quick bar
// "global/quick.dat" (the sword in slot 0, the potion in slot 1, the wand as a focus in slot 2)
// that the save keeps too. The save's hero has the water quest open and the scout's done.
#include "tools/demo/demo_data.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "engine/textures.h"
#include "engine/ui_texts.h"
#include "interface/equipment_slots.h"
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

namespace {

// A quick-bar slot holding the item (kind 1 weapon, 2 quick item) with the icon it was given.
void set_quick_slot(int slot, int16_t item, uint8_t kind)
{
    g_interface.quick_ids[slot] = item;
    g_interface.quick_icons[slot] = g_item_protos[item].icon_texture;
    g_interface.quick_kinds[slot] = kind;
}

} // namespace

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
    set_quick_slot(0, k_demo_sword, 1);
    set_quick_slot(1, k_demo_potion, 2);
    set_quick_slot(2, k_demo_wand, 1);
    // The hero's showcase spell on key 4, which puts him in spell mode; the bar finds its icon.
    g_interface.quick_ids[3] = k_demo_spell_volley;
    g_interface.quick_icons[3] = 0xFFFF;
    g_interface.quick_kinds[3] = 3;
    require(write_quick_bar(), "global/quick.dat");
    init_game_clock(&g_game_clock);
    change_level("brana.sav", 0, 0, 1);
    place_hero_at_entry(&g_scene_header, 0);
    require(assign_quest(&g_quests[0], 0) && assign_quest(&g_quests[1], 1), "the demo hero's quests");
    g_quests[1].completed = 1;
    g_map_locations_open[0] = 1;
    save_list_read();
    require(save_game(&g_save_list, "demo", 0, 1), "save/demo");
    delete_level_saves();  // the running game's change files are not part of the data
    clear_texture_table();
    g_d3d_device = previous;
}
