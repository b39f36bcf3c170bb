// The story's detours on the way to the travel map: the road in the gate's north-east corner
// opens the travel map; once the villager has been told that the water flows again (quest
// "watersupply" at state 3) the road leads first to "encounter.sav", where the hero finds the
// lost scout's trail (quest "locdrusk" at state 5), and the next time to the ruins
// "vantiel_penta.sav" (entry point 2), where the trail ends ("meetdrusk" then runs). Each detour
// level leads back to the gate.
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

void write_text(const char* path, const std::string& text)
{
    require(write_whole_file(path, text.data(), text.size()), path);
}

int32_t last_sector()
{
    return int32_t(g_sector_count) - 1;
}

// An event that, once the player stands in a new sector over the rectangle, takes the action
// with the text (a level for "load map") and the number.
void add_sector_event(const char* name, float x0, float y0, float x1, float y1, uint32_t action, const char* text,
                      int32_t number)
{
    add_rect_sector(x0, y0, x1, y1, 4);
    event_record* e = append_event(name);
    require(e != nullptr, name);
    const int32_t sectors[] = {last_sector()};
    add_event_condition(e, k_cond_player_in_sector, sectors, 1, nullptr, 0);
    const int32_t numbers[] = {number};
    add_event_action(e, action, numbers, 1, nullptr, 0);
    copy_bounded(e->action_text[0], sizeof e->action_text[0], text);
}

// A level's greeting: the text, the markup that follows it, and "Continue".
std::string greeting(const char* text, const char* commands)
{
    return std::string("^window 50 50 600 110\n^center\n^gl_a 0.6\n") + commands + "^l " + text +
           "\n^l\n^lnst Continue ^lnend close.txt\n";
}

// A small clearing with torches and crates, its way back to the gate in the south-east corner.
void write_detour_level(const char* path, const char* display_name, float r, float g, float b)
{
    clear_level_tables();
    level_protos p = add_level_protos();
    lay_ground(p.meadow, -128.0f, -96.0f, 5, 4, r, g, b);
    place(p.torch, 200.0f, 200.0f, 10, true);
    place(p.torch, 440.0f, 200.0f, 10, true);
    place(p.crate, 320.0f, 140.0f, 10, true);
    add_rect_sector(0.0f, 0.0f, 640.0f, 480.0f, 2);
    make_movemap(-128.0f, -96.0f, 832.0f, 672.0f, {{200.0f, 200.0f}, {440.0f, 200.0f}, {320.0f, 140.0f}});
    add_sector_event("to_gate", 560.0f, 400.0f, 640.0f, 480.0f, k_act_load_map, "brana.sav", 0);
    set_scene(display_name, k_level_inside, 320.0f, 300.0f, 0.8f);
}

} // namespace

void add_gate_road()
{
    add_sector_event("road", 940.0f, 40.0f, 1020.0f, 120.0f, k_act_open_travel_map, "", 0);
}

void write_detours_demo_data()
{
    require(make_folder("data/scripts") && make_folder("data/levels"), "data/levels");
    // The encounter on the road; from its north-west corner the road goes on to the travel map.
    write_detour_level("data/levels/encounter.sav", "The Road", 0.6f, 0.7f, 0.5f);
    add_sector_event("road_on", 0.0f, 0.0f, 100.0f, 100.0f, k_act_open_travel_map, "", 0);
    save_level("data/levels/encounter.sav");
    write_text("data/scripts/encounter.txt",
               greeting("On the road lies a torn cloak of the valley's scouts: its owner was dragged off towards "
                        "the old ruins.",
                        "^assign_quest locdrusk\n^set_quest_state locdrusk 5\n"));
    // The ruins, entered at their third entry point, by the circle.
    write_detour_level("data/levels/vantiel_penta.sav", "The Ruins", 0.5f, 0.5f, 0.6f);
    scene_header& h = g_scene_header;
    h.entry_count = 3;
    h.entry_x[1] = 100.0f, h.entry_y[1] = 380.0f;
    h.entry_x[2] = 320.0f, h.entry_y[2] = 240.0f;
    save_level("data/levels/vantiel_penta.sav");
    write_text("data/scripts/vantiel_penta.txt",
               greeting("In the ruins a circle of old stones still glows. The scout's trail ends at its edge.",
                        "^assign_quest meetdrusk\n^set_quest_state meetdrusk 1\n"));
    clear_level_tables();
}
