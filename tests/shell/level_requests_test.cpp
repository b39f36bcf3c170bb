#include "shell/request_fixture.h"

#include "characters/char_table.h"
#include "characters/placements.h"
#include "core/editor_globals.h"
#include "core/input_state.h"
#include "core/settings.h"
#include "engine/fonts.h"
#include "interface/held_item.h"
#include "interface/interface_state.h"
#include "level/level_change.h"
#include "level/level_links.h"
#include "level/level_map.h"
#include "level/save_files.h"
#include "level/save_games.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "support/input_script.h"
#include "world/object_protos.h"
#include "platform/byte_order.h"
#include "platform/input.h"
#include "shell/console_commands.h"
#include "shell/level_requests.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/sectors.h"
#include "world/world_objects.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <filesystem>

namespace {

void set_quest(const char* name, uint8_t state)
{
    int16_t q = find_quest(name);
    ASSERT_GE(q, 0) << name;
    g_quests[q].state = state;
}

int32_t flag_value(const char* name)
{
    int16_t f = find_flag(name);
    return f < 0 ? -1 : g_flags[f].value;
}

size_t count_of(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

void expect_hero_at_rest()
{
    const char_record* hero = char_at(int32_t(g_player_char));
    ASSERT_NE(hero, nullptr);
    const world_object* object = world_object_of(*hero);
    ASSERT_NE(object, nullptr);
    EXPECT_FLOAT_EQ(g_mouse_x, object->x);
    EXPECT_FLOAT_EQ(g_mouse_y, object->y);
    EXPECT_EQ(g_mouse_left + g_mouse_right + g_mouse_middle, 0u);
}

} // namespace

// The height in pixels of the label the travel map shows for the location, 0 when hidden.
int32_t label_height(int32_t location)
{
    const int16_t entity = k_travel_map_labels[location];
    if (g_entities[entity].state == 0)
        return 0;
    for (uint32_t i = 0; i < g_object_count; ++i)
        if (g_objects[i].state != 0 && g_objects[i].entity == entity)
            return g_object_protos[g_objects[i].proto].height;
    return 0;
}

TEST_F(request_test, WorldmapTakesTheEncounterDetourOnceThenOpensTheTravelMap)
{
    start();
    ASSERT_TRUE(pass_greeting());
    // The yard visited and left: it is on the map from now on.
    request_level_change("dedina01.sav", 0);
    ASSERT_TRUE(program_frame());
    EXPECT_STREQ(g_current_level, "dedina01.sav");
    request_level_change("brana.sav", 0);
    ASSERT_TRUE(program_frame());
    ASSERT_TRUE(pass_greeting());
    trace_.clear();
    set_quest("watersupply", 3);
    request_level_change(k_worldmap_target, 5);
    ASSERT_TRUE(program_frame());
    // The detour is carried out one frame later, at entry 0.
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "encounter.sav");
    EXPECT_EQ(g_pending_level.mode, 0);
    EXPECT_EQ(flag_value("encounter"), 0);  // set once the encounter is entered
    EXPECT_TRUE(traced({"travel_map_screen", "change_level"}).empty());

    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_pending_level.pending, 0u);
    EXPECT_EQ(traced({"change_level"}).size(), 1u);
    EXPECT_STREQ(g_current_level, "encounter.sav");
    EXPECT_EQ(flag_value("encounter"), 1);
    ASSERT_TRUE(pass_greeting());
    set_quest("locdrusk", 0);  // the encounter's trail leads to the second detour, taken below

    // The flag is set now: the map opens, labelled with the gate, the yard and the ruins the
    // encounter told of, in letters a player reads. A click on the gate's area enters the gate.
    std::vector<int32_t> heights;
    input_script on_the_map([&](uint32_t) {
        if (g_travel_map_running && heights.empty())
            for (int32_t i = 0; i < k_map_locations; ++i)
                heights.push_back(label_height(i));
    });
    request_level_change(k_worldmap_target, 5);
    input_inject({input_event_kind::mouse_move, 0, false, 100, 100});
    input_inject({input_event_kind::mouse_button, 0, true});
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(traced({"travel_map_screen"}).size(), 1u);
    EXPECT_EQ(g_pending_level.pending, 0u);
    EXPECT_EQ(g_travel_map_running, 0u);
    EXPECT_STREQ(g_current_level, "brana.sav");
    expect_hero_at_rest();
    EXPECT_FLOAT_EQ(g_mouse_x, g_scene_header.entry_x[0]);
    ASSERT_EQ(heights.size(), size_t(k_map_locations));
    for (int32_t i = 0; i < k_map_locations; ++i) {
        if (i == 0 || i == 1 || i == 11)
            EXPECT_GE(heights[size_t(i)], 32) << i;
        else
            EXPECT_EQ(heights[size_t(i)], 0) << i;
    }
    EXPECT_TRUE(std::filesystem::exists(level_map_path(travel_map_destination(11).level)));
    // The map's change file was written on leaving it.
    EXPECT_TRUE(std::filesystem::exists("global/mapa_eng.sav"));
}

