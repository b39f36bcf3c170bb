#include "characters/char_scene.h"

#include "core/globals.h"
#include "items/containers.h"
#include "platform/files.h"
#include "script/entities.h"
#include "script/map_events.h"
#include "script/map_texts.h"
#include "script/quests.h"
#include "script/script_services.h"
#include "world/sectors.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

size_t count_of(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class map_event_pass_test : public char_scene_test {
protected:
    void SetUp() override
    {
        char_scene_test::SetUp();
        kept_.keep(g_events), kept_.keep(g_event_count), kept_.keep(g_event_left_latch);
        kept_.keep(g_event_right_latch), kept_.keep(g_sectors), kept_.keep(g_sector_count);
        kept_.keep(g_entities), kept_.keep(g_entity_count), kept_.keep(g_quests), kept_.keep(g_quest_count);
        kept_.keep(g_pending_level), kept_.keep(g_map_texts), kept_.keep(g_map_text_count);
        kept_.keep(g_player_char), kept_.keep(g_mouse_left), kept_.keep(g_mouse_right);
        kept_.keep(g_map_locations_open), kept_.keep(g_dialogue_window), kept_.keep(g_refused_event_actions);
        std::memset(g_events, 0, sizeof g_events);
        g_refused_event_actions = {};
        g_event_count = 0;
        g_event_left_latch = g_event_right_latch = 0;
        g_mouse_left = g_mouse_right = 0;
        g_pending_level = pending_level{};
        g_player_char = 0;
        // Sector 0: the square 0..200.
        std::memset(g_sectors, 0, sizeof g_sectors);
        const float xs[] = {0, 200, 200, 0, 0}, ys[] = {0, 0, 200, 200, 0};
        begin_sector(&g_sectors[0], 0, xs[0], ys[0]);
        for (int i = 1; i < 5; ++i)
            add_sector_point(&g_sectors[0], xs[i], ys[i]);
        g_sector_count = 1;
        g_entity_count = 2;
        g_entities[0] = g_entities[1] = entity_record{};
        g_quest_count = 0;
        g_map_text_count = 0;
        reset_text_window(&g_message_window);
        place(0, k_kind_player, 100, 100);
        std::memcpy(g_chars[0].name, "hero_key", 9);
    }
    void TearDown() override
    {
        reset_text_window(&g_message_window);
        kept_.restore();
        char_scene_test::TearDown();
    }

    event_record& event(const char* name) { return *append_event(name); }
    static void condition(event_record& e, uint32_t kind, int32_t n1 = 0, int32_t n2 = 0, const char* text = "")
    {
        const int32_t numbers[] = {n1, n2};
        const uint32_t k = e.condition_count;
        ASSERT_TRUE(add_event_condition(&e, kind, numbers, 2, nullptr, 0));
        std::strcpy(e.condition_text[k], text);
    }
    static void action(event_record& e, uint32_t kind, int32_t n1 = 0, int32_t n2 = 0, const char* text = "",
                       float x = 0, float y = 0)
    {
        const int32_t numbers[] = {n1, n2};
        const float coords[] = {x, y};
        const uint32_t k = e.action_count;
        ASSERT_TRUE(add_event_action(&e, kind, numbers, 2, coords, 2));
        std::strcpy(e.action_text[k], text);
    }
    static size_t fired() { return count_of(log_text(), "preslo to"); }

    saved_globals kept_;
};

TEST_F(map_event_pass_test, UnconditionedEventsRunEveryFrameBreakEndsThePassAndBlockersStopIt)
{
    event_record& first = event("first");
    action(first, k_act_debug);
    action(first, k_act_break);
    action(first, k_act_set_entity_state, 0, 5);
    action(event("second"), k_act_set_entity_state, 1, 7);
    for (int frame = 0; frame < 3; ++frame)
        evaluate_events();
    EXPECT_EQ(fired(), 3u);
    EXPECT_EQ(g_entities[0].state, 0);
    EXPECT_EQ(g_entities[1].state, 0);

    // Nothing runs during a dialogue, outside play or without the hero's object, yet the message
    // flag is cleared every time.
    g_dialogue_running = 1;
    g_message_shown = 1;
    evaluate_events();
    EXPECT_EQ(g_message_shown, 0u);
    g_dialogue_running = 0;
    g_work_mode = k_work_play - 1;
    evaluate_events();
    g_work_mode = k_work_play;
    const int32_t object = g_chars[0].object;
    g_chars[0].object = -1;
    evaluate_events();
    g_chars[0].object = object;
    EXPECT_EQ(fired(), 3u);

    // Without the break the rest of the first event and the second event run.
    first.action_kind[1] = k_act_nothing;
    evaluate_events();
    EXPECT_EQ(g_entities[0].state, 5);
    EXPECT_EQ(g_entities[1].state, 7);
}

TEST_F(map_event_pass_test, AHeldClickFiresOnceUntilReleasedOrAnEventFails)
{
    event_record& click = event("click");
    condition(click, k_cond_lmb_in_sector, 0);
    action(click, k_act_debug);
    g_mouse_x = g_mouse_y = 50;
    g_mouse_left = 1;
    evaluate_events();
    evaluate_events();
    EXPECT_EQ(fired(), 1u);
    g_mouse_left = 0;
    evaluate_events();
    g_mouse_left = 1;
    evaluate_events();
    EXPECT_EQ(fired(), 2u);

    // A later event whose condition fails clears the latch: the held button fires again.
    condition(event("never"), k_cond_player_in_sector, 7);
    evaluate_events();  // the click is held: no fire, then the failing event clears the latch
    evaluate_events();
    EXPECT_EQ(fired(), 3u);

    // Outside the sector, over the interface or with the hero busy nothing fires.
    g_event_count = 1;
    g_mouse_left = 0;
    evaluate_events();
    g_mouse_left = 1;
    g_interface.mouse_over_ui = 1;
    evaluate_events();
    g_interface.mouse_over_ui = 0;
    g_chars[0].state = 1;
    evaluate_events();
    g_chars[0].state = 0;
    g_mouse_x = 300;
    evaluate_events();
    EXPECT_EQ(fired(), 3u);

    // The right button has a latch of its own; a click on a character fires on its outline.
    click.condition_kind[0] = k_cond_rmb_in_sector;
    g_mouse_x = 50;
    g_mouse_right = 1;
    evaluate_events();
    evaluate_events();
    EXPECT_EQ(fired(), 4u);
    place(1, k_kind_normal, 400, 400);
    std::memcpy(g_chars[1].name, "Villager", 9);
    click.condition_kind[0] = k_cond_click_on_char;
    std::strcpy(click.condition_text[0], "villager");
    g_mouse_left = 0;
    evaluate_events();
    g_mouse_left = 1;
    g_mouse_x = g_mouse_y = 410;
    evaluate_events();
    evaluate_events();
    EXPECT_EQ(fired(), 5u);
    g_mouse_left = 0;
    evaluate_events();
    g_mouse_left = 1;
    g_mouse_x = 600;
    evaluate_events();
    EXPECT_EQ(fired(), 5u);
}

TEST_F(map_event_pass_test, ConditionsReadCharactersQuestsAndEntitiesAndRefuseBadNumbers)
{
    place(1, k_kind_normal, 500, 500);
    std::memcpy(g_chars[1].name, "smith", 6);
    g_chars[0].script_flags[2] = 4;
    g_chars[1].script_flags[7] = -3;
    g_entities[1].state = 2;
    set_quest_name(&g_quests[0], "locdrusk");
    g_quests[0].state = 5;
    g_quest_count = 1;

    event_record& e = event("tests");
    condition(e, k_cond_char_memory, 2, 4, "HERO");
    EXPECT_EQ(test_event_condition(0, 0), 1);
    EXPECT_STREQ(e.condition_text[0], "hero_key");  // rewritten in the record
    struct {
        uint32_t kind;
        int32_t n1, n2;
        const char* text;
        int32_t holds;
    } const cases[] = {
        {k_cond_char_memory, 7, -3, "SMITH", 1},
        {k_cond_char_memory, 8, 0, "smith", 0},   // no memory 8
        {k_cond_char_memory, -1, 0, "smith", 0},
        {k_cond_char_memory, 7, 0, "nobody", 0},
        {k_cond_quest_state, 5, 0, "loc", 1},
        {k_cond_quest_state, 5, 0, "LOCDRUSK", 1},
        {k_cond_quest_state, 4, 0, "loc", 0},
        {k_cond_quest_state, 5, 0, "locdruskx", 0},
        {k_cond_entity_state, 1, 2, "", 1},
        {k_cond_entity_state, 2, 0, "", 0},       // beyond the count
        {k_cond_entity_state, -1, 0, "", 0},
        {k_cond_hero_armed, 0, 0, "", 0},
        {k_cond_no_enemy, 0, 0, "", 1},
        {k_cond_player_in_sector, 0, 0, "", 1},
        {k_cond_player_in_sector, 99, 0, "", 0},
        {k_cond_player_in_sector, 100000, 0, "", 0},
        {15, 0, 0, "", 1},
    };
    for (const auto& c : cases) {
        e.condition_kind[0] = c.kind;
        e.condition_number[0][0] = c.n1;
        e.condition_number[0][1] = c.n2;
        std::strcpy(e.condition_text[0], c.text);
        EXPECT_EQ(test_event_condition(0, 0), c.holds) << c.kind << " " << c.n1 << " " << c.text;
    }

    // Enemies: a living one in the dream world counts for two of the three kinds.
    char_record& enemy = place(2, k_kind_enemy, 900, 900);
    enemy.world = 2;
    for (uint32_t kind : {k_cond_no_enemy, k_cond_no_dream_enemy, k_cond_no_real_enemy}) {
        e.condition_kind[0] = kind;
        EXPECT_EQ(test_event_condition(0, 0), kind == k_cond_no_real_enemy) << kind;
    }
    enemy.life = k_life_dead;
    EXPECT_EQ(test_event_condition(0, 0), 1);
}

TEST_F(map_event_pass_test, ActionsChangeTheWorldAndIgnoreBadData)
{
    place(1, k_kind_normal, 500, 500);
    std::memcpy(g_chars[1].name, "smith", 6);
    event_record& e = event("acts");
    action(e, k_act_char_set_memory, 3, 0x12345, "HERO");
    action(e, k_act_char_set_memory, 8, 9, "smith");   // no memory 8
    action(e, k_act_move_char, 0, 0, "SMITH", 320, 240);
    action(e, k_act_set_entity_state, 5, 1);           // no entity 5
    evaluate_events();
    EXPECT_STREQ(e.action_text[0], "hero_key");
    EXPECT_EQ(g_chars[0].script_flags[3], int16_t(0x2345));
    EXPECT_EQ(g_chars[1].state, 1u);
    EXPECT_EQ(g_chars[1].goal_x, 320.0f);
    EXPECT_EQ(g_chars[1].path_goal_y, 240.0f);

    // Containers: only a slot with a grid opens.
    g_interface.container_open = 0;
    std::memset(&e.action_kind, 0, sizeof e.action_kind);
    e.action_kind[0] = k_act_open_container;
    for (int32_t n : {-1, 200, 7}) {
        e.action_number[0][0] = n;
        evaluate_events();
    }
    EXPECT_EQ(g_interface.container_open, 0u);
    container saved = g_containers[7];
    uint16_t grid[4] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    g_containers[7].items = grid;
    evaluate_events();
    g_containers[7] = saved;
    EXPECT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.container_id, 7);
    EXPECT_EQ(g_interface.side_panel_open, 1u);
    EXPECT_EQ(g_interface.side_panel_page, 2);

    // The travel map and a level change are requests for the shell; both end the frame's pass
    // or, for the level change, go on.
    g_chars[0].state = 3;
    e.action_kind[0] = k_act_load_map;
    e.action_number[0][0] = 2;
    std::strcpy(e.action_text[0], "dvor.sav");
    e.action_kind[1] = k_act_enable_location;
    e.action_number[1][0] = 4;
    evaluate_events();
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "dvor.sav");
    EXPECT_EQ(g_pending_level.mode, 2);
    EXPECT_EQ(g_chars[0].state, 0u);
    EXPECT_EQ(g_map_locations_open[4], 1u);
    e.action_kind[0] = k_act_open_travel_map;
    e.action_number[1][0] = 5;
    evaluate_events();
    EXPECT_STREQ(g_pending_level.target, "worldmap");
    EXPECT_EQ(g_map_locations_open[5], 0u);

    // "delete event" removes the named event; the removed record's later ones move down.
    e.action_kind[0] = k_act_nothing;
    e.action_kind[1] = k_act_delete_event;
    std::strcpy(e.action_text[1], "gone");
    event("gone");
    event_record& last = event("last");
    action(last, k_act_debug);
    evaluate_events();
    EXPECT_EQ(g_event_count, 2u);
    EXPECT_STREQ(g_events[1].name, "last");
    EXPECT_EQ(g_events[2].state, 0);
}

