// The run-time commands as the run pass meets them in a shown text: what they do to the camera,
// the interface switches, quests and flags, characters, dialogue navigation, level changes and
// containers, how often they act, and how they treat names and numbers they cannot use.
#include "script/text_window_fixture.h"

#include "characters/char_table.h"
#include "characters/char_spawning.h"
#include "characters/placements.h"
#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/game_interface.h"
#include "core/globals.h"
#include "core/input_state.h"
#include "items/containers.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "script/dialogues.h"
#include "script/entities.h"
#include "script/quests.h"
#include "script/run_time_commands.h"
#include "script/script_links.h"
#include "support/saved_globals.h"
#include "world/game_clock.h"
#include "world/scene_header.h"
#include "world/world_objects.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

int g_waits = 0;
int g_fades_out = 0;
int g_fades_in = 0;
int g_pumps = 0;

class RunTimeCommands : public text_window_test {
protected:
    void SetUp() override
    {
        text_window_test::SetUp();
        kept_.keep(g_chars), kept_.keep(g_char_count), kept_.keep(g_player_char);
        kept_.keep(g_camera_x), kept_.keep(g_camera_y), kept_.keep(g_zoom), kept_.keep(g_zoom_target);
        kept_.keep(g_screen_width), kept_.keep(g_screen_height), kept_.keep(g_scene_header);
        kept_.keep(g_camera_clamp_x), kept_.keep(g_camera_clamp_y), kept_.keep(g_interface);
        kept_.keep(g_quests), kept_.keep(g_quest_count), kept_.keep(g_flags), kept_.keep(g_flag_count);
        kept_.keep(g_entities), kept_.keep(g_entity_count), kept_.keep(g_char_placements);
        kept_.keep(g_pending_level), kept_.keep(g_load_twice), kept_.keep(g_map_path);
        kept_.keep(g_explicit_entry), kept_.keep(g_mouse_x), kept_.keep(g_mouse_y);
        kept_.keep(g_mouse_left), kept_.keep(g_mouse_right), kept_.keep(g_mouse_middle);
        kept_.keep(g_dialogue), kept_.keep(g_ticks), kept_.keep(g_elapsed_ms), kept_.keep(g_now_ms);
        kept_.keep(g_start_time), kept_.keep(g_console_enabled), kept_.keep(g_quit_all);
        g_console_enabled = 1;
        g_quit_all = 0;
        free_objects();
        ASSERT_TRUE(reserve_objects(64));
        g_char_count = 0;
        g_player_char = 0;
        g_zoom = 1.0f;
        g_camera_x = g_camera_y = 0.0f;
        g_screen_width = 1024;
        g_screen_height = 768;
        reset_scene_header(&g_scene_header);
        g_interface.container_open = 0;
        g_interface.container_id = -1;
        g_quest_count = 0;
        g_flag_count = 0;
        g_entity_count = 0;
        g_char_placements.count = 0;
        g_pending_level = {};
        g_load_twice = 0;
        g_explicit_entry = {};
        std::snprintf(g_map_path, sizeof g_map_path, "data/levels/brana.sav");
        g_mouse_left = g_mouse_right = g_mouse_middle = 0;
        g_waits = g_fades_out = g_fades_in = g_pumps = 0;
        g_script_links.wait_until_released = [](bool (*held)()) {
            ++g_waits;
            g_mouse_left = 0;
            return !held();
        };
        g_script_links.fade_out_scene = [] { ++g_fades_out; };
        g_script_links.fade_in_scene = [] { ++g_fades_in; };
        g_script_links.pump_messages = [] { ++g_pumps; return int32_t(0); };
        add_char(0, "hero_key", 100.0f, 100.0f);
    }
    void TearDown() override
    {
        free_objects();
        for (container& c : g_containers)
            if (c.items)
                container_free(&c);
        kept_.restore();
        text_window_test::TearDown();
    }

    // Slot `slot` alive with that file key and a world object at (x, y).
    char_record& add_char(int slot, const char* key, float x, float y)
    {
        char_record& c = g_chars[slot];
        c = char_record{};
        std::strncpy(c.name, key, sizeof c.name);
        c.life = k_life_alive;
        c.slot = int16_t(slot);
        c.object = add_object(x, y, -2 - slot, 1.0f, 1.0f, 0, 0);
        g_char_count = std::max<uint32_t>(g_char_count, uint32_t(slot + 1));
        return c;
    }
    world_object& object_of(int slot) { return g_objects[g_chars[slot].object]; }