TEST_F(request_test, BothDetoursLeadToThePentagramAtEntryTwo)
{
    start();
    set_quest("watersupply", 3);
    set_quest("locdrusk", 5);
    set_quest("meetdrusk", 0);
    request_level_change(k_worldmap_target, 0);
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "vantiel_penta.sav");
    EXPECT_EQ(g_pending_level.mode, 2);
    ASSERT_TRUE(program_frame());
    EXPECT_STREQ(g_current_level, "vantiel_penta.sav");
    EXPECT_EQ(flag_value("encounter"), 1);

    // A quest that is missing makes its detour false: the map opens (and is left by a quit).
    g_quest_count = 0;
    request_level_change(k_worldmap_target, 0);
    input_script quit_on_the_map([](uint32_t) {
        if (g_travel_map_running)
            input_inject({input_event_kind::close});
    });
    EXPECT_FALSE(program_frame()) << "the map did not open";
    EXPECT_EQ(traced({"travel_map_screen"}).size(), 1u);
    EXPECT_EQ(g_pending_level.pending, 1u);  // a quit leaves the request open
}

// A detour whose level cannot be entered leaves the story as it was: the console's way to the map
// names the detour's level and requests nothing; a request raised as a script raises it is
// refused with the flag still 0, and a save keeps 0. With the level whole again the same way
// takes the detour.
TEST_F(request_test, ARefusedDetourKeepsTheStoryAndItsMendedLevelGivesTheEncounter)
{
    start();
    set_quest("watersupply", 3);
    bool map_opened = false;  // the detour due, the map never opens: a quit there ends the case
    input_script no_map([&](uint32_t) {
        if (g_travel_map_running && !map_opened)
            map_opened = true, input_inject({input_event_kind::close});
    });
    const std::vector<uint8_t> whole = read_bytes("data/levels/encounter.sav");
    write_bytes("data/levels/encounter.sav", std::vector<uint8_t>(whole.begin(), whole.begin() + long(whole.size() / 2)));
    const auto last_line = [] { return std::string(g_message_log.lines[g_message_log.count - 1]); };
    ASSERT_TRUE(run_console_command_table("load worldmap"));
    EXPECT_EQ(g_pending_level.pending, 0u);
    EXPECT_EQ(last_line(), level_closed_line("encounter.sav"));
    request_level_change(k_worldmap_target, 0);
    for (int frame = 0; frame < 2; ++frame)
        ASSERT_TRUE(program_frame());
    EXPECT_EQ(g_pending_level.pending, 0u);
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_EQ(last_line(), level_closed_line("encounter.sav"));
    EXPECT_EQ(flag_value("encounter"), 0);
    ASSERT_TRUE(save_game(&g_save_list, "detour", 0, 1));
    write_bytes("data/levels/encounter.sav", whole);
    g_flags[find_flag("encounter")].value = 1;
    ASSERT_TRUE(load_game(&g_save_list, "detour"));
    EXPECT_EQ(flag_value("encounter"), 0) << "the save kept the refused detour's flag";
    ASSERT_TRUE(run_console_command_table("load worldmap"));
    for (int frame = 0; frame < 2; ++frame)
        ASSERT_TRUE(program_frame());
    EXPECT_STREQ(g_current_level, "encounter.sav");
    EXPECT_EQ(flag_value("encounter"), 1);
    EXPECT_FALSE(map_opened);
}