// A story detour requests its level and the pass goes on (without one the travel map ends it).
TEST_F(map_event_pass_test, TheTravelMapActionTakesAStoryDetourAndThePassGoesOn)
{
    kept_.keep(g_flags), kept_.keep(g_flag_count);
    set_quest_name(&g_quests[0], "watersupply");
    g_quests[0].state = 3;
    g_quest_count = 1;
    std::strcpy(g_flags[0].name, "encounter");
    g_flags[0].value = 0;
    g_flag_count = 1;
    event_record& e = event("road");
    action(e, k_act_open_travel_map);
    action(e, k_act_enable_location, 5);
    evaluate_events();
    EXPECT_STREQ(g_pending_level.target, "encounter.sav");
    EXPECT_EQ(g_pending_level.mode, 0);
    EXPECT_EQ(g_map_locations_open[5], 1u);
    // The story moves on once the detour's level is entered.
    EXPECT_EQ(g_flags[0].value, 0);
    end_story_detour("ENCOUNTER.SAV", true);
    EXPECT_EQ(g_flags[0].value, 1);
}

TEST_F(map_event_pass_test, ACreatureIsAddedOnceAndUnsafeNamesAndAFullTableSpawnNothing)
{
    place(1, k_kind_enemy, 500, 500);
    std::memcpy(g_chars[1].name, "wolf", 5);
    ASSERT_TRUE(make_folder("data") && make_folder("data/creature"));
    ASSERT_TRUE(write_char_file(1, "data/creature/wolf.chr"));
    const uint32_t count = g_char_count;

    event_record& e = event("spawn");
    for (const char* bad : {"../creature/wolf", "creature\\wolf", "a/wolf", "missing"})
        action(e, k_act_add_creature, 0, 0, bad);
    evaluate_events();
    EXPECT_EQ(g_char_count, count);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(e.action_kind[k], uint32_t(k_act_add_creature));
    EXPECT_NE(log_text().find("creature name \"../creature/wolf\" refused"), std::string::npos);

    std::strcpy(e.action_text[0], "wolf");
    e.action_coord[0][0] = 640;
    e.action_coord[0][1] = 480;
    evaluate_events();
    evaluate_events();
    ASSERT_EQ(g_char_count, count + 1);
    EXPECT_EQ(e.action_kind[0], uint32_t(k_act_nothing));
    const world_object* wolf = world_object_of(g_chars[count]);
    ASSERT_NE(wolf, nullptr);
    EXPECT_EQ(wolf->x, 640.0f);

    // A full table: every slot taken by a living character.
    e.action_kind[0] = k_act_add_creature;
    for (int s = int(g_char_count); s < k_char_slots; ++s) {
        g_chars[s] = char_record{};
        g_chars[s].life = k_life_alive;
        g_chars[s].object = -1;
    }
    g_char_count = k_char_slots;
    evaluate_events();
    EXPECT_EQ(e.action_kind[0], uint32_t(k_act_add_creature));
    EXPECT_NE(log_text().find("no free character slot for wolf"), std::string::npos);
}

