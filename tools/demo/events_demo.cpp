// The gate level's story machinery and the second level it leads to: map texts, a signpost that
// shows a text when clicked, a shrine that opens the attunement selection, and the way in the
// north-west corner to the yard "data/levels/dedina01.sav", whose south-east corner leads back to
// the gate's entry.
#include "tools/demo/demo_data.h"
#include "tools/demo/demo_levels.h"

#include "core/utilities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "world/scene_header.h"
#include "world/sectors.h"

namespace {

// The last sector added.
int32_t last_sector()
{
    return int32_t(g_sector_count) - 1;
}

// An event that shows the map text `text` while its condition on the sector holds.
void add_text_event(const char* name, uint8_t condition, int32_t sector, const char* text)
{
    event_record& e = add_event(name);
    const int32_t sectors[] = {sector};
    add_event_condition(&e, condition, sectors, 1, nullptr, 0);
    add_event_action(&e, k_act_game_text, nullptr, 0, nullptr, 0);
    copy_bounded(e.action_text[0], sizeof e.action_text[0], text);
}

} // namespace

void add_gate_events()
{
    require(add_map_text("^window 10 34 420 56 ^c 1 1 0.8 1 The gate of the old town. ^l The yard lies to the "
                         "north-west.", "sign", 1),
            "sign text");

    // The signpost north of the entry, below the torches, and the patch it stands on.
    add_signpost("notice", "Notice", 600.0f, 290.0f);
    add_rect_sector(560.0f, 250.0f, 640.0f, 330.0f, 4);
    add_text_event("sign", k_cond_lmb_in_sector, last_sector(), "sign");
    // Standing at the signpost, the hero keeps reading it.
    add_text_event("sign_read", k_cond_player_in_sector, last_sector(), "sign");

    // A click on the shrine in the south-west opens the attunement selection.
    require(add_map_text("^window 50 50 500 80 ^center ^gl_a 0.6 The old shrine hums. ^select_attunement", "shrine", 1),
            "shrine text");
    add_rect_sector(80.0f, 480.0f, 160.0f, 560.0f, 4);
    add_text_event("shrine", k_cond_lmb_in_sector, last_sector(), "shrine");

    // A click on the dry well in the south-east starts the well's story.
    add_rect_sector(440.0f, 400.0f, 520.0f, 480.0f, 4);
    event_record& well = add_event("well");
    const int32_t well_sector[] = {last_sector()};
    add_event_condition(&well, k_cond_lmb_in_sector, well_sector, 1, nullptr, 0);
    add_event_action(&well, k_act_start_dialogue, nullptr, 0, nullptr, 0);
    copy_bounded(well.action_text[0], sizeof well.action_text[0], "well_story");

    // With no enemy left while the water quest is under way, the villager remembers it (memory 0
    // set to 1), which lets the hero report back.
    event_record& gone = add_event("bandits_gone");
    add_event_condition(&gone, k_cond_no_enemy, nullptr, 0, nullptr, 0);
    const int32_t under_way[] = {1};
    add_event_condition(&gone, k_cond_quest_state, under_way, 1, nullptr, 0);
    copy_bounded(gone.condition_text[1], sizeof gone.condition_text[1], "watersupply");
    const int32_t memory[] = {0, 1};
    add_event_action(&gone, k_act_char_set_memory, memory, 2, nullptr, 0);
    copy_bounded(gone.action_text[0], sizeof gone.action_text[0], "villager");

    // Walking into the north-west corner leads to the yard's first entry.
    add_exit({"to_yard", k_gate_west, k_gate_north, k_gate_west + 190.0f, k_gate_north + 230.0f, -10.0f, 70.0f, "Yard",
              k_act_load_map, "dedina01.sav", 0});
}

void add_epilogue_signpost()
{
    require(add_map_text("^window 50 50 500 80 ^center ^gl_a 0.6 The road home. ^play_outro 1", "outro", 1),
            "outro text");
    add_signpost("home", "Home", 240.0f, 200.0f);
    add_rect_sector(200.0f, 160.0f, 280.0f, 240.0f, 4);
    add_text_event("outro", k_cond_lmb_in_sector, last_sector(), "outro");
}

void write_events_demo_data()
{
    clear_level_tables();
    level_protos p = add_level_protos();
    lay_small_ground(p.meadow, 0.75f, 0.7f, 0.6f);
    place(p.crate, 300.0f, 260.0f, 10, true);
    place(p.torch, 420.0f, 180.0f, 10, true);
    add_rect_sector(k_small_west, k_small_north, k_small_east, k_small_south, 2);
    make_movemap(k_small_west, k_small_north, k_small_east, k_small_south, {{300.0f, 260.0f}, {420.0f, 180.0f}});
    require(add_map_text("A yard behind the gate.", "yard", 1), "yard text");
    // Walking into the south-east corner leads back to the gate's entry, outside its way here;
    // once seen, the yard is on the travel map.
    add_way_back_to_gate();
    add_map_location_event(1);
    set_scene("The Yard", k_level_inside, 320.0f, 300.0f, 0.85f);
    save_level("data/levels/dedina01.sav");
    clear_level_tables();
}