TEST_F(request_test, ALevelChangeRunsItsStepsLoadsTwiceOnceAndLeavesTheHeroStill)
{
    start();
    request_level_change("start.sav", 0);
    g_load_twice = 1;
    ASSERT_TRUE(program_frame());
    const std::vector<std::string> steps = {"leave_dream_world", "fade_to_black",        "change_level",
                                            "load_twice",        "arrive_in_level",      "apply_ambient_light",
                                            "place_hero",        "evaluate_events_once",
                                            "fade_from_black",   "mouse_to_hero"};
    EXPECT_EQ(traced(steps), steps);
    EXPECT_EQ(g_load_twice, 0u);
    std::string log = read_text("global/konzola.log");
    EXPECT_EQ(count_of(log, "zacinam citat data/levels/start.sav"), 2u);
    EXPECT_EQ(count_of(log, "evaluate_events_once: nie je, preskakujem"), 0u);
    EXPECT_STREQ(g_current_level, "start.sav");
    EXPECT_EQ(g_pending_level.pending, 0u);
    expect_hero_at_rest();

    // The entered level's script asks for the next level: that request is kept for the next frame.
    request_level_change("brana.sav", 0);
    g_level_links.start_script = [](const char*) { request_level_change("start.sav", 0); };
    ASSERT_TRUE(program_frame());
    g_level_links.start_script = nullptr;
    log = read_text("global/konzola.log");
    EXPECT_EQ(count_of(log, "zacinam citat data/levels/brana.sav"), 2u);  // start-up's and this one
    EXPECT_EQ(count_of(log, "evaluate_events_once: nie je, preskakujem"), 0u);
    EXPECT_STREQ(g_current_level, "brana.sav");
    expect_hero_at_rest();
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "start.sav");
}

TEST_F(request_test, ANewGameReadsEverythingAgainAndRunsTheFrontEnd)
{
    start();
    set_quest("watersupply", 4);
    g_game_clock.day = 3;
    g_dialogue_running = 1;
    g_interface.dream_switch_allowed = 1;
    // The old game's sword in hand, out of its weapon slot, with the inventory open.
    const int32_t sword = last_entry_at(k_weapon_slot);
    ASSERT_GE(sword, 0);
    char_at(int32_t(g_player_char))->inv_location[sword] = k_code_none;
    g_interface.held_item = int16_t(sword), g_interface.held_origin = k_weapon_slot;
    g_interface.side_panel_open = 1;
    g_new_game_request = 1;
    ASSERT_TRUE(program_frame());
    const std::vector<std::string> steps = {
        "leave_dream_world", "fade_to_black",    "close_panels",     "read_characters",  "enter_menu_level",
        "delete_level_saves", "load_quests",     "load_items",       "menu_scene",
        "reset_title_menu",  "read_quick_bar", "reset_game_clock", "fade_from_black",
        "enter_dream_world", "run_front_end",    "clear_request"};
    EXPECT_EQ(traced(steps), steps);
    EXPECT_EQ(g_new_game_request, 0u);
    EXPECT_EQ(g_no_game_running, 1u);
    EXPECT_STREQ(g_current_level, "start.sav");
    // The gate's change file was written on leaving and deleted with the others.
    EXPECT_FALSE(std::filesystem::exists("global/brana.sav"));
    EXPECT_EQ(g_quests[find_quest("watersupply")].state, 0);
    EXPECT_EQ(g_game_clock.day, 1u);
    EXPECT_EQ(g_game_clock.hour, 17);
    EXPECT_EQ(g_game_clock.minute, 55);
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(g_interface.dream_switch_allowed, 0u);
    EXPECT_EQ(g_interface.menu_open, 1u);
    EXPECT_EQ(g_interface.overlay_screen, 1);
    const char* name = char_at(int32_t(g_player_char))->display_name;
    EXPECT_EQ(name[std::strlen(name) - 1], '_');
    EXPECT_EQ(g_interface.name_cursor, int32_t(std::strlen(name)) - 1);
    // The new hero wields its own sword; nothing is held and the inventory is closed.
    EXPECT_EQ(last_entry_at(k_weapon_slot), sword);
    EXPECT_TRUE(holding_nothing());
    EXPECT_EQ(g_interface.side_panel_open, 0u);
}