TEST_F(map_event_pass_test, GameTextStartDialogueAndItemsThroughTheirServices)
{
    add_map_text("", "sign", 1);
    add_map_text("Welcome to the gate", "sign", 1);
    event_record& e = event("texts");
    action(e, k_act_game_text, 0, 0, "sign");
    action(e, k_act_add_item, 5000);  // no such item: nothing
    action(e, k_act_start_dialogue, 0, 0, "guard");
    evaluate_events();
    EXPECT_EQ(g_message_shown, 1u);
    ASSERT_GT(g_message_window.word_count, 0);
    EXPECT_STREQ(g_message_window.words[0], "Welcome");
    EXPECT_EQ(g_dialogue_running, 0u);  // no dialogue file
    EXPECT_NE(log_text().find("chcem novy dialog data/dialogs/eng/guard/0.txt"), std::string::npos);

    ASSERT_TRUE(make_folder("data") && make_folder("data/dialogs") && make_folder("data/dialogs/eng") &&
                make_folder("data/dialogs/eng/sentry"));
    FILE* f = std::fopen("data/dialogs/eng/sentry/1.txt", "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("Halt!", f);
    std::fclose(f);
    std::strcpy(e.action_text[2], "sentry");
    g_chars[0].state = 2;
    evaluate_events();
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_STREQ(g_dialogue_window.requested_file, "data/dialogs/eng/sentry/1.txt");
    EXPECT_EQ(g_dialogue_window.dialogue_record_mode, 0u);
    EXPECT_EQ(g_chars[0].state, 0u);
}

TEST(MapEventTable, AppendingToAFullTableIsRefusedAndRemovalMovesTheRestDown)
{
    saved_globals kept;
    kept.keep(g_events), kept.keep(g_event_count);
    std::memset(g_events, 0, sizeof g_events);
    g_event_count = 0;
    for (int i = 0; i < k_event_slots; ++i)
        ASSERT_NE(append_event(("e" + std::to_string(i)).c_str()), nullptr);
    EXPECT_EQ(append_event("more"), nullptr);
    EXPECT_EQ(g_event_count, uint32_t(k_event_slots));

    event_record& e = g_events[0];
    const int32_t numbers[] = {1, 2, 3, 4, 5, 6};
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(add_event_condition(&e, 10 + k, numbers, 6, nullptr, 0));
    EXPECT_FALSE(add_event_condition(&e, 99, numbers, 6, nullptr, 0));
    EXPECT_EQ(e.condition_kind[3], 13u);
    EXPECT_EQ(e.condition_number[3][4], 5);
    EXPECT_EQ(e.condition_kind[4], 0u);

    remove_event_named("e5");
    remove_event_named("E6");  // names are compared exactly
    remove_event_at(k_event_slots);
    EXPECT_EQ(g_event_count, uint32_t(k_event_slots - 1));
    EXPECT_STREQ(g_events[5].name, "e6");
    EXPECT_EQ(g_events[k_event_slots - 1].state, 0);
    EXPECT_EQ(g_events[k_event_slots - 1].reserved, -1);
}

} // namespace