    // The window shows the text past its first pass (or in it, when asked).
    void show(const std::string& text, bool first_pass = false)
    {
        parse(text);
        window_->x1 = 0.0f, window_->y1 = 0.0f, window_->x2 = 600.0f, window_->y2 = 400.0f;
        window_->first_pass = first_pass ? 1 : 0;
    }
    void frames(int n)
    {
        for (int i = 0; i < n; ++i)
            run_text_window(window_.get());
    }
    void add_quest(const char* name)
    {
        set_quest_name(&g_quests[g_quest_count], name);
        ++g_quest_count;
    }

    // The debug log written so far.
    static std::string log_text()
    {
        std::ifstream in("global/konzola.log", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    saved_globals kept_;
};

TEST_F(RunTimeCommands, CameraAndInterfaceSwitchesActAndHoldTheCameraInsideTheScene)
{
    g_scene_header.camera_min_x = 0.0f, g_scene_header.camera_max_x = 2000.0f;
    g_scene_header.camera_min_y = 0.0f, g_scene_header.camera_max_y = 1500.0f;
    add_char(1, "Mara", 1900.0f, 700.0f);

    // In the first pass only "HERO" is rewritten; the camera stays.
    show("^center_view_on_char HERO ^select_attunement ^disable_scroll", true);
    frames(1);
    EXPECT_EQ(words(*window_)[1], "hero_key");
    EXPECT_EQ(g_camera_x, 0.0f);
    EXPECT_EQ(g_interface.attunement_select_open, 0u);
    EXPECT_EQ(g_interface.scroll_enabled, 0u);

    // Near the right edge the camera stops at the bound and the x flag is set, not the y flag.
    show("^center_view_on_char mara ^select_attunement_first ^enable_scroll ^disable_npckill");
    frames(1);
    EXPECT_EQ(g_camera_x, 2000.0f - 1024.0f);
    EXPECT_EQ(g_camera_y, 700.0f - 384.0f);
    EXPECT_EQ(g_camera_clamp_x, 1u);
    EXPECT_EQ(g_camera_clamp_y, 0u);
    EXPECT_EQ(g_interface.attunement_select_open, 1u);
    EXPECT_EQ(g_interface.attunement_select_first, 1u);
    EXPECT_EQ(g_interface.scroll_enabled, 1u);
    EXPECT_EQ(g_interface.npc_kill_enabled, 0u);

    // A level smaller than the screen: the minimum wins.
    g_scene_header.camera_max_y = 100.0f;
    frames(1);
    EXPECT_EQ(g_camera_y, 0.0f);
    EXPECT_EQ(g_camera_clamp_y, 1u);

    g_screen_width = 1280;
    show("^enable_npckill ^disable_zoom");
    frames(1);
    EXPECT_FLOAT_EQ(g_zoom_target, 1.25f);
    EXPECT_EQ(g_interface.zoom_enabled, 0u);
    EXPECT_EQ(g_interface.npc_kill_enabled, 1u);
    show("^enable_zoom");
    frames(1);
    EXPECT_EQ(g_interface.zoom_enabled, 1u);
}

TEST_F(RunTimeCommands, QuestsFlagsAndMemoryActAgainInEveryFrameIncludingTheFirstPass)
{
    add_quest("well");
    add_quest("Well");
    add_quest("other");
    std::strcpy(g_flags[0].name, "gate_open");
    g_flag_count = 1;
    add_char(1, "mara", 0.0f, 0.0f);

    show("^set_flag GATE_OPEN ^add_char_mem MARA 2 5 ^sub_char_mem mara 1 1 ^assign_quest well "
         "^set_quest_state other 4",
         true);
    for (int frame = 0; frame < 10; ++frame) {
        g_flags[0].value = 0;
        frames(1);
        ASSERT_EQ(g_flags[0].value, 1) << frame;
    }
    EXPECT_EQ(g_chars[1].script_flags[2], 50);
    EXPECT_EQ(g_chars[1].script_flags[1], -10);
    EXPECT_EQ(g_quests[0].assigned, 1u);
    EXPECT_EQ(g_quests[1].assigned, 0u);
    EXPECT_EQ(g_quests[2].state, 4);
    EXPECT_EQ(g_chars[0].quest_bytes[0], 1);

    // "^remove_quest" takes every quest of that name; "^set_char_mem" sets, "HERO" in the word.
    g_quests[1].assigned = 1;
    show("^remove_quest WELL ^set_char_mem HERO 5 -7 ^set_char_mem mara 6 9 ^add_char_mem mara -1 9");
    frames(1);
    EXPECT_EQ(g_quests[0].assigned, 0u);
    EXPECT_EQ(g_quests[1].assigned, 0u);
    EXPECT_EQ(g_chars[0].script_flags[5], -7);
    EXPECT_EQ(words(*window_)[3], "hero_key");
    // An index outside 0 to 5 touches nothing.
    EXPECT_EQ(g_chars[1].script_flags[6], 0);
    EXPECT_EQ(g_chars[1].script_flags[7], 0);
    EXPECT_EQ(g_chars[1].script_flags[2], 50);

    // Numbers past 32 bits are held there and the sum computed wide: the value keeps its low 16
    // bits (-2 - 2147483647 ends in 0xFFFF; 32767 + 1 wraps to -32768).
    show("^set_char_mem mara 1 -2 ^sub_char_mem mara 1 99999999999 ^set_char_mem mara 3 32767 "
         "^add_char_mem mara 3 1");
    frames(1);
    EXPECT_EQ(g_chars[1].script_flags[1], -1);
    EXPECT_EQ(g_chars[1].script_flags[3], -32768);
}

TEST_F(RunTimeCommands, CharactersAreRemovedMovedShownHiddenAndRetyped)
{
    g_scene_header.camera_max_x = g_scene_header.camera_max_y = 10.0f;  // teleporting does not clamp
    add_char(1, "mara", 300.0f, 400.0f);
    add_char(2, "mara", 500.0f, 600.0f);
    g_chars[2].object = -1;  // a match without a world object
    add_char_placement(&g_char_placements, "hero_key", 100.0f, 100.0f, 0);
    g_char_placements.entries[0].char_slot = 0;

    show("^teleport_char hero 5000 6000.5 ^teleport_char MARA 10 20");
    frames(1);
    EXPECT_EQ(object_of(0).x, 5000.0f);
    EXPECT_EQ(object_of(0).y, 6000.5f);
    EXPECT_EQ(g_chars[0].pos_x, 100.0f);
    EXPECT_EQ(g_camera_x, 5000.0f - 512.0f);
    EXPECT_EQ(g_camera_y, 6000.5f - 384.0f);
    EXPECT_EQ(object_of(1).x, 10.0f);
    EXPECT_EQ(g_chars[1].pos_y, 400.0f);

    show("^disable_char mara ^set_char_type mara 2 ^set_char_state nobody 0");
    frames(1);
    EXPECT_EQ(g_chars[1].life, 3);
    EXPECT_EQ(object_of(1).alpha, 0.0f);
    EXPECT_EQ(g_chars[2].life, k_life_alive);  // no world object
    EXPECT_EQ(g_chars[2].kind, 2);
    EXPECT_NE(log_text().find("disabling mara"), std::string::npos);

    show("^enable_char2 MARA");
    frames(1);
    EXPECT_EQ(g_chars[1].life, k_life_alive);
    EXPECT_EQ(object_of(1).alpha, 0.0f);
    show("^set_char_state mara 3 ^enable_char mara");
    frames(1);
    EXPECT_EQ(object_of(1).alpha, 1.0f);
    EXPECT_EQ(g_chars[1].life, k_life_alive);

    // "^remove_char HERO" takes the hero's placement and hides its object.
    const int32_t hero_object = g_chars[0].object;
    show("^remove_char HERO", true);
    frames(1);
    EXPECT_EQ(g_char_placements.count, 0);
    EXPECT_EQ(g_objects[hero_object].alpha, 0.0f);
    EXPECT_EQ(g_chars[0].life, k_life_gone);
    EXPECT_EQ(g_chars[0].object, -1);

    // Entities by name: the first match only.
    std::strcpy(g_entities[0].name, "door");
    std::strcpy(g_entities[1].name, "DOOR");
    g_entity_count = 2;
    show("^set_id_state Door 3");
    frames(1);
    EXPECT_EQ(g_entities[0].state, 3);
    EXPECT_EQ(g_entities[1].state, 0);
}

TEST_F(RunTimeCommands, DialogueNavigationLoadsParts)
{
    ASSERT_TRUE(make_folder("data/dialogs/eng/mara"));
    std::ofstream("data/dialogs/eng/mara/1.txt") << "hello";

    // No part 0: part 1; the pass ends there, so the flag after it is not set.
    std::strcpy(g_flags[0].name, "after");
    g_flag_count = 1;
    g_chars[0].state = 7;
    show("^start_dialog mara ^set_flag after", true);
    frames(1);
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/mara/1.txt");
    EXPECT_EQ(g_chars[0].state, 0u);
    EXPECT_EQ(g_flags[0].value, 0);
    std::ofstream("data/dialogs/eng/mara/0.txt") << "hello";
    frames(1);
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/mara/0.txt");
    // Neither: the window stays as it was and the pass goes on.
    show("^start_dialog nobody ^set_flag after ^start_dialog ../../x");
    std::strcpy(window_->requested_file, "kept");
    frames(1);
    EXPECT_STREQ(window_->requested_file, "kept");
    EXPECT_EQ(g_flags[0].value, 1);

    // "^load" waits for the button, not in the first pass; a part leaving the folder is refused.
    show("^load next.txt", true);
    frames(1);
    EXPECT_EQ(g_waits, 0);
    window_->first_pass = 0;
    window_->dialogue_record_mode = 1;
    frames(1);
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/next.txt");
    EXPECT_EQ(window_->dialogue_record_mode, 0u);
    EXPECT_EQ(g_waits, 1);
    show("^load ../../../etc/passwd");
    frames(1);
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/next.txt");

    // "^load_part": the last node of that name, in dialogue-record mode only.
    g_dialogue.node_count = 3;
    std::strcpy(g_dialogue.node_name[0], "greet");
    std::strcpy(g_dialogue.node_name[2], "GREET");
    show("^load_part greet");
    std::strcpy(window_->name, "data/dialogs/eng/mara.dia2");
    frames(1);
    EXPECT_EQ(window_->dialogue_node, k_no_dialogue_node);
    window_->dialogue_record_mode = 1;
    frames(1);
    EXPECT_EQ(window_->dialogue_node, 2);
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/mara.dia2");
    EXPECT_STREQ(window_->name, "");
    show("^load_part nothing");
    window_->dialogue_record_mode = 1;
    frames(1);
    EXPECT_EQ(window_->dialogue_node, k_no_dialogue_node);

    // "^close": the hero is centred again and the dialogue ends.
    g_dialogue_running = 1;
    g_scene_header.followed_char = 1;
    show("^close", true);
    window_->dialogue_record_mode = 1;
    frames(1);
    EXPECT_EQ(g_dialogue_running, 0u);
    EXPECT_EQ(g_scene_header.followed_char, 0);
    EXPECT_EQ(window_->dialogue_record_mode, 0u);
}

TEST_F(RunTimeCommands, LevelChangesAreRequestedOnlyForAnotherLevel)
{
    // The level already loaded: only the entry mode and the message window.
    parse_text_window(&g_message_window, "old message");
    g_message_shown = 1;
    show("^map brana.sav 2 next.txt", true);
    frames(1);
    EXPECT_EQ(g_pending_level.pending, 0u);
    EXPECT_EQ(g_pending_level.mode, 2);
    EXPECT_EQ(g_message_window.word_count, 0);
    EXPECT_EQ(g_message_shown, 0u);
    EXPECT_EQ(g_dialogue_running, 0u);

    g_mouse_left = g_mouse_right = g_mouse_middle = 1;
    show("^map dvor.sav 1 arrive.txt");
    std::strcpy(window_->name, "shown");
    frames(1);
    EXPECT_EQ(g_pending_level.pending, 1u);
    EXPECT_STREQ(g_pending_level.target, "dvor.sav");
    EXPECT_EQ(g_pending_level.mode, 1);
    EXPECT_STREQ(window_->requested_file, "data/dialogs/eng/arrive.txt");
    EXPECT_STREQ(window_->name, "");
    EXPECT_EQ(g_dialogue_running, 1u);
    EXPECT_EQ(g_mouse_x, 100.0f);
    EXPECT_EQ(g_mouse_left + g_mouse_right + g_mouse_middle, 0u);

    g_pending_level = {};
    show("^map2 dvor.sav 3");
    frames(1);
    EXPECT_EQ(g_load_twice, 1u);
    EXPECT_STREQ(g_pending_level.target, "dvor.sav");
    EXPECT_EQ(g_pending_level.mode, 3);

    // "^map3" waits for the first pass to end, then names the hero's place.
    g_pending_level = {};
    g_load_twice = 0;
    show("^map3 dvor.sav 320 -64 90", true);
    frames(1);
    EXPECT_EQ(g_pending_level.pending, 0u);
    window_->first_pass = 0;
    frames(1);
    EXPECT_EQ(g_pending_level.mode, -1);
    EXPECT_EQ(g_load_twice, 1u);
    EXPECT_EQ(g_explicit_entry.set, 1u);
    EXPECT_EQ(g_explicit_entry.x, 320);
    EXPECT_EQ(g_explicit_entry.y, -64);
    EXPECT_EQ(g_explicit_entry.facing, 90);
    place_hero_at_entry(&g_scene_header, -1);
    EXPECT_EQ(g_explicit_entry.set, 0u);

    g_pending_level = {};
    show("^worldmap");
    frames(1);
    EXPECT_STREQ(g_pending_level.target, "worldmap");

    // A "^map" in the message window empties the window it runs in, and the pass stops there.
    parse_text_window(&g_message_window, "^map dvor.sav 0 a.txt ^set_flag x");
    g_message_window.first_pass = 0;
    run_text_window(&g_message_window);
    EXPECT_EQ(g_message_window.word_count, 0);
}

TEST_F(RunTimeCommands, ContainersAndShopsOpenOnceAndOnlyWithAGrid)
{
    container_init(&g_containers[7], "shop", 2, 2, 1);
    container_init(&g_containers[150], "bag", 1, 1, 0);

    show("^shop 7 120 80 ^open_container 150", true);
    g_mouse_left = 1;
    frames(3);
    EXPECT_EQ(g_waits, 2);
    EXPECT_EQ(g_interface.container_id, 150);
    EXPECT_EQ(g_interface.container_open, 1u);
    EXPECT_EQ(g_interface.side_panel_open, 1u);
    EXPECT_EQ(g_interface.side_panel_page, 2);
    EXPECT_EQ(g_interface.shop_buy_factor, 120);
    EXPECT_EQ(g_interface.shop_sell_factor, 80);
    const std::vector<std::string> blanked(6, "^0");
    EXPECT_EQ(words(*window_), blanked);

    // No grid, outside the table, or no number: nothing opens and nobody waits.
    g_interface.container_open = 0;
    g_interface.container_id = -1;
    show("^open_container 8 ^open_container 200 ^open_container -1 ^shop 99999 1 1 ^open_container");
    frames(2);
    EXPECT_EQ(g_waits, 2);
    EXPECT_EQ(g_interface.container_open, 0u);
    EXPECT_EQ(g_interface.container_id, -1);
}

TEST_F(RunTimeCommands, FadesRestAndTheClockWaitOnTheFrameClock)
{
    clock_use_manual(true);
    clock_set_manual(1000);
    clock_set_manual_step(16);
    stamp_start_time();
    update_frame_timing();

    // "^unfade 0" waits one step; "^unfade 3" waits for the tick to pass the last step plus one.
    show("^fade ^unfade 0", true);
    frames(1);
    EXPECT_EQ(g_fades_out, 0);
    window_->first_pass = 0;
    frames(1);
    EXPECT_EQ(g_fades_out, 1);
    EXPECT_EQ(g_fades_in, 1);
    EXPECT_EQ(g_pumps, 1);
    show("^unfade 3");
    const uint32_t start = g_ticks;
    frames(1);
    EXPECT_EQ(g_ticks - start, 5u);  // the first step on the first tick, then two ticks each
    EXPECT_EQ(g_fades_in, 2);
    // A huge count is held to the limit; a closed window ends the wait.
    g_quit_all = 1;
    show("^unfade 2000000000");
    frames(1);
    EXPECT_EQ(g_fades_in, 3);
    clock_set_manual_step(0);
    clock_use_manual(false);

    // "^rest" heals the hero and sleeps until morning.
    g_chars[0].hp_max = 40, g_chars[0].hp = 3, g_chars[0].mana_max = 9, g_chars[0].life = 1;
    kept_.keep(g_game_clock);
    g_game_clock.hour = 22;
    g_game_clock.day = 1;
    show("^rest");
    frames(1);
    EXPECT_EQ(g_chars[0].hp, 40);
    EXPECT_EQ(g_chars[0].hp_ceiling, 40);
    EXPECT_EQ(g_chars[0].mana, 9);
    EXPECT_EQ(g_chars[0].life, k_life_alive);
    EXPECT_EQ(g_game_clock.day, 2u);
    EXPECT_EQ(g_game_clock.hour, 7u);
}

} // namespace