TEST_F(request_test, TheEndingRequestsANewGameInsteadOfShuttingDown)
{
    start();
    g_game_finished = 1;
    g_quit = 1;
    EXPECT_FALSE(program_shutdown(true));
    const std::vector<std::string> steps = {"log_ending", "ending", "fade_to_black", "ending_view",
                                            "enter_final_level", "setup_ending_scene",
                                            "fade_from_black", "play_ending", "request_new_game"};
    EXPECT_EQ(traced(steps), steps);
    EXPECT_TRUE(traced({"config_write"}).empty());  // the shutdown itself did not run
    EXPECT_EQ(g_quit, 0u);
    EXPECT_EQ(g_game_finished, 0u);
    EXPECT_EQ(g_new_game_request, 1u);
    EXPECT_EQ(g_work_mode, uint32_t(k_work_play));
    EXPECT_FLOAT_EQ(g_camera_x, -2366.0f);
    // The main loop resumes: its first step starts the new game.
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(traced({"run_front_end"}).size(), 1u);
    EXPECT_EQ(g_new_game_request, 0u);
}

TEST_F(request_test, TheEndingNeverRunsInEditorModeNorAfterTheWindowClosed)
{
    start("zorv editor");
    g_game_finished = 1;
    g_quit = 1;
    EXPECT_TRUE(program_shutdown(true));
    started_ = false;
    EXPECT_TRUE(traced({"ending_view"}).empty());
    EXPECT_FALSE(run_ending_if_finished());

    g_editor_enabled = 0;
    g_quit_all = 1;
    EXPECT_FALSE(run_ending_if_finished());
    EXPECT_EQ(g_game_finished, 1u);
}

// The demo's road: the gate's north-east corner asks for the travel map; with the villager told
// that the water flows, the road leads to the encounter, whose scout's trail sends the next
// journey to the ruins by their circle, after which the map opens and leads home.
TEST_F(request_test, TheDemosRoadTakesBothDetoursInTurnThenTheMapLeadsHome)
{
    start();
    bool road = false;
    for (uint32_t i = 0; i < g_event_count; ++i)
        road |= std::strcmp(g_events[i].name, "road") == 0 && g_events[i].action_kind[0] == k_act_open_travel_map;
    EXPECT_TRUE(road);
    ASSERT_TRUE(pass_greeting());
    const auto travel_to = [&](const char* level) {
        request_level_change(k_worldmap_target, 0);
        for (int i = 0; i < 10 && std::strcmp(g_current_level, level) != 0; ++i)
            if (!program_frame())
                return false;
        return std::strcmp(g_current_level, level) == 0 && pass_greeting();
    };
    set_quest("watersupply", 3);
    ASSERT_TRUE(travel_to("encounter.sav"));
    EXPECT_EQ(g_quests[find_quest("locdrusk")].state, 5);
    ASSERT_TRUE(travel_to("vantiel_penta.sav"));
    const world_object* hero = world_object_of(*char_at(int32_t(g_player_char)));
    ASSERT_NE(hero, nullptr);
    EXPECT_FLOAT_EQ(hero->x, g_scene_header.entry_x[2]);
    EXPECT_EQ(g_quests[find_quest("meetdrusk")].state, 1);

    // The ruins' text ended the trail: the map opens, and its gate leads home.
    request_level_change(k_worldmap_target, 0);
    input_inject({input_event_kind::mouse_move, 0, false, 100, 100});
    input_inject({input_event_kind::mouse_button, 0, true});
    ASSERT_TRUE(program_frame());
    EXPECT_EQ(traced({"travel_map_screen"}).size(), 1u);
    EXPECT_STREQ(g_current_level, "brana.sav");
}

// A creature a level script places keeps its creature file's points: it lives on.
TEST_F(request_test, ACreatureALevelScriptPlacesLives)
{
    const std::string script = read_text("data/scripts/brana.txt");
    const size_t second_line = script.find('\n') + 1;
    write_text("data/scripts/brana.txt",
               script.substr(0, second_line) + "^add_char bandit 600 420\n" + script.substr(second_line));
    start();
    const char_placement& placed = g_char_placements.entries[g_char_placements.count - 1];
    ASSERT_STREQ(placed.creature_file, "bandit.chr");
    ASSERT_EQ(std::make_pair(placed.x, placed.y), std::make_pair(600.0f, 420.0f));
    const int32_t slot = placed.char_slot;
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(program_frame());
    const char_record* bandit = char_at(slot);
    ASSERT_NE(bandit, nullptr);
    EXPECT_EQ(bandit->life, k_life_alive);
    EXPECT_GT(bandit->hp, 0);
}

