// The story's detours on the way to the travel map: the road in the gate's north-east corner
// opens the travel map; once the villager has been told that the water flows again (quest
// "watersupply" at state 3) the road leads first to "encounter.sav", where the hero finds the
// lost scout's trail (quest "locdrusk" at state 5) and the ruins are put on the travel map, and the
// next time to the ruins' stone circle "vantiel_penta.sav" (entry point 2), where the trail ends
// ("meetdrusk" then runs). The ruins themselves, "vantiel_p.sav", are the travel map's location
// 11. Each of these levels leads back to the gate.
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "core/utilities.h"
#include "platform/files.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "world/scene_header.h"
#include "world/sectors.h"

#include <string>

namespace {

constexpr int32_t k_ruins_location = 11;  // the travel map's "vantiel_p.sav"

void write_text(const char* path, const std::string& text)
{
    require(write_whole_file(path, text.data(), text.size()), path);
}

// A level's greeting: the text, the markup that follows it, and "Continue".
std::string greeting(const char* text, const char* commands)
{
    return std::string("^window 50 50 600 110\n^center\n^gl_a 0.6\n") + commands + "^l " + text +
           "\n^l\n^lnst Continue ^lnend close.txt\n";
}

// A small clearing with torches and crates shown as `display_name`, its way back to the gate in
// the south-east corner; being there puts travel-map location `location` on the map.
void start_detour_level(const char* display_name, int32_t location, float r, float g, float b)
{
    clear_level_tables();
    level_protos p = add_level_protos();
    lay_small_ground(p.meadow, r, g, b);
    place(p.torch, 200.0f, 200.0f, 10, true);
    place(p.torch, 440.0f, 200.0f, 10, true);
    place(p.crate, 320.0f, 140.0f, 10, true);
    add_rect_sector(k_small_west, k_small_north, k_small_east, k_small_south, 2);
    make_movemap(k_small_west, k_small_north, k_small_east, k_small_south,
                 {{200.0f, 200.0f}, {440.0f, 200.0f}, {320.0f, 140.0f}});
    add_way_back_to_gate();
    if (location >= 0)
        add_map_location_event(location);
    set_scene(display_name, k_level_inside, 320.0f, 300.0f, 0.8f);
}

} // namespace

void add_gate_road()
{
    add_exit({"road", k_gate_east - 190.0f, k_gate_north, k_gate_east, k_gate_north + 170.0f, 1290.0f, 30.0f, "Road",
              k_act_open_travel_map, "", 0});
}

void write_detours_demo_data()
{
    require(make_folder("data/scripts") && make_folder("data/levels"), "data/levels");
    // The encounter on the road; from its north-west corner the road goes on to the travel map.
    start_detour_level("The Road", -1, 0.6f, 0.7f, 0.5f);
    add_exit({"road_on", k_small_west, k_small_north, k_small_west + 190.0f, k_small_north + 230.0f, -10.0f, 70.0f,
              "Road", k_act_open_travel_map, "", 0});
    save_level("data/levels/encounter.sav");
    write_text("data/scripts/encounter.txt",
               greeting("On the road lies a torn cloak of the valley's scouts: its owner was dragged off towards "
                        "the old ruins. ^l new location added to map",
                        "^assign_quest locdrusk\n^set_quest_state locdrusk 5\n^enable_map 11\n"));
    // The ruins' circle, entered at its third entry point; and the ruins the travel map leads to.
    start_detour_level("The Stone Circle", k_ruins_location, 0.5f, 0.5f, 0.6f);
    scene_header& h = g_scene_header;
    h.entry_count = 3;
    h.entry_x[1] = 100.0f, h.entry_y[1] = 380.0f;
    h.entry_x[2] = 320.0f, h.entry_y[2] = 240.0f;
    save_level("data/levels/vantiel_penta.sav");
    write_text("data/scripts/vantiel_penta.txt",
               greeting("In the ruins a circle of old stones still glows. The scout's trail ends at its edge.",
                        "^assign_quest meetdrusk\n^set_quest_state meetdrusk 1\n"));
    start_detour_level("The Ruins", k_ruins_location, 0.55f, 0.55f, 0.55f);
    save_level("data/levels/vantiel_p.sav");
    clear_level_tables();
}
