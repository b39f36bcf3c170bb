// The demo's save game "demo": the hero standing at the gate level's entry, written by the
// program's own saver after the levels and the characters exist; and the quick bar
// "global/quick.dat" (the sword in slot 0, the potion in slot 1, the wand as a focus in slot 2)
// that the save keeps too. The save's hero has the water quest open and the scout's done. The
// tool draws no world, so the save's picture is painted: the gate seen from the road.
#include "tools/demo/demo_canvas.h"
#include "tools/demo/demo_data.h"

#include "characters/char_table.h"
#include "core/game_globals.h"
#include "engine/screenshots.h"
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

// The save's picture at the thumbnail's size: grass, the road to the gate, its two towers and
// the wall between them.
void write_save_picture(const char* path)
{
    canvas c(k_thumbnail_width, k_thumbnail_height, 0);
    for (uint32_t y = 0; y < c.height; ++y)
        for (uint32_t x = 0; x < c.width; ++x) {
            const uint32_t grain = (x * 2654435761u ^ y * 40503u) >> 28;
            c.put(int(x), int(y), argb(255, 70 + grain, 100 + grain, 40 + grain / 2));
        }
    const uint32_t stone = argb(255, 150, 145, 135), dark = argb(255, 60, 55, 50);
    c.bar(16.0f, 24.0f, 16.0f, 10.0f, 3.0f, argb(255, 150, 120, 80));
    c.box(5.0f, 6.0f, 27.0f, 9.0f, stone, dark);
    c.box(5.0f, 3.0f, 10.0f, 11.0f, stone, dark);
    c.box(22.0f, 3.0f, 27.0f, 11.0f, stone, dark);
    c.box(14.0f, 6.5f, 18.0f, 9.0f, argb(255, 110, 70, 40), dark);
    for (float x : {12.0f, 20.0f})
        c.disc(x, 12.5f, 0.8f, argb(255, 250, 160, 40));
    bitmap_image bitmap;
    require(make_bitmap(c.texels.data(), c.width, c.height, 32, bitmap) && write_bitmap_file(path, bitmap), path);
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
    write_save_picture("save/demo/shot.bmp");
    delete_level_saves();  // the running game's change files are not part of the data
    clear_texture_table();
    g_d3d_device = previous;
}