// A level script's dialogue whose name is refused is reported once per visit, not in each frame.
TEST_F(request_test, ALevelScriptsRefusedDialogueIsReportedOncePerVisit)
{
    std::string script = read_text("data/scripts/brana.txt");
    script.replace(script.find("gate_lessons ^endif"), std::strlen("gate_lessons"), "../x");
    write_text("data/scripts/brana.txt", script);
    start();
    for (size_t visit = 1; visit <= 2; ++visit) {
        for (int i = 0; i < 30; ++i)
            ASSERT_TRUE(program_frame());
        const std::string log = read_text("global/konzola.log");
        EXPECT_EQ(count_of(log, "../x/0.txt: mimo priecinka data/dialogs/eng/, odmietnute"), visit);
        EXPECT_EQ(count_of(log, "../x/1.txt"), 0u);
        request_level_change("brana.sav", 0);
    }
}

// A level whose map would not read whole (its prototype count one lower or one higher, or the
// file cut in half) is never entered: the console's "load" refuses it, a request that reaches the
// level change (as a script's does) leaves the hero where he stood in the gate, the file stays as
// it was, and a start in that level enters none of it.
TEST_F(request_test, ALevelThatDoesNotReadWholeIsRefusedAndTheHeroStaysWhereHeStood)
{
    constexpr const char* k_yard = "data/levels/dedina01.sav";
    const std::vector<uint8_t> file = read_bytes(k_yard);
    std::vector<uint8_t> body;
    ASSERT_TRUE(read_packed_file(k_yard, &body));
    auto with_protos = [&](int delta) {
        std::vector<uint8_t> b = body;
        put_le_u32(b.data() + 14, le_u32(b.data() + 14) + uint32_t(delta));  // after the tag and record size
        return b;
    };
    start();
    ASSERT_TRUE(pass_greeting());
    const std::string title = g_scene_header.display_name;
    const uint32_t protos = g_object_proto_count;
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        if (variant < 2)
            ASSERT_TRUE(write_packed_file(k_yard, with_protos(variant == 0 ? -1 : 1)));
        else
            write_bytes(k_yard, std::vector<uint8_t>(file.begin(), file.begin() + long(file.size() / 2)));
        const std::vector<uint8_t> damaged = read_bytes(k_yard);
        write_text("global/konzola.log", "");
        ASSERT_TRUE(run_console_command_table("load dedina01.sav"));
        EXPECT_EQ(g_pending_level.pending, 0u);
        const std::string log = read_text("global/konzola.log");
        const size_t line = log.find("data/levels/dedina01.sav: poskodeny subor (");
        ASSERT_NE(line, std::string::npos) << log;
        EXPECT_EQ(log.substr(log.find(')', line)), "), ostava level brana.sav\n");

        ASSERT_TRUE(program_frame());
        const world_object* hero = world_object_of(g_chars[g_player_char]);
        ASSERT_NE(hero, nullptr);
        const float x = hero->x, y = hero->y;
        request_level_change("dedina01.sav", 0);
        ASSERT_TRUE(program_frame());
        EXPECT_STREQ(g_current_level, "brana.sav");
        EXPECT_EQ(title, g_scene_header.display_name);
        EXPECT_EQ(g_object_proto_count, protos);
        hero = world_object_of(g_chars[g_player_char]);
        ASSERT_NE(hero, nullptr);
        EXPECT_FLOAT_EQ(hero->x, x);
        EXPECT_FLOAT_EQ(hero->y, y);
        expect_hero_at_rest();
        EXPECT_EQ(read_bytes(k_yard), damaged);
    }
    program_shutdown(true);
    started_ = false;
    start("zorv console dedina01.sav");
    const std::string log = read_text("global/konzola.log");
    EXPECT_NE(log.find("data/levels/dedina01.sav: poskodeny subor ("), std::string::npos);
    EXPECT_EQ(log.find("zacinam citat data/levels/dedina01.sav"), std::string::npos);
}

// The travel map refuses where the player looks and says only what happened. With every known
// place's level cut, the gate's road does not open the map: the hero stays at the gate, told once
// per step onto the road. With the yard's place open beside the cut gate, the map opens; a click
// on the gate is refused on the map itself, at its foot, and in the message log, which names no
// level entered by the refusal.
TEST_F(request_test, ARefusedPlaceIsSaidOnTheMapAndAMapWithNoWayOnStaysClosed)
{
    start();
    ASSERT_TRUE(pass_greeting());
    const std::vector<uint8_t> gate = read_bytes("data/levels/brana.sav");
    const auto closed_lines = [](const char* level) {
        const std::string line = level_closed_line(level);
        return std::count_if(g_message_log.lines, g_message_log.lines + g_message_log.count,
                             [&](const char* l) { return line == l; });
    };
    const auto entered_lines = [] {
        return std::count_if(g_message_log.lines, g_message_log.lines + g_message_log.count,
                             [](const char* l) { return std::string(l).starts_with("You enter"); });
    };

    // The road's event, and its area's centre.
    int32_t road = -1;
    for (uint32_t i = 0; i < g_event_count; ++i)
        if (g_events[i].action_kind[0] == k_act_open_travel_map)
            road = int32_t(i);
    ASSERT_GE(road, 0);
    const map_sector& area = g_sectors[g_events[road].condition_number[0][0]];
    float cx = 0.0f, cy = 0.0f;
    for (int32_t p = 0; p < area.count; ++p)
        cx += area.x[p] / float(area.count), cy += area.y[p] / float(area.count);
    world_object* hero = world_object_of(g_chars[g_player_char]);
    ASSERT_NE(hero, nullptr);
    const float home_x = hero->x, home_y = hero->y;
    const auto stand = [&](float x, float y, int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            hero->x = x, hero->y = y;
            ASSERT_TRUE(program_frame());
        }
    };
    std::fill(std::begin(g_map_locations_open), std::end(g_map_locations_open), 0u);
    g_map_locations_open[1] = 1;
    write_bytes("data/levels/dedina01.sav", {});
    trace_.clear();
    stand(cx, cy, 30);
    EXPECT_EQ(closed_lines("dedina01.sav"), 1);
    stand(home_x, home_y, 2);
    stand(cx, cy, 3);
    EXPECT_EQ(closed_lines("dedina01.sav"), 2) << "a new step onto the road was not said";
    EXPECT_STREQ(g_current_level, "brana.sav");
    EXPECT_TRUE(traced({"travel_map_screen", "change_level"}).empty()) << "the map was opened";
    stand(home_x, home_y, 1);

    // The map's own level cut: the road names it, and the hero stays.
    const std::vector<uint8_t> map = read_bytes("data/levels/mapa_eng.sav");
    write_bytes("data/levels/mapa_eng.sav", std::vector<uint8_t>(map.begin(), map.begin() + long(map.size() / 2)));
    stand(cx, cy, 3);
    EXPECT_EQ(closed_lines("mapa_eng.sav"), 1);
    EXPECT_STREQ(g_current_level, "brana.sav");
    stand(home_x, home_y, 1);
    write_bytes("data/levels/mapa_eng.sav", map);

    // The yard whole again and the gate cut: the map opens; its gate is clicked.
    std::filesystem::copy_file("data/levels/brana.sav", "data/levels/dedina01.sav",
                               std::filesystem::copy_options::overwrite_existing);
    write_bytes("data/levels/brana.sav", std::vector<uint8_t>(gate.begin(), gate.begin() + long(gate.size() / 2)));
    g_map_locations_open[0] = 1;
    static std::string drawn;
    drawn.clear();
    g_text_drawn = [](const text_draw& t) {
        if (g_travel_map_running)
            drawn += t.text + " ";
    };
    uint32_t map_passes = 0;
    bool refused_on_map = false;
    long entered_on_map = -1;
    input_script on_the_map([&](uint32_t) {
        if (!g_travel_map_running)
            return;
        if (++map_passes == 1) {
            entered_on_map = entered_lines();
            input_inject({input_event_kind::mouse_move, 0, false, 100, 100});  // the gate's place
        }
        input_inject({input_event_kind::mouse_button, 0, map_passes == 1});
        refused_on_map |= drawn.find("brana.sav") != std::string::npos;
        if (refused_on_map || map_passes > 2000)  // the fades' passes too: at most 2000 for the line
            input_inject({input_event_kind::close});
    });
    request_level_change(k_worldmap_target, 0);
    EXPECT_FALSE(program_frame());  // closed on the map
    g_text_drawn = nullptr;
    EXPECT_TRUE(refused_on_map) << "the map never said why the gate was refused: " << drawn;
    EXPECT_NE(drawn.find("closed"), std::string::npos) << drawn;
    EXPECT_STREQ(g_current_level, "mapa_eng.sav");
    EXPECT_EQ(closed_lines("brana.sav"), 1);
    EXPECT_EQ(entered_lines(), entered_on_map) << "the refused place said that a level was entered";
    EXPECT_EQ(std::string(g_message_log.lines[g_message_log.count - 1]), level_closed_line("brana.sav"));
}
